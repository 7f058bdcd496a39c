#include "measure/ivc.h"

#include <vector>

#include "channels/averaging.h"
#include "channels/measurement_options.h"
#include "channels/virtual_channels.h"
#include "curves/live.h"
#include "curves/state.h"
#include "daq/timing.h"
#include "measure/ivc_options.h"
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

double XValue(const IVCOptions& o, std::uint32_t i, int sweep1Current) {
  switch (o.xAxisKind) {
    case kXSweep1: return channels::CurrentAmperes(sweep1Current) * o.factor;
    case kXAutomatic: return static_cast<double>(o.from) + static_cast<double>(i) * o.step;
    default:
      platform::ReportAssertion(kIVCUnknownKindText, kSource, __LINE__);
      return 0.0;
  }
}
}  // namespace

double IVC_GetParamValue(std::uint32_t i, int sweep1Current) {
  return XValue(GetIVCOptions(), i, sweep1Current);
}

int IVC(MeasureDialog& dialog) {
  const platform::WindowHandle owner = dialog.Owner();
  StartChannels start;
  if (!FindStartChannels(owner, false, &start)) return 0;
  const int s1 = start.sweep1;
  const std::vector<int>& voltages = start.voltages;
  // The options cannot change while the modal dialog is open; a copy keeps
  // the loop from reading shared records at every point.
  const channels::MeasurementOptions options = channels::GetMeasurementOptions();
  const IVCOptions x = GetIVCOptions();
  if (x.xAxisKind != kXSweep1 && x.xAxisKind != kXAutomatic) {
    platform::ReportAssertion(kIVCUnknownKindText, kSource, __LINE__);
    return 0;
  }

  daq::Stopwatch total;
  curves::CurveFamily& family = curves::CurrentFamily();
  const std::uint32_t curves = static_cast<std::uint32_t>(voltages.size());
  const SweepRange range = RangeInCardCodes(dialog.Sweep1());
  std::uint32_t n = PointsPerDirection(range);
  if (range.twoDirections) n *= 2;
  if (!SizeCurvesForVoltages(family, voltages, n, owner)) return 0;

  // From here the plot shows the points as they are measured.
  curves::LivePublisher live(family);
  live.SetUnits(x.xAxisKind == kXAutomatic ? x.autoUnits : x.units, "V");

  // Only the settling wait needs the raised timer resolution; the progress
  // and interaction marks only measure elapsed time.
  const daq::TimeMark progress = platform::timeGetTime();
  daq::TimeMark interaction = progress;
  const std::uint16_t before = channels::PresentCode(s1);

  channels::SetCurrentCode(s1, static_cast<std::uint16_t>(range.start));
  daq::Delay(options.delays.delayAfterJumpToStart);
  const double xFirst = XValue(x, 0, s1);
  double xStop = xFirst, xLastForward = xFirst;
  bool stopSeen = false, complete = true;

  daq::Stopwatch settle(false);
  std::uint32_t i = 0;
  for (SweepIterator it(range); it.Valid() && i < n; it.Next(), ++i) {
    const std::uint32_t code = it.Code();
    channels::SetCurrentCode(s1, static_cast<std::uint16_t>(code));
    settle.Restart();

    if (x.trigger && FireTriggerPulse() < 0) {
      live.End();
      shell::ShowMessage(owner, kTriggerFailedText, kIVCErrorCaption,
                         platform::MB_OK | platform::MB_ICONHAND);
      if (i == 0)
        family.SetCount(0);
      else
        TruncateCurves(family, i);
      complete = false;
      break;
    }

    if (daq::Stopwatch_HasPassed(&interaction, options.delays.interactionTime)) {
      dialog.ShowPoints(i, n);
      dialog.ShowLatestVoltages();
      dialog.ShowProgress(daq::Stopwatch_Elapsed(&progress), i, n);
      interaction = platform::timeGetTime();
    }
    // The display update counts toward the settling time.
    settle.WaitUntil(options.delays.systemDecayTime);

    const double xi = XValue(x, i, s1);
    if (code == range.stop) {
      xStop = xi;
      stopSeen = true;
    }
    if (!it.OnWayBack()) xLastForward = xi;
    for (std::uint32_t k = 0; k < curves; ++k) {
      const channels::VoltageReading r = channels::MeasureVoltageZeroed(voltages[k]);
      family.Curve(k).Point(i) = curves::CurvePoint{static_cast<float>(xi),
                                                    static_cast<float>(r.volts)};
    }
    live.PublishAll(i + 1);

    if (StopRequested()) {
      live.End();
      KeepFirstPoints(family, i);
      complete = false;
      break;
    }
  }

  live.End();
  if (complete) {
    if (range.twoDirections) n /= 2;
    if (!stopSeen) xStop = xLastForward;
    if (options.general.currentMeasureMethod == 1) {
      for (std::uint32_t k = 0; k < curves; ++k) {
        curves::Curve& c = family.Curve(k);
        for (std::uint32_t j = 0; j < n && j < c.Count(); ++j) {
          const float xj = static_cast<float>(xFirst + j * (xStop - xFirst) / n);
          c.Point(j).x = xj;
          if (range.twoDirections && 2 * n - 1 - j < c.Count()) c.Point(2 * n - 1 - j).x = xj;
        }
      }
    }
    PlayMeasurementSound(kSoundIVC);
  }

  channels::SetCurrentCode(s1, before);
  FinishFamily(family, total.Elapsed() / 1000.0, kIVCTitle,
               x.xAxisKind == kXAutomatic ? x.autoUnits : x.units, "V");
  return 1;
}

}  // namespace tsm::measure
