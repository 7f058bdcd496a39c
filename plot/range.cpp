#include "plot/range.h"

#include <cmath>

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

std::optional<DataExtents> FiniteExtents(const curves::CurveFamily& family) {
  float xMin = INFINITY, xMax = -INFINITY, yMin = INFINITY, yMax = -INFINITY;
  for (std::uint32_t c = 0; c < family.Count(); ++c) {
    const curves::Curve& curve = family.Curve(c);
    const curves::CurvePoint* p = curve.Data();
    const std::uint32_t n = curve.Count();
    for (std::uint32_t i = 0; i < n; ++i) {
      const float x = p[i].x, y = p[i].y;
      // x - x is 0 exactly for finite x, NaN for NaN and infinities.
      if ((x - x) != 0.0f || (y - y) != 0.0f) continue;
      xMin = x < xMin ? x : xMin;
      xMax = x > xMax ? x : xMax;
      yMin = y < yMin ? y : yMin;
      yMax = y > yMax ? y : yMax;
    }
  }
  if (!(xMin <= xMax)) return std::nullopt;
  return DataExtents{xMin, xMax, yMin, yMax};
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
