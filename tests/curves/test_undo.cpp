#include "curves/undo.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/curves/curves_fixture.h"

namespace tsm::curves {
namespace {

using platform::IDNO;
using platform::IDYES;
using platform::MB_ICONQUESTION;
using platform::MB_YESNO;
using testing::AddCurve;
using testing::CurvesTest;
using testing::PointsOf;

class UndoTest : public CurvesTest {
 protected:
  UndoTest() {
    SetUndoAvailableHook([this](bool available) { changes.push_back(available); });
    changes.clear();
  }
  std::vector<bool> changes;
};

TEST_F(UndoTest, UndoTogglesBetweenTheStatesBeforeAndAfterACommand) {
  CurveFamily& f = CurrentFamily();
  AddCurve(f, "IV", {{0, 1}, {1, 1}, {3, 2}});
  f.SetInfo("IVC", "A", "V", "");
  EXPECT_FALSE(UndoAvailable());
  ASSERT_TRUE(PrepareUndo());
  EXPECT_TRUE(UndoAvailable());
  EXPECT_EQ(changes, std::vector<bool>{true});
  f.Integrate();

  ASSERT_TRUE(Undo());
  EXPECT_STREQ(CurrentFamily().GraphName(), "IVC");
  EXPECT_EQ(PointsOf(CurrentFamily().Curve(0)),
            (std::vector<CurvePoint>{{0, 1}, {1, 1}, {3, 2}}));
  ASSERT_TRUE(Undo());
  EXPECT_STREQ(CurrentFamily().GraphName(), "Int[IVC,x]");
  EXPECT_EQ(PointsOf(CurrentFamily().Curve(0)),
            (std::vector<CurvePoint>{{0, 0}, {1, 1}, {3, 4}}));
  EXPECT_TRUE(UndoAvailable());
  EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(UndoTest, UndoSwapsWholeFamiliesWithoutCopyingPoints) {
  AddCurve(CurrentFamily(), "IV", {{0, 1}, {1, 1}});
  ASSERT_TRUE(PrepareUndo());
  const CurvePoint* current = CurrentFamily().Curve(0).Data();
  const CurvePoint* saved = UndoFamily().Curve(0).Data();
  EXPECT_NE(current, saved);
  Undo();
  EXPECT_EQ(CurrentFamily().Curve(0).Data(), saved);
  EXPECT_EQ(UndoFamily().Curve(0).Data(), current);
}

TEST_F(UndoTest, PrepareOnAnEmptyFamilyKeepsThePreviousUndoState) {
  AddCurve(CurrentFamily(), "before", {{1, 1}});
  ASSERT_TRUE(PrepareUndo());
  CurrentFamily().Clear();  // "Clear Screen"
  ASSERT_TRUE(PrepareUndo());
  ASSERT_EQ(UndoFamily().Count(), 1u);
  EXPECT_STREQ(UndoFamily().Curve(0).Name(), "before");
  EXPECT_TRUE(UndoAvailable());
  ASSERT_TRUE(Undo());
  EXPECT_STREQ(CurrentFamily().Curve(0).Name(), "before");
}

TEST_F(UndoTest, NothingToUndoBeforeTheFirstPrepare) {
  AddCurve(CurrentFamily(), "IV", {{1, 1}});
  EXPECT_FALSE(Undo());
  EXPECT_EQ(CurrentFamily().Count(), 1u);
}

TEST_F(UndoTest, ShortCopyAsksAndYesGoesOnWithoutUndo) {
  AddCurve(CurrentFamily(), "old", {{1, 1}});
  ASSERT_TRUE(PrepareUndo());
  AddCurve(CurrentFamily(), "new", {{2, 2}});
  changes.clear();
  RefuseFrom(1);
  ui->PushAnswer(IDYES);
  EXPECT_TRUE(PrepareUndo());
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, "Not enough memory to provide 'Undo'\nContinue Anyway?");
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Undo");
  EXPECT_EQ(ui->MessageBoxes()[0].type, MB_YESNO | MB_ICONQUESTION);
  // The partial copy is never offered: Undo would lose curves.
  EXPECT_FALSE(UndoAvailable());
  EXPECT_EQ(changes, std::vector<bool>{false});
  EXPECT_EQ(UndoFamily().Count(), 0u);
  EXPECT_FALSE(Undo());
  EXPECT_EQ(CurrentFamily().Count(), 2u);
}

TEST_F(UndoTest, ShortCopyAndNoCancelsTheCommand) {
  AddCurve(CurrentFamily(), "IV", {{1, 1}, {2, 2}});
  RefuseFrom(16);
  ui->PushAnswer(IDNO);
  EXPECT_FALSE(PrepareUndo());
  EXPECT_FALSE(UndoAvailable());
  EXPECT_EQ(CurrentFamily().Count(), 1u);
  EXPECT_EQ(CurrentFamily().Curve(0).Count(), 2u);
}

TEST_F(UndoTest, OutOfMemoryAfterPrepareRestoresAndTellsTheUser) {
  AddCurve(CurrentFamily(), "IV", {{1, 1}, {2, 2}});
  ASSERT_TRUE(PrepareUndo());
  CurrentFamily().Curve(0).RemoveRange(0, 0);
  UndoAfterOutOfMemory();
  EXPECT_EQ(CurrentFamily().Curve(0).Count(), 2u);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text,
            "Can not complete operation due to insufficient \nor very fragmented memory");
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Error");
  EXPECT_EQ(ui->MessageBoxes()[0].type, platform::MB_ICONHAND);
}

TEST_F(UndoTest, HookLearnsThePresentStateAndResetForgetsEverything) {
  std::vector<bool> seen;
  AddCurve(CurrentFamily(), "IV", {{1, 1}});
  PrepareUndo();
  SetUndoAvailableHook([&seen](bool available) { seen.push_back(available); });
  EXPECT_EQ(seen, std::vector<bool>{true});
  ResetCurvesState();
  EXPECT_FALSE(UndoAvailable());
  EXPECT_EQ(CurrentFamily().Count(), 0u);
  EXPECT_EQ(UndoFamily().Count(), 0u);
  EXPECT_EQ(seen.size(), 1u);  // the hook went with the reset
}

}  // namespace
}  // namespace tsm::curves
