// The start-up sequence of the program, toolkit-free: program directory,
// command line, then the main window's creation sequence (user name, card
// check, virtual-channel binding, settings file, all option groups, window
// position, plot state, About box or command-line files). gui/ calls the
// steps in order with its main window as the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "app/main_window_host.h"

namespace tsm::app {

inline constexpr const char* kNoCardsText =
    "At least one DAC and one ADC card are required\nto run Tesmira. In your system you "
    "have:\n[%c] no DACs\n[%c] no ADCs\n%s will show detailed info in the next window and "
    "exit.";
inline constexpr const char* kNoCardsCaption = "DAC/ADC Initialization Error";
inline constexpr const char* kCardReportCaption = "Detected Zentra Cards";

// The card detection in use (tests give a fake one): fills the report text
// of at most `capacity` bytes and returns bit 0 for no DAC, bit 1 for no ADC.
using DetectCardsFn =
    std::function<std::uint16_t(std::string& report, std::size_t capacity,
                                const std::string& directory)>;

struct StartupOptions {
  DetectCardsFn detectCards;  // empty: the driver's DetectCards
};

// Entry step: the program directory, from the running executable (else from
// argv[0]), ending with its last separator.
void DetermineProgramDirectory(const char* argv0);
// Entry step: the argument list of the command line (and its option file),
// then the driver it asks for (-driver:, app/driver_choice.h).
void ParseStartupCommandLine(int argc, char** argv);

// --- the window-creation sequence, step by step ---------------------------
// User name: switch u:, default "anonymous", at most 64 bytes.
void ReadUserName();
// Card check: false (after the two messages) when a DAC or an ADC card is
// missing; the program then ends with exit code 0. The report ends with
// what the driver says about its devices (DriverReportLines).
bool CheckCards(const StartupOptions& options);
// The inventory text of the last card check: what the main window shows in
// blue where the plot would be when there is nothing to draw.
std::string CardReportText();
// Binds the virtual-channel slots to the detected cards.
void BindVirtualChannels();
// The settings file: program directory + "tsm.ini", or switch i:.
void DetermineSettingsFileName();
// Whether the command line names a data file (a positional argument).
bool CommandLineNamesFile();

// The whole sequence with the host as the main window. False when start-up
// must end the program (exit code 0).
bool RunWindowCreation(MainWindowHost& window, const StartupOptions& options = {});

}  // namespace tsm::app
