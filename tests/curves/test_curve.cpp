#include "curves/curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tests/curves/curves_fixture.h"

namespace tsm::curves {
namespace {

using testing::CurvesTest;
using testing::Fill;
using testing::PointsOf;

using CurveStorage = CurvesTest;

TEST_F(CurveStorage, AppendGrowsByEightFirstThenByHalfTheCapacity) {
  Curve c;
  c.Append(0, 0);
  EXPECT_EQ(c.Capacity(), 8u);
  for (int i = 1; i < 9; ++i) c.Append(static_cast<float>(i), 0);
  EXPECT_EQ(c.Count(), 9u);
  EXPECT_EQ(c.Capacity(), 16u);
  for (int i = 9; i < 17; ++i) c.Append(static_cast<float>(i), 0);
  EXPECT_EQ(c.Capacity(), 24u);
  for (int i = 17; i < 25; ++i) c.Append(static_cast<float>(i), 0);
  EXPECT_EQ(c.Capacity(), 36u);  // 24 + 24/2: growth is proportional from here
  for (std::uint32_t i = 0; i < c.Count(); ++i) EXPECT_EQ(c.Point(i).x, static_cast<float>(i));
}

TEST_F(CurveStorage, SetSizeZeroesNewPointsKeepsOldOnesAndSizesExactly) {
  Curve c;
  Fill(c, {{1, 2}, {3, 4}, {5, 6}});
  ASSERT_TRUE(c.SetSize(5));
  EXPECT_EQ(c.Capacity(), 5u);
  EXPECT_EQ(PointsOf(c), (std::vector<CurvePoint>{{1, 2}, {3, 4}, {5, 6}, {0, 0}, {0, 0}}));
  ASSERT_TRUE(c.SetSize(2));
  EXPECT_EQ(c.Capacity(), 2u);
  EXPECT_EQ(PointsOf(c), (std::vector<CurvePoint>{{1, 2}, {3, 4}}));
  // Growing again must not bring back the dropped points.
  ASSERT_TRUE(c.SetSize(3));
  EXPECT_EQ(c.Point(2), (CurvePoint{0, 0}));
}

TEST_F(CurveStorage, TruncateKeepsTheBlockAndNothingDroppedComesBack) {
  Curve c;
  Fill(c, {{1, 2}, {3, 4}, {5, 6}, {7, 8}});
  ASSERT_TRUE(c.Reserve(4));
  const CurvePoint* block = c.Data();
  c.Truncate(2);
  c.Truncate(3);  // never longer
  EXPECT_EQ(c.Data(), block);
  EXPECT_EQ(c.Capacity(), 4u);
  EXPECT_EQ(PointsOf(c), (std::vector<CurvePoint>{{1, 2}, {3, 4}}));
  // The places after the count are not points: growing gives zeros, an
  // append its own point, a copy only the points.
  ASSERT_TRUE(c.SetSize(3));
  EXPECT_EQ(c.Point(2), (CurvePoint{0, 0}));
  c.Truncate(2);
  ASSERT_TRUE(c.Append(9, 9));
  EXPECT_EQ(PointsOf(c), (std::vector<CurvePoint>{{1, 2}, {3, 4}, {9, 9}}));
  c.Truncate(1);
  Curve copy;
  ASSERT_TRUE(copy.CopyFrom(c));
  EXPECT_EQ(PointsOf(copy), (std::vector<CurvePoint>{{1, 2}}));
  EXPECT_EQ(copy.Capacity(), 1u);
}

TEST_F(CurveStorage, ReserveKeepsCountWithinCapacity) {
  Curve c;
  Fill(c, {{1, 1}, {2, 2}, {3, 3}});
  ASSERT_TRUE(c.Reserve(100));
  EXPECT_EQ(c.Count(), 3u);
  EXPECT_EQ(c.Capacity(), 100u);
  ASSERT_TRUE(c.Reserve(1));
  EXPECT_EQ(c.Count(), 1u);
  ASSERT_TRUE(c.Reserve(0));
  EXPECT_EQ(c.Count(), 0u);
  EXPECT_EQ(c.Capacity(), 0u);
  EXPECT_EQ(c.Data(), nullptr);
}

TEST_F(CurveStorage, RemoveRangeMovesTheTailDownAndWholeRangeFreesStorage) {
  Curve c;
  Fill(c, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}});
  c.RemoveRange(1, 2);
  EXPECT_EQ(PointsOf(c), (std::vector<CurvePoint>{{0, 0}, {3, 3}, {4, 4}}));
  EXPECT_EQ(c.Capacity(), 3u);
  c.SetName("kept");
  c.RemoveRange(0, 2);
  EXPECT_EQ(c.Count(), 0u);
  EXPECT_EQ(c.Capacity(), 0u);
  EXPECT_EQ(c.Data(), nullptr);
  EXPECT_STREQ(c.Name(), "kept");
}

