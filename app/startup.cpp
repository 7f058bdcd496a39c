#include "app/startup.h"

#include <string>

#include "channels/virtual_channels.h"
#include "daq/cards.h"
#include "platform/ui.h"
#include "app/cards_command.h"
#include "app/driver_choice.h"
#include "app/options_registry.h"
#include "app/window_position.h"
#include "shell/cmdline.h"
#include "shell/errors.h"
#include "shell/settings.h"
#include "shell/stringex.h"

namespace tsm::app {

using namespace tsm::platform;

namespace {
struct StartupState {
  std::string cardReport;
};
StartupState& State() {
  static StartupState state;
  return state;
}
}  // namespace

std::string CardReportText() { return State().cardReport; }

void DetermineProgramDirectory(const char* argv0) {
  std::string directory = ExecutableDirectory();
  if (directory == "./" && argv0 && *argv0) {
    const std::string fromArgv = shell::DirectoryOf(argv0);
    if (!fromArgv.empty()) directory = fromArgv;
  }
  shell::SetProgramDirectory(directory);
}

void ParseStartupCommandLine(int argc, char** argv) {
  shell::ParseArgv(argc, argv);
  InstallDriverFromCommandLine();
}

void ReadUserName() {
  char name[shell::kUserNameLength];
  shell::GetStringSwitch("u:", shell::kDefaultUserName, name, sizeof name);
  shell::SetUserName(name);
}

bool CheckCards(const StartupOptions& options) {
  std::string report;
  const std::uint16_t flags =
      options.detectCards
          ? options.detectCards(report, daq::kInventoryCapacity, shell::ProgramDirectory())
          : daq::DetectCards(report, daq::kInventoryCapacity, shell::ProgramDirectory());
  report += DriverReportLines();
  State().cardReport = report;
  if (flags == 0) return true;
  const char noDac = (flags & daq::kNoDacCard) ? 'x' : ' ';
  const char noAdc = (flags & daq::kNoAdcCard) ? 'x' : ' ';
  shell::ShowMessage(shell::MainWindow(), shell::Format(kNoCardsText, noDac, noAdc, "Tesmira"),
                     kNoCardsCaption, MB_OK | MB_ICONHAND);
  shell::ShowMessage(shell::MainWindow(), report, kCardReportCaption,
                     MB_OK | MB_ICONINFORMATION);
  return false;
}

void BindVirtualChannels() {
  // Each virtual-current slot copies a per-card value of the card it refers
  // to (the zero code: the cards come up at 0 V).
  channels::BindVirtualChannels();
}

void DetermineSettingsFileName() {
  char path[shell::kPathLength];
  std::string fallback = shell::ProgramDirectory();
  shell::BoundedAppend(fallback, shell::kSettingsFileBaseName, shell::kPathLength);
  shell::GetStringSwitch("i:", fallback.c_str(), path, sizeof path);
  shell::SetSettingsFileName(path);
}

bool CommandLineNamesFile() { return shell::PositionalCount() > 1; }

bool RunWindowCreation(MainWindowHost& window, const StartupOptions& options) {
  ReadUserName();
  if (!CheckCards(options)) return false;
  BindVirtualChannels();
  DetermineSettingsFileName();
  LoadAllSettings(shell::SettingsFileName());
  LoadWindowPosition(window, shell::SettingsFileName());
  window.InitPlotState();
  if (CommandLineNamesFile()) {
    window.OpenCommandLineFile();
  } else {
    window.ShowAboutBox();
    window.Invalidate();
  }
  return true;
}

}  // namespace tsm::app
