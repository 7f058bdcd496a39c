// Single readings and writes through the card tables and the emulated
// driver, the innermost step of every sweep and of the averaging loops.
// Target: ReadAdc and WriteDac at 5 million calls per second or more.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "daq/cards.h"
#include "daq/driver.h"
#include "daq/emulated_driver.h"

namespace {

using namespace tsm::daq;

// Detects the emulated cards once; no card files are read from a folder
// that does not exist.
void DetectOnce() {
  static const bool detected = [] {
    std::string report;
    SetDriver(nullptr);
    DefaultEmulatedDriver().Reset(1);
    return DetectCards(report, kInventoryCapacity, "/nonexistent-tesmira-bench/") == 0;
  }();
  if (!detected) std::abort();
}

// ADC card 0 is slot 3 (16-bit), card 1 slot 7 (12-bit noise only).
void BM_ReadAdc(benchmark::State& state) {
  DetectOnce();
  const auto card = static_cast<std::size_t>(state.range(0));
  const auto channel = static_cast<std::uint16_t>(state.range(1));
  std::uint32_t sum = 0;
  for (auto _ : state) sum += ReadAdc(card, channel, 1.0f);
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadAdc)->ArgNames({"card", "channel"})->Args({0, 0})->Args({0, 1})->Args({0, 2})
    ->Args({1, 5});

void BM_ReadAdcNoFallback(benchmark::State& state) {
  DetectOnce();
  std::uint32_t sum = 0;
  for (auto _ : state) sum += ReadAdcNoFallback(0, 4, 10.0f);
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadAdcNoFallback);

// DAC card 0 is slot 3 (16-bit), card 1 slot 4 (12-bit).
void BM_WriteDac(benchmark::State& state) {
  DetectOnce();
  const auto card = static_cast<std::size_t>(state.range(0));
  const std::uint16_t top = DacCardAt(card)->maxCode;
  std::uint16_t code = 0;
  int failures = 0;
  for (auto _ : state) {
    failures += WriteDac(card, 0, code) != kStatusOk;
    code = code >= top ? 0 : static_cast<std::uint16_t>(code + 7);
  }
  if (failures) state.SkipWithError("WriteDac failed");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteDac)->ArgName("card")->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
