#include "plot/range.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "plot_fixture.h"

namespace tsm::plot {
namespace {

using testing::AddCurve;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(NiceRange, UnitRangeKeepsItsEndsWithATenthStep) {
  double lo = 0, hi = 1;
  NiceRange(lo, hi, 10);
  EXPECT_NEAR(lo, 0.0, 1e-15);
  EXPECT_NEAR(hi, 1.0, 1e-15);
  EXPECT_NEAR((hi - lo) / 10, 0.1, 1e-15);
}

TEST(NiceRange, CentresAnAwkwardRangeOnAWholeStep) {
  double lo = -3.7, hi = 12.2;
  NiceRange(lo, hi, 10);
  EXPECT_DOUBLE_EQ(lo, -6.0);
  EXPECT_DOUBLE_EQ(hi, 14.0);
  // Fewer divisions: the step grows to 5 and the range still covers the data.
  lo = -3.7, hi = 12.2;
  NiceRange(lo, hi, 4);
  EXPECT_LE(lo, -3.7);
  EXPECT_GE(hi, 12.2);
  EXPECT_DOUBLE_EQ((hi - lo) / 4, 5.0);
}

TEST(NiceRange, ZeroWidthStaysOnTheValueWithATinyStep) {
  double lo = 5, hi = 5;
  NiceRange(lo, hi, 10);
  EXPECT_DOUBLE_EQ(lo, 5.0);
  EXPECT_DOUBLE_EQ(hi, 5.0);
  // At zero the tiny step itself shows: a grid of +-1e-31 around the value.
  lo = hi = 0;
  NiceRange(lo, hi, 10);
  EXPECT_LE(lo, 0.0);
  EXPECT_GE(hi, 0.0);
  EXPECT_LT(hi - lo, 1e-30);
}

TEST(NiceRange, NonFiniteInputIsLeftAlone) {
  double lo = std::nan(""), hi = 1;
  NiceRange(lo, hi, 10);
  EXPECT_TRUE(std::isnan(lo));
  EXPECT_EQ(hi, 1.0);
  lo = 0, hi = INFINITY;
  NiceRange(lo, hi, 10);
  EXPECT_EQ(lo, 0.0);
  EXPECT_TRUE(std::isinf(hi));
}

TEST(NiceRange, HugeRangesStayFinite) {
  double lo = -3.4e38, hi = 3.4e38;
  NiceRange(lo, hi, 10);
  EXPECT_TRUE(std::isfinite(lo) && std::isfinite(hi));
  EXPECT_LE(lo, -3.4e38);
  EXPECT_GE(hi, 3.4e38);
}

TEST(FiniteExtents, SkipsNaNAndInfinitePoints) {
  curves::CurveFamily f;
  EXPECT_FALSE(FiniteExtents(f));
  AddCurve(f, "a", {{kNaN, 1}, {2, kInf}, {-kInf, 3}});
  EXPECT_FALSE(FiniteExtents(f)) << "no point has both coordinates finite";
  AddCurve(f, "b", {{1, -2}, {kNaN, kNaN}, {4, 7}});
  const auto e = FiniteExtents(f);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->xMin, 1);
  EXPECT_EQ(e->xMax, 4);
  EXPECT_EQ(e->yMin, -2);
  EXPECT_EQ(e->yMax, 7);
}

TEST(Mapping, PixelsAndValuesMeetAndFarValuesSaturate) {
  PlotView v;
  v.xMin = 1;
  v.xMax = 2;
  v.yMin = -1;
  v.yMax = 1;
  v.originX = 50;
  v.originY = 400;
  v.xPerPixel = 1.0 / 500;
  v.yPerPixel = 2.0 / 300;
  EXPECT_EQ(DataToPixelX(v, 1.5), 300);
  EXPECT_EQ(DataToPixelY(v, 0.0), 250);
  EXPECT_DOUBLE_EQ(PixelToDataX(v, 300), 1.5);
  EXPECT_NEAR(PixelToDataY(v, 250), 0.0, 1e-12);
  // Truncation toward zero on both sides of the origin.
  EXPECT_EQ(DataToPixelX(v, 1.0 - 1.5 / 500), 49);
  EXPECT_EQ(DataToPixelX(v, 1e30), 50 + kPixelLimit);
  EXPECT_EQ(DataToPixelX(v, -1e30), 50 - kPixelLimit);
  EXPECT_EQ(DataToPixelX(v, std::nan("")), 50 - kPixelLimit);
}

}  // namespace
}  // namespace tsm::plot
