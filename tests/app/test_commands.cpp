// The command dispatch of the main window: the registry and its greyed ids,
// the selection rules, the selection guard, the unsaved-data rules, Exit,
// dropped files, points deleted in a rectangle, the tool windows and the
// plot-changed notification.
#include <algorithm>
#include <set>

#include "curves/undo.h"
#include "files/commands.h"
#include "files/fileio.h"
#include "math/commands.h"
#include "math/pointwise_dialogs.h"
#include "plot/zoom.h"
#include "resources/menu.h"
#include "app/command_ids.h"
#include "tests/app/commands_fixture.h"

namespace tsm::app::testing {
namespace {

using platform::IDCANCEL;
using platform::IDNO;
using platform::IDYES;

TEST_F(CommandsTest, RegistryRunsEnabledCommandsAndRefusesTheRest) {
  int runs = 0;
  bool enabled = false;
  Commands().Register(9001, [&] { return ++runs, true; }, [&] { return enabled; });
  EXPECT_EQ(RunCommand(9001), CommandResult::Greyed);
  EXPECT_EQ(runs, 0);
  enabled = true;
  EXPECT_EQ(RunCommand(9001), CommandResult::Done);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(RunCommand(9002), CommandResult::Unknown);
  EXPECT_FALSE(CommandEnabled(9002));

  // A second area claiming the id is a program error; the first stays.
  platform::SetAssertionEcho(false);
  Commands().Register(9001, [] { return false; });
  platform::SetAssertionEcho(true);
  EXPECT_TRUE(platform::HasAssertion("entries_.find(id) == entries_.end()", "commands"));
  EXPECT_EQ(RunCommand(9001), CommandResult::Done);
  EXPECT_EQ(runs, 2);
}

// The items left to later work stay greyed rather than pretending to work.
TEST_F(CommandsTest, OnlyTheOpenPointsOfTheMenuAreUnregistered) {
  std::set<int> unregistered;
  for (const resources::MenuItem* item : resources::MenuItems(resources::MainMenu()))
    if (!Commands().Has(item->id)) unregistered.insert(item->id);
  for (const resources::MenuItem* item : resources::MenuItems(resources::ContextMenu()))
    if (!Commands().Has(item->id)) unregistered.insert(item->id);
  const std::set<int> open = {151, 149, 267, 219, 169, 262, 278, 215};
  for (int id : unregistered) EXPECT_TRUE(open.count(id)) << "command " << id << " has no handler";
  for (int id : unregistered) EXPECT_FALSE(CommandEnabled(id)) << id;
}

TEST_F(CommandsTest, SelectionStateGreysTheTwoListsOfItems) {
  files::LoadDataFile(DataFile("a", 2, 20), false);
  EXPECT_FALSE(CommandEnabled(plot::kCmdZoomWindow));
  EXPECT_FALSE(CommandEnabled(kCmdDeletePointsIn));
  EXPECT_TRUE(CommandEnabled(kCmdDerivativeX));
  EXPECT_TRUE(CommandEnabled(kCmdSwapXY));
  EXPECT_FALSE(CommandEnabled(plot::kCmdZoomPrevious));  // empty history
  SelectData(2, 10, 8, 60);
  ASSERT_EQ(plot::SelectionStateOf(), plot::kSelectionMade);
  EXPECT_TRUE(CommandEnabled(plot::kCmdZoomWindow));
  EXPECT_TRUE(CommandEnabled(kCmdDeletePointsIn));
  EXPECT_FALSE(CommandEnabled(kCmdDerivativeX));
  EXPECT_EQ(RunCommand(kCmdSwapXY), CommandResult::Greyed);
  EXPECT_EQ(RunCommand(plot::kCmdZoomWindow), CommandResult::Done);
  EXPECT_TRUE(CommandEnabled(plot::kCmdZoomPrevious));
}

TEST_F(CommandsTest, WholeFamilyToolsRefuseInsideASelectionAndTheContextMenuShiftWorks) {
  files::LoadDataFile(DataFile("a", 2, 20), false);
  SelectData(2, 0, 8, 400);
  const float before = Family().Curve(1).Point(3).y;

  EXPECT_EQ(RunCommand(kCmdFilter), CommandResult::Failed);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, math::kSelectionRefusedText);
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Math & Selection");
  EXPECT_EQ(ui->MessageBoxes()[0].type & platform::MB_ICONMASK, platform::MB_ICONHAND);
  EXPECT_EQ(Family().Curve(1).Point(3).y, before);
  EXPECT_TRUE(shell::DataSaved());
  EXPECT_FALSE(curves::UndoAvailable());

