// Process-wide state of the plot: the view, the axes and curve-style
// settings, the selection and zoom history, the main window's host and the
// hooks the front end installs. One record, one accessor, one reset.
#pragma once

#include <deque>
#include <functional>

#include "platform/ui.h"
#include "plot/axes.h"
#include "plot/curve_styles.h"
#include "plot/gfont.h"
#include "plot/host.h"
#include "plot/view.h"

namespace tsm::plot {

// Selection states.
inline constexpr int kSelectionNone = 0;
inline constexpr int kSelectionDragging = 1;
inline constexpr int kSelectionMade = 2;

struct SelectionState {
  int anchorX = 0, anchorY = 0;  // where the drag started
  int cornerX = 0, cornerY = 0;  // the moving corner
  int state = kSelectionNone;
  bool cursorShown = false;  // the zoom cursor is set
  bool bandDrawn = false;    // the rubber band is on the plot now
  bool hasLastRect = false;  // a rectangle was made once (ReSelect)
  // The right button: its one-shot timer, whether a press is being timed,
  // and whether the timer fired (the context menu opened).
  platform::TimerId rightTimer = 0;
  bool rightPending = false;
  bool menuOpened = false;
  int lastX = 0, lastY = 0;  // position of the last mouse message
  bool pointerSeen = false;  // a pointer move has reached the plot
  // The point a right click selected (for "Split curve at this point").
  bool hasSplitPoint = false;
  unsigned splitCurve = 0, splitPoint = 0;
};

using PointerListener = std::function<void(int x, int y)>;

struct PlotState {
  PlotView view;
  AxesSettings axes;
  CurveStyles styles = DefaultCurveStyles();
  SelectionState selection;
  std::deque<PlotView> zoomHistory;  // newest at the back
  PlotHost* host = nullptr;
  ScreenDpiProvider screenDpi;
  // Told of every pointer move over the plot (the Cursors window).
  PointerListener pointerListener;
  // The legend is drawn inside the frame too (an option of the print
  // contents group, switched in the Picture Info window as well).
  bool legendInPlot = false;
};

PlotState& GetPlotState();
// Everything back to the start-up state (test fixtures). Timers still
// running are stopped.
void ResetPlotState();

}  // namespace tsm::plot
