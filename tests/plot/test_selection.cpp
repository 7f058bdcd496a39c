#include "plot/selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "curves/undo.h"
#include "plot/cursors.h"
#include "plot/range.h"
#include "plot/zoom.h"
#include "plot_fixture.h"

namespace tsm::plot {
namespace {

using platform::UiCall;
using testing::AddCurve;
using testing::PlotTest;

bool Contains(const std::vector<int>& ids, int id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Two curves drawn on the fixture's canvas: the view is 0 .. 1 on both axes,
// the frame's lower-left corner at (48, 662), 936 x 654 pixels.
class SelectionTest : public PlotTest {
 protected:
  SelectionTest() {
    AddCurve(F(), "a", {{0, 0}, {0.5f, 0.5f}, {1, 1}});
    AddCurve(F(), "b", {{0, 1}, {0.5f, 0.25f}, {1, 0}});
    RecordingCanvas canvas = MakeCanvas();
    DrawCurrent(canvas);
    InitSelection();
    host.menu.clear();
    host.cursors.clear();
  }
  curves::CurveFamily& F() { return curves::CurrentFamily(); }
  void Drag(int x0, int y0, int x1, int y1) {
    OnLeftButtonDown(x0, y0);
    OnMouseMove(x1, y1);
    OnLeftButtonUp(x1, y1);
  }
  std::vector<unsigned> Beeps() {
    std::vector<unsigned> out;
    for (const UiCall& c : ui->CallsOf(UiCall::Kind::Beep)) out.push_back(c.type);
    return out;
  }
  PlotView& V() { return GetPlotView(); }
};

TEST(SelectionLists, NoCommandIsInBothLists) {
  for (int id : kSelectionOnlyCommands)
    for (int other : kWholeFamilyCommands) EXPECT_NE(id, other);
}

TEST_F(SelectionTest, AClickWithoutDragLeavesNoSelection) {
  ui->SetStatusText(0, "old text");
  OnLeftButtonDown(300, 300);
  EXPECT_EQ(SelectionStateOf(), kSelectionDragging);
  EXPECT_EQ(host.captures, 1);
  OnLeftButtonUp(300, 300);
  EXPECT_EQ(SelectionStateOf(), kSelectionNone);
  EXPECT_EQ(host.releases, 1);
  EXPECT_EQ(ui->StatusText(0), "");
  EXPECT_FALSE(BandToRepaint());
  // A drag that comes back to its own column is a click too.
  Drag(300, 300, 300, 400);
  EXPECT_EQ(SelectionStateOf(), kSelectionNone);
  EXPECT_EQ(host.bands.size() % 2, 0u) << "every band drawn was erased";
}

TEST_F(SelectionTest, ADragMakesASelectionAndFlipsTheMenus) {
  Drag(100, 100, 200, 150);
  EXPECT_EQ(SelectionStateOf(), kSelectionMade);
  ASSERT_EQ(host.bands.size(), 1u);
  EXPECT_EQ(host.bands[0], (CanvasRect{100, 100, 200, 150}));
  EXPECT_EQ(BandToRepaint(), host.bands[0]);
  for (int id : kSelectionOnlyCommands) EXPECT_EQ(host.MenuState(id), 1) << id;
  for (int id : kWholeFamilyCommands) EXPECT_EQ(host.MenuState(id), 0) << id;

  // The zoom cursor over the rectangle, edges included; the default elsewhere.
  OnMouseMove(200, 150);
  EXPECT_TRUE(ZoomCursorShown());
  OnMouseMove(201, 150);
  EXPECT_FALSE(ZoomCursorShown());
  EXPECT_EQ(host.cursors, (std::vector<PlotCursor>{PlotCursor::Zoom, PlotCursor::Default}));

  OnMouseMove(150, 120);
  HandlePlotCommand(kCmdDeSelect);
  EXPECT_EQ(SelectionStateOf(), kSelectionNone);
  EXPECT_EQ(host.bands.size(), 2u) << "erased";
  EXPECT_FALSE(ZoomCursorShown());
  EXPECT_EQ(host.cursors.back(), PlotCursor::Default);
  for (int id : kSelectionOnlyCommands) EXPECT_EQ(host.MenuState(id), 0) << id;
  for (int id : kWholeFamilyCommands) EXPECT_EQ(host.MenuState(id), 1) << id;

  // ReSelect brings the same rectangle back.
  HandlePlotCommand(kCmdReSelect);
  EXPECT_EQ(SelectionStateOf(), kSelectionMade);
  EXPECT_EQ(host.bands.back(), (CanvasRect{100, 100, 200, 150}));
}

TEST_F(SelectionTest, StartingANewDragErasesTheMadeOne) {
  Drag(100, 100, 200, 150);
  OnLeftButtonDown(400, 400);  // outside: the default cursor is shown
  EXPECT_EQ(SelectionStateOf(), kSelectionDragging);
  EXPECT_EQ(host.bands.size(), 2u);
  OnMouseMove(450, 420);
  OnMouseMove(460, 430);
  EXPECT_EQ(host.bands.size(), 5u) << "each move erases the old band and draws the new";
  EXPECT_EQ(host.bands.back(), (CanvasRect{400, 400, 460, 430}));
}

TEST_F(SelectionTest, NinePixelsDoNotZoomTenDo) {
  Drag(100, 100, 109, 200);
  OnMouseMove(105, 150);
  OnLeftButtonDown(105, 150);  // inside: Zoom Window
  EXPECT_EQ(Beeps(), (std::vector<unsigned>{platform::MB_ICONEXCLAMATION}));
  EXPECT_EQ(SelectionStateOf(), kSelectionMade);
  EXPECT_EQ(ZoomHistoryDepth(), 0u);
  OnLeftButtonUp(105, 150);
  EXPECT_EQ(SelectionStateOf(), kSelectionMade);

  HandlePlotCommand(kCmdDeSelect);
  Drag(100, 100, 110, 200);
  const curves::CurveRect expected = SelectionDataRect(V());
  const int redraws = host.redraws;
  OnMouseMove(105, 150);
  OnLeftButtonDown(105, 150);
  EXPECT_EQ(SelectionStateOf(), kSelectionNone);
  EXPECT_EQ(ZoomHistoryDepth(), 1u);
  EXPECT_EQ(host.redraws, redraws + 1);
  EXPECT_FALSE(V().autoScale);
  EXPECT_FLOAT_EQ(V().xMin, static_cast<float>(expected.x1));
  EXPECT_FLOAT_EQ(V().xMax, static_cast<float>(expected.x2));
  EXPECT_FLOAT_EQ(V().yMin, static_cast<float>(expected.y1));
  EXPECT_FLOAT_EQ(V().yMax, static_cast<float>(expected.y2));
  EXPECT_NEAR(expected.x1, (100 - 48) / 936.0, 1e-6);
  EXPECT_NEAR(expected.y2, (662 - 100) / 654.0, 1e-6);
  EXPECT_EQ(host.MenuState(kCmdZoomPrevious), 1);
}

TEST_F(SelectionTest, ZoomHistoryKeepsTheNewest32) {
  for (int i = 0; i < 33; ++i) {
    PlotView v;
    v.xMin = static_cast<float>(i);
    PushView(v);
  }
  EXPECT_EQ(ZoomHistoryDepth(), kZoomHistorySize);
  PlotView v;
  ASSERT_TRUE(PopView(&v));
  EXPECT_EQ(v.xMin, 32.0f);
  while (PopView(&v)) {
  }
  EXPECT_EQ(v.xMin, 1.0f) << "view 0 was dropped";
  EXPECT_EQ(host.MenuState(kCmdZoomPrevious), 0);
}

TEST_F(SelectionTest, ZoomPreviousWithAnEmptyHistoryBeepsAndRedraws) {
  const PlotView before = V();
  HandlePlotCommand(kCmdZoomPrevious);
  EXPECT_EQ(Beeps(), (std::vector<unsigned>{platform::MB_ICONHAND}));
  EXPECT_EQ(host.redraws, 1);
  EXPECT_EQ(V().xMin, before.xMin);
  // With a view pushed it comes back.
  HandlePlotCommand(kCmdPanRight);
  HandlePlotCommand(kCmdZoomPrevious);
  EXPECT_EQ(V().xMin, before.xMin);
  EXPECT_EQ(V().autoScale, before.autoScale);
}

TEST_F(SelectionTest, PanLeftThenRightRestoresTheRange) {
  const PlotView before = V();
  HandlePlotCommand(kCmdPanLeft);
  EXPECT_NEAR(V().xMin, before.xMin - 0.1f, 1e-6);
  EXPECT_NEAR(V().xMax, before.xMax - 0.1f, 1e-6);
  EXPECT_EQ(V().yMin, before.yMin);
  EXPECT_FALSE(V().autoScale);
  HandlePlotCommand(kCmdPanRight);
  EXPECT_NEAR(V().xMin, before.xMin, 1e-6);
  EXPECT_NEAR(V().xMax, before.xMax, 1e-6);
  HandlePlotCommand(kCmdPanUp);
  EXPECT_NEAR(V().yMin, before.yMin + 0.1f, 1e-6);
  HandlePlotCommand(kCmdPanDown);
  EXPECT_NEAR(V().yMax, before.yMax, 1e-6);
  EXPECT_EQ(ZoomHistoryDepth(), 4u);
  EXPECT_EQ(host.redraws, 4);
}

TEST_F(SelectionTest, ZoomInAndOutStepAndStopAtTheMagnificationLimit) {
  double lo = 0, hi = 1;
  ZoomStep(lo, hi, 10, true);
  EXPECT_NEAR(lo, 0.2500025, 1e-12);
  EXPECT_NEAR(hi, 0.7499975, 1e-12);
  lo = 0, hi = 1;
  ZoomStep(lo, hi, 10, false);
  EXPECT_LT(lo, 0.0);
  EXPECT_GT(hi, 1.0);
  EXPECT_NEAR(hi - lo, 2 * 0.99999, 1e-9);
  // A float range a little wider than its steps still zooms (by half here).
  lo = 0.49950000643730164, hi = 0.50050002336502075;
  ZoomStep(lo, hi, 10, true);
  EXPECT_NEAR(hi - lo, 5e-4 * 0.99999, 1e-12);

  HandlePlotCommand(kCmdZoomIn);
  EXPECT_NEAR(V().xMin, 0.2500025, 1e-6);
  EXPECT_NEAR(V().yMax, 0.7499975, 1e-6);
  EXPECT_EQ(ZoomHistoryDepth(), 1u);
  // Zoom in until the data would be magnified 100000 times: then a beep.
  int steps = 0;
  while (Beeps().empty() && steps < 100) {
    HandlePlotCommand(kCmdZoomIn);
    ++steps;
  }
  EXPECT_EQ(Beeps(), (std::vector<unsigned>{platform::MB_SIMPLEBEEP}));
  EXPECT_LT(V().xMax - V().xMin, 1e-4);
  EXPECT_GT(V().xMax - V().xMin, 1e-5);
  const std::size_t depth = ZoomHistoryDepth();
  HandlePlotCommand(kCmdZoomOut);
  EXPECT_EQ(ZoomHistoryDepth(), std::min(depth + 1, kZoomHistorySize));

  // Without data nothing zooms: in beeps, out is silent.
  F().Clear();
  ui->Clear();
  HandlePlotCommand(kCmdZoomOut);
  EXPECT_TRUE(Beeps().empty());
  HandlePlotCommand(kCmdZoomIn);
  EXPECT_EQ(Beeps().size(), 1u);
}

TEST_F(SelectionTest, ZoomCommandsCancelTheSelection) {
  Drag(100, 100, 200, 150);
  HandlePlotCommand(kCmdZoomOut);
  EXPECT_EQ(SelectionStateOf(), kSelectionNone);
  EXPECT_EQ(host.bands.size(), 2u);
}

TEST_F(SelectionTest, AQuickRightClickReturnsToTheDataExtent) {
  V().autoScale = false;
  OnRightButtonDown(900, 50);  // far from every point
  OnRightButtonUp(900, 50);
  EXPECT_TRUE(V().autoScale);
  EXPECT_EQ(ZoomHistoryDepth(), 1u);
  EXPECT_EQ(ui->StatusText(0), kReadyText);
  EXPECT_EQ(ui->LiveTimers(), 0u);
  EXPECT_TRUE(host.contextMenus.empty());
  const auto timers = ui->CallsOf(UiCall::Kind::TimerStart);
  ASSERT_EQ(timers.size(), 1u);
  EXPECT_EQ(timers[0].type, kRightClickMs);
}

TEST_F(SelectionTest, AHeldRightClickSelectsTheNearestCurveAndOpensTheMenu) {
  F().Curve(0).Mark();
  OnRightButtonDown(516, 495);  // near (0.5, 0.25) of curve b
  EXPECT_FALSE(F().Curve(0).IsMarked());
  EXPECT_TRUE(F().Curve(1).IsMarked());
  EXPECT_EQ(ui->StatusText(0), "Curve number 1 \"b\" is selected");
  EXPECT_EQ(SplitPoint(), (NearestPoint{1, 1}));
  ui->FireTimers();
  ASSERT_EQ(host.contextMenus.size(), 1u);
  // No selection: Zoom Window greyed, not Split; one curve selected: its
  // items stay; the history is empty: Zoom Previous greyed.
  EXPECT_EQ(host.contextMenus[0], (std::vector<int>{kCmdZoomWindow, kCmdZoomPrevious}));
  OnRightButtonUp(516, 495);
  EXPECT_EQ(ZoomHistoryDepth(), 0u) << "releasing after the menu does nothing more";
}

TEST_F(SelectionTest, ARightClickInASelectionSelectsTheCurvesInIt) {
  Drag(400, 300, 600, 360);  // holds (0.5, 0.5) of curve a only
  OnRightButtonDown(500, 320);
  EXPECT_EQ(ui->StatusText(0), "1 curves selected");
  EXPECT_TRUE(F().Curve(0).IsMarked());
  EXPECT_FALSE(F().Curve(1).IsMarked());
  const std::vector<int> greyed = GreyedContextMenuIds();
  EXPECT_TRUE(Contains(greyed, kCmdSplitCurve));
  EXPECT_FALSE(Contains(greyed, kCmdZoomWindow));
  F().MarkAll();
  for (int id : {kCmdProperties, kCmdStyle, kCmdYAsNewX, kCmdMakeFirst, kCmdMakeLast})
    EXPECT_TRUE(Contains(GreyedContextMenuIds(), id)) << id;
}

TEST_F(SelectionTest, ARightClickFindingNoPointOpensNoMenu) {
  V().xMin = 5;  // a view with no data in it
  V().xMax = 6;
  OnRightButtonDown(500, 300);
  EXPECT_EQ(ui->LiveTimers(), 0u);
  EXPECT_EQ(F().CountMarked(), 0u);
  ui->FireTimers();
  EXPECT_TRUE(host.contextMenus.empty());
}

TEST_F(SelectionTest, ADoubleClickOpensThePropertiesOfTheNearestCurve) {
  Drag(100, 100, 200, 150);
  OnLeftDoubleClick(520, 330);
  EXPECT_EQ(SelectionStateOf(), kSelectionNone);
  EXPECT_EQ(host.properties, (std::vector<unsigned>{0}));
  EXPECT_TRUE(curves::UndoAvailable());
  EXPECT_EQ(host.redraws, 1);
  // Nothing near enough in the view: no dialog, still a redraw.
  V().xMin = 5;
  V().xMax = 6;
  OnLeftDoubleClick(520, 330);
  EXPECT_EQ(host.properties.size(), 1u);
  EXPECT_EQ(host.redraws, 2);
}

TEST_F(SelectionTest, NearestPointRules) {
  curves::CurveFamily f;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  AddCurve(f, "x", {{nan, 0.5f}, {0.5f, 0.5f}, {2, 0.5f}});
  AddCurve(f, "y", {{0.5f, 0.5f}});
  // The first of equal distances wins; NaN and points outside never do.
  EXPECT_EQ(FindNearestPoint(f, V(), 0, 0), (NearestPoint{0, 1}));
  EXPECT_EQ(FindNearestPoint(f, V(), 2000, 335), (NearestPoint{0, 1}));
  // Range bounds are inside here.
  AddCurve(f, "z", {{1, 1}});
  EXPECT_EQ(FindNearestPoint(f, V(), 990, 0), (NearestPoint{2, 0}));
  EXPECT_FALSE(FindNearestPoint(curves::CurveFamily(), V(), 0, 0));
}

TEST_F(SelectionTest, PointerMovesShowThePositionInDataUnits) {
  F().SetUnits("A", "V");
  OnMouseMove(48 + 468, 662 - 327);
  EXPECT_EQ(ui->StatusText(1), "X:+500.0 mA");
  EXPECT_EQ(ui->StatusText(2), "Y:+500.0 mV");
  EXPECT_EQ(ReadoutX(F(), V(), 48), "X:+0.000 pA");
  F().Clear();
  ui->Clear();
  OnMouseMove(10, 10);
  EXPECT_TRUE(ui->CallsOf(UiCall::Kind::StatusText).empty()) << "nothing for an empty family";
}

TEST_F(SelectionTest, StartUpGreysZoomPreviousWithAnEmptyHistory) {
  InitSelection();
  EXPECT_EQ(host.MenuState(kCmdZoomPrevious), 0);
  for (int id : kSelectionOnlyCommands) EXPECT_EQ(host.MenuState(id), 0);
  EXPECT_FALSE(HandlePlotCommand(221));
}

TEST_F(SelectionTest, CursorsWindowFollowsThePointer) {
  CursorsModel cursors;
  cursors.Init();
  SetPointerListener([&cursors](int x, int y) { cursors.Update(x, y); });
  OnMouseMove(520, 340);
  EXPECT_EQ(cursors.GetText(kCursorPointerText), "Cursor 1:(520,340)");
  EXPECT_EQ(cursors.GetText(kCursorPointText), "Cursor 2:(516,335)");
  EXPECT_EQ(cursors.Items(kCursorCurveList),
            (std::vector<std::string>{"000 (   1)", "001 (   1)"}));
  EXPECT_EQ(cursors.GetText(kCursorValueText), "X:+500.0 m  Y:+500.0 m");
  cursors.SetCurrentItem(kCursorCurveList, 1);
  cursors.Command(kCursorCurveList, kCursorListSelChange);
  EXPECT_EQ(cursors.GetText(kCursorValueText), "X:+500.0 m  Y:+250.0 m");
  // The family changes: Refresh shows what is there now.
  F().Clear();
  cursors.Refresh();
  EXPECT_TRUE(cursors.Items(kCursorCurveList).empty());
  EXPECT_EQ(cursors.GetText(kCursorPointText), "");
  cursors.Command(platform::IDCANCEL);
  EXPECT_TRUE(cursors.Ended());
}

}  // namespace
}  // namespace tsm::plot
