#include "measure/ict.h"

#include <cmath>
#include <vector>

#include "channels/autozero.h"
#include "channels/thermometer.h"
#include "channels/virtual_channels.h"
#include "curves/live.h"
#include "curves/state.h"
#include "daq/timing.h"
#include "measure/ic_search.h"
#include "measure/ict_options.h"
#include "measure/measure_dialog.h"
#include "measure/services.h"
#include "measure/state.h"
#include "measure/sweep.h"
#include "platform/clock.h"

namespace tsm::measure {

int IcT(MeasureDialog& dialog) {
  const platform::WindowHandle owner = dialog.Owner();
  const int s1 = channels::FirstSweep1Current();
  if (s1 < 0) {
    ShowCannotStart(owner, kNoSweep1Text);
    return 0;
  }
  const std::vector<int> voltages = channels::MeasuredVoltages();
  if (voltages.empty()) {
    ShowCannotStart(owner, kNoVoltagesText);
    return 0;
  }
  if (channels::FirstTSensorVoltage() < 0) {
    ShowCannotStart(owner, kNoTSensorText);
    return 0;
  }
  const IcTOptions o = GetIcTOptions();

  daq::Stopwatch total;
  curves::CurveFamily& family = curves::CurrentFamily();
  const std::uint32_t curves = static_cast<std::uint32_t>(voltages.size());
  const std::uint32_t n = PointsPerDirection(dialog.Sweep1());
  if (!SizeCurvesForVoltages(family, voltages, n, owner)) return 0;
  const std::uint16_t s1Before = channels::PresentCode(s1);
  ClearIcStatistics();

  IcSearchSetup setup;
  setup.dialog = &dialog;
  setup.sweep1 = s1;
  IcSearch search(setup, voltages);

  curves::LivePublisher live(family);
  live.SetUnits("K", "A");
  std::uint32_t i = 0;  // points accepted
  auto keep = [&](std::uint32_t points) {
    live.End();
    if (points == 0)
      family.SetCount(0);
    else
      TruncateCurves(family, points);
  };

  try {
    PhaseLog(&dialog, "resetting..");
    bool ok = true;
    for (std::uint32_t j = 0; j < curves && ok; ++j) ok = search.Initialize(j);
    if (!ok) {
      keep(0);
    } else {
      const daq::TimeMark progress = platform::timeGetTime();
      while (i < n) {
        dialog.ShowPoints(i, n);
        dialog.ShowProgress(daq::Stopwatch_Elapsed(&progress), i, n);
        if (o.autoZeroSweep1ForEachT) channels::ZeroWithSweepCurrent();
        // Point i is written, and overwritten while it is not accepted,
        // before it is published.
        bool moved = false, read = true;
        for (std::uint32_t j = 0; j < curves && ok; ++j) {
          ok = search.Search(j, i);
          if (!ok) break;
          const double t = channels::Temperature();
          curves::Curve& c = family.Curve(j);
          c.Point(i) = curves::CurvePoint{static_cast<float>(t),
                                          static_cast<float>(channels::CurrentAmperes(s1))};
          // A reading the thermometer could not make is never a point.
          read = read && t >= 0;
          if (i == 0 || std::fabs(static_cast<double>(c.Point(i).x) - c.Point(i - 1).x) >=
                            o.minDeltaT)
            moved = true;
        }
        moved = moved && read;
        if (!ok) break;
        dialog.ShowLatestCurrents();
        dialog.ShowTemperature(family.Curve(0).Point(i).x);
        if (!moved) {
          platform::GetUi().MessageBeep(platform::MB_OK);
          continue;
        }
        live.PublishAll(++i);
      }
      if (ok) {
        live.End();
        PlayMeasurementSound(kSoundIcT);
      } else {
        keep(i);
      }
    }
  } catch (const MeasureIcException&) {
    keep(i < kMinimumPointsKept ? 0 : i);
  }
  live.End();
  ComputeIcStatistics();
  channels::SetCurrentCode(s1, s1Before);
  FinishFamily(family, total.Elapsed() / 1000.0, kIcTTitle, "K", "A");
  AppendCurrentName(family, s1);
  return 1;
}

}  // namespace tsm::measure
