// "tesmira -cards": detects the cards and prints the inventory text, with no
// window and no display, for checking an installation from a terminal
// ("tesmira -driver:comedi -cards" for real cards).
#pragma once

#include <string>

namespace tsm::app {

// Runs DetectCards with the program's directory (where "zentra.ini" and
// "Tribox.ini" live) on the installed driver, writes the inventory text and
// the driver's lines about its devices to standard output and returns the
// exit status: 0, or 2 when there is no DAC or no ADC card.
int RunCardsCommand(const std::string& programDirectory);

// Whether the command line asks for the inventory ("-cards" or "/cards").
bool IsCardsCommand(int argc, const char* const* argv);

// The directory of the running executable with a trailing "/", or "./"
// when it cannot be found.
std::string ExecutableDirectory();

}  // namespace tsm::app
