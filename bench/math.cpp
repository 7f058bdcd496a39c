// Speed of the Math tools on long records: the FFT command on one curve of
// 2^20 points (a long V(time) trace), everything included that the user
// waits for: the sampling checks, the undo copy, the transform and the
// rewrite of the curve as its spectrum.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "curves/state.h"
#include "math/commands.h"
#include "math/fft.h"

namespace {

using tsm::curves::Curve;
using tsm::curves::CurveFamily;

constexpr std::uint32_t kPoints = 1u << 20;

void FillRecord(CurveFamily& f) {
  f.Clear();
  f.SetCount(1);
  Curve& c = f.Curve(0);
  c.SetSize(kPoints);
  for (std::uint32_t j = 0; j < kPoints; ++j) {
    // Whole seconds keep the spacing exact in float over a million points.
    const double t = j;
    c.Point(j) = {static_cast<float>(t),
                  static_cast<float>(std::sin(2 * std::numbers::pi * 0.01 * t) +
                                     0.1 * std::cos(2 * std::numbers::pi * 0.3 * t))};
  }
  f.SetUnits("s", "V");
}

// Target: 60 ms or less.
void BM_FFTCommand1MPoints(benchmark::State& state) {
  tsm::curves::ResetCurvesState();
  CurveFamily record;
  FillRecord(record);
  for (auto _ : state) {
    state.PauseTiming();
    tsm::curves::CurrentFamily().CopyFrom(record);
    state.ResumeTiming();
    const bool done = tsm::math::FFTCommand(nullptr);
    benchmark::DoNotOptimize(done);
    benchmark::DoNotOptimize(tsm::curves::CurrentFamily().Curve(0).Data());
  }
  tsm::curves::ResetCurvesState();
}
BENCHMARK(BM_FFTCommand1MPoints)->Unit(benchmark::kMillisecond);

// The packed real transform alone, for comparison with the whole command.
void BM_RealFFT1MPoints(benchmark::State& state) {
  std::vector<double> source(kPoints);
  for (std::uint32_t j = 0; j < kPoints; ++j) source[j] = std::sin(0.001 * j);
  std::vector<double> data(kPoints);
  for (auto _ : state) {
    state.PauseTiming();
    data = source;
    state.ResumeTiming();
    tsm::math::RealFFT(data.data(), kPoints);
    benchmark::DoNotOptimize(data.data());
  }
}
BENCHMARK(BM_RealFFT1MPoints)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
