#include "files/dxb.h"

#include "shell/errors.h"
#include "shell/stringex.h"

namespace tsm::files {

int LoadDxbFile(const std::string& path, bool /*add*/) {
  shell::ShowMessage(shell::MainWindow(), shell::Format(kDxbNotSupportedText, path.c_str()),
                     kDxbNotSupportedCaption, platform::MB_OK | platform::MB_ICONHAND);
  return -1;
}

}  // namespace tsm::files
