// The analysis commands of the Math menu through the registry: their guards,
// the derivative windows as tool windows, and the junction options in the
// settings file.
#include <gtest/gtest.h>

#include "curves/undo.h"
#include "files/fileio.h"
#include "math/commands.h"
#include "math/derivative.h"
#include "math/junction_options.h"
#include "math/junction_table.h"
#include "app/options_registry.h"
#include "shell/optiongroups.h"
#include "tests/app/commands_fixture.h"

namespace tsm::app {
namespace {

using testing::CommandsTest;

class AnalysisCommandsTest : public CommandsTest {
 protected:
  AnalysisCommandsTest() { math::ResetJunctionOptions(); }
  ~AnalysisCommandsTest() override { math::ResetJunctionOptions(); }
};

TEST_F(AnalysisCommandsTest, GuardedToolsRefuseInsideASelectionTheParameterHistogramsDoNot) {
  files::LoadDataFile(DataFile("a", 2, 20), false);
  SelectData(2, 0, 8, 400);
  for (int id : {kCmdJunctionTable, kCmdSigmaIc, kCmdRegularize, kCmdSelfField,
                 kCmdArrayHistogram}) {
    ui->Clear();
    EXPECT_EQ(RunCommand(id), CommandResult::Failed) << id;
    ASSERT_EQ(ui->MessageBoxes().size(), 1u) << id;
    EXPECT_EQ(ui->MessageBoxes()[0].caption, math::kSelectionRefusedCaption) << id;
  }
  EXPECT_TRUE(shell::DataSaved());
  // Histogram of Rn is greyed with the whole-family tools; Histogram of Ic
  // runs inside a selection, on every curve (y = x^2 leaves 1e-5 V at once:
  // Ic = 0; y = x^2 + 10 is never below it: no Ic).
  EXPECT_EQ(RunCommand(kCmdHistogramRn), CommandResult::Greyed);
  EXPECT_EQ(RunCommand(kCmdMultiPointX), CommandResult::Greyed);
  ui->Clear();
  EXPECT_EQ(RunCommand(kCmdHistogramIc), CommandResult::Done);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Point(1).y, 1.0f);
  EXPECT_FALSE(shell::DataSaved());
}

TEST_F(AnalysisCommandsTest, EveryToolRefusesAnEmptyFamilyWithAMessageAndChangesNothing) {
  for (int id : {kCmdJunctionTable, kCmdHistogramIc, kCmdHistogramRn, kCmdHistogramIe,
                 kCmdArrayHistogram, kCmdSigmaIc, kCmdRegularize, kCmdSelfField,
                 kCmdSelfFieldSelected, kCmdMultiPointX, kCmdMultiPointY}) {
    ui->Clear();
    const CommandResult result = RunCommand(id);
    EXPECT_TRUE(result == CommandResult::Failed || result == CommandResult::Greyed) << id;
    if (result == CommandResult::Failed) {
      ASSERT_EQ(ui->MessageBoxes().size(), 1u) << id;
      EXPECT_FALSE(ui->MessageBoxes()[0].text.empty()) << id;
    }
    EXPECT_EQ(Family().Count(), 0u) << id;
    EXPECT_FALSE(curves::UndoAvailable()) << id;
    EXPECT_TRUE(shell::DataSaved()) << id;
  }
}

TEST_F(AnalysisCommandsTest, RegularizeAndTheRnHistogramChangeDataAndRedraw) {
  files::LoadDataFile(DataFile("a", 2, 20), false);
  const int draws = window.DrawCount();
  EXPECT_EQ(RunCommand(kCmdRegularize), CommandResult::Done);
  EXPECT_FALSE(shell::DataSaved());
  EXPECT_GT(window.DrawCount(), draws);
  EXPECT_EQ(RunCommand(kCmdHistogramRn), CommandResult::Done);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_STREQ(Family().Curve(0).Name(), "Histogram of Rn");
}

TEST_F(AnalysisCommandsTest, DerivativeWindowsFollowThePlotAndTheirCommandsCopyThem) {
  files::LoadDataFile(DataFile("a", 2, 20), false);  // y = x^2 + 10 c
  EXPECT_TRUE(CommandCheckable(kCmdDerivativeWindowX));
  EXPECT_EQ(RunCommand(kCmdDerivativeWindowX), CommandResult::Done);
  EXPECT_EQ(RunCommand(kCmdDerivativeWindowY), CommandResult::Done);
  EXPECT_TRUE(CommandChecked(kCmdDerivativeWindowX));
  EXPECT_TRUE(CommandChecked(kCmdDerivativeWindowY));
  const math::DerivativeWindowModel* x = window.DerivativeWindow(kCmdDerivativeWindowX);
  const math::DerivativeWindowModel* y = window.DerivativeWindow(kCmdDerivativeWindowY);
  ASSERT_TRUE(x && y);
  ASSERT_EQ(x->Family().Count(), 2u);
  EXPECT_EQ(x->Family().Curve(0).Count(), 16u);  // 20 points, 5-point windows
  EXPECT_NEAR(x->Family().Curve(0).Point(0).y, 4.0, 1e-4);  // 2x at x = 2
  EXPECT_EQ(y->Family().Curve(1).Point(0).x, 14.0f);        // y at x = 2 of curve 1

  // A changed family reaches the windows with the plot-changed notification.
  math::GetMathOptions().derivePoints = 3;
  ASSERT_EQ(RunCommand(kCmdScale), CommandResult::Done);  // the dialog's OK: no change
  EXPECT_EQ(x->Family().Curve(0).Count(), 18u);

  // 145 takes the undo copy and puts the X window's family in place.
  EXPECT_EQ(RunCommand(kCmdMultiPointX), CommandResult::Done);
  EXPECT_STREQ(Family().GraphName(), "D[,x]");
  EXPECT_EQ(Family().Curve(0).Count(), 18u);
  EXPECT_TRUE(curves::UndoAvailable());
  EXPECT_FALSE(shell::DataSaved());
  // The window now shows the derivative of the derivative.
  EXPECT_EQ(x->Family().Curve(0).Count(), 16u);

  EXPECT_EQ(RunCommand(kCmdDerivativeWindowX), CommandResult::Done);
  EXPECT_FALSE(CommandChecked(kCmdDerivativeWindowX));
  EXPECT_EQ(window.DerivativeWindow(kCmdDerivativeWindowX), nullptr);
  // 183 works with its window closed as well.
  EXPECT_EQ(RunCommand(kCmdDerivativeWindowY), CommandResult::Done);
  EXPECT_EQ(RunCommand(kCmdMultiPointY), CommandResult::Done);
  EXPECT_EQ(Family().Count(), 2u);
}

TEST_F(AnalysisCommandsTest, JunctionOptionsDialogAndGroupOfSlot24) {
  RegisterOptionGroups();
  EXPECT_TRUE(shell::IsOptionGroupRegistered(shell::OptionGroupId::Junction));
  ui->PushDialog([](platform::DialogModel& d) {
    d.SetText(math::kIcCriterionControl, "2E-05");
    d.Command(math::kRnMethodControl + 1);
    d.SetCheck(math::kRnMethodControl + 1, 1);
    d.SetCheck(math::kRnMethodControl, 0);
    d.SetText(math::kRnStartPointsControl, "2");  // below 3: refused
  });
  EXPECT_EQ(RunCommand(kCmdJunctionOptions), CommandResult::Failed);
  EXPECT_EQ(math::GetJunctionOptions().icCriterion, 1e-5f);

  ui->PushDialog([](platform::DialogModel& d) {
    d.SetText(math::kIcCriterionControl, "2E-05");
    d.SetCheck(math::kRnMethodControl, 0);
    d.SetCheck(math::kRnMethodControl + 1, 1);
    d.SetText(math::kRnStartPointsControl, "20");
  });
  EXPECT_EQ(RunCommand(kCmdJunctionOptions), CommandResult::Done);
  const math::JunctionOptions& o = math::GetJunctionOptions();
  EXPECT_EQ(o.icCriterion, 2e-5f);
  EXPECT_EQ(o.rnMethod, math::kRnChord);
  EXPECT_EQ(o.rnStartPoints, 20u);

  const std::string ini = dir.File("tsm.ini");
  math::GetJunctionOptions().selfFieldFactor = -0.25f;
  shell::SaveOptionGroup(shell::OptionGroupId::Junction, ini);
  const std::string text = tsm::testing::TempDir::Read(ini);
  for (const char* line : {"Ic_Criterion=2E-05", "Rn.method=1", "Rn.ConvLSF.StartPoints=20",
                           "Rn.DrawLines=0", "Vc.method=0", "Vc_ExceedIcBy=0.1",
                           "SelfField_Factor=-0.25"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  math::ResetJunctionOptions();
  shell::LoadOptionGroup(shell::OptionGroupId::Junction, ini);
  EXPECT_EQ(math::GetJunctionOptions().rnMethod, math::kRnChord);
  EXPECT_EQ(math::GetJunctionOptions().selfFieldFactor, -0.25f);
}

}  // namespace
}  // namespace tsm::app
