#include "math/histogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "curves/undo.h"
#include "math/commands.h"
#include "math/junction.h"
#include "math/junction_options.h"
#include "tests/math/analysis_curves.h"
#include "tests/math/math_fixture.h"

namespace tsm::math {
namespace {

using curves::Curve;
using testing::MathTest;

TEST(Histogram, FreedmanDiaconisBinsSpanTheValues) {
  // 0 .. 99: IQR 49.5, width 2 * 49.5 / 100^(1/3) = 21.33: 5 bins of 19.8.
  std::vector<double> v(100);
  std::iota(v.begin(), v.end(), 0.0);
  const Histogram h = MakeHistogram(v);
  ASSERT_EQ(h.counts.size(), 5u);
  EXPECT_DOUBLE_EQ(h.first, 0.0);
  EXPECT_DOUBLE_EQ(h.width, 99.0 / 5);
  EXPECT_EQ(std::accumulate(h.counts.begin(), h.counts.end(), 0u), 100u);
  EXPECT_EQ(h.counts.back(), 20u);  // 80 .. 99, the maximum included

  // Equal values: one bin centred on them; NaN left out.
  const Histogram one = MakeHistogram({2e-3, 2e-3, kNotFound});
  ASSERT_EQ(one.counts.size(), 1u);
  EXPECT_EQ(one.counts[0], 2u);
  EXPECT_DOUBLE_EQ(one.Centre(0), 2e-3);
  EXPECT_TRUE(MakeHistogram({kNotFound}).counts.empty());

  // Half the values equal: the IQR is 0 and the outliers still get bins.
  const Histogram lumped = MakeHistogram({1, 1, 1, 1, 1, 1, 1, 9});
  EXPECT_EQ(lumped.counts.size(), 4u);  // log2(8) + 1
  EXPECT_EQ(lumped.counts.front(), 7u);
  EXPECT_EQ(lumped.counts.back(), 1u);

  // A wide spread of many values stops at 1000 bins.
  std::vector<double> wide(200000, 0.5);
  wide.front() = -1e9;
  wide.back() = 1e9;
  for (std::size_t i = 0; i < wide.size(); ++i) wide[i] += i * 1e-6;
  EXPECT_EQ(MakeHistogram(wide).counts.size(), kMaxBins);
}

TEST(Histogram, CurveIsAStaircase) {
  Histogram h;
  h.first = 1.0;
  h.width = 0.5;
  h.counts = {2, 0, 3};
  Curve c;
  ASSERT_TRUE(HistogramCurve(h, c));
  using P = curves::CurvePoint;
  EXPECT_EQ(testing::PointsOf(c), (std::vector<P>{{1.0f, 0}, {1.0f, 2}, {1.5f, 2}, {1.5f, 0},
                                                  {2.0f, 0}, {2.0f, 3}, {2.5f, 3}, {2.5f, 0}}));
  EXPECT_EQ(c.Parameter(), 0.5f);
}

// A series array of junctions with the given switching currents, each
// adding `jump` volts when it switches, and a small resistance per junction.
Curve SeriesArray(const std::vector<double>& ics, double jump, double step, double max) {
  Curve c;
  for (int k = 0; k * step <= max; ++k) {
    const double i = k * step;
    double v = 0.0;
    for (double ic : ics)
      if (i > ic) v += jump + 0.01 * (i - ic);
    c.Append(static_cast<float>(i), static_cast<float>(v));
  }
  return c;
}

class ArrayHistogramTest : public MathTest {};

TEST_F(ArrayHistogramTest, TwentyJunctionsGiveTwentyCountsInTheirBins) {
  std::vector<double> ics;
  for (int j = 0; j < 20; ++j) ics.push_back(1e-3 * (1.0 + 0.013 * ((j * 7) % 20)));
  const double step = 1e-6;
  const Curve c = SeriesArray(ics, 2.8e-3, step, 1.4e-3);
  std::vector<double> jumps = JumpCurrents(c, 1e-4);
  ASSERT_EQ(jumps.size(), 20u);
  std::sort(ics.begin(), ics.end());
  std::sort(jumps.begin(), jumps.end());
  for (std::size_t j = 0; j < 20; ++j) EXPECT_NEAR(jumps[j], ics[j], step) << j;

  // Through the command: one histogram per marked curve, each known Ic
  // counted in the bin that holds it.
  Family().SetCount(1);
  Family().Curve(0).CopyFrom(c);
  Family().Curve(0).SetName("array");
  Family().SetUnits("A", "V");
  Family().MarkAll();
  GetJunctionOptions().icCriterion = 1e-4f;
  ASSERT_TRUE(SeriesArrayHistogramCommand(nullptr));
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_STREQ(Family().Curve(0).Name(), "array");
  EXPECT_STREQ(Family().UnitX(), "A");
  EXPECT_STREQ(Family().UnitY(), kCountsUnits);
  const Histogram h = MakeHistogram(jumps);
  std::vector<std::uint32_t> expected(h.counts.size(), 0);
  for (double ic : ics)
    ++expected[std::min<std::size_t>(h.counts.size() - 1,
                                     static_cast<std::size_t>((ic - h.first) / h.width))];
  EXPECT_EQ(h.counts, expected);
  const Curve& drawn = Family().Curve(0);
  ASSERT_EQ(drawn.Count(), 2 * h.counts.size() + 2);
  std::uint32_t total = 0;
  for (std::size_t k = 0; k < h.counts.size(); ++k) total += drawn.Point(1 + 2 * k).y;
  EXPECT_EQ(total, 20u);
}

TEST_F(ArrayHistogramTest, RefusalsLeaveTheFamily) {
  Family().SetCount(1);
  for (float x : {0.f, 1.f, 2.f}) Family().Curve(0).Append(x, 0.f);
  Family().MarkAll();
  EXPECT_FALSE(SeriesArrayHistogramCommand(nullptr));
  ExpectOneMessage(kArrayHistogramNoJumpsText, kArrayHistogramCaption, platform::MB_ICONHAND);
  ui->Clear();
  EXPECT_FALSE(IcHistogramCommand(nullptr));  // never switches
  ExpectOneMessage("No curve gives a value of Ic to put into the histogram.", "Histogram of Ic",
                   platform::MB_ICONHAND);
  EXPECT_EQ(Family().Curve(0).Count(), 3u);
  EXPECT_FALSE(curves::UndoAvailable());
}

TEST_F(ArrayHistogramTest, ParameterHistogramsTakeEveryCurve) {
  // Five junctions with Ic 1.0 .. 1.4 mA and Rn 10 Ohm; only one is marked,
  // the histogram takes them all.
  Family().SetCount(5);
  for (int j = 0; j < 5; ++j)
    testing::SweepBothWays(Family().Curve(j), 5e-3, 1e-5, testing::Rsj(1e-3 + j * 1e-4, 10.0));
  Family().Curve(2).Mark();
  ASSERT_TRUE(RnHistogramCommand(nullptr));
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_STREQ(Family().Curve(0).Name(), "Histogram of Rn");
  EXPECT_STREQ(Family().UnitX(), "Ohm");
  ui->Clear();
  ASSERT_TRUE(curves::Undo());
  ASSERT_TRUE(IcHistogramCommand(nullptr));
  const Curve& h = Family().Curve(0);
  std::uint32_t total = 0;
  for (std::uint32_t k = 1; k + 1 < h.Count(); k += 2) total += h.Point(k).y;
  EXPECT_EQ(total, 5u);
  EXPECT_NEAR(h.Point(0).x, 1e-3, 1e-5);
  EXPECT_NEAR(h.Point(h.Count() - 1).x, 1.4e-3, 1e-5);
}

}  // namespace
}  // namespace tsm::math
