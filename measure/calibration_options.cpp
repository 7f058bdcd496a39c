#include "measure/calibration_options.h"

namespace tsm::measure {

namespace {
CalibratorOptions& Options() {
  static CalibratorOptions options;
  return options;
}
}  // namespace

CalibratorOptions& GetCalibratorOptions() { return Options(); }
void ResetCalibratorOptions() { Options() = CalibratorOptions{}; }

std::uint64_t CalibrationPointCount(const CalibratorOptions& o) {
  const std::int64_t span = static_cast<std::int64_t>(o.lastStep) - o.firstStep;
  const std::int64_t step = o.stepIncrement;
  if (step == 0 || (span > 0 && step < 0) || (span < 0 && step > 0)) return 0;
  return static_cast<std::uint64_t>(span / step) + 1;
}

double StandardVolts(std::int64_t n, double frequencyGHz) {
  return static_cast<double>(n) * frequencyGHz / kJosephsonGHzPerVolt;
}

shell::FieldList& CalibratorGroupFields() {
  static shell::FieldList list = [] {
    CalibratorOptions& o = Options();
    const char* s = kCalibratorSection;
    const double n = kMaxStepNumber;
    shell::FieldList l;
    l.fields.push_back(shell::FloatField(kIdCalFrequency, &o.frequency, s, "FrequencyGHz",
                                         0.001, 10000, "Frequency of the standard (GHz)"));
    l.fields.push_back(shell::SignedField(kIdCalFirstStep, &o.firstStep, s, "FirstStep", -n, n,
                                          "Step number n from"));
    l.fields.push_back(
        shell::SignedField(kIdCalLastStep, &o.lastStep, s, "LastStep", -n, n, "to"));
    l.fields.push_back(shell::SignedField(kIdCalIncrement, &o.stepIncrement, s,
                                          "StepIncrement", -n, n, "with step"));
    return l;
  }();
  return list;
}

int RunCalibratorDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kCalibratorDialogId, owner, CalibratorGroupFields(),
                               kCalibratorCaption);
}

}  // namespace tsm::measure
