#include "app/voltage_calibration.h"

#include <cmath>

#include "channels/virtual_channels.h"
#include "math/leastsquarefit.h"
#include "shell/errors.h"
#include "shell/phyunits.h"
#include "shell/stringex.h"

namespace tsm::app {

std::vector<CalibrationFit> FitCalibration(const std::vector<measure::CalibrationSeries>& runs) {
  std::vector<CalibrationFit> fits;
  for (const measure::CalibrationSeries& s : runs) {
    CalibrationFit f;
    f.voltage = s.voltage;
    f.name = s.name;
    math::LeastSquareFit fit;
    for (std::size_t i = 0; i < s.reference.size() && i < s.measured.size(); ++i)
      fit.Add(s.reference[i], s.measured[i], 1.0);
    try {
      f.gain = fit.A();
      f.offset = fit.B();
      // Every reference the same: the fitter answers "infinite".
      f.fitted = f.gain != math::LeastSquareFit::kInfinite && std::isfinite(f.gain) &&
                 std::isfinite(f.offset);
    } catch (const math::LeastSquareFitException&) {
      f.fitted = false;  // no point at all
    }
    if (!f.fitted) f.gain = 1.0, f.offset = 0.0;
    f.correctable = f.fitted && f.gain > 0 && std::fabs(f.gain - 1.0) <= kMaxCorrectableGainError;
    fits.push_back(f);
  }
  return fits;
}

std::string CalibrationReport(const std::vector<CalibrationFit>& fits) {
  std::string text;
  for (const CalibrationFit& f : fits) {
    const std::string offset = shell::FormatWithPrefix(static_cast<float>(f.offset), "V");
    if (!f.fitted)
      text += shell::Format(kNoFitLineFormat, f.name.c_str());
    else
      text += shell::Format(f.correctable ? kFitLineFormat : kNotCorrectedLineFormat,
                            f.name.c_str(), f.GainErrorPpm(), offset.c_str());
  }
  return text;
}

int ApplyGainCorrection(const std::vector<CalibrationFit>& fits) {
  int corrected = 0;
  for (const CalibrationFit& f : fits) {
    if (!f.correctable || !channels::IsVoltageDefined(f.voltage)) continue;
    channels::VirtualVoltage v = channels::GetVoltage(f.voltage);
    v.extGain = static_cast<float>(static_cast<double>(v.extGain) * f.gain);
    channels::SetVoltage(f.voltage, v);
    channels::VoltageZero zero = channels::GetVoltageZero(f.voltage);
    zero.volts /= f.gain;
    channels::SetVoltageZero(f.voltage, zero);
    ++corrected;
  }
  return corrected;
}

void ReportCalibration(platform::WindowHandle owner) {
  const std::vector<CalibrationFit> fits = FitCalibration(measure::LastCalibration());
  bool anyPoint = false, anyCorrectable = false;
  for (const measure::CalibrationSeries& s : measure::LastCalibration())
    anyPoint = anyPoint || !s.reference.empty();
  for (const CalibrationFit& f : fits) anyCorrectable = anyCorrectable || f.correctable;
  if (!anyPoint) return;
  const std::string report = CalibrationReport(fits);
  if (!anyCorrectable) {
    shell::ShowMessage(owner, report, measure::kCalibrationCaption,
                       platform::MB_OK | platform::MB_ICONINFORMATION);
    return;
  }
  if (shell::ShowMessage(owner, report + kApplyQuestion, measure::kCalibrationCaption,
                         platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES)
    ApplyGainCorrection(fits);
}

}  // namespace tsm::app
