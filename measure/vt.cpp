#include "measure/vt.h"

#include <cmath>
#include <vector>

#include "channels/averaging.h"
#include "channels/measurement_options.h"
#include "channels/thermometer.h"
#include "channels/virtual_channels.h"
#include "curves/live.h"
#include "curves/state.h"
#include "daq/timing.h"
#include "measure/measure_dialog.h"
#include "measure/services.h"
#include "measure/state.h"
#include "measure/vt_options.h"
#include "platform/clock.h"
#include "shell/phyunits.h"

namespace tsm::measure {

namespace {
// T_prev before the first point, and the temperature of a cycle whose
// current came out as 0 (R(T) with a current that does not reverse).
constexpr double kNoPreviousT = -1000.0;
constexpr double kNoCurrentT = -1001.0;
// Any negative temperature marks a skipped cycle.
constexpr double kSkippedT = -1.0;

void ReadVoltages(const std::vector<int>& voltages, std::vector<double>& volts) {
  for (std::size_t k = 0; k < voltages.size(); ++k)
    volts[k] = channels::MeasureVoltageZeroed(voltages[k]).volts;
}
}  // namespace

int VT(MeasureDialog& dialog) {
  const platform::WindowHandle owner = dialog.Owner();
  const std::vector<int> voltages = channels::MeasuredVoltages();
  if (voltages.empty()) {
    ShowCannotStart(owner, kNoVoltagesText);
    return 0;
  }
  const int sensor = channels::FirstTSensorVoltage();
  if (sensor < 0) {
    ShowCannotStart(owner, kNoTSensorText);
    return 0;
  }
  // The options cannot change while the modal dialog is open.
  const VTOptions o = GetVTOptions();
  const bool resistance = o.mode == kVTModeR;
  const int s1 = channels::FirstSweep1Current();
  if ((resistance || o.antiThermoEMF) && s1 < 0) {
    ShowCannotStart(owner, kVTNeedsSweep1Text);
    return 0;
  }
  const std::uint32_t decay = channels::GetMeasurementOptions().delays.systemDecayTime;
  const char* unitY = resistance ? "Ohm" : "V";

  daq::Stopwatch total;
  curves::CurveFamily& family = curves::CurrentFamily();
  const std::uint32_t curves = static_cast<std::uint32_t>(voltages.size());
  const std::uint32_t n = PointsPerDirection(dialog.Sweep1());
  if (!SizeCurvesForVoltages(family, voltages, n, owner)) return 0;
  curves::LivePublisher live(family);
  live.SetUnits("K", unitY);

  // The routine reads the thermometer's voltage itself, so its row would
  // only repeat a stale value.
  dialog.HoldVoltageRow(sensor, kNotUpdatedText);
  const std::uint16_t start = s1 >= 0 ? channels::PresentCode(s1) : 0;
  const daq::TimeMark progress = platform::timeGetTime();
  daq::Stopwatch reversal;  // since Sweep1 came back from its reversal
  std::vector<double> plus(curves), minus(curves);
  double previousT = kNoPreviousT;
  std::uint32_t i = 0;
  bool complete = true;

  while (i < n) {
    dialog.ShowPoints(i, n);
    dialog.ShowProgress(daq::Stopwatch_Elapsed(&progress), i, n);
    const double reading = channels::Temperature();
    double t = reading;
    if (t < 0 || (i > 0 && std::fabs(t - previousT) < o.deltaT)) t = kSkippedT;

    if (t >= 0) {
      if (o.antiThermoEMF) reversal.WaitUntil(decay);
      ReadVoltages(voltages, plus);
      double current = resistance ? channels::CurrentAmperes(s1) : 1.0;
      if (o.antiThermoEMF) {
        channels::SetCurrentCode(s1, channels::MirrorCardCode(s1, start));
        daq::Delay(decay);
        ReadVoltages(voltages, minus);
        current = resistance ? current - channels::CurrentAmperes(s1) : 2.0;
        for (std::uint32_t k = 0; k < curves; ++k) plus[k] -= minus[k];
        channels::SetCurrentCode(s1, start);
        reversal.Restart();
      }
      if (current == 0.0) t = kNoCurrentT;
      if (t >= 0) {
        for (std::uint32_t k = 0; k < curves; ++k) {
          const double value = plus[k] / current;
          family.Curve(k).Point(i) =
              curves::CurvePoint{static_cast<float>(t), static_cast<float>(value)};
          dialog.HoldVoltageRow(voltages[k],
                                shell::FormatWithPrefix(static_cast<float>(value), unitY));
        }
        previousT = t;
      }
    }
    // A point at exactly 0 K is written but not kept: the next one
    // overwrites it, so it is not published either.
    if (t > 0) {
      ++i;
      live.PublishAll(i);
    } else {
      platform::GetUi().MessageBeep(platform::MB_SIMPLEBEEP);
    }
    dialog.ShowTemperature(reading);
    dialog.ShowLatestCurrents();
    if (StopRequested()) {
      complete = false;
      break;
    }
    daq::Delay(o.delay);
  }

  live.End();
  if (complete) {
    PlayMeasurementSound(resistance ? kSoundRT : kSoundVT);
  } else if (i < kMinimumPointsKept) {
    family.SetCount(0);
  } else {
    TruncateCurves(family, i);
  }
  // Only the reversal moves Sweep1; otherwise it stays where the user has it.
  if (o.antiThermoEMF) channels::SetCurrentCode(s1, start);
  FinishFamily(family, total.Elapsed() / 1000.0, kVTTitle, "K", unitY);
  return 1;
}

}  // namespace tsm::measure
