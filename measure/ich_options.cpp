#include "measure/ich_options.h"

#include <cstdio>

#include "measure/state.h"
#include "shell/stringex.h"

namespace tsm::measure {

namespace {
IcHOptions& Options() {
  static IcHOptions options;
  return options;
}

IcRunStatistics& Records() {
  static IcRunStatistics records;
  return records;
}

IcShownStatistics& Shown() {
  static IcShownStatistics shown;
  return shown;
}

// The phase log's switches are on at program start.
const bool kPhaseDefaultsSet = [] {
  GetMeasureState().showPhaseMessage = true;
  return true;
}();

std::string Same(const std::string& key) { return key; }

void Add(shell::FieldList& l, shell::Field f, int column) {
  f.column = column;
  l.fields.push_back(std::move(f));
}

void AddXAxisFields(shell::FieldList& l) {
  IcHOptions& o = Options();
  l.fields.push_back(shell::RadioField(kIdIcHXKind, &o.xAxisKind, kIcHSection,
                                       "Ic(H)_xAxis_WhatKindOfParam",
                                       {"Sweep&2", "The value is increased &automatically"},
                                       "x axis"));
  l.fields.push_back(shell::FloatField(kIdIcHXFactor, &o.xFactor, kIcHSection,
                                       "Ic(H)_xAxis_Factor", shell::kNoMinimum,
                                       shell::kNoMaximum,
                                       "x axis factor (e.g. to get Oe from mA)"));
  l.fields.push_back(shell::TextField(kIdIcHXUnits, o.sweep2Units, kIcHUnitsLength, kIcHSection,
                                      "Ic(H)_xAxis_Sweep2_Units", "x axis units (e.g. A)"));
  l.fields.push_back(shell::FloatField(kIdIcHXFrom, &o.xFrom, kIcHSection, "Ic(H)_xAxis_From",
                                       shell::kNoMinimum, shell::kNoMaximum, "&from"));
  l.fields.push_back(shell::FloatField(kIdIcHXStep, &o.xStep, kIcHSection, "Ic(H)_xAxis_Step",
                                       shell::kNoMinimum, shell::kNoMaximum, "with step"));
  l.fields.push_back(shell::TextField(kIdIcHXAutoUnits, o.autoUnits, kIcHUnitsLength,
                                      kIcHSection, "Ic(H)_xAxis_Auto_Units",
                                      "x axis units (e.g. dBm):"));
}

// The fields only Ic(H) and Im(H) have.
void AddIcHOnlyFields(shell::FieldList& l) {
  IcHOptions& o = Options();
  Add(l,
      shell::FloatField(kIdIcHStepVoltage, &o.stepVoltage, kIcHSection, "Ic(H)StepVoltage",
                        -1e10, 1e10, "Step Voltage (volts)"),
      1);
  Add(l,
      shell::FloatField(kIdIcHResetVoltage, &o.resetVoltage, kIcHSection, "Ic(H)ResetVoltage",
                        -1e10, 1e10, "Reset Voltage (volts)"),
      1);
  Add(l,
      shell::CheckField(kIdIcXResetField, &o.resetField, kIcHSection, "Ic(X)ResetField",
                        "Reset H to H_init during reset of I"),
      1);
  Add(l,
      shell::CheckField(kIdIcHAutoZero, &o.autoZeroSweep1ForEachH, kIcHSection,
                        "Ic(H)AutoZeroSweep1forEachH",
                        "Make AutoZero (resetting sweep1) for each value of H?"),
      1);
  Add(l,
      shell::UnsignedField(kIdIcXMeasurementsPerField, &o.measurementsPerField, kIcHSection,
                           "Ic(X)MeasurementsPerOneFieldValue", 1, 1000,
                           "Measurements per each field value"),
      1);
  Add(l,
      shell::CheckField(kIdIcHTrigger, &o.trigger, kIcHSection, "Ic(H)Trigger",
                        "Use trigger for each value of H?"),
      1);
  Add(l, shell::CheckField(kIdIcHAnyway, &o.anyway, kIcHSection, "Ic(H)Anyway", "Anyway"), 1);
}

std::string Triple(double mean, double deviation, double spread) {
  return shell::Format("mean %.2f, deviation %.2f, spread %.0f", mean, deviation, spread);
}
}  // namespace

IcHOptions& GetIcHOptions() { return Options(); }

void ResetIcHOptions() {
  Options() = IcHOptions{};
  GetMeasureState().showPhaseMessage = true;
  GetMeasureState().createLogFile = false;
  Records() = IcRunStatistics{};
  Shown() = IcShownStatistics{};
}

const char* IcHXUnits() {
  const IcHOptions& o = Options();
  return o.xAxisKind == kIcHXAutomatic ? o.autoUnits : o.sweep2Units;
}

// --- statistics ---------------------------------------------------------------
IcRunStatistics& IcStatistics() { return Records(); }

void ClearIcStatistics() { Records() = IcRunStatistics{}; }

void ComputeIcStatistics() {
  const IcRunStatistics& r = Records();
  IcShownStatistics& s = Shown();
  s.tests = r.tests;
  s.resets = r.resets;
  s.durations = r.highResolution;
  if (r.highResolution) {
    if (!r.testMicroseconds.Empty()) s.testMean = r.testMicroseconds.Mean();
    if (!r.resetMicroseconds.Empty()) s.resetMean = r.resetMicroseconds.Mean();
  }
  if (!r.step.Empty()) {
    s.stepValid = true;
    s.stepMean = r.step.Mean();
    s.stepDeviation = r.step.StandardDeviation();
    s.stepSpread = r.step.Spread();
  }
  if (!r.forecast.Empty()) {
    s.forecastValid = true;
    s.forecastMean = r.forecast.Mean();
    s.forecastDeviation = r.forecast.StandardDeviation();
    s.forecastSpread = r.forecast.Spread();
  }
}

const IcShownStatistics& ShownIcStatistics() { return Shown(); }

std::string IcStatisticsLine(int which) {
  const IcShownStatistics& s = Shown();
  switch (which) {
    case 0:
      return s.durations ? shell::Format("One voltage test: %.1f \xB5s", s.testMean)
                         : std::string("One voltage test: -");
    case 1:
      return s.durations ? shell::Format("One reset: %.1f \xB5s", s.resetMean)
                         : std::string("One reset: -");
    case 2:
      return shell::Format("Voltage tests: %llu", static_cast<unsigned long long>(s.tests));
    case 3:
      return shell::Format("Resets: %llu", static_cast<unsigned long long>(s.resets));
    case 4:
      return "Step of Ic (bits): " +
             (s.stepValid ? Triple(s.stepMean, s.stepDeviation, s.stepSpread) : "-");
    case 5:
      return "Forecast error (bits): " +
             (s.forecastValid ? Triple(s.forecastMean, s.forecastDeviation, s.forecastSpread)
                              : "-");
    default: return {};
  }
}

// --- fields -------------------------------------------------------------------
void AddIcSearchFields(shell::FieldList& l, KeyMap keyOf) {
  IcHOptions& o = Options();
  MeasureState& m = GetMeasureState();
  const std::string s = kIcHSection;
  Add(l,
      shell::FloatField(kIdIcHCriterion, &o.criterion, s, keyOf("Ic(H)Criterion"), 0, 1e10,
                        "Criterion (volts)"),
      0);
  Add(l,
      shell::UnsignedField(kIdIcHForwardStep, &o.forwardStep, s, keyOf("Ic(H)ForwardStep"), 1,
                           2048, "Step while searching I_c (bits)"),
      0);
  Add(l,
      shell::UnsignedField(kIdIcHBackwardStep, &o.backwardStep, s, keyOf("Ic(H)BackwardStep"),
                           1, 2048, "Step backward when Ic gets lower (bits)"),
      0);
  Add(l,
      shell::UnsignedField(kIdIcHZeroStep, &o.zeroStep, s, keyOf("Ic(H)ZeroStep"), 1, 2048,
                           "Step while searching V=0 (bits)"),
      0);
  Add(l,
      shell::UnsignedField(kIdIcHResetStabStep, &o.resetStabStep, s,
                           keyOf("Ic(H)ResetStabStep"), 0, 1024,
                           "Reset stabilization step (bits)"),
      0);
  Add(l,
      shell::UnsignedField(kIdIcHNumberOfTimes, &o.numberOfTimes, s,
                           keyOf("Ic(H)NumberOfTimes"), 1, 128, "Number of efforts"),
      0);
  Add(l,
      shell::UnsignedField(kIdIcXAccelCount, &o.accelCount, s, keyOf("Ic(X)AccelCount"), 1,
                           4294967295.0, "Accelerate after how many steps up?"),
      0);
  Add(l,
      shell::CheckField(kIdIcHUsePrediction, &o.usePrediction, s, keyOf("Ic(H)UsePrediction"),
                        "Use prediction"),
      0);
  Add(l,
      shell::CheckField(kIdIcHUseAbsV, &o.useAbsV, s, keyOf("Ic(H)UseAbsV"),
                        "Use |V| instead of V"),
      0);
  Add(l,
      shell::CheckField(kIdIcHCompensateSeriesR, &o.compensateSeriesR, s,
                        keyOf("Ic(H)CompensateSeriesR"),
                        "Compensate for series resistance (Ohm)"),
      0);
  Add(l,
      shell::FloatField(kIdIcHSeriesR, &o.seriesR, s, keyOf("Ic(H)SeriesR"), shell::kNoMinimum,
                        shell::kNoMaximum, ""),
      0);
  Add(l,
      shell::CheckField(kIdIcXResetToGetIc, &o.resetToGetIc, s, keyOf("Ic(X)ResetToGetIc"),
                        "Reset I to get Ic"),
      1);
  Add(l,
      shell::UnsignedField(kIdIcXDelayDuringReset, &o.delayDuringReset, s,
                           keyOf("Ic(X)DelayDuringReset"), 0, 60000,
                           "Delay (to cool down) during reset (ms)"),
      1);
  Add(l,
      shell::UnsignedField(kIdIcXDelayAfterReset, &o.delayAfterReset, s,
                           keyOf("Ic(X)DelayAfterReset"), 0, 60000,
                           "Delay (to cool down) after reset (ms)"),
      1);
  Add(l,
      shell::CheckField(kIdIcXShowPhaseMessage, &m.showPhaseMessage, s,
                        keyOf("Ic(X)ShowPhaseMessage"), "Show the phases of the search"),
      1);
  Add(l,
      shell::CheckField(kIdIcXCreateLogFile, &m.createLogFile, s, keyOf("Ic(X)CreateLogFile"),
                        "Write the phases to \"Ic(H).log\""),
      1);
  l.dependencies.push_back(
      shell::Dependency{shell::kRuleEnableIfChecked, kIdIcHCompensateSeriesR, {kIdIcHSeriesR}});
}

void AddIcStatisticsControls(shell::FieldList& l, int column) {
  for (int i = 0; i < kIcStatisticsLines; ++i)
    l.extraControls.push_back(shell::TextControl(kIdIcStatisticsFirst + i, {}, column));
}

bool IcOptionsHook(shell::SetupDialog& dialog, int id, int /*code*/) {
  // While compensation is off the resistance reads "Off"; its edit is then
  // disabled, so the framework keeps the stored value.
  auto showSeriesR = [&dialog] {
    if (dialog.GetCheck(kIdIcHCompensateSeriesR) == 0) {
      dialog.SetText(kIdIcHSeriesR, kIcHSeriesROff);
    } else if (dialog.GetText(kIdIcHSeriesR) == kIcHSeriesROff) {
      const int f = dialog.FieldIndex(kIdIcHSeriesR);
      dialog.SetText(kIdIcHSeriesR, shell::FormatFloatG(dialog.EditValues()[f].real));
    }
  };
  if (id == shell::kHookStart) {
    for (int i = 0; i < kIcStatisticsLines; ++i)
      dialog.SetText(kIdIcStatisticsFirst + i, IcStatisticsLine(i));
    showSeriesR();
  } else if (id == kIdIcHCompensateSeriesR) {
    showSeriesR();  // the box shows its new state already
  }
  return false;
}

shell::FieldList& IcHOptionsFields() {
  static shell::FieldList list = [] {
    shell::FieldList l;
    AddIcSearchFields(l, Same);
    AddIcHOnlyFields(l);
    AddIcStatisticsControls(l, 1);
    l.hook = IcOptionsHook;
    return l;
  }();
  return list;
}

shell::FieldList& IcHXAxisFields() {
  static shell::FieldList list = [] {
    shell::FieldList l;
    AddXAxisFields(l);
    return l;
  }();
  return list;
}

shell::FieldList& IcHGroupFields() {
  static shell::FieldList list = [] {
    shell::FieldList l;
    AddIcSearchFields(l, Same);
    AddIcHOnlyFields(l);
    AddXAxisFields(l);
    return l;
  }();
  return list;
}

int RunIcHOptionsDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kIcHOptionsDialogId, owner, IcHOptionsFields(),
                               kIcHOptionsCaption);
}

int RunIcHXAxisDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kIcHXAxisDialogId, owner, IcHXAxisFields(), kIcHXAxisCaption);
}

shell::InfoTable IcHInfoTable() {
  const IcHOptions& o = Options();
  shell::InfoTable t;
  t.title = kIcHOptionsCaption;
  t.Add("Criterion (volts)", shell::FormatFloatG(o.criterion));
  t.Add("Step while searching I_c (bits)", shell::Format("%u", o.forwardStep));
  t.Add("Step backward when Ic gets lower (bits)", shell::Format("%u", o.backwardStep));
  t.Add("Step while searching V=0 (bits)", shell::Format("%u", o.zeroStep));
  t.Add("Number of efforts", shell::Format("%u", o.numberOfTimes));
  t.Add("Prediction", shell::YesNo(o.usePrediction));
  t.Add("Reset I to get Ic", shell::YesNo(o.resetToGetIc));
  t.Add("Reset H to H_init during reset of I", shell::YesNo(o.resetField));
  t.Add("Measurements per each field value", shell::Format("%u", o.measurementsPerField));
  return t;
}

}  // namespace tsm::measure
