#include "measure/wfm.h"

#include <algorithm>
#include <array>
#include <vector>

#include "channels/averaging.h"
#include "channels/measurement_options.h"
#include "channels/virtual_channels.h"
#include "curves/live.h"
#include "curves/state.h"
#include "daq/generator.h"
#include "daq/timing.h"
#include "measure/measure_dialog.h"
#include "measure/services.h"
#include "measure/state.h"
#include "platform/assert.h"
#include "platform/clock.h"
#include "shell/errors.h"

namespace tsm::measure {

namespace {
constexpr const char* kSource = "cvc";

int WaveformOf(int current) { return channels::GetCurrent(current).kind - channels::kWaveForm0; }

void Refuse(platform::WindowHandle owner, const char* text, const char* caption) {
  shell::ShowMessage(owner, text, caption, platform::MB_OK | platform::MB_ICONHAND);
}
}  // namespace

std::uint32_t AssignedWaveformLength() {
  std::uint32_t longest = 0;
  for (int c : channels::WaveformCurrents())
    longest = std::max(longest, daq::WaveformLength(WaveformOf(c)));
  return longest;
}

bool WFMTickCount(std::uint32_t length, std::uint32_t cycles, std::uint32_t samplesPerUnit,
                  std::uint32_t* ticks) {
  const std::uint64_t perUnit = std::uint64_t{cycles} * samplesPerUnit;  // < 2^64
  if (perUnit != 0 && length >= (kWFMTickLimit + perUnit - 1) / perUnit) return false;
  *ticks = static_cast<std::uint32_t>(std::uint64_t{length} * perUnit);
  return true;
}

const char* WFMXUnits(unsigned kind) {
  switch (kind) {
    case daq::kXAxisSeconds: return "s";
    case daq::kXAxisTicks: return "tick";
    case daq::kXAxisLogicUnits: return "LU";
    default: return "";
  }
}

int WFM(MeasureDialog& dialog) {
  const platform::WindowHandle owner = dialog.Owner();
  const std::uint32_t length = AssignedWaveformLength();
  if (length == 0) {
    Refuse(owner, kWFMNoWaveformText, kWFMCaption);
    return 0;
  }
  const std::vector<int> voltages = channels::MeasuredVoltages();
  if (voltages.empty()) {
    Refuse(owner, kWFMNoVoltagesText, kWFMCaption);
    return 0;
  }
  const daq::WaveformGeneralOptions g = daq::GetWaveformSettings().general;
  std::uint32_t ticks = 0;
  if (!WFMTickCount(length, g.numberOfCycles, g.samplesPerLogUnit, &ticks)) {
    Refuse(owner, kWFMTooManyTicksText, kWFMTooManyTicksCaption);
    return 0;
  }
  if (g.xAxis > daq::kXAxisLogicUnits) {
    platform::ReportAssertion(kWFMUnknownXText, kSource, __LINE__);
    return 0;
  }
  const channels::DelayOptions delays = channels::GetMeasurementOptions().delays;

  // The run's time counts from here: the first tick waits its interval from
  // the start, every later one from the tick before.
  daq::Stopwatch total;
  daq::Stopwatch tick;
  curves::CurveFamily& family = curves::CurrentFamily();
  const std::uint32_t curves = static_cast<std::uint32_t>(voltages.size());
  if (!SizeCurvesForVoltages(family, voltages, ticks, owner)) return 0;
  dialog.ShowPoints(0, ticks);

  curves::LivePublisher live(family);
  live.SetUnits(WFMXUnits(g.xAxis), "V");
  const daq::TimeMark progress = platform::timeGetTime();
  daq::TimeMark interaction = progress;

  const std::vector<int> currents = channels::WaveformCurrents();
  std::array<int, channels::kCurrentCount> before, targets;
  before.fill(-1);
  targets.fill(-1);
  for (int c : currents) before[c] = channels::PresentCode(c);

  daq::Stopwatch xClock(false);
  const double shift = g.shiftConsequentVoltagesBy;
  const double samplesPerUnit = std::max(1u, g.samplesPerLogUnit);
  bool complete = true;
  for (std::uint32_t r = 0; r < ticks; ++r) {
    tick.WaitUntil(g.samplingTimeInterval);
    if (r == 0) xClock.Restart();
    // A value w in -1..+1 is the code min + (w + 1)(max - min) / 2 of the
    // current's card; the currents move together, each alone.
    for (int c : currents)
      targets[c] = channels::NormalisedToCode(c, daq::WaveformValue(WaveformOf(c), r));
    channels::MoveCurrents(targets);
    tick.Restart();

    if (daq::Stopwatch_HasPassed(&interaction, delays.interactionTime)) {
      dialog.ShowLatestVoltages();
      dialog.ShowPoints(r, ticks);
      dialog.ShowProgress(daq::Stopwatch_Elapsed(&progress), r, ticks);
      interaction = platform::timeGetTime();
    }
    double x = r;
    if (g.xAxis == daq::kXAxisSeconds) x = xClock.Elapsed() / 1000.0;
    if (g.xAxis == daq::kXAxisLogicUnits) x = r / samplesPerUnit;
    for (std::uint32_t k = 0; k < curves; ++k) {
      const channels::VoltageReading v = channels::MeasureVoltageZeroed(voltages[k]);
      family.Curve(k).Point(r) =
          curves::CurvePoint{static_cast<float>(x), static_cast<float>(v.volts + k * shift)};
    }
    live.PublishAll(r + 1);
    if (StopRequested()) {
      live.End();
      KeepFirstPoints(family, r);
      complete = false;
      break;
    }
  }

  live.End();
  if (complete) PlayMeasurementSound(kSoundWFM);
  channels::MoveCurrents(before);
  FinishFamily(family, total.Elapsed() / 1000.0, kWFMTitle, WFMXUnits(g.xAxis), "V");
  return 1;
}

}  // namespace tsm::measure
