#include "measure/vdc_iac.h"

#include <algorithm>
#include <vector>

#include "channels/averaging.h"
#include "channels/generator_control.h"
#include "channels/measurement_options.h"
#include "channels/virtual_channels.h"
#include "curves/live.h"
#include "curves/state.h"
#include "daq/generator.h"
#include "daq/timing.h"
#include "measure/measure_dialog.h"
#include "measure/services.h"
#include "measure/state.h"
#include "measure/sweep.h"
#include "measure/vdc_iac_options.h"
#include "platform/clock.h"
#include "shell/errors.h"
#include "shell/stringex.h"

namespace tsm::measure {

std::uint32_t SymmetricExtreme(std::uint32_t a) {
  return a == 0 ? kMaxNormalisedCode : kNormalisedCodes - std::min(a, kMaxNormalisedCode);
}

double VdcEdgeX(std::uint32_t i, std::uint32_t n0, double iStart, double iStop) {
  if (n0 == 0) return iStart;
  const double step = (iStop - iStart) / n0;
  return i <= n0 ? iStart + step * i : iStart + step * (2.0 * n0 - i);
}

namespace {
// A failed start that the generator did not tell the user about itself (the
// driver's failures are reported by the error handler, the refusals about
// the currents by their own messages).
void TellSilentFailure(platform::WindowHandle owner, daq::DriverStatus status) {
  if (status != daq::kGeneratorTooShort && status != daq::kGeneratorNoMemory) return;
  shell::ShowMessage(owner, shell::Format(channels::kFastSweepFailedText, int(status)),
                     channels::kFastGeneratorFailedCaption,
                     platform::MB_OK | platform::MB_ICONHAND);
}
}  // namespace

int VdcIac(MeasureDialog& dialog) {
  const platform::WindowHandle owner = dialog.Owner();
  StartChannels start;
  if (!FindStartChannels(owner, false, &start)) return 0;
  const int s1 = start.sweep1;
  const std::vector<int>& voltages = start.voltages;
  const channels::DelayOptions delays = channels::GetMeasurementOptions().delays;
  const bool edges = channels::GetMeasurementOptions().general.currentMeasureMethod == 1;
  const VdcIacOptions o = GetVdcIacOptions();

  daq::Stopwatch total;
  curves::CurveFamily& family = curves::CurrentFamily();
  const std::uint32_t curves = static_cast<std::uint32_t>(voltages.size());
  // The range stays in normalised codes: the generator takes those.
  const SweepRange range = dialog.Sweep1();
  const std::uint32_t n0 = PointsPerDirection(range);
  const std::uint32_t n = TotalPoints(range);
  if (!SizeCurvesForVoltages(family, voltages, n, owner)) return 0;

  curves::LivePublisher live(family);
  live.SetUnits("A", "V");
  const daq::TimeMark progress = platform::timeGetTime();
  daq::TimeMark interaction = progress;
  const std::uint32_t factor = NormalisationFactor(s1);
  auto moveTo = [s1, factor](std::uint32_t normalised) {
    channels::SetCurrentCode(s1, static_cast<std::uint16_t>(NormalisedToCard(normalised, factor)));
  };
  const std::uint16_t before = channels::PresentCode(s1);

  double iStart = 0.0, iStop = 0.0;
  if (edges) {
    // The current is measured at both ends once; the points only play
    // waveforms.
    moveTo(range.start);
    daq::Delay(delays.delayAfterJumpToStart);
    iStart = channels::CurrentAmperes(s1);
    moveTo(range.stop);
    daq::Delay(delays.delayAfterJumpToStart);
    iStop = channels::CurrentAmperes(s1);
    moveTo(kMidScale);
    daq::Delay(delays.delayAfterJumpToStart);
  }

  channels::GeneratorRange wave;
  wave.step = range.step;
  wave.twoDirections = true;
  daq::Stopwatch coolDown(false);
  bool complete = true;
  std::uint32_t i = 0;
  for (SweepIterator it(range); it.Valid() && i < n; it.Next(), ++i) {
    const std::uint32_t a = it.Code();
    wave.start = a;
    wave.stop = SymmetricExtreme(a);
    double x = 0.0;
    if (edges) {
      x = VdcEdgeX(i, n0, iStart, iStop);
    } else {
      moveTo(a);
      daq::Delay(delays.systemDecayTime);
      x = channels::CurrentAmperes(s1);
    }
    if (o.coolDownDelay != 0) {
      moveTo(kMidScale);
      coolDown.Restart();
    }
    if (daq::Stopwatch_HasPassed(&interaction, delays.interactionTime)) {
      dialog.ShowPoints(i, n);
      dialog.ShowSweep1Amperes(x);
      dialog.ShowLatestVoltages();
      dialog.ShowProgress(daq::Stopwatch_Elapsed(&progress), i, n);
      interaction = platform::timeGetTime();
    }
    if (o.coolDownDelay != 0) coolDown.WaitUntil(o.coolDownDelay);

    const daq::DriverStatus started = channels::StartSweepWaveform(
        wave, o.frequency, o.samplingRate, static_cast<int>(o.waveformType), owner);
    if (started < 0) {
      TellSilentFailure(owner, started);
      complete = false;
      break;
    }
    daq::Delay(delays.systemDecayTime);
    for (std::uint32_t k = 0; k < curves; ++k) {
      const channels::VoltageReading r = channels::MeasureVoltageZeroed(voltages[k]);
      family.Curve(k).Point(i) =
          curves::CurvePoint{static_cast<float>(x), static_cast<float>(r.volts)};
    }
    live.PublishAll(i + 1);
    const bool stopFailed = daq::StopWaveformGenerator() < 0;
    if (StopRequested() || stopFailed) {
      complete = false;
      break;
    }
  }

  live.End();
  if (complete)
    PlayMeasurementSound(kSoundVdcIac);
  else
    KeepFirstPoints(family, i);  // the point concerned is not kept

  channels::SetCurrentCode(s1, before);
  FinishFamily(family, total.Elapsed() / 1000.0, kVdcIacTitle, "A", "V");
  return 1;
}

}  // namespace tsm::measure
