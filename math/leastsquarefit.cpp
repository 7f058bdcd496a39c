#include "math/leastsquarefit.h"

#include "platform/assert.h"

namespace tsm::math {

std::string LeastSquareFitException::Message() const {
  switch (code_) {
    case kNoElements:
      return "LeastSquareFitException -- the number of elements is zero";
    case kZeroDenominator:
      return "LeastSquareFitException -- the denominator is zero (A&B are infinite)";
    default:
      TSM_ASSERT(code_ >= 0, "leastsquarefit");
      return "Unknown LeastSquareFitException";
  }
}

void LeastSquareFit::Reset() { s_ = sx_ = sy_ = sxx_ = sxy_ = 0.0; }

void LeastSquareFit::Add(double x, double y, double w) {
  s_ += w;
  sx_ += w * x;
  sy_ += w * y;
  sxx_ += x * (w * x);
  sxy_ += x * (w * y);
}

double LeastSquareFit::Denominator() const {
  if (s_ == 0.0) throw LeastSquareFitException(LeastSquareFitException::kNoElements);
  return s_ * sxx_ - sx_ * sx_;
}

double LeastSquareFit::A() const {
  const double d = Denominator();
  if (d == 0.0) return kInfinite;
  return (s_ * sxy_ - sx_ * sy_) / d;
}

double LeastSquareFit::B() const {
  const double d = Denominator();
  if (d == 0.0) return kInfinite;
  return (sy_ * sxx_ - sxy_ * sx_) / d;
}

}  // namespace tsm::math
