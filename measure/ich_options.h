// Settings of the critical-current searches (section "Math"): the search
// steps, criterion, efforts, resets and delays that Ic(H), Im(H) and Ic(T)
// share, the Ic(H) x axis, and the statistics of the last search run that
// the option dialogs show read-only. One option group (slot 12) edited by
// "Ic(H) Options" and "Ic(H) x-axis"; the Ic(T) group (measure/ict_options.*)
// binds the same variables under its own keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ui.h"
#include "shell/setupdlg.h"
#include "shell/statistic.h"
#include "shell/texttable.h"

namespace tsm::measure {

inline constexpr std::size_t kIcHUnitsLength = 32;  // terminator included
inline constexpr unsigned kIcHXSweep2 = 0;           // x is the Sweep2 current
inline constexpr unsigned kIcHXAutomatic = 1;        // x grows with the field index

struct IcHOptions {
  float criterion = 5e-06f;          // "Ic(H)Criterion", volts
  unsigned forwardStep = 1;          // "Ic(H)ForwardStep", codes
  unsigned backwardStep = 32;        // "Ic(H)BackwardStep"
  unsigned zeroStep = 8;             // "Ic(H)ZeroStep"
  unsigned resetStabStep = 8;        // "Ic(H)ResetStabStep"
  unsigned numberOfTimes = 1;        // "Ic(H)NumberOfTimes" (efforts)
  unsigned accelCount = 4;           // "Ic(X)AccelCount"
  bool usePrediction = true;         // "Ic(H)UsePrediction"
  bool useAbsV = false;              // "Ic(H)UseAbsV"
  bool compensateSeriesR = false;    // "Ic(H)CompensateSeriesR"
  float seriesR = 0.0f;              // "Ic(H)SeriesR", ohms
  float stepVoltage = 0.0f;          // "Ic(H)StepVoltage" (Im(H))
  float resetVoltage = 0.0f;         // "Ic(H)ResetVoltage" (Im(H))
  bool anyway = false;               // "Ic(H)Anyway": kept and edited only
  bool resetToGetIc = true;          // "Ic(X)ResetToGetIc"
  bool resetField = false;           // "Ic(X)ResetField"
  bool autoZeroSweep1ForEachH = false;  // "Ic(H)AutoZeroSweep1forEachH"
  unsigned delayDuringReset = 0;     // "Ic(X)DelayDuringReset", ms
  unsigned delayAfterReset = 0;      // "Ic(X)DelayAfterReset", ms
  unsigned measurementsPerField = 1; // "Ic(X)MeasurementsPerOneFieldValue" (M)
  bool trigger = false;              // "Ic(H)Trigger"
  // The phase log's switches "Ic(X)ShowPhaseMessage" and "Ic(X)CreateLogFile"
  // live in the measurement state (the phase log reads them there).

