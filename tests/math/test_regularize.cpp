#include "math/regularize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "curves/undo.h"
#include "math/commands.h"
#include "math/fft_command.h"
#include "math/junction_options.h"
#include "math/self_field.h"
#include "tests/math/math_fixture.h"

namespace tsm::math {
namespace {

using curves::Curve;
using curves::CurvePoint;
using testing::MathTest;

class RegularizeTest : public MathTest {};

TEST_F(RegularizeTest, JitteredXBecomeEquallySpacedAndALineStaysExact) {
  // A V(time) record on y = 3 x - 1 sampled at jittered times, out of order
  // in places, with one time repeated.
  Curve& c = testing::AddCurve(Family(), "V(time)", {});
  const double jitter[] = {0.0, 0.31, -0.22, 0.7, -0.45, 0.12, 0.0, -0.4, 0.27, 0.0};
  for (int k = 0; k < 10; ++k) {
    const double t = k + jitter[k];
    c.Append(static_cast<float>(t), static_cast<float>(3 * t - 1));
  }
  c.Append(5.12f, static_cast<float>(3 * 5.12 - 1));  // repeats a time
  EXPECT_TRUE(CheckFFTSampling(c));  // unequal spacing refused before
  Family().MarkAll();
  ASSERT_TRUE(RegularizeCommand(nullptr));
  const Curve& r = Family().Curve(0);
  ASSERT_EQ(r.Count(), 11u);
  EXPECT_EQ(r.Point(0).x, 0.0f);
  EXPECT_EQ(r.Point(10).x, 9.0f);
  for (std::uint32_t j = 0; j < r.Count(); ++j) {
    EXPECT_NEAR(r.Point(j).x, 0.9 * j, 1e-6);
    EXPECT_NEAR(r.Point(j).y, 3 * r.Point(j).x - 1, 1e-5);
  }
  EXPECT_EQ(CheckFFTSampling(r), nullptr);
  EXPECT_TRUE(curves::UndoAvailable());
}

TEST_F(RegularizeTest, EqualXMergeIntoTheirMeanBeforeInterpolating) {
  Curve c;
  for (CurvePoint p : {CurvePoint{2, 10}, CurvePoint{0, 0}, CurvePoint{2, 20}, CurvePoint{1, 4}})
    c.Append(p.x, p.y);
  ASSERT_TRUE(RegularizeCurve(c));
  // Merged: (0, 0), (1, 4), (2, 15); four points over 0 .. 2.
  const CurvePoint expected[] = {{0, 0}, {2.0f / 3, 8.0f / 3}, {4.0f / 3, 4 + 11.0f / 3}, {2, 15}};
  ASSERT_EQ(c.Count(), 4u);
  for (int j = 0; j < 4; ++j) {
    EXPECT_NEAR(c.Point(j).x, expected[j].x, 1e-6);
    EXPECT_NEAR(c.Point(j).y, expected[j].y, 1e-5);
  }
}

TEST_F(RegularizeTest, UnsuitableCurvesRefuseBeforeAnythingChanges) {
  testing::AddCurve(Family(), "good", {{0, 0}, {1, 1}, {3, 2}});
  testing::AddCurve(Family(), "one x", {{1, 0}, {1, 1}});
  Family().MarkAll();
  EXPECT_FALSE(RegularizeCommand(nullptr));
  ExpectOneMessage(kRegularizeRefusedText, kRegularizeCaption, platform::MB_ICONHAND);
  EXPECT_EQ(Family().Curve(0).Point(2).x, 3.0f);
  EXPECT_FALSE(curves::UndoAvailable());

  Curve nan;
  nan.Append(0, 0);
  nan.Append(std::numeric_limits<float>::quiet_NaN(), 1);
  nan.Append(2, 2);
  EXPECT_FALSE(CanRegularize(nan));
  EXPECT_TRUE(CanRegularize(Curve{}));

  ui->Clear();
  Family().Clear();
  EXPECT_FALSE(RegularizeCommand(nullptr));
  ExpectOneMessage(kNoCurvesText, kRegularizeCaption, platform::MB_ICONHAND);
}

class SelfFieldTest : public MathTest {};

// |sinc| of the effective field, with the two branches (+Ic and -Ic) of an
// Ic(H) measurement: the bias current adds k I to the field it sees.
double Fraunhofer(double h) { return h == 0 ? 1.0 : std::fabs(std::sin(h) / h); }

TEST_F(SelfFieldTest, ShiftedFraunhoferPatternComesBackCentred) {
  const double k = 0.5;  // field units per ampere
  const double ic0 = 2.0;
  testing::AddCurve(Family(), "+", {});
  testing::AddCurve(Family(), "-", {});
  Curve& plus = Family().Curve(0);
  Curve& minus = Family().Curve(1);
  // Measured at field h, the junction sees h + k I: Ic solves
  // I = ic0 F(h + k I) (fixed-point iteration converges for small k ic0).
  for (int s = -200; s <= 200; ++s) {
    const double h = s * 0.05;
    double ip = ic0, im = -ic0;
    for (int n = 0; n < 200; ++n) {
      ip = ic0 * Fraunhofer(h + k * ip);
      im = -ic0 * Fraunhofer(h + k * im);
    }
    plus.Append(static_cast<float>(h), static_cast<float>(ip));
    minus.Append(static_cast<float>(h), static_cast<float>(im));
  }
  // Shifted: the maximum of the + branch lies at h = -k ic0, not at 0.
  EXPECT_NEAR(plus.Point(plus.IndexOfMaxY(0, plus.Count())).x, -k * ic0, 0.05);

  GetJunctionOptions().selfFieldFactor = 0.0f;
  ui->PushDialog([](platform::DialogModel& d) { d.SetText(kSelfFieldFactorControl, "0.5"); });
  Family().MarkAll();
  ASSERT_TRUE(SelfFieldCommand(nullptr));
  EXPECT_EQ(GetJunctionOptions().selfFieldFactor, 0.5f);
  // Centred: every point lies on the unshifted pattern, the maxima at 0.
  for (const Curve* c : {&Family().Curve(0), &Family().Curve(1)})
    for (const CurvePoint& p : c->Points())
      EXPECT_NEAR(std::fabs(p.y), ic0 * Fraunhofer(p.x), 1e-4) << p.x;
  const Curve& p = Family().Curve(0);
  EXPECT_NEAR(p.Point(p.IndexOfMaxY(0, p.Count())).x, 0.0, 1e-6);
}

TEST_F(SelfFieldTest, SelectedCommandTakesTheOneMarkedCurveElseAll) {
  testing::AddCurve(Family(), "a", {{1, 2}});
  testing::AddCurve(Family(), "b", {{1, 2}});
  GetJunctionOptions().selfFieldFactor = 1.0f;
  Family().Curve(1).Mark();
  ASSERT_TRUE(SelfFieldSelectedCommand(nullptr));  // the dialog's OK keeps k = 1
  EXPECT_EQ(Family().Curve(0).Point(0).x, 1.0f);
  EXPECT_EQ(Family().Curve(1).Point(0).x, 3.0f);
  Family().MarkAll();
  ASSERT_TRUE(SelfFieldSelectedCommand(nullptr));
  EXPECT_EQ(Family().Curve(0).Point(0).x, 3.0f);
  EXPECT_EQ(Family().Curve(1).Point(0).x, 5.0f);
  // Cancelled: nothing changes.
  ui->PushDialog([](platform::DialogModel& d) { d.Command(platform::IDCANCEL); });
  EXPECT_FALSE(SelfFieldSelectedCommand(nullptr));
  EXPECT_EQ(Family().Curve(0).Point(0).x, 3.0f);
}

}  // namespace
}  // namespace tsm::math