TEST_F(CurveStorage, BadIndicesAreReportedAndLeaveTheCurveAlone) {
  Curve c;
  Fill(c, {{0, 0}, {1, 1}});
  c.Point(2).x = 99;  // goes to a scratch point, not past the block
  EXPECT_TRUE(platform::HasAssertion("index < count_", "curve"));
  c.RemoveRange(1, 0);
  c.RemoveRange(0, 2);
  EXPECT_TRUE(platform::HasAssertion("last >= first", "curve"));
  EXPECT_TRUE(platform::HasAssertion("last < count", "curve"));
  EXPECT_EQ(PointsOf(c), (std::vector<CurvePoint>{{0, 0}, {1, 1}}));
}

TEST_F(CurveStorage, MovingARecordTakesTheBlockWithoutCopying) {
  Curve a;
  Fill(a, {{1, 1}, {2, 2}});
  a.SetName("a");
  const CurvePoint* block = a.Data();
  Curve b(std::move(a));
  EXPECT_EQ(b.Data(), block);
  EXPECT_STREQ(b.Name(), "a");
  EXPECT_EQ(a.Count(), 0u);
  EXPECT_EQ(a.Data(), nullptr);
  Curve c;
  Fill(c, {{5, 5}});
  c = std::move(b);
  EXPECT_EQ(c.Data(), block);
  EXPECT_EQ(c.Count(), 2u);
}

TEST_F(CurveStorage, CopyFromDuplicatesEverythingAndOntoItselfChangesNothing) {
  Curve a;
  Fill(a, {{1, 2}, {3, 4}});
  a.SetName("IV");
  a.SetParameter(1e-6f);
  a.Mark();
  Curve b;
  Fill(b, {{9, 9}, {9, 9}, {9, 9}});
  ASSERT_TRUE(b.CopyFrom(a));
  EXPECT_NE(b.Data(), a.Data());
  EXPECT_EQ(PointsOf(b), PointsOf(a));
  EXPECT_STREQ(b.Name(), "IV");
  EXPECT_EQ(b.Parameter(), 1e-6f);
  EXPECT_TRUE(b.IsMarked());

  const CurvePoint* block = a.Data();
  ASSERT_TRUE(a.CopyFrom(a));
  EXPECT_EQ(a.Data(), block);
  EXPECT_EQ(PointsOf(a), (std::vector<CurvePoint>{{1, 2}, {3, 4}}));
  EXPECT_STREQ(a.Name(), "IV");
}

TEST_F(CurveStorage, RefusedGrowthKeepsEveryPointAndReportsFailure) {
  Curve c;
  for (int i = 0; i < 8; ++i) c.Append(static_cast<float>(i), 1);
  RefuseFrom(0);
  EXPECT_FALSE(c.Append(8, 1));
  EXPECT_FALSE(c.SetSize(20));
  EXPECT_FALSE(c.Reserve(9));
  EXPECT_EQ(c.Count(), 8u);
  EXPECT_EQ(c.Capacity(), 8u);
  EXPECT_EQ(c.Point(7), (CurvePoint{7, 1}));
  // Shrinking needs no new memory and still works.
  EXPECT_TRUE(c.SetSize(4));
  c.RemoveRange(0, 0);
  EXPECT_EQ(c.Count(), 3u);
  SetAllocationHook(nullptr);
  EXPECT_TRUE(c.Append(8, 1));
}

