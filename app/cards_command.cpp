#include "app/cards_command.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "app/driver_choice.h"
#include "daq/cards.h"

namespace tsm::app {

int RunCardsCommand(const std::string& programDirectory) {
  std::string report;
  const std::uint16_t flags =
      daq::DetectCards(report, daq::kInventoryCapacity, programDirectory);
  report += DriverReportLines();
  std::fwrite(report.data(), 1, report.size(), stdout);
  std::fflush(stdout);
  return flags != 0 ? 2 : 0;
}

bool IsCardsCommand(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i)
    if (argv[i] && (std::strcmp(argv[i], "-cards") == 0 || std::strcmp(argv[i], "/cards") == 0))
      return true;
  return false;
}

std::string ExecutableDirectory() {
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "./";
  const std::string exe(path, static_cast<std::size_t>(n));
  const std::size_t slash = exe.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

}  // namespace tsm::app
