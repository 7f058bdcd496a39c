#include <gtest/gtest.h>

#include "math/leastsquarefit.h"
#include "platform/assert.h"

namespace tsm::math {
namespace {

TEST(LeastSquareFitTest, FitsTheLineThroughTheWeightedPoints) {
  LeastSquareFit fit;
  fit.Add(1, 2, 1);
  fit.Add(2, 3, 1);
  EXPECT_DOUBLE_EQ(fit.A(), 1.0);
  EXPECT_DOUBLE_EQ(fit.B(), 1.0);
  // Four points: S = 4, Sx = 10, Sy = 8, Sxx = 30, Sxy = 18, D = 20.
  fit.Add(3, 2, 1);
  fit.Add(4, 1, 1);
  EXPECT_DOUBLE_EQ(fit.A(), -0.4);
  EXPECT_DOUBLE_EQ(fit.B(), 3.0);

  fit.Reset();
  fit.Add(1, 2, 1);
  fit.Add(2, 3, 2);
  EXPECT_DOUBLE_EQ(fit.A(), 1.0);
  EXPECT_DOUBLE_EQ(fit.B(), 1.0);
}

TEST(LeastSquareFitTest, NoWeightThrowsAndOneXGivesTheLargestDouble) {
  LeastSquareFit fit;
  try {
    fit.A();
    FAIL() << "no exception";
  } catch (const LeastSquareFitException& e) {
    EXPECT_EQ(e.Code(), -1);
    EXPECT_EQ(e.Message(), "LeastSquareFitException -- the number of elements is zero");
  }
  fit.Add(1, 1, 1);
  fit.Add(5, 5, -1);  // weights summing to 0
  EXPECT_THROW(fit.B(), LeastSquareFitException);

  fit.Reset();
  fit.Add(2, 1, 1);
  fit.Add(2, 3, 1);
  EXPECT_EQ(fit.A(), 1.7976931348623157e308);
  EXPECT_EQ(fit.B(), 1.7976931348623157e308);
}

TEST(LeastSquareFitTest, ExceptionTexts) {
  platform::ClearAssertions();
  platform::SetAssertionEcho(false);
  EXPECT_EQ(LeastSquareFitException(-2).Message(),
            "LeastSquareFitException -- the denominator is zero (A&B are infinite)");
  EXPECT_EQ(LeastSquareFitException(0).Message(), "Unknown LeastSquareFitException");
  EXPECT_EQ(LeastSquareFitException(7).Message(), "Unknown LeastSquareFitException");
  EXPECT_TRUE(platform::Assertions().empty());
  EXPECT_EQ(LeastSquareFitException(-3).Message(), "Unknown LeastSquareFitException");
  EXPECT_FALSE(platform::Assertions().empty());
  EXPECT_EQ(platform::Assertions()[0].source, "leastsquarefit");
  platform::SetAssertionEcho(true);
  platform::ClearAssertions();
}

}  // namespace
}  // namespace tsm::math
