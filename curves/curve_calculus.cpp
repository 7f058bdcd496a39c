// The per-curve steps of the family's simple derivative and integral.
#include <cstdint>

#include "curves/curve.h"

namespace tsm::curves {

void Curve::DifferentiateSimple() {
  // Points sharing one x (repeated readings at a sweep step) would give an
  // infinite quotient: each run of equal x becomes one point at its mean y.
  const std::uint32_t n = count_;
  std::uint32_t k = 0;
  for (std::uint32_t i = 0; i < n;) {
    const float x = points_[i].x;
    double sum = points_[i].y;
    std::uint32_t j = i + 1;
    for (; j < n && points_[j].x == x; ++j) sum += points_[j].y;
    points_[k++] = CurvePoint{x, static_cast<float>(sum / (j - i))};
    i = j;
  }
  if (k < 2) {
    Empty();
    return;
  }
  for (std::uint32_t i = 0; i + 1 < k; ++i) {
    const CurvePoint a = points_[i];
    const CurvePoint b = points_[i + 1];
    const double dy = static_cast<double>(b.y) - a.y;
    const double dx = static_cast<double>(b.x) - a.x;
    points_[i] = CurvePoint{static_cast<float>((static_cast<double>(a.x) + b.x) / 2),
                            static_cast<float>(dy / dx)};
  }
  SetSize(k - 1);  // shrinking: cannot fail
}

void Curve::IntegrateTrapezoid() {
  if (count_ == 0) return;
  // The running sum is kept in double so that a long curve does not lose the
  // small late increments to float rounding.
  double sum = 0.0;
  CurvePoint previous = points_[0];
  points_[0].y = 0.0f;
  for (std::uint32_t i = 1; i < count_; ++i) {
    const CurvePoint p = points_[i];
    sum += (static_cast<double>(p.x) - previous.x) * (static_cast<double>(p.y) + previous.y) / 2;
    points_[i].y = static_cast<float>(sum);
    previous = p;
  }
}

}  // namespace tsm::curves
