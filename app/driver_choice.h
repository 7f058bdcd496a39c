// Which driver the program talks to: the built-in emulation (the default)
// or the real-card backend over comedi, chosen on the command line with
// "-driver:emulated" or "-driver:comedi". Start-up installs it right after
// the command line is parsed, so the window, batch mode and "-cards" all
// measure with the same driver.
#pragma once

#include <memory>
#include <string>

#include "daq/comedi/comedi_device.h"

namespace tsm::app {

inline constexpr const char* kDriverSwitch = "driver:";
inline constexpr const char* kDriverEmulated = "emulated";
inline constexpr const char* kDriverComedi = "comedi";
inline constexpr const char* kInvalidDriverText =
    "Invalid -driver: parameter -- \"%s\" is neither emulated nor comedi\n";

enum class DriverKind { kEmulated, kComedi };

// The kind the parsed command line asks for. Any other value ends the
// program with kInvalidDriverText and exit code 4, as every bad switch
// value does; an empty one with the string switch's own message.
DriverKind DriverFromCommandLine();

// Installs the driver of that kind for the rest of the run. Comedi: the
// backend over `library` (null: comedilib itself), settling before each
// single reading when "DelayBeforeVoltage" is not 0. The emulation: a
// comedi backend installed before is removed; any other installed driver
// (a test's) stays.
void InstallDriver(DriverKind kind, std::unique_ptr<daq::comedi::Library> library = nullptr);
// Both steps, as start-up runs them.
void InstallDriverFromCommandLine();

// What follows the card inventory: one line per comedi device found, or
// the line saying that no comedi device was found and why. Empty for the
// emulation.
std::string DriverReportLines();

// Back to the emulation (tests).
void ResetDriverChoice();

}  // namespace tsm::app
