// Curve management (159) and properties (222): every operation of the
// dialog reaches the family with OK and is undone by Undo; Cancel leaves
// family and styles alone; a bad parameter keeps the dialog open; a
// renamed curve saves and loads under its new name; "y as new x" takes its
// curve from the dialog; "Make 1st" and "Make last" of the context menu.
#include <gtest/gtest.h>

#include <functional>

#include "curves/undo.h"
#include "files/fileio.h"
#include "plot/style_dialog.h"
#include "app/curve_dialog.h"
#include "tests/app/commands_fixture.h"

namespace tsm::app {
namespace {

using platform::DialogModel;
using testing::CommandsTest;

class CurveDialogTest : public CommandsTest {
 protected:
  // Curves A, B, C, D of 1 to 4 points; saved.
  void Fill() {
    Family().SetCount(4);
    for (std::uint32_t c = 0; c < 4; ++c) {
      for (std::uint32_t i = 0; i <= c; ++i) Family().Curve(c).Append(i, c);
      const char name[2] = {static_cast<char>('A' + c), 0};
      Family().Curve(c).SetName(name);
    }
    shell::SetDataSaved(true);
  }
  std::string Names() const {
    std::string s;
    for (std::uint32_t c = 0; c < curves::CurrentFamily().Count(); ++c)
      s += curves::CurrentFamily().Curve(c).Name();
    return s;
  }
  // Runs command `id` with the dialog doing `steps` before OK.
  CommandResult WithDialog(int id, std::function<void(DialogModel&)> steps) {
    ui->PushDialog([steps](DialogModel& d) {
      ASSERT_EQ(d.ResourceId(), kCurveDialogId);
      steps(d);
    });
    return RunCommand(id);
  }
  static void Pick(DialogModel& d, int item) {
    d.SetCurrentItem(kCurveListControl, item);
    d.Command(kCurveListControl, kListSelChange);
  }
};

TEST_F(CurveDialogTest, TheListShowsNamePointsParameterAndStyle) {
  Fill();
  Family().Curve(1).SetParameter(2.5e-6f);
  Family().Curve(1).Mark();
  ui->PushDialog([](DialogModel& d) {
    EXPECT_EQ(d.Caption(), kCurveManagementCaption);
    const std::vector<std::string> items = d.Items(kCurveListControl);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0], "0: A  (1 points, parameter 0, Solid line, Circle, colour 0,0,0)");
    EXPECT_EQ(items[1].rfind("* 1: B  (2 points, parameter 2.5E-06, Solid line, Circle", 0), 0u);
    // The first curve is shown; it cannot move further up.
    EXPECT_EQ(d.GetText(kCurveNameControl), "A");
    EXPECT_FALSE(d.IsEnabled(kCurveUpControl));
    EXPECT_FALSE(d.IsEnabled(kCurveFirstControl));
    EXPECT_TRUE(d.IsEnabled(kCurveLastControl));
  });
  // Nothing changed: OK redraws but the data stay saved.
  EXPECT_EQ(RunCommand(kCmdCurveManagement), CommandResult::Done);
  EXPECT_TRUE(shell::DataSaved());
}

