// The V(I) sweep at full resolution on the emulated junction: two
// directions over all 65536 codes with step 1 (131072 points), two measured
// voltages, no delays, no averaging, while a second thread runs the
// dialog's 250 ms refresh as the UI timer would.
// Target: the sweep in 1 s or less, and every refresh period within
// 250 +/- 50 ms while it runs (counters period_min_ms / period_max_ms; the
// refresh never waits behind the worker's readings).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "channels/averaging.h"
#include "channels/measurement_options.h"
#include "channels/virtual_channels.h"
#include "curves/state.h"
#include "daq/cards.h"
#include "daq/driver.h"
#include "daq/emulated_driver.h"
#include "measure/description.h"
#include "measure/measure_dialog.h"
#include "measure/state.h"
#include "platform/assert.h"

namespace {

using namespace tsm;
using Clock = std::chrono::steady_clock;

void Setup() {
  static const bool detected = [] {
    platform::SetAssertionEcho(false);
    std::string report;
    daq::SetDriver(nullptr);
    daq::DefaultEmulatedDriver().Reset(1);
    return daq::DetectCards(report, daq::kInventoryCapacity, "/nonexistent-tesmira-bench/") == 0;
  }();
  if (!detected) std::abort();
  channels::BindVirtualChannels();
  channels::VirtualCurrent c;
  c.kind = channels::kPlusSweep1;
  c.dacCard = 0;
  c.dacChannel = 0;
  c.R = 1000.0f;
  channels::SetCurrent(0, c);
  channels::RebindChangedCurrents();
  for (int i = 0; i < 2; ++i) {
    channels::VirtualVoltage v;
    v.kind = channels::kPositive;
    v.adcCard = 0;
    v.adcChannel = static_cast<std::uint16_t>(1 + i);  // the junction, and it with the field
    channels::SetVoltage(i, v);
  }
  channels::ResetAveraging();  // 1 sample, no trim
  channels::ResetMeasurementOptions();
  channels::DelayOptions& d = channels::GetMeasurementOptions().delays;
  d.delayAfterJumpToStart = d.systemDecayTime = d.delayBeforeVoltage = 0;
  measure::SweepRange& r = *measure::Range(measure::RangeId::SharedVI);
  r.start = 0;
  r.stop = 65535;
  r.step = 1;
  r.twoDirections = true;
}

// One refresh thread ticks every 250 ms through all the sweeps of the run,
// so its ticks fall inside sweeps; periods are counted between ticks that
// both began while a sweep was running.
void BM_FullSweepWithRefresh(benchmark::State& state) {
  Setup();
  measure::MeasureDialog dialog(measure::Description(measure::Mode::IVC));
  dialog.Init();
  std::atomic<bool> done{false}, sweeping{false};
  struct Tick {
    Clock::time_point start;
    double ms;
    bool duringSweep;
  };
  std::vector<Tick> ticks;
  std::thread refresher([&] {
    auto next = Clock::now();
    while (!done.load()) {
      next += std::chrono::milliseconds(measure::kRefreshMs);
      std::this_thread::sleep_until(next);
      if (done.load()) break;
      const bool during = sweeping.load();
      const auto t0 = Clock::now();
      dialog.Refresh();
      ticks.push_back({t0, std::chrono::duration<double, std::milli>(Clock::now() - t0).count(),
                       during && sweeping.load()});
    }
  });

  double sweepMax = 0;
  for (auto _ : state) {
    sweeping = true;
    const auto start = Clock::now();
    const int result = measure::Description(measure::Mode::IVC).routine(dialog);
    const double sweep = std::chrono::duration<double>(Clock::now() - start).count();
    sweeping = false;
    if (result != 1 || curves::CurrentFamily().Count() != 2 ||
        curves::CurrentFamily().Curve(0).Count() != 131072) {
      state.SkipWithError("the sweep did not produce 2 curves of 131072 points");
      break;
    }
    sweepMax = std::max(sweepMax, sweep);
    state.SetIterationTime(sweep);
  }
  done = true;
  refresher.join();
  dialog.Finish();

  double periodMin = 0, periodMax = 0, refreshMax = 0;
  std::size_t periods = 0, during = 0;
  for (std::size_t k = 0; k < ticks.size(); ++k) {
    if (!ticks[k].duringSweep) continue;
    ++during;
    refreshMax = std::max(refreshMax, ticks[k].ms);
    if (k == 0 || !ticks[k - 1].duringSweep) continue;
    const double p =
        std::chrono::duration<double, std::milli>(ticks[k].start - ticks[k - 1].start).count();
    periodMin = periods ? std::min(periodMin, p) : p;
    periodMax = std::max(periodMax, p);
    ++periods;
  }
  state.counters["sweep_max_s"] = sweepMax;
  state.counters["ticks_in_sweeps"] = static_cast<double>(during);
  state.counters["periods"] = static_cast<double>(periods);
  state.counters["period_min_ms"] = periodMin;
  state.counters["period_max_ms"] = periodMax;
  state.counters["refresh_max_ms"] = refreshMax;
  state.SetItemsProcessed(state.iterations() * 131072);
}
BENCHMARK(BM_FullSweepWithRefresh)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

// The refresh alone (every shown current and voltage, the driver free).
void BM_Refresh(benchmark::State& state) {
  Setup();
  measure::MeasureDialog dialog(measure::Description(measure::Mode::IVC));
  dialog.Init();
  for (auto _ : state) dialog.Refresh();
  dialog.Finish();
}
BENCHMARK(BM_Refresh)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