  // A right click inside the rectangle selects the curves with points in
  // it; "S&hift" of the context menu shifts them.
  const plot::PlotView& v = plot::GetPlotView();
  plot::OnRightButtonDown(plot::DataToPixelX(v, 5), plot::DataToPixelY(v, 30));
  plot::OnRightButtonTimer();
  EXPECT_EQ(Family().CountMarked(), 2u);
  ui->PushDialog([](platform::DialogModel& d) { d.SetText(math::kShiftYControl, "1000"); });
  EXPECT_EQ(RunCommand(kCmdShiftSelected), CommandResult::Done);
  EXPECT_FLOAT_EQ(Family().Curve(1).Point(3).y, before + 1000);
  EXPECT_FALSE(shell::DataSaved());
}

TEST_F(CommandsTest, SavedMarkFollowsOpenToolsSaveAndUndo) {
  shell::SetDataSaved(false);
  const std::string path = DataFile("a", 1, 30);
  ui->PushAnswer(IDNO);  // unsaved data: do not save them
  ui->PushFile(path);
  EXPECT_EQ(RunCommand(kCmdOpen), CommandResult::Done);
  EXPECT_TRUE(shell::DataSaved());
  EXPECT_EQ(window.Title(), "Tesmira -- " + path);

  EXPECT_EQ(RunCommand(kCmdIntegrate), CommandResult::Done);
  EXPECT_FALSE(shell::DataSaved());
  ui->PushFile(dir.File("b.dat"));
  EXPECT_EQ(RunCommand(kCmdSave), CommandResult::Done);
  EXPECT_TRUE(shell::DataSaved());

  // Undo brings back a family that may never have been saved.
  EXPECT_EQ(RunCommand(kCmdUndo), CommandResult::Done);
  EXPECT_FALSE(shell::DataSaved());
  // X <--> Y only redraws.
  shell::SetDataSaved(true);
  const int draws = window.DrawCount();
  EXPECT_EQ(RunCommand(kCmdSwapXY), CommandResult::Done);
  EXPECT_TRUE(shell::DataSaved());
  EXPECT_EQ(window.DrawCount(), draws + 1);
  // A tool that fails leaves the mark and does not redraw.
  ui->PushDialog([](platform::DialogModel& d) { d.Command(IDCANCEL); });
  EXPECT_EQ(RunCommand(kCmdShift), CommandResult::Failed);
  EXPECT_TRUE(shell::DataSaved());
  EXPECT_EQ(window.DrawCount(), draws + 1);
  EXPECT_EQ(ui->PendingAnswers(), 0u);
}

TEST_F(CommandsTest, ExitAsksAboutUnsavedDataAndStaysOnCancelOrFailedSave) {
  shell::SetDataSaved(false);
  ui->PushAnswer(IDCANCEL);
  EXPECT_EQ(RunCommand(kCmdExit), CommandResult::Failed);
  EXPECT_FALSE(window.Closed());
  ui->PushAnswer(IDYES);  // save them: the chooser is cancelled
  EXPECT_EQ(RunCommand(kCmdExit), CommandResult::Failed);
  EXPECT_FALSE(window.Closed());
  ui->PushAnswer(IDNO);
  EXPECT_EQ(RunCommand(kCmdExit), CommandResult::Done);
  EXPECT_TRUE(window.Closed());
  ASSERT_EQ(ui->MessageBoxes().size(), 3u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, files::kUnsavedDataText);

  ui->Clear();
  shell::SetDataSaved(true);
  EXPECT_EQ(RunCommand(kCmdExit), CommandResult::Done);
  EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(CommandsTest, ThreeDroppedFilesOpenTheFirstAndAddTheOthersInOrder) {
  const std::string a = DataFile("a", 1, 5), b = DataFile("b", 2, 7), c = DataFile("c", 1, 9);
  files::LoadDataFile(DataFile("old", 3, 3), false);
  shell::SetDataSaved(false);

  ui->PushAnswer(IDCANCEL);
  EXPECT_FALSE(DropFiles({a, b, c}));
  EXPECT_EQ(Family().Count(), 3u);  // cancel changes nothing

  ui->PushAnswer(IDNO);
  EXPECT_TRUE(DropFiles({a, b, c}));
  ASSERT_EQ(Family().Count(), 4u);
  EXPECT_STREQ(Family().Curve(0).Name(), "a0");
  EXPECT_STREQ(Family().Curve(1).Name(), "b0");
  EXPECT_STREQ(Family().Curve(2).Name(), "b1");
  EXPECT_STREQ(Family().Curve(3).Name(), "c0");
  EXPECT_EQ(Family().Curve(3).Count(), 9u);
  EXPECT_EQ(window.Title(), "Tesmira -- " + a);
  EXPECT_FALSE(shell::DataSaved());  // curves of three files
  // The family before the drop comes back with Undo.
  EXPECT_EQ(RunCommand(kCmdUndo), CommandResult::Done);
  EXPECT_EQ(Family().Count(), 3u);

  shell::SetDataSaved(true);
  EXPECT_TRUE(DropFiles({b}));
  EXPECT_TRUE(shell::DataSaved());
}

TEST_F(CommandsTest, DeletePointsInTheRectangleUnlessTheUndoCopyIsRefused) {
  files::LoadDataFile(DataFile("a", 2, 21), false);
  SelectData(4.5, -1, 8.5, 500);
  ASSERT_EQ(RunCommand(kCmdDeletePointsIn), CommandResult::Done);
  EXPECT_EQ(Family().Curve(0).Count(), 17u);
  EXPECT_EQ(Family().Curve(1).Count(), 17u);
  EXPECT_FALSE(shell::DataSaved());

  ASSERT_EQ(RunCommand(kCmdUndo), CommandResult::Done);
  EXPECT_EQ(Family().Curve(0).Count(), 21u);
  // No memory for the undo copy: the user declines to go on without it,
  // and nothing is deleted.
  curves::SetAllocationHook([](std::size_t) { return true; });
  ui->PushAnswer(IDNO);
  EXPECT_EQ(RunCommand(kCmdDeletePointsIn), CommandResult::Failed);
  curves::SetAllocationHook(nullptr);
  EXPECT_EQ(ui->MessageBoxes().back().text, curves::kUndoMemoryQuestion);
  EXPECT_EQ(Family().Curve(0).Count(), 21u);
}

TEST_F(CommandsTest, ClearScreenSplitAndDeleteCurvesKeepAnUndoCopy) {
  files::LoadDataFile(DataFile("a", 2, 10), false);
  // A held right click on a point of curve 1 remembers it for the split.
  const plot::PlotView& v = plot::GetPlotView();
  plot::OnRightButtonDown(plot::DataToPixelX(v, 4), plot::DataToPixelY(v, 26));
  plot::OnRightButtonTimer();
  ASSERT_EQ(Family().CountMarked(), 1u);
  ASSERT_EQ(RunCommand(kCmdSplitCurve), CommandResult::Done);
  ASSERT_EQ(Family().Count(), 3u);
  EXPECT_STREQ(Family().Curve(1).Name(), "a1#1");
  EXPECT_EQ(Family().Curve(1).Count(), 4u);

  Family().UnmarkAll();
  EXPECT_EQ(RunCommand(kCmdDeleteCurves), CommandResult::Failed);  // nothing selected
  Family().Curve(0).Mark();
  EXPECT_EQ(RunCommand(kCmdDeleteCurves), CommandResult::Done);
  EXPECT_EQ(Family().Count(), 2u);

  plot::GetPlotView().autoScale = false;
  EXPECT_EQ(RunCommand(kCmdClearScreen), CommandResult::Done);
  EXPECT_EQ(Family().Count(), 0u);
  EXPECT_TRUE(plot::GetPlotView().autoScale);
  EXPECT_EQ(RunCommand(kCmdUndo), CommandResult::Done);
  EXPECT_EQ(Family().Count(), 2u);
}

TEST_F(CommandsTest, RedrawPaintsThenTellsEveryToolWindow) {
  std::vector<std::string> order;
  const int draws = window.DrawCount();
  const int a = AddPlotChangedObserver([&] { order.push_back("a" + std::to_string(window.DrawCount() - draws)); });
  AddPlotChangedObserver([&] { order.push_back("b"); });
  Redraw();
  RemovePlotChangedObserver(a);
  Redraw();
  EXPECT_EQ(order, (std::vector<std::string>{"a1", "b", "b"}));
}

TEST_F(CommandsTest, ToolWindowItemIsCheckedWhileItsWindowIsOpen) {
  EXPECT_TRUE(CommandCheckable(kCmdCursors));
  EXPECT_FALSE(CommandChecked(kCmdCursors));
  EXPECT_EQ(RunCommand(kCmdCursors), CommandResult::Done);
  EXPECT_TRUE(CommandChecked(kCmdCursors));
  EXPECT_EQ(RunCommand(kCmdCursors), CommandResult::Done);
  EXPECT_FALSE(CommandChecked(kCmdCursors));
}

TEST_F(CommandsTest, HelpTellsThatTheHelpFileIsOutOfDate) {
  EXPECT_EQ(RunCommand(kCmdHelpContent), CommandResult::Done);
  EXPECT_EQ(RunCommand(kCmdHelpSearch), CommandResult::Done);
  ASSERT_EQ(ui->MessageBoxes().size(), 2u);
  EXPECT_EQ(ui->MessageBoxes()[1].text,
            "The help file is out-of-date. The latest information\nis available on the web. See "
            "Help | about for the current\naddress of the web site.");
  EXPECT_EQ(ui->MessageBoxes()[1].caption, "Warning");
  EXPECT_EQ(ui->MessageBoxes()[1].type & platform::MB_ICONMASK, platform::MB_ICONINFORMATION);
}

TEST_F(CommandsTest, CommandLineFilesOpenAtStartAndAskWhenRunAgainOverUnsavedData) {
  const std::string a = DataFile("a", 1, 5), b = DataFile("b", 1, 6);
  const char* argv[] = {"tesmira", a.c_str(), b.c_str()};
  shell::ParseArgv(3, argv);
  ASSERT_EQ(RunCommand(kCmdOpenCommandLineFile), CommandResult::Done);
  EXPECT_EQ(Family().Count(), 2u);
  EXPECT_TRUE(shell::DataSaved());
  EXPECT_TRUE(ui->MessageBoxes().empty());

  shell::SetDataSaved(false);
  ui->PushAnswer(IDCANCEL);
  EXPECT_EQ(RunCommand(kCmdOpenCommandLineFile), CommandResult::Failed);
  EXPECT_FALSE(shell::DataSaved());
  shell::ResetCommandLine();
  EXPECT_FALSE(CommandEnabled(kCmdOpenCommandLineFile));
}

}  // namespace
}  // namespace tsm::app::testing