TEST_F(CurveStorage, RefusedCopyLeavesAnEmptyCurveWithoutStorage) {
  Curve a;
  Fill(a, {{1, 2}, {3, 4}});
  a.SetName("source");
  Curve b;
  Fill(b, {{5, 5}});
  RefuseFrom(0);
  EXPECT_FALSE(b.CopyFrom(a));
  EXPECT_EQ(b.Count(), 0u);
  EXPECT_EQ(b.Capacity(), 0u);
  EXPECT_EQ(b.Data(), nullptr);
}

TEST_F(CurveStorage, ResetOnARecordWithStorageIsReportedButDoesNotLeak) {
  Curve c;
  Fill(c, {{1, 1}});
  c.Reset();
  EXPECT_TRUE(platform::HasAssertion("points_ == nullptr", "curve"));
  EXPECT_EQ(c.Data(), nullptr);
  EXPECT_EQ(c.Capacity(), 0u);
}

using CurveExtremes = CurvesTest;

TEST_F(CurveExtremes, WholeCurveExtremesAndEmptyCurve) {
  Curve c;
  EXPECT_FALSE(c.MaxX().has_value());
  EXPECT_FALSE(c.MinY().has_value());
  Fill(c, {{2, -1}, {-3, 5}, {7, 0}});
  EXPECT_EQ(c.MaxX(), 7.0f);
  EXPECT_EQ(c.MinX(), -3.0f);
  EXPECT_EQ(c.MaxY(), 5.0f);
  EXPECT_EQ(c.MinY(), -1.0f);
}

TEST_F(CurveExtremes, SearchStartsFromTheLargestFiniteFloat) {
  const float inf = std::numeric_limits<float>::infinity();
  Curve c;
  Fill(c, {{-inf, std::nanf("")}, {-inf, inf}});
  EXPECT_EQ(c.MaxX(), -std::numeric_limits<float>::max());
  EXPECT_EQ(c.MinY(), std::numeric_limits<float>::max());
  EXPECT_EQ(c.MaxY(), inf);
}

TEST_F(CurveExtremes, FirstOfEqualExtremesWinsAndToIsClipped) {
  Curve c;
  Fill(c, {{0, 1}, {1, 3}, {2, 3}, {3, 2}});
  EXPECT_EQ(c.IndexOfMaxY(0, 4), 1u);
  EXPECT_EQ(c.IndexOfMaxY(2, 100), 2u);
  EXPECT_EQ(c.IndexOfMaxX(0, 3), 2u);  // the last point lies outside 0 .. to-1
  Fill(c, {{5, 2}, {5, 1}, {4, 1}});
  EXPECT_EQ(c.IndexOfMinY(0, 3), 1u);
  EXPECT_EQ(c.IndexOfMaxX(0, 3), 0u);
  EXPECT_EQ(c.IndexOfMinX(0, 3), 2u);
}

TEST_F(CurveExtremes, BadSearchRangesAreReported) {
  Curve c;
  EXPECT_EQ(c.IndexOfMaxY(0, 1), kNoIndex);
  EXPECT_TRUE(platform::HasAssertion("count > 0", "curve"));
  Fill(c, {{0, 1}, {1, 2}});
  EXPECT_EQ(c.IndexOfMinX(2, 3), kNoIndex);
  EXPECT_TRUE(platform::HasAssertion("from < count", "curve"));
  EXPECT_EQ(c.IndexOfMinX(1, 1), kNoIndex);
  EXPECT_TRUE(platform::HasAssertion("to > from", "curve"));
}

using CurveNames = CurvesTest;

TEST_F(CurveNames, LongNamesKeep127CharactersAndReportFalse) {
  Curve c;
  EXPECT_FALSE(c.SetName(std::string(200, 'a').c_str()));
  EXPECT_EQ(std::string(c.Name()), std::string(127, 'a'));
  EXPECT_TRUE(c.SetName(std::string(127, 'b').c_str()));
  EXPECT_FALSE(c.AppendName("c"));
  EXPECT_EQ(std::string(c.Name()), std::string(127, 'b'));
  EXPECT_TRUE(c.SetName("IV"));
  EXPECT_TRUE(c.AppendName("#1"));
  EXPECT_STREQ(c.Name(), "IV#1");
}

