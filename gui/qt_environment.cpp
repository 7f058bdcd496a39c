#include "gui/qt_environment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace tsm::gui {

void PrepareQtEnvironment() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return;
  // The folder Qt would fall back to, made the way it expects: owned by
  // this user, readable by nobody else.
  const std::string dir = "/tmp/runtime-" + std::to_string(static_cast<unsigned>(getuid()));
  if (mkdir(dir.c_str(), 0700) != 0) {
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return;
    if ((st.st_mode & 0777) != 0700 && chmod(dir.c_str(), 0700) != 0) return;
  }
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

}  // namespace tsm::gui
