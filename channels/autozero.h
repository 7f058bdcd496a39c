// AutoZero: with every current at its card's zero code, the voltages (and on
// request the current monitors) are measured repeatedly and the means kept
// as their zeros; the measurements subtract them. A warning lets the user
// correct the set-up and measure again.
#pragma once

#include <string>

#include "platform/ui.h"
#include "shell/setupdlg.h"
#include "shell/texttable.h"

namespace tsm::channels {

struct AutoZeroSettings {
  unsigned extraAveraging = 10;  // "AutoZeroExtraAveraging", at least 1
  bool showWarning = false;      // "ShowAutoZeroWarning"
  bool ignoreTSensor = false;    // "AutoZero_IgnoreTSensor"
  bool do4CurrentMon = false;    // "AutoZero_Do4CurrentMon"
  bool redoOnDoIt = false;       // "AutoZero_RedoOnDoIt"
};

AutoZeroSettings& GetAutoZeroSettings();

inline constexpr unsigned kAutoZeroWarningString = 48;
inline constexpr const char* kAutoZeroCaption = "Automatically Find Zero of Voltages";
inline constexpr unsigned kAutoZeroWarningType =
    platform::MB_ABORTRETRYIGNORE | platform::MB_ICONQUESTION | platform::MB_DEFBUTTON3;
inline constexpr const char* kVoltageReportCaption = "AutoZero Shifts of Voltages";
inline constexpr const char* kCurrentReportCaption = "AutoZero Shifts of Current Monitors";
inline constexpr const char* kNoVoltagesText = "All voltages are disconnected";
inline constexpr const char* kNoMonitorsText = "No currents are monitored.";
inline constexpr int kReportLines = 8;

// The whole procedure for the measurement dialog's "Auto&Zero" check box in
// state `checked`; returns the state the box must show afterwards (Abort
// clears it). Checked: currents to zero, wait, measure, warn (Retry
// measures again, Abort clears every zero), currents back. Clear: the zeros
// are cleared. Runs on the UI thread while no measurement runs, or on the
// worker; it takes the driver lock only around each reading and move.
bool RunAutoZero(platform::WindowHandle owner, bool checked);
// At a measurement start: when "AutoZero_RedoOnDoIt" is set, RunAutoZero with
// T-sensors ignored and no warning (both settings restored after).
void RedoAutoZero(platform::WindowHandle owner);
// Between curves: the first sweep-1 current to its card's zero code, wait,
// zero every voltage (the no-AutoZero flag not consulted), current back.
// A stop (daq::WaitAborted) that cut the settling wait or a multiplexer
// delay short keeps the zeros not yet taken as they were: voltages that have
// not settled give none.
void ZeroWithSweepCurrent();

// The two reports (at most 8 lines each) and the boxes that show them.
std::string AutoZeroVoltageReport();
std::string AutoZeroCurrentReport();
void ShowAutoZeroVoltageReport(platform::WindowHandle owner);
void ShowAutoZeroCurrentReport(platform::WindowHandle owner);

// Option group (section "Setup"), dialog and summary.
inline constexpr int kAutoZeroDialogId = 3300;
inline constexpr int kIdExtraAveraging = 3301;
inline constexpr int kIdShowWarning = 3302;
inline constexpr int kIdIgnoreTSensor = 3303;
inline constexpr int kIdDo4CurrentMon = 3304;
inline constexpr int kIdRedoOnDoIt = 3305;
inline constexpr const char* kAutoZeroOptionsCaption = "AutoZero Options";
shell::FieldList& AutoZeroFields();
int RunAutoZeroDialog(platform::WindowHandle owner);
shell::InfoTable AutoZeroInfoTable();

void ResetAutoZero();

}  // namespace tsm::channels
