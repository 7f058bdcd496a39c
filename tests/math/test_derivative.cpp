#include "math/derivative.h"

#include <gtest/gtest.h>

#include <cmath>

#include "curves/undo.h"
#include "math/commands.h"
#include "tests/math/math_fixture.h"

namespace tsm::math {
namespace {

using curves::Curve;
using curves::CurvePoint;
using testing::MathTest;
using testing::PointsOf;

Curve Parabola(int from, int to, int step) {
  Curve c;
  for (int k = from; step > 0 ? k <= to : k >= to; k += step) {
    const double x = k * 0.5;
    c.Append(static_cast<float>(x), static_cast<float>(3 * x * x - 2 * x + 1));
  }
  return c;
}

TEST(Derivative, ParabolaIsExactInsideAndTheEdgesAreDroppedOrCut) {
  const Curve c = Parabola(-10, 10, 1);  // 21 points, x = -5 .. 5
  Curve d;
  DeriveSettings s;  // 5 points, edges dropped
  ASSERT_TRUE(DeriveCurve(c, s, DerivativeAxis::X, d));
  ASSERT_EQ(d.Count(), 17u);
  for (const CurvePoint& p : d.Points()) EXPECT_NEAR(p.y, 6 * p.x - 2, 1e-4) << p.x;
  EXPECT_EQ(d.Point(0).x, -4.0f);

  // Cut windows at the edges: every point, the first from points 0..2.
  s.discardEdge = false;
  Curve cut;
  ASSERT_TRUE(DeriveCurve(c, s, DerivativeAxis::X, cut));
  ASSERT_EQ(cut.Count(), 21u);
  // The slope through x = -5, -4.5, -4 is the derivative at -4.5.
  EXPECT_NEAR(cut.Point(0).y, 6 * -4.5 - 2, 1e-3);
  // Two points: forward differences, the last point backwards.
  s.points = 2;
  Curve two;
  ASSERT_TRUE(DeriveCurve(c, s, DerivativeAxis::X, two));
  ASSERT_EQ(two.Count(), 21u);
  EXPECT_NEAR(two.Point(0).y, 6 * -4.75 - 2, 1e-3);
  EXPECT_NEAR(two.Point(20).y, 6 * 4.75 - 2, 1e-3);
  // Against Y the slopes stand at the points' y.
  Curve byY;
  ASSERT_TRUE(DeriveCurve(c, DeriveSettings{}, DerivativeAxis::Y, byY));
  ASSERT_EQ(byY.Count(), 17u);
  EXPECT_EQ(byY.Point(0).x, c.Point(2).y);
  EXPECT_EQ(byY.Point(0).y, d.Point(0).y);
}

TEST(Derivative, NoWindowSpansTheTurningPoint) {
  // Up 0..10 then down 10..0 on y = x^2 (up) and y = x^2 + 100 x (down):
  // a window across the turn would mix the two slopes.
  Curve c;
  for (int k = 0; k <= 10; ++k) c.Append(static_cast<float>(k), static_cast<float>(k * k));
  for (int k = 9; k >= 0; --k)
    c.Append(static_cast<float>(k), static_cast<float>(k * k + 100.0 * k));
  const auto runs = MonotonicRuns(c);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].first, 0u);
  EXPECT_EQ(runs[0].last, 10u);
  EXPECT_EQ(runs[1].first, 10u);  // the turning point belongs to both
  EXPECT_EQ(runs[1].last, 20u);
  EXPECT_EQ(runs[1].direction, -1);

  // Each run's slopes follow its own formula. (The way down starts at the
  // turning point, measured with the way up's formula, so only its first
  // window, at x = 8, sees both.)
  Curve d;
  DeriveSettings s;
  ASSERT_TRUE(DeriveCurve(c, s, DerivativeAxis::X, d));
  ASSERT_EQ(d.Count(), 7u + 7u);
  for (std::uint32_t i = 0; i < 7; ++i) EXPECT_NEAR(d.Point(i).y, 2 * d.Point(i).x, 1e-4);
  for (std::uint32_t i = 8; i < 14; ++i) EXPECT_NEAR(d.Point(i).y, 2 * d.Point(i).x + 100, 1e-3);

