#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "curves/undo.h"
#include "math/commands.h"
#include "math/options.h"
#include "math/smooth_filter.h"
#include "tests/math/math_fixture.h"

namespace tsm::math {
namespace {

using curves::Curve;
using curves::CurvePoint;
using platform::DialogModel;
using testing::AddCurve;
using testing::AddYs;
using testing::MathTest;
using testing::YsOf;
using Ys = std::vector<double>;

class SmoothFilterTest : public MathTest {};

TEST_F(SmoothFilterTest, SmoothCountsTheEndValueForMissingNeighbours) {
  Curve& c = AddYs(Family(), "a", {0, 3, 0});
  SmoothCurve(c, 1);
  EXPECT_EQ(YsOf(c), (Ys{1, 1, 1}));

  Curve& d = AddYs(Family(), "b", {0, 3, 6, 9, 12});
  SmoothCurve(d, 2);  // a straight line stays straight inside, the ends lean inwards
  const Ys expected{(0 + 0 + 0 + 3 + 6) / 5.0, (0 + 0 + 3 + 6 + 9) / 5.0, 6,
                    (3 + 6 + 9 + 12 + 12) / 5.0, (6 + 9 + 12 + 12 + 12) / 5.0};
  EXPECT_THAT(YsOf(d), ::testing::Pointwise(::testing::DoubleNear(1e-6), expected));

  // Adding curves moved the records: look the first one up again.
  SmoothCurve(Family().Curve(0), 0);
  EXPECT_EQ(YsOf(Family().Curve(0)), (Ys{1, 1, 1}));
  Curve& one = AddYs(Family(), "c", {7});
  SmoothCurve(one, 128);
  EXPECT_EQ(YsOf(one), (Ys{7}));
}

TEST_F(SmoothFilterTest, FilterReplacesASpikeByTheLineThroughItsNeighbours) {
  Curve& c = AddCurve(Family(), "a", {{1, 0}, {2, 100}, {3, 0}});
  EXPECT_EQ(FilterCurve(c, 10), 1u);
  EXPECT_EQ(YsOf(c), (Ys{0, 0, 0}));

  Curve& slope = AddCurve(Family(), "b", {{0, 0}, {1, 100}, {4, 40}});
  FilterCurve(slope, 10);
  EXPECT_FLOAT_EQ(slope.Point(1).y, 10.0f);  // 0 + 40 * (1 - 0) / (4 - 0)

  Curve& sameX = AddCurve(Family(), "c", {{1, 0}, {1, 100}, {1, 20}});
  FilterCurve(sameX, 10);
  EXPECT_EQ(YsOf(sameX), (Ys{0, 10, 20}));
}

TEST_F(SmoothFilterTest, FilterLeavesSmallStepsPlateausAndShortCurves) {
  Curve& small = AddCurve(Family(), "a", {{1, 0}, {2, 5}, {3, 0}});
  EXPECT_EQ(FilterCurve(small, 10), 0u);
  EXPECT_EQ(YsOf(small), (Ys{0, 5, 0}));

  // Each middle point is within F of one neighbour: a plateau, not a spike.
  Curve& plateau = AddYs(Family(), "b", {0, 100, 100, 0});
  EXPECT_EQ(FilterCurve(plateau, 10), 0u);
  EXPECT_EQ(YsOf(plateau), (Ys{0, 100, 100, 0}));

  Curve& two = AddYs(Family(), "c", {0, 100});
  EXPECT_EQ(FilterCurve(two, 10), 0u);
  EXPECT_EQ(YsOf(two), (Ys{0, 100}));
}

TEST_F(SmoothFilterTest, FilterComparesWithThePreviousInputValue) {
  // Point 1 is replaced by 0; point 2 is still compared with 100 (the input),
  // so it is no spike although it differs from the replaced value.
  Curve& c = AddYs(Family(), "a", {0, 100, 50, 50});
  EXPECT_EQ(FilterCurve(c, 10), 1u);
  EXPECT_EQ(YsOf(c), (Ys{0, 25, 50, 50}));
}

TEST_F(SmoothFilterTest, CommandsUseTheDialogValueOnEveryCurve) {
  AddYs(Family(), "a", {0, 3, 0});
  AddYs(Family(), "b", {3, 0, 0});
  ui->PushDialog([](DialogModel& d) {
    EXPECT_EQ(d.Caption(), kSmoothCaption);
    EXPECT_EQ(d.GetText(kDescriptionControl), kSmoothDescription);
    EXPECT_EQ(d.GetControl(kSmoothPointsControl)->label, "Number of S&mooth &points:");
    EXPECT_EQ(d.GetText(kSmoothPointsControl), "5");
    EXPECT_TRUE(d.HasControl(shell::kSetupSave));
    d.SetText(kSmoothPointsControl, "1");
  });
  ASSERT_TRUE(SmoothCommand(nullptr));
  EXPECT_EQ(GetMathOptions().smoothParameter, 1u);
  EXPECT_EQ(YsOf(Family().Curve(0)), (Ys{1, 1, 1}));
  EXPECT_EQ(YsOf(Family().Curve(1)), (Ys{2, 1, 0}));
  EXPECT_TRUE(curves::UndoAvailable());
  EXPECT_EQ(ui->BusyDepth(), 0);
}

TEST_F(SmoothFilterTest, CancelledOrRefusedDialogChangesNothing) {
  AddYs(Family(), "a", {0, 100, 0});
  ui->PushDialog([](DialogModel& d) {
    EXPECT_EQ(d.GetText(kDescriptionControl), kFilterDescription);
    d.SetText(kFilterAmplitudeControl, "-1");  // below 0: OK refused
  });
  EXPECT_FALSE(FilterCommand(nullptr));
  ui->PushDialog([](DialogModel& d) { d.SetText(kSmoothPointsControl, "129"); });
  EXPECT_FALSE(SmoothCommand(nullptr));
  EXPECT_EQ(YsOf(Family().Curve(0)), (Ys{0, 100, 0}));
  EXPECT_EQ(GetMathOptions().filterParameter, 10.0f);
  EXPECT_EQ(GetMathOptions().smoothParameter, 5u);
  EXPECT_FALSE(curves::UndoAvailable());
}

}  // namespace
}  // namespace tsm::math
