#include "shell/version.h"

#include "shell/stringex.h"

namespace tsm::shell {

std::string LongVersionText() {
  return Format("Tesmira v%2d.%02d %s (build %u)", kVersionMajor, kVersionMinor, kVersionSuffix,
                kVersionBuild);
}

std::string ShortVersionText() {
  return Format("v%d.%02d%s build %u", kVersionMajor, kVersionMinor, kVersionSuffix,
                kVersionBuild);
}

}  // namespace tsm::shell
