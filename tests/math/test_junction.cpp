#include "math/junction.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/math/analysis_curves.h"
#include "tests/math/math_fixture.h"

namespace tsm::math {
namespace {

using curves::Curve;
using testing::Rsj;
using testing::SweepBothWays;
using testing::WithExcessCurrent;

TEST(Junction, IdealShuntedJunctionGivesIcWithinOneStepAndRnWithinHalfAPercent) {
  const double ic = 1.0037e-3, rn = 10.0, step = 1e-5;
  Curve c;
  SweepBothWays(c, 25 * ic, step, Rsj(ic, rn));
  const JunctionParameters p = AnalyseJunction(c, JunctionOptions{});
  EXPECT_LE(p.icPlus, ic);
  EXPECT_GT(p.icPlus, ic - step);
  EXPECT_GE(p.icMinus, -ic);
  EXPECT_LT(p.icMinus, -ic + step);
  EXPECT_NEAR(p.ic, ic, step);
  EXPECT_NEAR(p.rn, rn, 0.005 * rn);
  // The chord at the largest current is as close here.
  JunctionOptions chord;
  chord.rnMethod = kRnChord;
  EXPECT_NEAR(AnalyseJunction(c, chord).rn, rn, 0.005 * rn);
}

TEST(Junction, ExcessCurrentIsTheInterceptOfTheOhmicLines) {
  const double ic = 1e-3, rn = 10.0, ie = 0.3e-3;
  Curve c;
  SweepBothWays(c, 10 * ic, 2e-5, WithExcessCurrent(ic, rn, ie));
  JunctionOptions o;
  JunctionParameters p = AnalyseJunction(c, o);
  EXPECT_NEAR(p.ie, ie, 0.01 * ie);
  EXPECT_NEAR(p.rn, rn, 1e-4 * rn);
  // The fit grew from the outermost points down to the switching current,
  // not into the superconducting branch.
  ASSERT_TRUE(p.positive && p.negative);
  EXPECT_NEAR(p.positive->points, 2 * 450, 4u);
  EXPECT_NEAR(p.positive->outermost, 10 * ic, 1e-9);
  EXPECT_NEAR(p.negative->outermost, -10 * ic, 1e-9);

  // Vc: Ic x Rn, or the voltage at 1.1 Ic on the curve, Rn (1.1 Ic - Ie).
  EXPECT_NEAR(p.vc, p.ic * p.rn, 1e-12);
  o.vcMethod = kVcAboveIc;
  o.vcExceedIcBy = 0.1f;
  p = AnalyseJunction(c, o);
  EXPECT_NEAR(p.vc, rn * (1.1 * p.ic - ie), 1e-6);
  // The chord passes through the origin: Rn (1 - Ie/Imax), Ie unchanged.
  o.rnMethod = kRnChord;
  p = AnalyseJunction(c, o);
  EXPECT_NEAR(p.rn, rn * (1 - 0.03), 1e-4);
  EXPECT_NEAR(p.ie, ie, 0.01 * ie);
}

TEST(Junction, NoisyBranchesStillFitAndAHysteresisLoopIsNotFitted) {
  // A hysteretic junction swept 0 -> max -> 0: switches at Ic on the way up,
  // stays resistive down to Ir on the way back. Deterministic noise of a
  // few microvolts.
  const double ic = 1e-3, ir = 0.4e-3, rn = 5.0, step = 1e-5;
  Curve c;
  unsigned seed = 12345;
  const auto noise = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return ((seed >> 16) % 1000 / 1000.0 - 0.5) * 4e-6;
  };
  for (int k = 0; k <= 500; ++k) {
    const double i = k * step;
    c.Append(static_cast<float>(i), static_cast<float>((i <= ic ? 0.0 : rn * i) + noise()));
  }
  for (int k = 499; k >= 0; --k) {
    const double i = k * step;
    c.Append(static_cast<float>(i), static_cast<float>((i < ir ? 0.0 : rn * i) + noise()));
  }
  const JunctionParameters p = AnalyseJunction(c, JunctionOptions{});
  EXPECT_NEAR(p.icPlus, ic, step);
  EXPECT_TRUE(std::isnan(p.icMinus));
  EXPECT_NEAR(p.ic, ic, step);  // the one side found
  EXPECT_NEAR(p.rn, rn, 0.002 * rn);
  EXPECT_NEAR(p.ie, 0.0, 2e-6);
  ASSERT_TRUE(p.positive);
  // Above Ic both sweeps are on the ohmic line (799 points); at Ic the
  // sweep up is still superconducting, which ends the fit there, before the
  // way back's points between Ir and Ic.
  EXPECT_GE(p.positive->points, 780u);
  EXPECT_LE(p.positive->points, 799u);
  EXPECT_FALSE(p.negative);
}

TEST(Junction, SwitchingNeedsAStepOutwardsFromBelowTheCriterion) {
  Curve c;
  // Inwards on the ohmic branch (from -3 to 0), then outwards switching at 2.
  for (float x : {-3.f, -2.f, -1.f, 0.f, 1.f, 2.f, 3.f})
    c.Append(x, std::fabs(x) > 2.5f || x < -0.5f ? x : 0.f);
  EXPECT_EQ(SwitchingCurrent(c, +1, 0.5), 2.0);
  EXPECT_FALSE(SwitchingCurrent(c, -1, 0.5));  // never moved outwards on -
  // Resistive from the first step away from zero: the switching current is 0.
  Curve ohmic;
  for (float x : {0.f, 1.f, 2.f}) ohmic.Append(x, x);
  EXPECT_EQ(SwitchingCurrent(ohmic, +1, 0.5), 0.0);
  // A step across zero that switches counts from zero too.
  Curve across;
  across.Append(-0.5f, 0.f);
  across.Append(1.f, 1.f);
  EXPECT_EQ(SwitchingCurrent(across, +1, 0.5), 0.0);
}

TEST(Junction, CurvesWithoutBranchesGiveNotFoundValues) {
  Curve c;
  for (float x : {0.f, 1.f, 2.f}) c.Append(x, 0.f);  // superconducting throughout
  const JunctionParameters p = AnalyseJunction(c, JunctionOptions{});
  EXPECT_TRUE(std::isnan(p.icPlus) && std::isnan(p.icMinus) && std::isnan(p.ic));
  EXPECT_EQ(p.rn, 0.0);  // a flat branch: 0 Ohm ...
  EXPECT_TRUE(std::isnan(p.ie));  // ... and no intercept
  EXPECT_TRUE(std::isnan(p.vc));
  Curve one;
  one.Append(1.f, 1.f);
  EXPECT_FALSE(FitOhmicBranch(one, +1, 10));
  Curve vertical;  // every x the same: no line
  for (float y : {1.f, 2.f, 3.f}) vertical.Append(1.f, y);
  EXPECT_FALSE(FitOhmicBranch(vertical, +1, 10));
}

}  // namespace
}  // namespace tsm::math
