// Shared pieces of the plot tests: a fixture with a fresh headless Ui, fresh
// plot and curve state and a host that records what the plot asked of the
// main window, plus builders for families and a standard drawing.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "curves/state.h"
#include "plot/draw.h"
#include "plot/host.h"
#include "plot/recording_canvas.h"
#include "plot/state.h"
#include "tests/support/test_support.h"

namespace tsm::plot::testing {

struct RecordingHost : PlotHost {
  int redraws = 0, captures = 0, releases = 0;
  std::vector<PlotCursor> cursors;
  std::vector<CanvasRect> bands;
  std::vector<std::pair<int, bool>> menu;  // (id, enabled) in order
  std::vector<std::vector<int>> contextMenus;
  std::vector<unsigned> properties;

  void Redraw() override { ++redraws; }
  void CaptureMouse() override { ++captures; }
  void ReleaseMouse() override { ++releases; }
  void SetCursor(PlotCursor c) override { cursors.push_back(c); }
  void XorRubberBand(const CanvasRect& r) override { bands.push_back(r); }
  void EnableMenuItem(int id, bool enabled) override { menu.emplace_back(id, enabled); }
  void ShowContextMenu(int, int, const std::vector<int>& greyed) override {
    contextMenus.push_back(greyed);
  }
  void OpenCurveProperties(unsigned curve) override { properties.push_back(curve); }
  // The last state set for a menu item: 1 enabled, 0 greyed, -1 never set.
  int MenuState(int id) const {
    for (auto it = menu.rbegin(); it != menu.rend(); ++it)
      if (it->first == id) return it->second ? 1 : 0;
    return -1;
  }
};

class PlotTest : public tsm::testing::UiTest {
 protected:
  PlotTest() {
    ResetPlotState();
    curves::ResetCurvesState();
    SetPlotHost(&host);
    platform::SetAssertionEcho(false);
  }
  ~PlotTest() override {
    ResetPlotState();
    curves::ResetCurvesState();
    platform::SetAssertionEcho(true);
  }

  // A 1000 x 700 device at 96 dpi with characters 8 x 16 pixels.
  static RecordingCanvas MakeCanvas() {
    RecordingCanvas canvas(1000, 700);
    canvas.SetTextMetrics(8, 16);
    return canvas;
  }
  // Draws the current family into the whole canvas with the main view.
  int DrawCurrent(RecordingCanvas& canvas) {
    return Draw(canvas, CanvasRect{0, 0, canvas.Width(), canvas.Height()},
                curves::CurrentFamily(), GetPlotView());
  }

  RecordingHost host;
};

inline curves::Curve& AddCurve(curves::CurveFamily& f, const char* name,
                               std::initializer_list<curves::CurvePoint> points) {
  f.SetCount(f.Count() + 1);
  curves::Curve& c = f.Curve(f.Count() - 1);
  for (const curves::CurvePoint& p : points) c.Append(p.x, p.y);
  c.SetName(name);
  return c;
}

}  // namespace tsm::plot::testing
