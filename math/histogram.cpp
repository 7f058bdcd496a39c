#include "math/histogram.h"

#include <algorithm>
#include <cmath>

namespace tsm::math {

using curves::CurvePoint;

namespace {

// The quantile q of sorted values, interpolated between neighbours.
double Quantile(const std::vector<double>& sorted, double q) {
  const double at = q * (sorted.size() - 1);
  const std::size_t below = static_cast<std::size_t>(std::floor(at));
  const std::size_t above = std::min(below + 1, sorted.size() - 1);
  return sorted[below] + (at - below) * (sorted[above] - sorted[below]);
}

constexpr double kSingleBinFraction = 0.01;

}  // namespace

Histogram MakeHistogram(std::vector<double> values) {
  std::erase_if(values, [](double v) { return std::isnan(v); });
  Histogram h;
  if (values.empty()) return h;
  std::sort(values.begin(), values.end());
  const double lo = values.front(), hi = values.back();
  const double span = hi - lo;
  const double iqr = Quantile(values, 0.75) - Quantile(values, 0.25);
  const double n = static_cast<double>(values.size());
  std::size_t bins = 1;
  if (span > 0.0) {
    // Freedman-Diaconis; when half the values or more are equal the IQR is
    // 0 and Sturges' count (log2 n + 1) takes over, so the others still show.
    const double count = iqr > 0.0 ? std::ceil(span / (2.0 * iqr / std::cbrt(n)))
                                   : std::ceil(std::log2(n)) + 1.0;
    bins = static_cast<std::size_t>(std::clamp(count, 1.0, double{kMaxBins}));
  }
  h.counts.assign(bins, 0);
  if (span > 0.0) {
    h.first = lo;
    h.width = span / bins;
  } else {
    // Equal values: one bin around them, a hundredth of their size wide.
    h.width = lo == 0.0 ? 1.0 : std::fabs(lo) * kSingleBinFraction;
    h.first = lo - h.width / 2;
  }
  for (double v : values) {
    const double at = (v - h.first) / h.width;
    const std::size_t bin = std::min(bins - 1, static_cast<std::size_t>(std::max(0.0, at)));
    ++h.counts[bin];
  }
  return h;
}

bool HistogramCurve(const Histogram& h, curves::Curve& out) {
  if (h.counts.empty()) return true;
  if (!out.Reserve(static_cast<std::uint32_t>(2 * h.counts.size() + 2))) return false;
  const auto edge = [&h](std::size_t k) { return static_cast<float>(h.first + k * h.width); };
  out.Append(edge(0), 0.0f);
  for (std::size_t k = 0; k < h.counts.size(); ++k) {
    const float count = static_cast<float>(h.counts[k]);
    out.Append(edge(k), count);
    out.Append(edge(k + 1), count);
  }
  out.Append(edge(h.counts.size()), 0.0f);
  out.SetParameter(static_cast<float>(h.width));
  return true;
}

std::vector<double> JumpCurrents(const curves::Curve& curve, double criterion) {
  std::vector<double> currents;
  const CurvePoint* p = curve.Data();
  for (std::uint32_t i = 1; i < curve.Count(); ++i) {
    const double before = p[i - 1].x, now = p[i].x;
    const bool outwards = (now > 0.0 && now > before) || (now < 0.0 && now < before);
    if (!outwards) continue;
    if (std::fabs(p[i].y) - std::fabs(p[i - 1].y) > criterion)
      currents.push_back(before * now > 0.0 ? std::fabs(before) : 0.0);
  }
  return currents;
}

}  // namespace tsm::math
