// Speed of the curve storage: a long measurement appending point by point,
// and the deep copy of a large family that every changing command takes for
// Undo.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "curves/curvefam.h"

namespace {

using tsm::curves::Curve;
using tsm::curves::CurveFamily;

constexpr std::uint32_t kAppendPoints = 10'000'000;
constexpr std::uint32_t kFamilyCurves = 8;
constexpr std::uint32_t kCurvePoints = 1'000'000;

// Target: 10 million appends in 0.2 s or less.
void BM_Append10MillionPoints(benchmark::State& state) {
  for (auto _ : state) {
    Curve c;
    for (std::uint32_t i = 0; i < kAppendPoints; ++i)
      c.Append(static_cast<float>(i), static_cast<float>(i) * 0.5f);
    benchmark::DoNotOptimize(c.Data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kAppendPoints);
}
BENCHMARK(BM_Append10MillionPoints)->Unit(benchmark::kMillisecond);

void FillFamily(CurveFamily& f) {
  f.SetCount(kFamilyCurves);
  for (std::uint32_t c = 0; c < kFamilyCurves; ++c) {
    Curve& curve = f.Curve(c);
    curve.SetSize(kCurvePoints);
    for (std::uint32_t i = 0; i < kCurvePoints; ++i)
      curve.Point(i) = {static_cast<float>(i), static_cast<float>(c)};
  }
}

// Target: a deep copy of 8 curves of 1 million points in 30 ms or less. The
// destination is reused, as the undo family is from command to command.
void BM_CopyFamily8x1MillionPoints(benchmark::State& state) {
  CurveFamily source;
  FillFamily(source);
  CurveFamily copy;
  for (auto _ : state) {
    copy.CopyFrom(source);
    benchmark::DoNotOptimize(copy.Curve(kFamilyCurves - 1).Data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kFamilyCurves * kCurvePoints * 8);
}
BENCHMARK(BM_CopyFamily8x1MillionPoints)->Unit(benchmark::kMillisecond);

// The same copy into a family made for it and destroyed afterwards (fresh
// memory every time: the page faults of a first copy are included).
void BM_CopyFamily8x1MillionPointsFresh(benchmark::State& state) {
  CurveFamily source;
  FillFamily(source);
  for (auto _ : state) {
    CurveFamily copy;
    copy.CopyFrom(source);
    benchmark::DoNotOptimize(copy.Curve(kFamilyCurves - 1).Data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kFamilyCurves * kCurvePoints * 8);
}
BENCHMARK(BM_CopyFamily8x1MillionPointsFresh)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
