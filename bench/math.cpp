// Speed of the FFT on long records, each figure with its anchor measured in
// the same run, iteration by iteration, so a busy machine slows both alike:
//  - the bare transform (RealFFT, in place) against FFTW's real-to-complex
//    transform in double precision with an estimated plan (the target: at
//    most 1.3 times) and, for information, with a measured plan;
//  - the FFT command on one curve (a long V(time) trace: the sampling
//    checks, the undo copy, the transform and the rewrite of the curve as
//    its spectrum) against the bare transform of the same values (target:
//    at most 1.3 times);
//  - the command's peak memory as a multiple of the curve's (target: at
//    most 2.5).
// FFTW is linked into this benchmark only.
#include <benchmark/benchmark.h>
#include <fftw3.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "bench/anchor.h"
#include "bench/memory.h"
#include "curves/state.h"
#include "math/commands.h"
#include "math/fft.h"

namespace {

using tsm::curves::Curve;
using tsm::curves::CurveFamily;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// A V(time) trace of n points sampled every millisecond (x rounded to
// float, as a measurement stores it), two tones and a little noise.
void FillRecord(CurveFamily& f, std::uint32_t n) {
  f.Clear();
  f.SetCount(1);
  Curve& c = f.Curve(0);
  c.SetSize(n);
  std::uint32_t seed = 12345;
  for (std::uint32_t j = 0; j < n; ++j) {
    const double t = j * 1e-3;
    seed = seed * 1664525u + 1013904223u;
    const double noise = (seed >> 8) / 16777216.0 - 0.5;
    c.Point(j) = {static_cast<float>(t),
                  static_cast<float>(std::sin(2 * std::numbers::pi * 10 * t) +
                                     0.1 * std::cos(2 * std::numbers::pi * 300 * t) +
                                     0.01 * noise)};
  }
  f.SetUnits("s", "V");
}

std::vector<double> Signal(std::size_t n) {
  std::vector<double> y(n);
  for (std::size_t j = 0; j < n; ++j) y[j] = std::sin(0.001 * j) + 0.3 * std::cos(0.37 * j);
  return y;
}

// The bare transform, with FFTW's estimated plan timed in the same
// iterations; FFTW's measured plan is timed after the loop. Each transform
// starts from a fresh copy of the same values.
void BM_RealFFT(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::vector<double> source = Signal(n);
  std::vector<double> data(n);
  double* in = fftw_alloc_real(n);
  fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
  fftw_plan estimated = fftw_plan_dft_r2c_1d(static_cast<int>(n), in, out, FFTW_ESTIMATE);
  tsm::bench::Anchored timed;
  double ourBest = 1e30;
  for (auto _ : state) {
    using tsm::bench::Moment;
    data = source;
    const Moment t0 = Moment::Now();
    tsm::math::RealFFT(data.data(), n);
    const Moment t1 = Moment::Now();
    benchmark::DoNotOptimize(data.data());
    std::memcpy(in, source.data(), n * sizeof(double));
    const Moment t2 = Moment::Now();
    fftw_execute(estimated);
    const Moment t3 = Moment::Now();
    benchmark::DoNotOptimize(out);
    const double seconds = timed.Add(t0, t1, t2, t3);
    state.SetIterationTime(seconds);
    ourBest = std::min(ourBest, seconds);
  }
  // The two agree (a wrong transform would not be worth timing); FFTW's
  // exponent has the other sign, so its terms are the conjugates.
  const double re = out[n / 8][0], im = -out[n / 8][1];
  if (std::fabs(data[n / 4] - re) > 1e-6 * n || std::fabs(data[n / 4 + 1] - im) > 1e-6 * n)
    state.SkipWithError("the transform differs from FFTW's");

  fftw_plan measured = fftw_plan_dft_r2c_1d(static_cast<int>(n), in, out, FFTW_MEASURE);
  double best = 1e30;
  for (int i = 0; i < 5; ++i) {
    std::memcpy(in, source.data(), n * sizeof(double));
    const auto t0 = Clock::now();
    fftw_execute(measured);
    best = std::min(best, Seconds(t0, Clock::now()));
  }
  timed.Report(state, "fftw_est");
  // FFTW's measured plan, for information: best against best.
  state.counters["fftw_meas_ms"] = 1e3 * best;
  state.counters["ratio_fftw_meas_best"] = ourBest / best;
  fftw_destroy_plan(measured);
  fftw_destroy_plan(estimated);
  fftw_free(out);
  fftw_free(in);
}
BENCHMARK(BM_RealFFT)
    ->Arg(1 << 20)
    ->Arg(1 << 23)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// The whole command, with the bare transform of the same values timed in
// the same iterations. One command runs before: the undo copy then finds a
// block of the right size, as when records of one length are transformed
// one after another. (The first copy of a long record into fresh memory
// also pays the kernel's page faults: on a virtual machine that can cost
// more than the transform.)
void BM_FFTCommand(benchmark::State& state) {
  const auto n = static_cast<std::uint32_t>(state.range(0));
  tsm::curves::ResetCurvesState();
  CurveFamily record;
  FillRecord(record, n);
  std::vector<double> data(n);
  tsm::bench::Anchored timed;
  tsm::curves::CurrentFamily().CopyFrom(record);
  tsm::math::FFTCommand(nullptr);
  for (auto _ : state) {
    using tsm::bench::Moment;
    tsm::curves::CurrentFamily().CopyFrom(record);
    const Moment t0 = Moment::Now();
    const bool done = tsm::math::FFTCommand(nullptr);
    const Moment t1 = Moment::Now();
    if (!done) state.SkipWithError("the command refused the record");
    benchmark::DoNotOptimize(tsm::curves::CurrentFamily().Curve(0).Data());
    const tsm::curves::CurvePoint* p = record.Curve(0).Data();
    for (std::uint32_t j = 0; j < n; ++j) data[j] = p[j].y;
    const Moment t2 = Moment::Now();
    tsm::math::RealFFT(data.data(), n);
    const Moment t3 = Moment::Now();
    benchmark::DoNotOptimize(data.data());
    state.SetIterationTime(timed.Add(t0, t1, t2, t3));
  }
  timed.Report(state, "transform");
  tsm::curves::ResetCurvesState();
}
BENCHMARK(BM_FFTCommand)
    ->Arg(1 << 20)
    ->Arg(1 << 23)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// Peak memory of the command beyond what was resident before it, the curve
// included, over the curve's size: writing 5 to clear_refs starts the peak
// afresh at the present resident size.
void BM_FFTCommandPeakMemory(benchmark::State& state) {
  const auto n = static_cast<std::uint32_t>(state.range(0));
  double ratio = 0;
  for (auto _ : state) {
    state.PauseTiming();
    tsm::curves::ResetCurvesState();
    FillRecord(tsm::curves::CurrentFamily(), n);
    malloc_trim(0);
    const std::uint64_t before = tsm::bench::StatusBytes("VmRSS:");
    if (!tsm::bench::ResetPeakResident()) state.SkipWithError("cannot reset the peak (/proc/self/clear_refs)");
    state.ResumeTiming();
    tsm::math::FFTCommand(nullptr);
    state.PauseTiming();
    const std::uint64_t peak = tsm::bench::StatusBytes("VmHWM:");
    const double curve = 8.0 * n;
    ratio = (curve + static_cast<double>(peak - before)) / curve;
    tsm::curves::ResetCurvesState();
    state.ResumeTiming();
  }
  state.counters["peak_over_curve"] = ratio;
}
BENCHMARK(BM_FFTCommandPeakMemory)
    ->Arg(1 << 20)
    ->Arg(1 << 23)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
