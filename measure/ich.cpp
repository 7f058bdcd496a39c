#include "measure/ich.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "channels/autozero.h"
#include "channels/measurement_options.h"
#include "channels/virtual_channels.h"
#include "curves/live.h"
#include "curves/state.h"
#include "daq/timing.h"
#include "measure/ic_search.h"
#include "measure/ich_options.h"
#include "measure/measure_dialog.h"
#include "measure/services.h"
#include "measure/state.h"
#include "measure/sweep.h"
#include "platform/assert.h"
#include "platform/clock.h"
#include "shell/errors.h"

namespace tsm::measure {

namespace {
constexpr const char* kSource = "cvc";

std::atomic<bool> resetFieldForced{false};

double XValue(const IcHOptions& o, std::uint32_t i, int sweep2Current) {
  switch (o.xAxisKind) {
    case kIcHXSweep2: return channels::CurrentAmperes(sweep2Current) * o.xFactor;
    case kIcHXAutomatic: return static_cast<double>(o.xFrom) + static_cast<double>(i) * o.xStep;
    default:
      platform::ReportAssertion(kIcHUnknownKindText, kSource, __LINE__);
      return 0.0;
  }
}

// The end of every run: both currents back where they were, the family's
// time, title and units, and every curve named "voltage/bias".
int Finish(curves::CurveFamily& family, daq::Stopwatch& total, const char* title,
           const char* unitX, int s1, std::uint16_t s1Before, int s2, std::uint16_t s2Before) {
  channels::SetCurrentCode(s1, s1Before);
  channels::SetCurrentCode(s2, s2Before);
  FinishFamily(family, total.Elapsed() / 1000.0, title, unitX, "A");
  AppendCurrentName(family, s1);
  return 1;
}

int FieldSearch(MeasureDialog& dialog, SearchKind kind) {
  const platform::WindowHandle owner = dialog.Owner();
  const int s1 = channels::FirstSweep1Current();
  if (s1 < 0) {
    ShowCannotStart(owner, kNoSweep1Text);
    return 0;
  }
  const int s2 = channels::FirstSweep2Current();
  if (s2 < 0) {
    ShowCannotStart(owner, kNoSweep2Text);
    return 0;
  }
  const std::vector<int> voltages = channels::MeasuredVoltages();
  if (voltages.empty()) {
    ShowCannotStart(owner, kNoVoltagesText);
    return 0;
  }
  const channels::MeasurementOptions options = channels::GetMeasurementOptions();
  IcHOptions o = GetIcHOptions();
  if (o.xAxisKind != kIcHXSweep2 && o.xAxisKind != kIcHXAutomatic) {
    platform::ReportAssertion(kIcHUnknownKindText, kSource, __LINE__);
    return 0;
  }
  const char* title = kind == SearchKind::Ic ? kIcHTitle : kImHTitle;
  const char* unitX = o.xAxisKind == kIcHXAutomatic ? o.autoUnits : o.sweep2Units;
  const std::uint32_t m = std::clamp(o.measurementsPerField, 1u, 1000u);

  daq::Stopwatch total;
  curves::CurveFamily& family = curves::CurrentFamily();
  const std::uint32_t curves = static_cast<std::uint32_t>(voltages.size());
  const SweepRange range = RangeInCardCodes(dialog.Sweep1());
  std::uint32_t n = PointsPerDirection(range);
  if (range.twoDirections) n *= 2;
  if (!SizeCurvesForVoltages(family, voltages, n * m, owner)) return 0;
  const std::uint16_t s1Before = channels::PresentCode(s1);
  const std::uint16_t s2Before = channels::PresentCode(s2);
  ClearIcStatistics();

  IcSearchSetup setup;
  setup.dialog = &dialog;
  setup.kind = kind;
  setup.sweep1 = s1;
  setup.sweep2 = s2;
  setup.resetField = o.resetField || ResetFieldForced();
  setup.fieldStart = s2Before;
  IcSearch search(setup, voltages);

  curves::LivePublisher live(family);
  live.SetUnits(unitX, "A");
  // Points stored per curve: what a failed search keeps.
  std::vector<std::uint32_t> stored(curves, 0);
  auto keep = [&](std::uint32_t points) {
    live.End();
    if (points == 0)
      family.SetCount(0);
    else
      TruncateCurves(family, points);
  };
  auto keepStored = [&] {
    live.End();
    if (*std::max_element(stored.begin(), stored.end()) == 0) {
      family.SetCount(0);
      return;
    }
    for (std::uint32_t j = 0; j < curves; ++j) family.Curve(j).SetSize(stored[j]);
  };
  auto finish = [&] { return Finish(family, total, title, unitX, s1, s1Before, s2, s2Before); };

  std::uint32_t i = 0;
  try {
    PhaseLog(&dialog, "Seaching I_reset for all currents..");
    for (std::uint32_t j = 0; j < curves; ++j) {
      if (!search.Initialize(j)) {
        keep(0);
        return finish();
      }
    }

    const daq::TimeMark progress = platform::timeGetTime();
    channels::SetCurrentCode(s2, static_cast<std::uint16_t>(range.start));
    daq::Delay(std::max(options.delays.delayAfterJumpToStart, options.delays.delayAfterSweep2));
    const double xFirst = XValue(o, 0, s2);
    double xStop = xFirst, xLastForward = xFirst;
    bool stopSeen = false;

    daq::Stopwatch field(false);
    for (SweepIterator it(range); it.Valid() && i < n; it.Next(), ++i) {
      const std::uint32_t code = it.Code();
      PhaseLog(&dialog, "Setting new value of sweep2 = %u", code);
      channels::SetCurrentCode(s2, static_cast<std::uint16_t>(code));
      search.SetFieldCode(static_cast<std::uint16_t>(code));
      field.Restart();

      if (o.trigger && FireTriggerPulse() < 0) {
        shell::ShowMessage(owner, kTriggerFailedText, kIcHErrorCaption,
                           platform::MB_OK | platform::MB_ICONHAND);
        keep(i * m);
        return finish();
      }
      dialog.ShowPoints(i, n);
      dialog.ShowProgress(daq::Stopwatch_Elapsed(&progress), i, n);
      field.WaitUntil(options.delays.delayAfterSweep2);
      if (options.delays.stopAfterEachCurve &&
          shell::ShowMessage(owner, kNextPointText, kNextPointCaption, platform::MB_OKCANCEL) ==
              platform::IDCANCEL) {
        keep(i * m);
        return finish();
      }
      if (o.autoZeroSweep1ForEachH) channels::ZeroWithSweepCurrent();

      const double xi = XValue(o, i, s2);
      for (std::uint32_t j = 0; j < curves; ++j) {
        for (std::uint32_t k = 0; k < m; ++k) {
          if (!search.Search(j, i)) {
            keepStored();
            return finish();
          }
          const std::uint32_t p = i * m + k;
          family.Curve(j).Point(p) = curves::CurvePoint{
              static_cast<float>(xi), static_cast<float>(channels::CurrentAmperes(s1))};
          stored[j] = p + 1;
          live.Publish(j, p + 1);
        }
      }
      if (code == range.stop) {
        xStop = xi;
        stopSeen = true;
      }
      if (!it.OnWayBack()) xLastForward = xi;
    }

    // A complete run.
    live.End();
    if (range.twoDirections) n /= 2;
    if (!stopSeen) xStop = xLastForward;
    if (options.general.currentMeasureMethod == 1) {
      for (std::uint32_t j = 0; j < curves; ++j) {
        curves::Curve& c = family.Curve(j);
        for (std::uint32_t f = 0; f < n; ++f) {
          const float xf = static_cast<float>(xFirst + f * (xStop - xFirst) / n);
          for (std::uint32_t k = 0; k < m; ++k) {
            const std::uint32_t p = f * m + k;
            if (p < c.Count()) c.Point(p).x = xf;
            const std::uint32_t mirrored = 2 * n * m - p - 1;
            if (range.twoDirections && mirrored < c.Count()) c.Point(mirrored).x = xf;
          }
        }
      }
    }
    ComputeIcStatistics();
    PlayMeasurementSound(kind == SearchKind::Ic ? kSoundIcH : kSoundImH);
  } catch (const MeasureIcException&) {
    // The stop flag, seen inside a voltage test.
    keep(i < kMinimumPointsKept ? 0 : i * m);
  }
  return finish();
}
}  // namespace

double IcX_GetParamValue(std::uint32_t i, int sweep2Current) {
  return XValue(GetIcHOptions(), i, sweep2Current);
}

int IcH(MeasureDialog& dialog) { return FieldSearch(dialog, SearchKind::Ic); }
int ImH(MeasureDialog& dialog) { return FieldSearch(dialog, SearchKind::Im); }

int RunIcHWithReset(platform::WindowHandle owner) {
  resetFieldForced.store(true);
  const int result = RunMeasurement(Mode::IcH, owner);
  resetFieldForced.store(false);
  return result;
}

bool ResetFieldForced() { return resetFieldForced.load(); }

}  // namespace tsm::measure
