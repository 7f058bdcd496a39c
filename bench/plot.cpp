// Speed of the plot: drawing 4 curves of a million points each into a
// 1600 x 1000 image through the Qt canvas, with the default curve styles
// (solid lines and circles). Targets: 40 ms or less per drawing; any zoom
// of the same data in at most twice the time of the autoscaled drawing,
// which the zoom cases time in the same iterations (counter ratio_autoscale).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "bench/anchor.h"
#include "curves/curvefam.h"
#include "gui/qt_canvas.h"
#include "plot/draw.h"
#include "plot/range.h"
#include "plot/state.h"

namespace {

using tsm::curves::CurveFamily;

constexpr std::uint32_t kCurves = 4;
constexpr std::uint32_t kPoints = 1'000'000;
constexpr int kWidth = 1600, kHeight = 1000;

// A cheap reproducible noise in [-1, 1].
float Noise(std::uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
}

// I-V curves of a junction: a supercurrent branch, a gap rise and an ohmic
// branch, swept from -1 mA to 1 mA, with a little measurement noise
// (noiseFraction of the voltage range).
void FillFamily(CurveFamily& family, float noiseFraction) {
  family.Clear();
  family.SetCount(kCurves);
  family.SetUnits("A", "V");
  std::uint32_t seed = 12345;
  for (std::uint32_t c = 0; c < kCurves; ++c) {
    tsm::curves::Curve& curve = family.Curve(c);
    curve.SetSize(kPoints);
    const float ic = 2e-4f * (1 + c);
    for (std::uint32_t i = 0; i < kPoints; ++i) {
      const float x = -1e-3f + 2e-3f * static_cast<float>(i) / kPoints;
      float v = std::fabs(x) < ic ? 0.0f : 1.5e-3f * std::tanh((std::fabs(x) - ic) * 2e4f) +
                                               (std::fabs(x) - ic) * 2.0f;
      if (x < 0) v = -v;
      curve.Point(i) = {x, v + noiseFraction * 6e-3f * Noise(seed)};
    }
  }
}

void DrawOnce(CurveFamily& family, QImage& image, tsm::plot::PlotView& view) {
  QPainter painter(&image);
  tsm::gui::QtCanvas canvas(painter, image);
  tsm::plot::Draw(canvas, {0, 0, kWidth, kHeight}, family, view);
}

void BM_Draw4x1M(benchmark::State& state, float noise, bool autoScale) {
  CurveFamily family;
  FillFamily(family, noise);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  tsm::plot::PlotView view;
  view.autoScale = true;
  DrawOnce(family, image, view);
  view.autoScale = autoScale;
  for (auto _ : state) {
    DrawOnce(family, image, view);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.SetItemsProcessed(state.iterations() * kCurves * kPoints);
}

// The measured curves (noise 0.1 % of the range), range from the data on
// every drawing as after Zoom Extents.
BENCHMARK_CAPTURE(BM_Draw4x1M, smooth_autoscale, 0.001f, true)->Unit(benchmark::kMillisecond);
// The same with a fixed range (after a zoom).
BENCHMARK_CAPTURE(BM_Draw4x1M, smooth_fixed, 0.001f, false)->Unit(benchmark::kMillisecond);
// Noisy curves (2 % of the range): many more symbol positions per column.
BENCHMARK_CAPTURE(BM_Draw4x1M, noisy_autoscale, 0.02f, true)->Unit(benchmark::kMillisecond);

// A zoom by zoomX and zoomY around a point of the autoscaled range (its
// middle unless given, as the zoom commands give it), timed with the
// autoscaled drawing of the same data in the same iterations.
void BM_DrawZoomed(benchmark::State& state, float noise, double zoomX, double zoomY,
                   double atX = 0.5, double atY = 0.5) {
  CurveFamily family;
  FillFamily(family, noise);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  tsm::plot::PlotView autoView;
  autoView.autoScale = true;
  DrawOnce(family, image, autoView);
  tsm::plot::PlotView view = autoView;
  view.autoScale = false;
  const double cx = autoView.xMin + atX * (autoView.xMax - autoView.xMin);
  const double cy = autoView.yMin + atY * (autoView.yMax - autoView.yMin);
  const double hx = 0.5 * (autoView.xMax - autoView.xMin) / zoomX;
  const double hy = 0.5 * (autoView.yMax - autoView.yMin) / zoomY;
  view.xMin = static_cast<float>(cx - hx);
  view.xMax = static_cast<float>(cx + hx);
  view.yMin = static_cast<float>(cy - hy);
  view.yMax = static_cast<float>(cy + hy);
  DrawOnce(family, image, view);
  tsm::bench::Anchored timed;
  for (auto _ : state) {
    using tsm::bench::Moment;
    const Moment t0 = Moment::Now();
    DrawOnce(family, image, view);
    const Moment t1 = Moment::Now();
    benchmark::DoNotOptimize(image.constBits());
    DrawOnce(family, image, autoView);
    const Moment t2 = Moment::Now();
    benchmark::DoNotOptimize(image.constBits());
    state.SetIterationTime(timed.Add(t0, t1, t1, t2));
  }
  timed.Report(state, "autoscale");
  state.SetItemsProcessed(state.iterations() * kCurves * kPoints);
}

// Noisy curves zoomed 100 times in y: the noise band is three frames high,
// so most segments cross the frame's edges.
BENCHMARK_CAPTURE(BM_DrawZoomed, noisy_y100, 0.02f, 1.0, 100.0)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
// Zoomed 10 and 30 times in y the noise band is a third of the frame and
// the whole frame high: hundreds of rows a column, all inside; 1000 times,
// 30 frames high: nearly every point lies outside, nearly every line
// crosses the frame.
BENCHMARK_CAPTURE(BM_DrawZoomed, noisy_y10, 0.02f, 1.0, 10.0)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK_CAPTURE(BM_DrawZoomed, noisy_y30, 0.02f, 1.0, 30.0)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK_CAPTURE(BM_DrawZoomed, noisy_y1000, 0.02f, 1.0, 1000.0)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
// Smooth curves zoomed 10,000 times in y: the noise alone leaves the frame.
BENCHMARK_CAPTURE(BM_DrawZoomed, smooth_y10000, 0.001f, 1.0, 1e4)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
// Noisy curves zoomed 100 times in x (fewer points a column), in both axes,
// and 10 times in both.
BENCHMARK_CAPTURE(BM_DrawZoomed, noisy_x100, 0.02f, 100.0, 1.0)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK_CAPTURE(BM_DrawZoomed, noisy_xy100, 0.02f, 100.0, 100.0)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK_CAPTURE(BM_DrawZoomed, noisy_xy10, 0.02f, 10.0, 10.0)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
// The same off the middle: the gap rise of the smaller critical currents
// runs through the frame.
BENCHMARK_CAPTURE(BM_DrawZoomed, noisy_xy10_off_middle, 0.02f, 10.0, 10.0, 0.4, 0.45)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
// Deep in x alone: 100 points a curve in sight, lines many columns long
// that leave through the left and right edges.
BENCHMARK_CAPTURE(BM_DrawZoomed, smooth_x10000, 0.001f, 1e4, 1.0)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
// Smooth curves deep in: a few points a column, the noise ten frames high.
BENCHMARK_CAPTURE(BM_DrawZoomed, smooth_xy1000, 0.001f, 1000.0, 1000.0)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// The range of the data alone (every drawing after Zoom Extents scans it).
void BM_FiniteExtents4x1M(benchmark::State& state) {
  CurveFamily family;
  FillFamily(family, 0.001f);
  for (auto _ : state) benchmark::DoNotOptimize(tsm::plot::FiniteExtents(family));
  state.SetItemsProcessed(state.iterations() * kCurves * kPoints);
}
BENCHMARK(BM_FiniteExtents4x1M)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Fonts need a GUI application; no display is needed for an image.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
