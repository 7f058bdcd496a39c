// Voltage calibration against a Josephson voltage standard: for every step
// number n of the options the user sets the standard (its output is n x f /
// K_J) and confirms; every measured voltage is then read. One curve per
// voltage of (reference volts, measured volts). The run also keeps the
// readings in double precision for the straight-line fit that follows it
// (the Measure command fits, reports and offers the gain correction).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tsm::measure {

class MeasureDialog;

inline constexpr const char* kCalibrationTitle = "Voltage Calibration";
inline constexpr const char* kCalibrationCaption = "Voltage Calibration";
// n, the volts of the standard ("%+.9f") and the frequency ("%G").
inline constexpr const char* kSetStandardText =
    "Set the voltage standard to step n = %d\n(%+.9f V at %G GHz).\n\nPress OK when it is "
    "stable,\nCancel to end the calibration here.";
// First, last, increment.
inline constexpr const char* kNoCalibrationPointText =
    "The step numbers from %d to %d with step %d\ngive no calibration point.";
// The count and the largest count.
inline constexpr const char* kTooManyCalibrationPointsText =
    "The step numbers give %llu calibration points;\nat most %u can be taken.";

// What a run measured, for the fit: per measured voltage its index, its
// curve's name and the (reference, measured) pairs in volts.
struct CalibrationSeries {
  int voltage = -1;
  std::string name;
  std::vector<double> reference;
  std::vector<double> measured;
};
// The series of the last run (written by the worker; read once the
// measurement dialog has ended).
const std::vector<CalibrationSeries>& LastCalibration();
void ResetCalibration();

// The routine of the "Voltage Calibration" description (worker thread). 0
// when the start checks fail (message, family unchanged); otherwise 1 with
// one curve per measured voltage holding the points taken before Cancel or
// Stop (an empty family when none was).
int VoltageCalibration(MeasureDialog& dialog);

}  // namespace tsm::measure
