// Settings of the voltage calibration against a Josephson voltage standard:
// the standard's frequency and the step numbers n it is set to, from, to
// and by (a negative step counts down). One option group (section "Voltage
// Standard") edited by the dialog "Voltage Calibration". It has no slot of
// the 24-slot table: Load Options and Save Options run it after the slots
// (app/options_registry.h).
#pragma once

#include <cstdint>

#include "platform/ui.h"
#include "shell/setupdlg.h"

namespace tsm::measure {

// The Josephson constant K_J in GHz per volt: step n at frequency f gives
// n x f / K_J volts.
inline constexpr double kJosephsonGHzPerVolt = 483597.8484;
inline constexpr std::int32_t kMaxStepNumber = 10000000;
// Each point waits for the user to set the standard; more is a typing error.
inline constexpr std::uint32_t kMaxCalibrationPoints = 10000;

struct CalibratorOptions {
  double frequency = 75.0;        // "FrequencyGHz"
  std::int32_t firstStep = -60000;  // "FirstStep", n of the first point
  std::int32_t lastStep = 60000;    // "LastStep", the last n (reached when the increment divides)
  std::int32_t stepIncrement = 10000;  // "StepIncrement", may be negative
};

CalibratorOptions& GetCalibratorOptions();
void ResetCalibratorOptions();

// The number of step numbers from first towards last (last included when
// the increment divides the distance); 0 when the increment is 0 or points
// away from last. Counted in 64 bits: it may exceed kMaxCalibrationPoints.
std::uint64_t CalibrationPointCount(const CalibratorOptions& o);
// The volts of step n: n x f / K_J.
double StandardVolts(std::int64_t n, double frequencyGHz);

inline constexpr const char* kCalibratorSection = "Voltage Standard";
inline constexpr const char* kCalibratorCaption = "Voltage Calibration";

inline constexpr int kCalibratorDialogId = 4990;
inline constexpr int kIdCalFrequency = 4991;
inline constexpr int kIdCalFirstStep = 4992;
inline constexpr int kIdCalLastStep = 4993;
inline constexpr int kIdCalIncrement = 4994;

shell::FieldList& CalibratorGroupFields();
// 1 after OK, 0 after Cancel.
int RunCalibratorDialog(platform::WindowHandle owner);

}  // namespace tsm::measure
