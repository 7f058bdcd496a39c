// "tesmira --help" (or -h): the command line as the README gives it, written
// to standard output before anything else starts, with or without a display.
#pragma once

#include <string>

namespace tsm::app {

// Whether an argument asks for the usage ("--help", "-h", "/?").
bool IsHelpCommand(int argc, const char* const* argv);
std::string UsageText();

}  // namespace tsm::app
