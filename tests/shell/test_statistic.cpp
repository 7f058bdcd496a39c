// The running statistics accumulator: the values it derives, the empty
// accumulator, and the constant series whose radicand rounding makes
// slightly negative.
#include "shell/statistic.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tsm::shell {
namespace {

TEST(Statistic, DerivesMeanDeviationAndSpreadFromItsSums) {
  Statistic s;
  for (double v : {2.0, 4.0, 4.0, 4.0, 5.0, 5.0, 7.0, 9.0}) s.Add(v);
  EXPECT_EQ(s.Count(), 8u);
  EXPECT_DOUBLE_EQ(s.Sum(), 40.0);
  EXPECT_DOUBLE_EQ(s.SumOfSquares(), 232.0);
  EXPECT_DOUBLE_EQ(s.Mean(), 5.0);
  EXPECT_DOUBLE_EQ(s.StandardDeviation(), 2.0);  // population form
  EXPECT_DOUBLE_EQ(s.Min(), 2.0);
  EXPECT_DOUBLE_EQ(s.Max(), 9.0);
  EXPECT_DOUBLE_EQ(s.Spread(), 7.0);

  Statistic negative;
  negative.Add(-3.0);
  negative.Add(-1.0);
  EXPECT_DOUBLE_EQ(negative.Min(), -3.0);
  EXPECT_DOUBLE_EQ(negative.Max(), -1.0);
  EXPECT_DOUBLE_EQ(negative.Mean(), -2.0);
}

TEST(Statistic, AnEmptyAccumulatorRaisesAndClearEmptiesIt) {
  Statistic s;
  EXPECT_TRUE(s.Empty());
  EXPECT_THROW(s.Mean(), StatisticException);
  EXPECT_THROW(s.StandardDeviation(), StatisticException);
  EXPECT_THROW(s.Min(), StatisticException);
  EXPECT_THROW(s.Spread(), StatisticException);
  s.Add(1.0);
  EXPECT_NO_THROW(s.Mean());
  s.Clear();
  EXPECT_TRUE(s.Empty());
  EXPECT_THROW(s.Max(), StatisticException);
}

TEST(Statistic, AConstantSeriesHasDeviationZeroNotNaN) {
  // 0.1 is not exact in binary: n x sum of squares - sum^2 comes out a few
  // units of rounding below zero for many of these series.
  for (double v : {0.1, 0.3, 1.1, 1234.567, 1e-7}) {
    for (int n : {3, 7, 10, 1000}) {
      Statistic s;
      for (int i = 0; i < n; ++i) s.Add(v);
      const double d = s.StandardDeviation();
      EXPECT_FALSE(std::isnan(d)) << v << " x " << n;
      EXPECT_GE(d, 0.0);
      EXPECT_LT(d, 1e-6 * v) << v << " x " << n;
    }
  }
}

}  // namespace
}  // namespace tsm::shell
