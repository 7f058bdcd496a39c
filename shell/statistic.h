// The running statistics accumulator: sum, sum of squares, minimum, maximum
// and count of the values added, from which the mean, the standard
// deviation and the spread follow without keeping the values. The critical-
// current searches keep their step, forecast and duration records in it;
// the Math tools use it for their tables.
#pragma once

#include <cstdint>
#include <stdexcept>

namespace tsm::shell {

// Asking an empty accumulator for a value derived from its samples.
class StatisticException : public std::runtime_error {
 public:
  StatisticException() : std::runtime_error("Statistic has no samples") {}
};

class Statistic {
 public:
  void Add(double value);
  void Clear() { *this = Statistic{}; }

  std::uint64_t Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  double Sum() const { return sum_; }
  double SumOfSquares() const { return sumOfSquares_; }

  // The following raise StatisticException when nothing was added.
  double Min() const;
  double Max() const;
  double Mean() const;
  // sqrt(n x sum of squares - sum^2) / n. Rounding can leave the radicand a
  // tiny negative number for a constant series: that is taken as 0, so a
  // constant series has deviation 0, never NaN.
  double StandardDeviation() const;
  // Max - Min.
  double Spread() const;

 private:
  void Require() const;
  std::uint64_t count_ = 0;
  double sum_ = 0.0;
  double sumOfSquares_ = 0.0;
  double min_ = 0.0;
  double max_ = 0.0;
};

}  // namespace tsm::shell
