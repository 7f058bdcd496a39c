#include <gtest/gtest.h>

#include <cmath>

#include "curves/undo.h"
#include "math/commands.h"
#include "math/pointwise.h"
#include "math/pointwise_dialogs.h"
#include "tests/math/math_fixture.h"

namespace tsm::math {
namespace {

using curves::CurvePoint;
using platform::DialogModel;
using platform::MB_ICONHAND;
using testing::AddCurve;
using testing::AddYs;
using testing::MathTest;
using testing::PointsOf;
using testing::YsOf;
using Points = std::vector<CurvePoint>;

class PointwiseTest : public MathTest {};

TEST_F(PointwiseTest, ScaleFormsTheQuotientAndActsOnMarkedCurvesOnly) {
  AddCurve(Family(), "a", {{4, 1}}).Mark();
  AddCurve(Family(), "b", {{4, 1}});
  ui->PushDialog([](DialogModel& d) {
    EXPECT_EQ(d.Caption(), kScaleCaption);
    EXPECT_EQ(d.GetText(kScaleXMultiplyControl), "1");
    d.SetText(kScaleXMultiplyControl, "3");
    d.SetText(kScaleXDivideControl, "2");
    d.SetText(kScaleYMultiplyControl, "-1");
  });
  ASSERT_TRUE(ScaleCommand(nullptr));
  EXPECT_EQ(PointsOf(Family().Curve(0)), (Points{{6, -1}}));
  EXPECT_EQ(PointsOf(Family().Curve(1)), (Points{{4, 1}}));
  ASSERT_TRUE(curves::UndoAvailable());
}

TEST_F(PointwiseTest, ScaleRefusesADivisorOfZeroAndChangesNothing) {
  AddCurve(Family(), "a", {{4, 1}}).Mark();
  ui->PushDialog([](DialogModel& d) { d.SetText(kScaleYDivideControl, "0"); });
  EXPECT_FALSE(ScaleCommand(nullptr));  // OK stays refused; the script's Cancel ends it
  EXPECT_EQ(PointsOf(Family().Curve(0)), (Points{{4, 1}}));
  EXPECT_FALSE(curves::UndoAvailable());
}

TEST_F(PointwiseTest, ShiftOfOneCurveLeavesTheOthers) {
  AddCurve(Family(), "a", {{1, 1}, {2, 2}});
  AddCurve(Family(), "b", {{1, 1}});
  ui->PushDialog([](DialogModel& d) {
    d.SetText(kShiftXControl, "0.5");
    d.SetText(kShiftYControl, "-1");
  });
  ASSERT_TRUE(ShiftCurveCommand(nullptr, 0));
  EXPECT_EQ(PointsOf(Family().Curve(0)), (Points{{1.5, 0}, {2.5, 1}}));
  EXPECT_EQ(PointsOf(Family().Curve(1)), (Points{{1, 1}}));
}

TEST_F(PointwiseTest, AbsAppliesOnlyTheCheckedCoordinate) {
  AddCurve(Family(), "a", {{-1, -2}}).Mark();
  ui->PushDialog([](DialogModel& d) {
    EXPECT_EQ(d.GetText(kAbsTextControl), kAbsText);
    EXPECT_EQ(d.GetCheck(kAbsXControl), 0);
    d.SetCheck(kAbsYControl, 1);
  });
  ASSERT_TRUE(AbsCommand(nullptr));
  EXPECT_EQ(PointsOf(Family().Curve(0)), (Points{{-1, 2}}));
}

TEST_F(PointwiseTest, AbsWithNeitherBoxEndsWithoutUndoCopy) {
  AddCurve(Family(), "a", {{-1, -2}}).Mark();
  EXPECT_FALSE(AbsCurveCommand(nullptr, 0));
  EXPECT_EQ(PointsOf(Family().Curve(0)), (Points{{-1, -2}}));
  EXPECT_FALSE(curves::UndoAvailable());
}

// --- y as new x

TEST_F(PointwiseTest, YAsNewXMovesTheChosenYToTheOtherCurves) {
  AddCurve(Family(), "A", {{0, 1}, {1, 2}, {2, 3}});
  AddCurve(Family(), "B", {{0, 10}, {1, 20}, {2, 30}});
  Family().SetUnits("s", "V");
  ui->PushDialog([](DialogModel& d) {
    EXPECT_EQ(d.Items(kCurveListControl), (std::vector<std::string>{"0: A", "1: B"}));
    d.SetCurrentItem(kCurveListControl, 0);
  });
  ASSERT_TRUE(YAsNewXCommand(nullptr));
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_STREQ(Family().Curve(0).Name(), "B");
  EXPECT_EQ(PointsOf(Family().Curve(0)), (Points{{1, 10}, {2, 20}, {3, 30}}));
  EXPECT_STREQ(Family().UnitX(), "V");
}

TEST_F(PointwiseTest, YAsNewXOfAGivenCurveNeedsNoChoice) {
  AddCurve(Family(), "A", {{0, 1}, {1, 2}});
  AddCurve(Family(), "B", {{0, 10}, {1, 20}});
  AddCurve(Family(), "C", {{0, 5}, {1, 6}});
  ASSERT_TRUE(YAsNewXCurveCommand(nullptr, 1));
  EXPECT_TRUE(ui->CallsOf(platform::UiCall::Kind::Modal).empty());
  ASSERT_EQ(Family().Count(), 2u);
  EXPECT_EQ(PointsOf(Family().Curve(0)), (Points{{10, 1}, {20, 2}}));
  EXPECT_EQ(PointsOf(Family().Curve(1)), (Points{{10, 5}, {20, 6}}));
}

TEST_F(PointwiseTest, YAsNewXChecksTheFamilyBeforeAskingForACurve) {
  struct Case {
    std::vector<Points> curves;
    const char* text;
  };
  const Case cases[] = {
      {{{{0, 1}}}, kYAsXTooFewCurvesText},
      {{{{0, 1}, {1, 2}}, {{0, 1}}}, kYAsXPointCountText},
      {{{{0, 1}, {1, 2}}, {{0, 1}, {1.5f, 2}}}, kYAsXCoordsText},
  };
  for (const Case& c : cases) {
    curves::ResetCurvesState();
    ui->Clear();
    for (const Points& pts : c.curves) {
      curves::Curve& curve = AddCurve(Family(), "c", {});
      for (CurvePoint p : pts) curve.Append(p.x, p.y);
    }
    EXPECT_FALSE(YAsNewXCommand(nullptr));
    ExpectOneMessage(c.text, kYAsXCaption, MB_ICONHAND);
    EXPECT_TRUE(ui->CallsOf(platform::UiCall::Kind::Modal).empty());
    EXPECT_EQ(Family().Count(), c.curves.size());
  }
}

TEST_F(PointwiseTest, YAsNewXCancelledInTheListChangesNothing) {
  AddCurve(Family(), "A", {{0, 1}});
  AddCurve(Family(), "B", {{0, 2}});
  ui->PushDialog([](DialogModel& d) { d.Command(platform::IDCANCEL); });
  EXPECT_FALSE(YAsNewXCommand(nullptr));
  EXPECT_EQ(Family().Count(), 2u);
  EXPECT_FALSE(curves::UndoAvailable());
}

// --- reordering and swapping

TEST_F(PointwiseTest, ReversingKeepsTheMiddlePointAndTwiceRestores) {
  const Points five{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
  AddCurve(Family(), "a", {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}});
  AddCurve(Family(), "b", {{7, 8}, {9, 10}});
  ASSERT_TRUE(ReversePointsCommand());
  EXPECT_EQ(PointsOf(Family().Curve(0)), (Points{{4, 4}, {3, 3}, {2, 2}, {1, 1}, {0, 0}}));
  EXPECT_EQ(PointsOf(Family().Curve(1)), (Points{{9, 10}, {7, 8}}));
  ReversePointsCommand();
  EXPECT_EQ(PointsOf(Family().Curve(0)), five);
}

struct FakeView {
  bool autoScale = false;
  float xMin = 0, xMax = 1, yMin = 10, yMax = 20;
  int resets = 0;
  PlotViewLink Link() {
    return {[this] { return autoScale; },
            [this] {
              std::swap(xMin, yMin);
              std::swap(xMax, yMax);
            },
            [this] { ++resets; }};
  }
};

TEST_F(PointwiseTest, SwapXYSwapsTheViewRangesOnlyWithoutAutoScale) {
  AddCurve(Family(), "a", {{1, 2}});
  Family().SetUnits("A", "V");
  FakeView view;
  ASSERT_TRUE(SwapXYCommand(view.Link()));
  EXPECT_EQ(PointsOf(Family().Curve(0)), (Points{{2, 1}}));
  EXPECT_STREQ(Family().UnitX(), "V");
  EXPECT_EQ(view.xMin, 10);
  EXPECT_EQ(view.yMax, 1);

  view.autoScale = true;
  SwapXYCommand(view.Link());
  EXPECT_EQ(view.xMin, 10);
  EXPECT_EQ(PointsOf(Family().Curve(0)), (Points{{1, 2}}));
}

// --- normalisations

TEST_F(PointwiseTest, NormalisationsGivePercentOfYminOrYmax) {
  AddYs(Family(), "a", {2, 3, 4});
  AddYs(Family(), "b", {-4, -2, -1});
  AddCurve(Family(), "empty", {});
  FakeView view;
  ASSERT_TRUE(NormaliseByYminCommand(nullptr, view.Link()));
  EXPECT_EQ(YsOf(Family().Curve(0)), (std::vector<double>{0, 50, 100}));
  EXPECT_STREQ(Family().UnitY(), "%");
  EXPECT_EQ(view.resets, 1);

  curves::ResetCurvesState();
  AddYs(Family(), "b", {-4, -2, -1});
  ASSERT_TRUE(NormaliseByYmaxCommand(nullptr, view.Link()));
  EXPECT_EQ(YsOf(Family().Curve(0)), (std::vector<double>{0, -200, -300}));
}

TEST_F(PointwiseTest, NormalisationRefusedByALaterCurveLeavesEveryCurve) {
  AddYs(Family(), "a", {2, 3, 4});
  AddYs(Family(), "b", {0, 1});
  Family().SetUnitY("V");
  FakeView view;
  EXPECT_FALSE(NormaliseByYminCommand(nullptr, view.Link()));
  EXPECT_EQ(YsOf(Family().Curve(0)), (std::vector<double>{2, 3, 4}));
  EXPECT_EQ(YsOf(Family().Curve(1)), (std::vector<double>{0, 1}));
  EXPECT_STREQ(Family().UnitY(), "V");
  EXPECT_EQ(view.resets, 0);
  ExpectOneMessage(kNormYminZeroText, kNormYminCaption, MB_ICONHAND);

  ui->Clear();
  AddYs(Family(), "c", {-1, 0});
  EXPECT_FALSE(NormaliseByYmaxCommand(nullptr, view.Link()));
  ExpectOneMessage(kNormYmaxZeroText, kNormYmaxCaption, MB_ICONHAND);
  EXPECT_EQ(YsOf(Family().Curve(0)), (std::vector<double>{2, 3, 4}));
}

TEST_F(PointwiseTest, NormalisationRefusalKeepsThePreviousUndoState) {
  AddYs(Family(), "a", {1, 2});
  ASSERT_TRUE(curves::PrepareUndo());  // as a previous command would
  AddYs(Family(), "zero", {0, 5});
  EXPECT_FALSE(NormaliseByYminCommand(nullptr, {}));
  ASSERT_TRUE(curves::Undo());
  EXPECT_EQ(Family().Count(), 1u);  // the state before "zero" was added
}

// --- decimal logarithm

TEST_F(PointwiseTest, Log10RefusesAnyYNotAboveZero) {
  for (float bad : {0.0f, -1.0f, std::nanf("")}) {
    curves::ResetCurvesState();
    ui->Clear();
    AddYs(Family(), "a", {100, 10});
    AddYs(Family(), "b", {5, bad, 7});
    EXPECT_FALSE(Log10Command(nullptr));
    EXPECT_EQ(YsOf(Family().Curve(0)), (std::vector<double>{100, 10}));
    ExpectOneMessage(kLog10RefusedText, kLog10Caption, MB_ICONHAND);
  }
}

TEST_F(PointwiseTest, Log10OfEveryCurveWithItsUnitText) {
  AddYs(Family(), "a", {100, 0.1f});
  Family().SetUnitY("V");
  ASSERT_TRUE(Log10Command(nullptr));
  EXPECT_FLOAT_EQ(Family().Curve(0).Point(0).y, 2.0f);
  EXPECT_FLOAT_EQ(Family().Curve(0).Point(1).y, -1.0f);
  EXPECT_STREQ(Family().UnitY(), "lg(V)");
  EXPECT_EQ(Log10Units("0123456789a"), "lg(0123456789a)");  // 15 characters fit
  EXPECT_EQ(Log10Units("0123456789ab"), "???");
}

// --- the guard

TEST_F(PointwiseTest, GuardRefusesInsideASelectionAndOtherwiseMarksAll) {
  AddCurve(Family(), "a", {{1, 1}});
  AddCurve(Family(), "b", {{1, 1}});
  EXPECT_FALSE(MathSelectionGuard(nullptr, true));
  EXPECT_EQ(Family().CountMarked(), 0u);
  ExpectOneMessage("This function is not implemented yet\nto work inside a selection.",
                   "Math & Selection", MB_ICONHAND);
  EXPECT_TRUE(MathSelectionGuard(nullptr, false));
  EXPECT_EQ(Family().CountMarked(), 2u);
}

}  // namespace
}  // namespace tsm::math