using CurveRectangles = CurvesTest;

TEST_F(CurveRectangles, ReversedCornersAndBordersCount) {
  Curve c;
  Fill(c, {{0, 0}, {1, 1}, {2, 2}});
  EXPECT_TRUE(c.HasPointIn({2, 1.5, 2.5, 2}));  // x and y pairs both reversed
  EXPECT_TRUE(c.HasPointIn({1, 1, 1, 1}));      // a point on every border
  EXPECT_FALSE(c.HasPointIn({0.1, 0.9, 0, 2}));
  EXPECT_FALSE(Curve().HasPointIn({-1, 1, -1, 1}));
}

TEST_F(CurveRectangles, DeleteRemovesEverySeparateRunWhateverTheCornerOrder) {
  // Runs inside [1, 2] x [0, 10]: points 1-2 and points 5-6; x = 1 and x = 2
  // sit on the border.
  const auto fill = [](Curve& c) {
    Fill(c, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {1, 5}, {1.5f, 6}, {5, 7}});
  };
  const std::vector<CurvePoint> expected{{0, 0}, {3, 3}, {4, 4}, {5, 7}};
  Curve a;
  fill(a);
  EXPECT_EQ(a.DeletePointsIn({1, 2, 0, 10}), 0u);
  EXPECT_EQ(PointsOf(a), expected);
  EXPECT_EQ(a.Capacity(), 4u);
  Curve b;
  fill(b);
  EXPECT_EQ(b.DeletePointsIn({2, 1, 10, 0}), 0u);
  EXPECT_EQ(PointsOf(b), expected);

  Curve all;
  fill(all);
  all.DeletePointsIn({-10, 10, -10, 10});
  EXPECT_EQ(all.Count(), 0u);
  EXPECT_EQ(all.Data(), nullptr);
}

using CurveCalculus = CurvesTest;

TEST_F(CurveCalculus, EqualXMergeIntoTheirMeanBeforeDifferentiating) {
  Curve c;
  Fill(c, {{0, 0}, {1, 1}, {1, 3}, {2, 4}});
  c.DifferentiateSimple();
  EXPECT_EQ(PointsOf(c), (std::vector<CurvePoint>{{0.5f, 2}, {1.5f, 2}}));
  EXPECT_EQ(c.Capacity(), 2u);
}

TEST_F(CurveCalculus, QuotientsUseUnevenSpacing) {
  Curve c;
  Fill(c, {{0, 0}, {1, 2}, {3, 4}, {4, 1}});
  c.DifferentiateSimple();
  EXPECT_EQ(PointsOf(c), (std::vector<CurvePoint>{{0.5f, 2}, {2, 1}, {3.5f, -3}}));
}

TEST_F(CurveCalculus, OnePointAfterMergingEmptiesTheCurveWithNameAndParameter) {
  Curve c;
  Fill(c, {{1, 1}, {1, 2}, {1, 3}});
  c.SetName("flat");
  c.SetParameter(2);
  c.DifferentiateSimple();
  EXPECT_EQ(c.Count(), 0u);
  EXPECT_EQ(c.Data(), nullptr);
  EXPECT_STREQ(c.Name(), "");
  EXPECT_EQ(c.Parameter(), 0.0f);
}

TEST_F(CurveCalculus, TrapezoidIntegralRunsFromZero) {
  Curve c;
  Fill(c, {{0, 1}, {1, 1}, {3, 2}});
  c.IntegrateTrapezoid();
  EXPECT_EQ(PointsOf(c), (std::vector<CurvePoint>{{0, 0}, {1, 1}, {3, 4}}));
  Curve one;
  Fill(one, {{5, 7}});
  one.IntegrateTrapezoid();
  EXPECT_EQ(PointsOf(one), (std::vector<CurvePoint>{{5, 0}}));
}

}  // namespace
}  // namespace tsm::curves
