#include "measure/vtime.h"

#include <algorithm>
#include <new>
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

int Timed(MeasureDialog& dialog, const std::vector<int>& voltages, std::uint32_t n,
          std::uint32_t interval) {
  const std::uint32_t interaction = channels::GetMeasurementOptions().delays.interactionTime;
  daq::Stopwatch total;  // also keeps the timer resolution fine while it runs
  curves::CurveFamily& family = curves::CurrentFamily();
  if (!SizeCurvesForVoltages(family, voltages, n, dialog.Owner())) return 0;
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
  // The cards are read first, card by card, into buffers of their own: an
  // acquisition the driver refuses (it says why) leaves the family as it
  // was. Volts of voltages[k] go to volts[k] (each voltage once).
  std::vector<std::vector<float>> volts(voltages.size());
  for (const channels::CardAcquisition& card : channels::GroupVoltagesByCard(voltages)) {
    if (StopRequested()) break;  // the cards not taken give empty curves
    std::vector<std::vector<float>*> into;
    try {
      for (int v : card.voltages) {
        auto k = std::find(voltages.begin(), voltages.end(), v) - voltages.begin();
        volts[static_cast<std::size_t>(k)].resize(n);
        into.push_back(&volts[static_cast<std::size_t>(k)]);
      }
    } catch (const std::bad_alloc&) {
      shell::ShowMessage(owner, kNotEnoughMemoryText, kCannotMeasureCaption,
                         platform::MB_OK | platform::MB_ICONHAND);
      return 0;
    }
    const bool ok = channels::AcquireBuffered(
        card, n, rate, [&into](std::size_t k, std::uint32_t i, double v) {
          (*into[k])[i] = static_cast<float>(v);
        });
    if (!ok) return 0;
  }

  curves::CurveFamily& family = curves::CurrentFamily();
  if (!SizeCurvesForVoltages(family, voltages, n, owner)) return 0;
  bool complete = true;
  for (std::size_t k = 0; k < voltages.size(); ++k) {
    curves::Curve& c = family.Curve(static_cast<std::uint32_t>(k));
    if (volts[k].empty()) complete = false;
    for (std::uint32_t i = 0; i < volts[k].size(); ++i)
      c.Point(i) = curves::CurvePoint{static_cast<float>(i / rate), volts[k][i]};
  }
  {
    curves::LivePublisher live(family);
    live.SetUnits("s", "V");
    live.PublishAll(n);
  }
  if (complete) {
    PlayMeasurementSound(kSoundVtime);
  } else {
    // Stopped between two cards.
    for (std::size_t k = 0; k < voltages.size(); ++k)
      if (volts[k].empty()) family.Curve(static_cast<std::uint32_t>(k)).SetSize(0);
  }
  dialog.ShowPoints(n, n);
  dialog.ShowLatestVoltages();
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
