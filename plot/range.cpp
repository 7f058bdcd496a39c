#include "plot/range.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tsm::plot {

namespace {
constexpr double kTinyStep = 1e-32;

int Saturate(double offset) {
  if (!(offset > -kPixelLimit)) return -kPixelLimit;  // also NaN
  if (offset > kPixelLimit) return kPixelLimit;
  return static_cast<int>(offset);  // truncates toward zero
}
}  // namespace

void NiceRange(double& low, double& high, unsigned n) {
  if (!std::isfinite(low) || !std::isfinite(high) || n == 0) return;
  const double centre = (low + high) / 2;
  const double half = (high - low) * 0.99999 / 2;
  low = centre - half;
  high = centre + half;

  double s0 = 2 * half / n;
  if (!(s0 >= kTinyStep)) s0 = kTinyStep;
  double p = std::pow(10.0, std::floor(std::log10(s0)));
  double r = s0 / p;
  double step = r > 5 ? 10 * p : r > 2 ? 5 * p : 2 * p;

  if (step * (n + std::floor(low / step)) < high) {
    p = std::pow(10.0, std::floor(std::log10(step)));
    r = step / p;
    step = r > 4 ? 10 * p : r > 1.5 ? 5 * p : 2 * p;
  }

  if (std::ceil((high - low) / step) > static_cast<double>(n) - 2) {
    low = step * std::floor(low / step);
    high = low + n * step;
  } else {
    const double m = step * std::floor((low + high) / (2 * step) + 0.5);
    const unsigned below = n / 2;
    low = m - step * below;
    high = m + step * (n - below);
  }
}

namespace {

struct Extremes {
  float xMin = INFINITY, xMax = -INFINITY, yMin = INFINITY, yMax = -INFINITY;
  void Add(float x, float y) {
    // x - x is 0 exactly for finite x, NaN for NaN and infinities.
    if ((x - x) != 0.0f || (y - y) != 0.0f) return;
    xMin = std::min(xMin, x);
    xMax = std::max(xMax, x);
    yMin = std::min(yMin, y);
    yMax = std::max(yMax, y);
  }
};

// The extremes of n points. With SSE2 two points (x, y, x, y) go through
// one register: a point with a non-finite coordinate offers +-infinity,
// which changes nothing.
void AddPoints(Extremes& e, const curves::CurvePoint* p, std::uint32_t n) {
  if (n == 0) return;  // an empty curve has no block at all
  std::uint32_t i = 0;
#if defined(__SSE2__)
  const __m128 inf = _mm_set1_ps(INFINITY), minusInf = _mm_set1_ps(-INFINITY);
  const __m128 zero = _mm_setzero_ps();
  __m128 lo0 = inf, lo1 = inf, hi0 = minusInf, hi1 = minusInf;
  auto step = [&](__m128 v, __m128& lo, __m128& hi) {
    const __m128 finite = _mm_cmpeq_ps(_mm_sub_ps(v, v), zero);
    // Both coordinates of a point: AND each lane with its pair partner.
    const __m128 both = _mm_and_ps(finite, _mm_shuffle_ps(finite, finite, _MM_SHUFFLE(2, 3, 0, 1)));
    lo = _mm_min_ps(lo, _mm_or_ps(_mm_and_ps(both, v), _mm_andnot_ps(both, inf)));
    hi = _mm_max_ps(hi, _mm_or_ps(_mm_and_ps(both, v), _mm_andnot_ps(both, minusInf)));
  };
  const float* f = &p[0].x;
  for (; i + 4 <= n; i += 4) {
    step(_mm_loadu_ps(f + 2 * i), lo0, hi0);
    step(_mm_loadu_ps(f + 2 * i + 4), lo1, hi1);
  }
  alignas(16) float lo[4], hi[4];
  _mm_store_ps(lo, _mm_min_ps(lo0, lo1));
  _mm_store_ps(hi, _mm_max_ps(hi0, hi1));
  e.xMin = std::min({e.xMin, lo[0], lo[2]});
  e.yMin = std::min({e.yMin, lo[1], lo[3]});
  e.xMax = std::max({e.xMax, hi[0], hi[2]});
  e.yMax = std::max({e.yMax, hi[1], hi[3]});
#endif
  for (; i < n; ++i) e.Add(p[i].x, p[i].y);
}

}  // namespace

std::optional<DataExtents> FiniteExtents(const curves::CurveFamily& family) {
  Extremes e;
  for (std::uint32_t c = 0; c < family.Count(); ++c) {
    const curves::Curve& curve = family.Curve(c);
    AddPoints(e, curve.Data(), curve.Count());
  }
  if (!(e.xMin <= e.xMax)) return std::nullopt;
  return DataExtents{e.xMin, e.xMax, e.yMin, e.yMax};
}

double PixelToDataX(const PlotView& view, int px) {
  return (px - view.originX) * view.xPerPixel + view.xMin;
}
double PixelToDataY(const PlotView& view, int py) {
  return (view.originY - py) * view.yPerPixel + view.yMin;
}

int DataToPixelX(const PlotView& view, double x) {
  const PixelMapper m(view);
  return m.originX + Saturate(m.OffsetX(x));
}
int DataToPixelY(const PlotView& view, double y) {
  const PixelMapper m(view);
  return m.originY - Saturate(m.OffsetY(y));
}

}  // namespace tsm::plot
