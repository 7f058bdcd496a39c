#include "measure/vtime.h"

#include <algorithm>
#include <vector>

#include "channels/averaging.h"
#include "channels/buffered_acquisition.h"
#include "channels/measurement_options.h"
#include "channels/virtual_channels.h"
#include "curves/live.h"
#include "curves/state.h"
#include "daq/timing.h"
#include "measure/measure_dialog.h"
#include "measure/services.h"
#include "measure/state.h"
#include "measure/vtime_options.h"
#include "platform/clock.h"
#include "shell/errors.h"

namespace tsm::measure {

namespace {

// Milliseconds since a start, kept in 64 bits from the 32-bit clock: every
// read adds what passed since the one before, so a run may outlast the
// clock's wrap as long as two reads are less than 49 days apart.
class RunClock {
 public:
  RunClock() : mark_(platform::timeGetTime()) {}
  std::uint64_t Now() {
    const daq::TimeMark t = platform::timeGetTime();
    elapsed_ += static_cast<std::uint32_t>(t - mark_);
    mark_ = t;
    return elapsed_;
  }
  // Waits (through the shared wait, which a stop interrupts) until `ms`
  // have passed since the start.
  void WaitUntil(std::uint64_t ms) {
    const std::uint64_t now = Now();
    if (ms > now) daq::Stopwatch_WaitUntil(&mark_, static_cast<std::uint32_t>(ms - now));
  }

 private:
  daq::TimeMark mark_;
  std::uint64_t elapsed_ = 0;
};

bool SizeFamily(curves::CurveFamily& family, const std::vector<int>& voltages, std::uint32_t n,
                platform::WindowHandle owner) {
  if (!family.SetCount(0) || !family.SetCount(static_cast<std::uint32_t>(voltages.size())) ||
      !family.SetAllSizes(n)) {
    family.SetCount(0);
    shell::ShowMessage(owner, kNotEnoughMemoryText, kCannotMeasureCaption,
                       platform::MB_OK | platform::MB_ICONHAND);
    return false;
  }
  NameCurvesAfterVoltages(family, voltages);
  return true;
}

int Timed(MeasureDialog& dialog, const std::vector<int>& voltages, std::uint32_t n,
          std::uint32_t interval) {
  const std::uint32_t interaction = channels::GetMeasurementOptions().delays.interactionTime;
  daq::Stopwatch total;  // also keeps the timer resolution fine while it runs
  curves::CurveFamily& family = curves::CurrentFamily();
  if (!SizeFamily(family, voltages, n, dialog.Owner())) return 0;
  curves::LivePublisher live(family);
  live.SetUnits("s", "V");

  RunClock clock;
  daq::TimeMark shown = platform::timeGetTime();
  std::uint32_t done = 0;
  bool complete = true;
  for (std::uint32_t i = 0; i < n; ++i) {
    clock.WaitUntil(static_cast<std::uint64_t>(i) * interval);
    if (StopRequested()) {  // stopped while waiting: this point is not taken
      complete = false;
      break;
    }
    for (std::size_t k = 0; k < voltages.size(); ++k) {
      const double x = static_cast<double>(clock.Now()) / 1000.0;
      const double y = channels::MeasureVoltageZeroed(voltages[k]).volts;
      family.Curve(static_cast<std::uint32_t>(k)).Point(i) =
          curves::CurvePoint{static_cast<float>(x), static_cast<float>(y)};
    }
    done = i + 1;
    live.PublishAll(done);
    if (daq::Stopwatch_HasPassed(&shown, interaction)) {
      dialog.ShowPoints(done, n);
      dialog.ShowLatestVoltages();
      dialog.ShowProgress(static_cast<std::uint32_t>(clock.Now()), done, n);
      shown = platform::timeGetTime();
    }
    if (StopRequested()) {
      complete = done == n;
      break;
    }
  }
  live.End();
  if (complete) {
    PlayMeasurementSound(kSoundVtime);
  } else if (done < kMinimumPointsKept) {
    family.SetCount(0);
  } else {
    TruncateCurves(family, done);
  }
  FinishFamily(family, total.Elapsed() / 1000.0, kVtimeTitle, "s", "V");
  return 1;
}

int Buffered(MeasureDialog& dialog, const std::vector<int>& voltages, std::uint32_t n,
             double rate) {
  const platform::WindowHandle owner = dialog.Owner();
  const std::string problem = channels::BufferedAcquisitionProblem(voltages, n, rate);
  if (!problem.empty()) {
    ShowCannotStart(owner, problem.c_str());
    return 0;
  }
  daq::Stopwatch total;
  curves::CurveFamily& family = curves::CurrentFamily();
  if (!SizeFamily(family, voltages, n, owner)) return 0;
  curves::LivePublisher live(family);
  live.SetUnits("s", "V");

  // Curve k belongs to voltages[k] (each voltage once); the acquisitions go
  // card by card.
  std::vector<bool> taken(voltages.size(), false);
  bool failed = false, anyTaken = false;
  for (const channels::CardAcquisition& card : channels::GroupVoltagesByCard(voltages)) {
    if (StopRequested()) break;
    std::vector<std::uint32_t> curveOf;
    for (int v : card.voltages) {
      const auto k = static_cast<std::size_t>(
          std::find(voltages.begin(), voltages.end(), v) - voltages.begin());
      curveOf.push_back(static_cast<std::uint32_t>(k));
      taken[k] = true;
    }
    anyTaken = true;
    const bool ok = channels::AcquireBuffered(
        card, n, rate, [&](std::size_t k, std::uint32_t i, double volts) {
          family.Curve(curveOf[k]).Point(i) = curves::CurvePoint{
              static_cast<float>(i / rate), static_cast<float>(volts)};
        });
    if (!ok) {
      failed = true;
      break;
    }
    for (std::uint32_t c : curveOf) live.Publish(c, n);
    dialog.ShowLatestVoltages();
  }
  live.End();

  const bool complete = !failed && std::find(taken.begin(), taken.end(), false) == taken.end();
  if (failed || !anyTaken) {
    family.SetCount(0);
  } else if (complete) {
    PlayMeasurementSound(kSoundVtime);
  } else {
    // Stopped between two cards: the curves of the cards not taken stay empty.
    for (std::size_t k = 0; k < voltages.size(); ++k)
      if (!taken[k]) family.Curve(static_cast<std::uint32_t>(k)).SetSize(0);
  }
  dialog.ShowPoints(failed ? 0 : n, n);
  FinishFamily(family, total.Elapsed() / 1000.0, kVtimeTitle, "s", "V");
  return 1;
}

}  // namespace

int Vtime(MeasureDialog& dialog) {
  const std::vector<int> voltages = channels::MeasuredVoltages();
  if (voltages.empty()) {
    ShowCannotStart(dialog.Owner(), kNoVoltagesText);
    return 0;
  }
  // The options cannot change while the modal dialog is open.
  const VtimeOptions o = GetVtimeOptions();
  const std::uint32_t n = PointsPerDirection(dialog.Sweep1());
  if (o.way == kVtimeBuffered) return Buffered(dialog, voltages, n, o.samplingRate);
  return Timed(dialog, voltages, n, o.interval);
}

}  // namespace tsm::measure
