// Synthetic curves with known answers for the analysis tests: junction I-V
// curves swept both ways, series arrays and Fraunhofer patterns, computed
// from their formulas.
#pragma once

#include <cmath>
#include <functional>
#include <vector>

#include "curves/curve.h"

namespace tsm::math::testing {

// Fills a curve with the sweep 0 -> +max -> -max -> 0 in steps of `step`,
// y = v(x). Every x is computed from its index (no accumulated rounding).
inline void SweepBothWays(curves::Curve& c, double max, double step,
                          const std::function<double(double)>& v) {
  const int n = static_cast<int>(std::lround(max / step));
  std::vector<double> xs;
  for (int k = 0; k <= n; ++k) xs.push_back(k * step);
  for (int k = n - 1; k >= -n; --k) xs.push_back(k * step);
  for (int k = -n + 1; k <= 0; ++k) xs.push_back(k * step);
  for (double x : xs) c.Append(static_cast<float>(x), static_cast<float>(v(x)));
}

// An ideal resistively shunted junction: no voltage up to Ic, then
// Rn sqrt(I^2 - Ic^2), odd in I.
inline std::function<double(double)> Rsj(double ic, double rn) {
  return [ic, rn](double i) {
    const double a = std::fabs(i);
    return a <= ic ? 0.0 : std::copysign(rn * std::sqrt(a * a - ic * ic), i);
  };
}

// A junction with an excess current: no voltage up to Ic, then Rn (|I| - Ie),
// odd in I.
inline std::function<double(double)> WithExcessCurrent(double ic, double rn, double ie) {
  return [ic, rn, ie](double i) {
    const double a = std::fabs(i);
    return a <= ic ? 0.0 : std::copysign(rn * (a - ie), i);
  };
}

}  // namespace tsm::math::testing