  // The x axis.
  unsigned xAxisKind = kIcHXSweep2;         // "Ic(H)_xAxis_WhatKindOfParam"
  float xFactor = 1.0f;                     // "Ic(H)_xAxis_Factor"
  float xFrom = -30.0f;                     // "Ic(H)_xAxis_From"
  float xStep = 1.0f;                       // "Ic(H)_xAxis_Step"
  char sweep2Units[kIcHUnitsLength] = "A";  // "Ic(H)_xAxis_Sweep2_Units"
  char autoUnits[kIcHUnitsLength] = "dBm";  // "Ic(H)_xAxis_Auto_Units"
};

// The program's settings (read by the worker; changed only by the groups'
// loads and the dialogs, which cannot open while a measurement runs).
IcHOptions& GetIcHOptions();
// Factory defaults, the phase-log switches included (shown on, file off).
void ResetIcHOptions();
// The x units of the chosen kind.
const char* IcHXUnits();

// --- statistics of the last search run ----------------------------------------
// The running records a run fills (cleared at its start) and what the dialogs
// show. A record without samples leaves its shown values as they were.
struct IcRunStatistics {
  shell::Statistic testMicroseconds;   // one voltage test
  shell::Statistic resetMicroseconds;  // one reset
  shell::Statistic step;               // |lastIc - prevIc| between field values, codes
  shell::Statistic forecast;           // result - forecast, codes (prediction on)
  bool highResolution = false;         // durations were timed
  std::uint64_t tests = 0;
  std::uint64_t resets = 0;
};
struct IcShownStatistics {
  bool durations = false;  // a high-resolution counter timed the last run
  double testMean = 0.0, resetMean = 0.0;  // microseconds
  std::uint64_t tests = 0, resets = 0;
  bool stepValid = false;
  double stepMean = 0.0, stepDeviation = 0.0, stepSpread = 0.0;
  bool forecastValid = false;
  double forecastMean = 0.0, forecastDeviation = 0.0, forecastSpread = 0.0;
};
// The records of the run in progress (worker) or of the last run.
IcRunStatistics& IcStatistics();
// Clears the records at the start of a run.
void ClearIcStatistics();
// Turns the records into the shown values.
void ComputeIcStatistics();
const IcShownStatistics& ShownIcStatistics();
// The read-only lines the option dialogs show (one per statistic).
std::string IcStatisticsLine(int which);
inline constexpr int kIcStatisticsLines = 6;

inline constexpr const char* kIcHSection = "Math";
inline constexpr const char* kIcHOptionsCaption = "Ic(H) Options";
inline constexpr const char* kIcHXAxisCaption = "Ic(H) x-axis";
inline constexpr const char* kIcHSeriesROff = "Off";

// Dialog resources and control ids.
inline constexpr int kIcHOptionsDialogId = 5300;
inline constexpr int kIdIcHCriterion = 5301;
inline constexpr int kIdIcHForwardStep = 5302;
inline constexpr int kIdIcHBackwardStep = 5303;
inline constexpr int kIdIcHZeroStep = 5304;
inline constexpr int kIdIcHResetStabStep = 5305;
inline constexpr int kIdIcHNumberOfTimes = 5306;
inline constexpr int kIdIcXAccelCount = 5307;
inline constexpr int kIdIcHUsePrediction = 5308;
inline constexpr int kIdIcHUseAbsV = 5309;
inline constexpr int kIdIcHCompensateSeriesR = 5310;
inline constexpr int kIdIcHSeriesR = 5311;
inline constexpr int kIdIcHStepVoltage = 5312;
inline constexpr int kIdIcHResetVoltage = 5313;
inline constexpr int kIdIcHAnyway = 5314;
inline constexpr int kIdIcXResetToGetIc = 5315;
inline constexpr int kIdIcXResetField = 5316;
inline constexpr int kIdIcHAutoZero = 5317;
inline constexpr int kIdIcXDelayDuringReset = 5318;
inline constexpr int kIdIcXDelayAfterReset = 5319;
inline constexpr int kIdIcXMeasurementsPerField = 5320;
inline constexpr int kIdIcHTrigger = 5321;
inline constexpr int kIdIcXShowPhaseMessage = 5322;
inline constexpr int kIdIcXCreateLogFile = 5323;
inline constexpr int kIdIcStatisticsFirst = 5330;  // the read-only lines, + 0..5
inline constexpr int kIcHXAxisDialogId = 5340;
inline constexpr int kIdIcHXKind = 5341;  // radio buttons 5341 ("Sweep&2"), 5342
inline constexpr int kIdIcHXFactor = 5343;
inline constexpr int kIdIcHXUnits = 5344;
inline constexpr int kIdIcHXFrom = 5345;
inline constexpr int kIdIcHXStep = 5346;
inline constexpr int kIdIcHXAutoUnits = 5347;

// The fields of each dialog and of the whole group.
shell::FieldList& IcHOptionsFields();
shell::FieldList& IcHXAxisFields();
shell::FieldList& IcHGroupFields();

// The search settings as fields under the given keys: how the Ic(T) group
// binds the same variables with its own key set. `keyOf` maps an Ic(H) key
// to the key to store under; the fields keep the Ic(H) limits unless
// changed after.
using KeyMap = std::string (*)(const std::string& icHKey);
void AddIcSearchFields(shell::FieldList& list, KeyMap keyOf);
// What both option dialogs do besides the framework: the read-only
// statistics lines, and "Off" in the series resistance while compensation
// is unchecked.
void AddIcStatisticsControls(shell::FieldList& list, int column);
bool IcOptionsHook(shell::SetupDialog& dialog, int id, int code);

// 1 after OK, 0 after Cancel.
int RunIcHOptionsDialog(platform::WindowHandle owner);
int RunIcHXAxisDialog(platform::WindowHandle owner);

// Title "Ic(H) Options": criterion, steps, efforts, prediction, resets.
shell::InfoTable IcHInfoTable();

}  // namespace tsm::measure
