#include "measure/calibration.h"

#include "channels/averaging.h"
#include "channels/virtual_channels.h"
#include "curves/live.h"
#include "curves/state.h"
#include "daq/timing.h"
#include "measure/calibration_options.h"
#include "measure/measure_dialog.h"
#include "measure/services.h"
#include "measure/state.h"
#include "platform/clock.h"
#include "shell/errors.h"
#include "shell/stringex.h"

namespace tsm::measure {

namespace {
std::vector<CalibrationSeries>& Series() {
  static std::vector<CalibrationSeries> series;
  return series;
}

void ShowCalibrationError(platform::WindowHandle owner, const std::string& text) {
  shell::ShowMessage(owner, text, kCalibrationCaption, platform::MB_OK | platform::MB_ICONHAND);
}
}  // namespace

const std::vector<CalibrationSeries>& LastCalibration() { return Series(); }
void ResetCalibration() { Series().clear(); }

int VoltageCalibration(MeasureDialog& dialog) {
  const platform::WindowHandle owner = dialog.Owner();
  const std::vector<int> voltages = channels::MeasuredVoltages();
  if (voltages.empty()) {
    ShowCannotStart(owner, kNoVoltagesText);
    return 0;
  }
  const CalibratorOptions o = GetCalibratorOptions();
  const std::uint64_t count = CalibrationPointCount(o);
  if (count == 0) {
    ShowCalibrationError(owner, shell::Format(kNoCalibrationPointText, o.firstStep, o.lastStep,
                                              o.stepIncrement));
    return 0;
  }
  if (count > kMaxCalibrationPoints) {
    ShowCalibrationError(owner, shell::Format(kTooManyCalibrationPointsText,
                                              static_cast<unsigned long long>(count),
                                              kMaxCalibrationPoints));
    return 0;
  }
  const auto n = static_cast<std::uint32_t>(count);

  daq::Stopwatch total;
  curves::CurveFamily& family = curves::CurrentFamily();
  const auto curves = static_cast<std::uint32_t>(voltages.size());
  if (!SizeCurvesForVoltages(family, voltages, n, owner)) return 0;
  std::vector<CalibrationSeries>& series = Series();
  series.assign(curves, {});
  for (std::uint32_t k = 0; k < curves; ++k) {
    series[k].voltage = voltages[k];
    series[k].name = family.Curve(k).Name();
  }
  curves::LivePublisher live(family);
  live.SetUnits("V", "V");

  const daq::TimeMark progress = platform::timeGetTime();
  std::uint32_t done = 0;
  for (; done < n; ++done) {
    const std::int64_t step = static_cast<std::int64_t>(o.firstStep) +
                              static_cast<std::int64_t>(done) * o.stepIncrement;
    const double reference = StandardVolts(step, o.frequency);
    dialog.ShowPoints(done, n);
    dialog.ShowProgress(daq::Stopwatch_Elapsed(&progress), done, n);
    const int answer = shell::ShowMessage(
        owner, shell::Format(kSetStandardText, static_cast<int>(step), reference, o.frequency),
        kCalibrationCaption, platform::MB_OKCANCEL | platform::MB_ICONQUESTION);
    if (answer != platform::IDOK || StopRequested()) break;
    for (std::uint32_t k = 0; k < curves; ++k) {
      const double volts = channels::MeasureVoltageZeroed(voltages[k]).volts;
      family.Curve(k).Point(done) =
          curves::CurvePoint{static_cast<float>(reference), static_cast<float>(volts)};
      series[k].reference.push_back(reference);
      series[k].measured.push_back(volts);
    }
    live.PublishAll(done + 1);
    dialog.ShowLatestVoltages();
    if (StopRequested()) {
      ++done;
      break;
    }
  }
  live.End();
  // Every point cost the user a setting of the standard: all are kept.
  if (done == 0)
    family.SetCount(0);
  else
    TruncateCurves(family, done);
  dialog.ShowPoints(done, n);
  FinishFamily(family, total.Elapsed() / 1000.0, kCalibrationTitle, "V", "V");
  return 1;
}

}  // namespace tsm::measure
