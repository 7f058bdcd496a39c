#include <gtest/gtest.h>

#include "curves/undo.h"
#include "math/commands.h"
#include "math/options.h"
#include "math/skip_points.h"
#include "tests/math/math_fixture.h"

namespace tsm::math {
namespace {

using curves::Curve;
using curves::CurvePoint;
using platform::MB_ICONINFORMATION;
using testing::AddCurve;
using testing::MathTest;
using testing::PointsOf;
using Points = std::vector<CurvePoint>;

class SkipPointsTest : public MathTest {};

TEST_F(SkipPointsTest, StraightLineEndsWithItsEndPointsAfterRepeatedPasses) {
  AddCurve(Family(), "line", {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}});
  ASSERT_TRUE(SkipExtraPointsCommand(nullptr));
  EXPECT_EQ(PointsOf(Family().Curve(0)), (Points{{0, 0}, {4, 4}}));
  ExpectOneMessage("Before: 5 , After: 2 , 150% skiped", "Skip Results", MB_ICONINFORMATION);
  EXPECT_TRUE(curves::UndoAvailable());
}

TEST_F(SkipPointsTest, CriticalAngleDecidesWhatIsStraight) {
  Curve& c = AddCurve(Family(), "line", {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}});
  // A critical angle of 0 only drops points that do not turn at all, which
  // rounding never promises; 3 degrees thins the line in two passes.
  SkipResult r;
  ASSERT_TRUE(SkipExtraPoints(c, 0.0, &r));
  EXPECT_EQ(r.after, 5u);
  ASSERT_TRUE(SkipExtraPoints(c, 3.0, &r));
  EXPECT_EQ(r.before, 5u);
  EXPECT_EQ(r.after, 2u);
}

TEST_F(SkipPointsTest, RightAngleCornerStaysForAnyAngleUpTo90) {
  for (double angle : {0.0, 3.0, 45.0, 89.9, 90.0}) {
    Curve& c = AddCurve(Family(), "corner", {{0, 0}, {1, 0}, {1, 1}});
    SkipResult r;
    ASSERT_TRUE(SkipExtraPoints(c, angle, &r));
    EXPECT_EQ(PointsOf(c), (Points{{0, 0}, {1, 0}, {1, 1}})) << angle;
  }
}

TEST_F(SkipPointsTest, ARepeatedPointLeavesOneCopy) {
  // The repeat sits in a corner: dropping both copies would cut the corner.
  Curve& corner = AddCurve(Family(), "c", {{0, 0}, {1, 1}, {1, 1}, {2, 0}});
  SkipResult r;
  ASSERT_TRUE(SkipExtraPoints(corner, 3.0, &r));
  EXPECT_EQ(PointsOf(corner), (Points{{0, 0}, {1, 1}, {2, 0}}));

  Curve& atEnd = AddCurve(Family(), "e", {{0, 0}, {1, 1}, {2, 0}, {2, 0}});
  ASSERT_TRUE(SkipExtraPoints(atEnd, 3.0, &r));
  EXPECT_EQ(PointsOf(atEnd), (Points{{0, 0}, {1, 1}, {2, 0}}));

  Curve& run = AddCurve(Family(), "r", {{0, 0}, {0, 0}, {0, 0}, {1, 1}, {2, 0}});
  ASSERT_TRUE(SkipExtraPoints(run, 3.0, &r));
  EXPECT_EQ(PointsOf(run), (Points{{0, 0}, {1, 1}, {2, 0}}));
}

TEST_F(SkipPointsTest, AZeroRangeIsNotNormalised) {
  // All x equal: a vertical line still loses its middle points, and a kink
  // in it is kept; nothing divides by zero.
  Curve& vertical = AddCurve(Family(), "v", {{1, 0}, {1, 1}, {1, 2}, {1, 3}});
  SkipResult r;
  ASSERT_TRUE(SkipExtraPoints(vertical, 3.0, &r));
  EXPECT_EQ(PointsOf(vertical), (Points{{1, 0}, {1, 3}}));

  Curve& flat = AddCurve(Family(), "h", {{0, 5}, {1, 5}, {2, 5}});
  ASSERT_TRUE(SkipExtraPoints(flat, 3.0, &r));
  EXPECT_EQ(PointsOf(flat), (Points{{0, 5}, {2, 5}}));

  Curve& back = AddCurve(Family(), "b", {{1, 0}, {1, 2}, {1, 1}});
  ASSERT_TRUE(SkipExtraPoints(back, 3.0, &r));
  EXPECT_EQ(back.Count(), 3u);
}

TEST_F(SkipPointsTest, CommandReportsEveryNonEmptyCurveAndSkipsEmptyOnes) {
  AddCurve(Family(), "a", {{0, 0}, {1, 0}, {1, 1}});
  AddCurve(Family(), "empty", {});
  AddCurve(Family(), "single", {{3, 3}});
  ASSERT_TRUE(SkipExtraPointsCommand(nullptr));
  ASSERT_EQ(ui->MessageBoxes().size(), 2u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, "Before: 3 , After: 3 , 0% skiped");
  EXPECT_EQ(ui->MessageBoxes()[1].text, "Before: 1 , After: 1 , 0% skiped");
  EXPECT_EQ(Family().Count(), 3u);
}

TEST_F(SkipPointsTest, DialogEditsTheCriticalAngle) {
  AddCurve(Family(), "a", {{0, 0}, {1, 1}, {2, 2.4f}});  // turns by about 10 degrees
  ASSERT_TRUE(SkipExtraPointsCommand(nullptr));          // 3 degrees: kept
  EXPECT_EQ(Family().Curve(0).Count(), 3u);
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.Caption(), kSkipCaption);
    EXPECT_EQ(d.GetText(kDescriptionControl), kSkipDescription);
    EXPECT_EQ(d.GetText(kCriticalAngleControl), "3");
    EXPECT_TRUE(d.HasControl(shell::kSetupLoad));
    d.SetText(kCriticalAngleControl, "30");
  });
  ASSERT_TRUE(SkipExtraPointsCommand(nullptr));
  EXPECT_EQ(GetMathOptions().criticalAngle, 30.0f);
  EXPECT_EQ(Family().Curve(0).Count(), 2u);

  ui->PushDialog([](platform::DialogModel& d) { d.SetText(kCriticalAngleControl, "91"); });
  EXPECT_FALSE(SkipExtraPointsCommand(nullptr));
  EXPECT_EQ(GetMathOptions().criticalAngle, 30.0f);
}

}  // namespace
}  // namespace tsm::math