  // Only the runs of one direction.
  s.direction = kDeriveIncreasingX;
  Curve up;
  ASSERT_TRUE(DeriveCurve(c, s, DerivativeAxis::X, up));
  EXPECT_EQ(up.Count(), 7u);
  s.direction = kDeriveDecreasingX;
  Curve down;
  ASSERT_TRUE(DeriveCurve(c, s, DerivativeAxis::X, down));
  EXPECT_EQ(down.Count(), 7u);
  EXPECT_EQ(down.Point(0).x, 8.0f);
}

TEST(Derivative, EqualXStayInTheirRunAndAllEqualGivesNothing) {
  Curve c;
  for (float x : {0.f, 1.f, 1.f, 2.f, 3.f}) c.Append(x, 2 * x);
  const auto runs = MonotonicRuns(c);
  ASSERT_EQ(runs.size(), 1u);
  Curve d;
  DeriveSettings s;
  s.points = 3;
  ASSERT_TRUE(DeriveCurve(c, s, DerivativeAxis::X, d));
  ASSERT_EQ(d.Count(), 3u);
  for (const CurvePoint& p : d.Points()) EXPECT_NEAR(p.y, 2.0, 1e-6);

  Curve flat;
  for (float y : {1.f, 2.f, 3.f}) flat.Append(5.f, y);
  Curve none;
  ASSERT_TRUE(DeriveCurve(flat, DeriveSettings{}, DerivativeAxis::X, none));
  EXPECT_EQ(none.Count(), 0u);
}

class DerivativeFamilyTest : public MathTest {};

TEST_F(DerivativeFamilyTest, FamilyKeepsNamesAndRenamesUnits) {
  curves::CurveFamily src;
  src.SetUnits("A", "V");
  src.SetGraphName("IVC");
  src.SetCount(2);
  src.Curve(0) = Parabola(-10, 10, 1);
  src.Curve(0).SetName("IV");
  src.Curve(0).SetParameter(2.5f);
  src.Curve(1).Append(0.f, 0.f);  // one point: left out
  curves::CurveFamily x, y;
  EXPECT_EQ(BuildDerivativeFamily(src, DeriveSettings{}, DerivativeAxis::X, x), 1u);
  ASSERT_EQ(x.Count(), 1u);
  EXPECT_STREQ(x.Curve(0).Name(), "IV");
  EXPECT_EQ(x.Curve(0).Parameter(), 2.5f);
  EXPECT_STREQ(x.UnitX(), "A");
  EXPECT_STREQ(x.UnitY(), "V/A");
  EXPECT_STREQ(x.GraphName(), "D[IVC,x]");
  BuildDerivativeFamily(src, DeriveSettings{}, DerivativeAxis::Y, y);
  EXPECT_STREQ(y.UnitX(), "V");
  EXPECT_STREQ(y.UnitY(), "V/A");
  EXPECT_STREQ(y.GraphName(), "D[IVC,x](y)");
}

TEST_F(DerivativeFamilyTest, CommandReplacesTheFamilyOrRefuses) {
  EXPECT_FALSE(MultiPointDerivativeXCommand(nullptr));
  ExpectOneMessage(kNoCurvesText, kDerivativeCaption, platform::MB_ICONHAND);
  ui->Clear();

  Family().SetCount(1);
  for (float x : {0.f, 1.f, 2.f}) Family().Curve(0).Append(x, x);
  EXPECT_FALSE(MultiPointDerivativeXCommand(nullptr));  // 3 points < 5
  ExpectOneMessage(
      "No curve has enough points in one sweep direction\nfor the derivative window "
      "(Options | Math: DerivePoints).",
      kDerivativeCaption, platform::MB_ICONHAND);
  EXPECT_EQ(Family().Curve(0).Count(), 3u);
  EXPECT_FALSE(curves::UndoAvailable());
  ui->Clear();

  GetMathOptions().derivePoints = 3;
  EXPECT_TRUE(MultiPointDerivativeYCommand(nullptr));
  EXPECT_TRUE(ui->MessageBoxes().empty());
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(PointsOf(Family().Curve(0)), (std::vector<CurvePoint>{{1.f, 1.f}}));
  EXPECT_TRUE(curves::UndoAvailable());
}

}  // namespace
}  // namespace tsm::math
