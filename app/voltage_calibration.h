// What follows a voltage calibration run: each voltage's (reference,
// measured) points are fitted with the weighted least-squares line
// (measured = A x reference + B, weights 1), the gain error (A - 1) in ppm
// and the offset B are shown, and the user may correct those virtual
// voltages' gains in memory (saving them stays the user's choice). The fit
// lives here, above the measurement routine, because the measurement layer
// does not reach the Math tools.
#pragma once

#include <string>
#include <vector>

#include "measure/calibration.h"
#include "platform/ui.h"

namespace tsm::app {

// A gain that is off by more than this is no calibration of a voltage
// wired to the standard (a channel left open, another range): it is shown
// but never corrected.
inline constexpr double kMaxCorrectableGainError = 0.1;

inline constexpr const char* kFitLineFormat = "%s:\tgain error %+.1f ppm,\toffset %s\n";
inline constexpr const char* kNoFitLineFormat =
    "%s:\tno fit (at least two different reference voltages are needed)\n";
inline constexpr const char* kNotCorrectedLineFormat =
    "%s:\tgain error %+.1f ppm,\toffset %s\t(too large, not corrected)\n";
inline constexpr const char* kApplyQuestion =
    "\nCorrect the gains of these virtual voltages by their gain errors?\n(The corrected "
    "gains are kept in memory; save the options to keep them.)";

struct CalibrationFit {
  int voltage = -1;
  std::string name;
  bool fitted = false;      // two or more different references
  double gain = 1.0;        // A
  double offset = 0.0;      // B, volts
  bool correctable = false;  // fitted, A > 0 and |A - 1| <= kMaxCorrectableGainError

  double GainErrorPpm() const { return (gain - 1.0) * 1e6; }
};

std::vector<CalibrationFit> FitCalibration(const std::vector<measure::CalibrationSeries>& runs);
// One line per voltage.
std::string CalibrationReport(const std::vector<CalibrationFit>& fits);
// Divides each correctable voltage's gain error out: its external gain is
// multiplied by A (and the AutoZero volts it carries, measured with the old
// gain, divided by A). The number of voltages corrected.
int ApplyGainCorrection(const std::vector<CalibrationFit>& fits);

// After a run that produced curves: fits the last run, shows the report
// (caption "Voltage Calibration") and, when a gain can be corrected, asks
// Yes/No whether to correct them. Nothing when no point was taken.
void ReportCalibration(platform::WindowHandle owner);

}  // namespace tsm::app