// Each operation, then Undo: the family is back as it was.
TEST_F(CurveDialogTest, EveryOperationReachesTheFamilyAndUndoRestoresIt) {
  struct Case {
    const char* what;
    std::function<void(DialogModel&)> steps;
    std::string names;
  };
  const std::vector<Case> cases = {
      {"rename", [](DialogModel& d) { Pick(d, 2); d.SetText(kCurveNameControl, "Cnew"); }, "ABCnewD"},
      {"delete", [](DialogModel& d) { Pick(d, 1); d.Command(kCurveDeleteControl); }, "ACD"},
      {"up", [](DialogModel& d) { Pick(d, 2); d.Command(kCurveUpControl); }, "ACBD"},
      {"down", [](DialogModel& d) { Pick(d, 0); d.Command(kCurveDownControl); }, "BACD"},
      {"first", [](DialogModel& d) { Pick(d, 3); d.Command(kCurveFirstControl); }, "DABC"},
      {"last", [](DialogModel& d) { Pick(d, 1); d.Command(kCurveLastControl); }, "ACDB"},
      {"several",
       [](DialogModel& d) {
         Pick(d, 3);
         d.Command(kCurveUpControl);
         d.Command(kCurveUpControl);
         d.SetText(kCurveNameControl, "X");
         Pick(d, 0);
         d.Command(kCurveDeleteControl);
       },
       "XBC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    curves::ResetCurvesState();
    Fill();
    ASSERT_EQ(WithDialog(kCmdCurveManagement, c.steps), CommandResult::Done);
    EXPECT_EQ(Names(), c.names);
    EXPECT_FALSE(shell::DataSaved());
    // Points move with their curves.
    for (std::uint32_t i = 0; i < Family().Count(); ++i)
      EXPECT_EQ(Family().Curve(i).Count(), Family().Curve(i).Point(0).y + 1);
    ASSERT_EQ(RunCommand(kCmdUndo), CommandResult::Done);
    EXPECT_EQ(Names(), "ABCD");
  }

  // The parameter and the mark.
  curves::ResetCurvesState();
  Fill();
  ASSERT_EQ(WithDialog(kCmdCurveManagement,
                       [](DialogModel& d) {
                         Pick(d, 1);
                         d.SetText(kCurveParameterControl, " -1.5E-3 ");
                         d.SetCheck(kCurveMarkedControl, 1);
                         d.Command(kCurveMarkedControl);
                       }),
            CommandResult::Done);
  EXPECT_FLOAT_EQ(Family().Curve(1).Parameter(), -1.5e-3f);
  EXPECT_TRUE(Family().Curve(1).IsMarked());
  EXPECT_EQ(Family().CountMarked(), 1u);
  ASSERT_EQ(RunCommand(kCmdUndo), CommandResult::Done);
  EXPECT_EQ(Family().Curve(1).Parameter(), 0.0f);
}

TEST_F(CurveDialogTest, CancelAndABadParameterChangeNothing) {
  Fill();
  const plot::CurveStyles styles = plot::GetPlotState().styles;
  ui->PushDialog([&styles](DialogModel& d) {
    Pick(d, 0);
    d.Command(kCurveDeleteControl);
    // The style dialog of the curve now first: a new colour.
    d.Command(kCurveStyleControl);
    EXPECT_NE(plot::GetPlotState().styles[0].color, styles[0].color);
    d.Command(platform::IDCANCEL);
  });
  ui->PushDialog([](DialogModel& d) { d.Command(plot::kStyleColorButton); });
  ui->PushColor(0x00FF00);
  ASSERT_EQ(RunCommand(kCmdCurveManagement), CommandResult::Failed);
  EXPECT_EQ(Names(), "ABCD");
  EXPECT_EQ(plot::GetPlotState().styles, styles);
  EXPECT_TRUE(shell::DataSaved());

  ui->Clear();
  // Not a number: a beep, the field selected, the dialog stays open and
  // keeps showing the curve; OK then fails the same way.
  ASSERT_EQ(WithDialog(kCmdCurveManagement,
                       [this](DialogModel& d) {
                         Pick(d, 1);
                         d.SetText(kCurveParameterControl, "1.5 mA");
                         Pick(d, 2);
                         EXPECT_EQ(d.CurrentItem(kCurveListControl), 1);
                         EXPECT_EQ(d.Focus(), kCurveParameterControl);
                         d.Command(platform::IDOK);
                         EXPECT_FALSE(d.Ended());
                         EXPECT_EQ(ui->CallsOf(platform::UiCall::Kind::Beep).size(), 2u);
                         d.SetText(kCurveParameterControl, "7");
                       }),
            CommandResult::Done);
  EXPECT_EQ(Family().Curve(1).Parameter(), 7.0f);
}

TEST_F(CurveDialogTest, PropertiesShowTheFirstSelectedCurveAndARenameIsSaved) {
  Fill();
  EXPECT_EQ(RunCommand(kCmdCurveProperties), CommandResult::Failed);  // none selected
  Family().Curve(2).Mark();
  Family().Curve(3).Mark();
  ASSERT_EQ(WithDialog(kCmdCurveProperties,
                       [](DialogModel& d) {
                         EXPECT_EQ(d.Caption(), kCurvePropertiesCaption);
                         EXPECT_EQ(d.CurrentItem(kCurveListControl), 2);
                         EXPECT_EQ(d.GetText(kCurveNameControl), "C");
                         d.SetText(kCurveNameControl, "IV at 4.2 K");
                       }),
            CommandResult::Done);
  EXPECT_STREQ(Family().Curve(2).Name(), "IV at 4.2 K");

  const std::string path = dir.File("renamed.dat");
  ASSERT_EQ(files::SaveDataFile(path), files::kFileOk);
  curves::ResetCurvesState();
  ASSERT_EQ(files::LoadDataFile(path, false), files::kFileOk);
  std::vector<std::string> names;
  for (std::uint32_t c = 0; c < Family().Count(); ++c) names.push_back(Family().Curve(c).Name());
  EXPECT_NE(std::find(names.begin(), names.end(), "IV at 4.2 K"), names.end());
}

TEST_F(CurveDialogTest, YAsNewXTakesItsCurveFromTheDialog) {
  Family().SetCount(2);
  for (int i = 1; i <= 3; ++i) {
    Family().Curve(0).Append(i, i);
    Family().Curve(1).Append(i, 10 * i);
  }
  Family().Curve(0).SetName("A");
  Family().Curve(1).SetName("B");
  ASSERT_EQ(WithDialog(kCmdYAsNewX,
                       [](DialogModel& d) {
                         EXPECT_EQ(d.Caption(), "y as new x");
                         EXPECT_FALSE(d.HasControl(kCurveDeleteControl));
                         d.SetCurrentItem(kCurveListControl, 0);
                         d.Command(kCurveListControl, kListDoubleClick);
                         EXPECT_TRUE(d.Ended());
                       }),
            CommandResult::Done);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_STREQ(Family().Curve(0).Name(), "B");
  EXPECT_EQ(Family().Curve(0).Point(2).x, 3.0f);
  EXPECT_EQ(Family().Curve(0).Point(2).y, 30.0f);
}

TEST_F(CurveDialogTest, MakeFirstAndLastMoveTheSelectedCurve) {
  Fill();
  Family().Curve(2).Mark();
  ASSERT_EQ(RunCommand(kCmdMakeFirst), CommandResult::Done);
  EXPECT_EQ(Names(), "CABD");
  EXPECT_FALSE(shell::DataSaved());
  ASSERT_EQ(RunCommand(kCmdMakeLast), CommandResult::Done);  // C is still the one marked
  EXPECT_EQ(Names(), "ABDC");
  ASSERT_EQ(RunCommand(kCmdUndo), CommandResult::Done);
  EXPECT_EQ(Names(), "CABD");
}

}  // namespace
}  // namespace tsm::app
