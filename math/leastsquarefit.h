// Weighted least-squares fit of a straight line y = A x + B: an accumulator
// of five sums that the resistance and critical-current tools feed with the
// points of an ohmic branch.
#pragma once

#include <string>

namespace tsm::math {

class LeastSquareFitException {
 public:
  static constexpr int kNoElements = -1;       // the weights sum to 0
  static constexpr int kZeroDenominator = -2;  // A and B would be infinite

  explicit LeastSquareFitException(int code) : code_(code) {}
  int Code() const { return code_; }
  // The text of the code; a code below -2 is a program error and reads as
  // an unknown exception.
  std::string Message() const;

 private:
  int code_;
};

class LeastSquareFit {
 public:
  // What A and B return when every point has the same x (D = 0).
  static constexpr double kInfinite = 1.7976931348623157e308;

  void Reset();
  void Add(double x, double y, double w);
  // Slope and intercept; throw LeastSquareFitException(kNoElements) while the
  // weights sum to 0.
  double A() const;
  double B() const;

 private:
  // The denominator S*Sxx - Sx^2, after the check of S.
  double Denominator() const;

  double s_ = 0.0;    // sum of w
  double sx_ = 0.0;   // sum of w x
  double sy_ = 0.0;   // sum of w y
  double sxx_ = 0.0;  // sum of w x^2
  double sxy_ = 0.0;  // sum of w x y
};

}  // namespace tsm::math
