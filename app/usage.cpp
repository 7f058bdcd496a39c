#include "app/usage.h"

#include <cstring>

namespace tsm::app {

bool IsHelpCommand(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (a && (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0 ||
              std::strcmp(a, "/?") == 0))
      return true;
  }
  return false;
}

std::string UsageText() {
  return "usage: tesmira [-driver:comedi|emulated] [-i:SETTINGS.ini] [-u:USER] [-@OPTIONFILE]\n"
         "               [DATAFILE...]\n"
         "       tesmira [-driver:comedi|emulated] -batch:SCRIPT [-i:SETTINGS.ini] [-u:USER]\n"
         "               [DATAFILE...]\n"
         "       tesmira [-driver:comedi|emulated] -cards\n"
         "\n"
         "  -i:path       settings file (default: tsm.ini beside the program)\n"
         "  -u:name       user name (default: anonymous)\n"
         "  -@path        further switches from an option file (the command line wins)\n"
         "  -batch:path   run a script of main-window commands without a display\n"
         "  -driver:name  measure with real cards (comedi) or the emulated ones (the default)\n"
         "  -cards        print the acquisition cards found and exit\n"
         "  -h, --help    print this text and exit\n"
         "\n"
         "The first data file is opened, the others are added to the curve family.\n"
         "A switch starts with - or /; its value follows the name directly.\n"
         "The window needs a display; without one, run it under a virtual X server\n"
         "(xvfb-run build/bin/tesmira) or use -batch: and -cards.\n";
}

}  // namespace tsm::app
