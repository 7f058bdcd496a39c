#include "shell/statistic.h"

#include <cmath>

namespace tsm::shell {

void Statistic::Add(double value) {
  if (count_ == 0) {
    min_ = max_ = value;
  } else {
    if (value < min_) min_ = value;
    if (value > max_) max_ = value;
  }
  ++count_;
  sum_ += value;
  sumOfSquares_ += value * value;
}

void Statistic::Require() const {
  if (count_ == 0) throw StatisticException();
}

double Statistic::Min() const {
  Require();
  return min_;
}

double Statistic::Max() const {
  Require();
  return max_;
}

double Statistic::Mean() const {
  Require();
  return sum_ / static_cast<double>(count_);
}

double Statistic::StandardDeviation() const {
  Require();
  const double n = static_cast<double>(count_);
  const double radicand = n * sumOfSquares_ - sum_ * sum_;
  if (!(radicand > 0.0)) return 0.0;
  return std::sqrt(radicand) / n;
}

double Statistic::Spread() const {
  Require();
  return max_ - min_;
}

}  // namespace tsm::shell
