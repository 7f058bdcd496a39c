// Averaged readings through the virtual channels on the emulated driver: the
// step every sweep point takes once per measured voltage.
// Target: MeasureVoltage with N = 65535 and T = 100 in 5 ms or less.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "channels/averaging.h"
#include "channels/virtual_channels.h"
#include "daq/cards.h"
#include "daq/driver.h"
#include "daq/emulated_driver.h"

namespace {

using namespace tsm;

void Setup(unsigned n, unsigned trim, std::uint16_t channel) {
  static const bool detected = [] {
    std::string report;
    daq::SetDriver(nullptr);
    daq::DefaultEmulatedDriver().Reset(1);
    return daq::DetectCards(report, daq::kInventoryCapacity, "/nonexistent-tesmira-bench/") == 0;
  }();
  if (!detected) std::abort();
  channels::VirtualVoltage v;
  v.kind = channels::kPositive;
  v.adcCard = 0;  // slot 3
  v.adcChannel = channel;
  channels::SetVoltage(0, v);
  channels::GetAveragingSettings().voltageSamples = n;
  channels::GetAveragingSettings().voltageTrim = trim;
  if (!channels::ResizeAveragingArray()) std::abort();
}

// Channel 1 is the junction's voltage, channel 0 a plain noisy input.
void BM_MeasureVoltage(benchmark::State& state) {
  Setup(static_cast<unsigned>(state.range(0)), static_cast<unsigned>(state.range(1)),
        static_cast<std::uint16_t>(state.range(2)));
  double sum = 0;
  for (auto _ : state) sum += channels::MeasureVoltage(0).volts;
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MeasureVoltage)
    ->ArgNames({"N", "T", "channel"})
    ->Args({65535, 100, 1})
    ->Args({65535, 100, 0})
    ->Args({65535, 0, 1})
    ->Args({1000, 10, 1})
    ->Unit(benchmark::kMillisecond);

// The display's form when the driver is free.
void BM_TryMeasureVoltageZeroed(benchmark::State& state) {
  Setup(100, 10, 1);
  double sum = 0;
  for (auto _ : state) sum += channels::TryMeasureVoltageZeroed(0).volts;
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_TryMeasureVoltageZeroed)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
