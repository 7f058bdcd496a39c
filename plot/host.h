// What the plot's mouse and zoom handling asks of the main window, without
// knowing the toolkit: redraw, mouse capture, the cursor, the rubber band,
// menu items, the context menu and the curve properties dialog. The main
// window implements it and installs it with SetPlotHost; without a host the
// requests are dropped.
#pragma once

#include <vector>

#include "plot/canvas.h"

namespace tsm::plot {

enum class PlotCursor { Default, Zoom };

class PlotHost {
 public:
  virtual ~PlotHost() = default;
  // The main window's redraw: repaint the plot at once, then tell the tool
  // windows (the plot-changed notification).
  virtual void Redraw() {}
  virtual void CaptureMouse() {}
  virtual void ReleaseMouse() {}
  virtual void SetCursor(PlotCursor) {}
  // Draws the selection rectangle onto the plot with exclusive-or
  // (DrawRubberBand in draw.h); a second call with the same rectangle
  // erases it.
  virtual void XorRubberBand(const CanvasRect&) {}
  // Enables or greys a main-menu item.
  virtual void EnableMenuItem(int /*id*/, bool /*enabled*/) {}
  // Opens the context menu at the client position with these items greyed;
  // the chosen command comes back as a main-window command.
  virtual void ShowContextMenu(int /*x*/, int /*y*/, const std::vector<int>& /*greyedIds*/) {}
  // The properties dialog of a curve (the undo copy is already taken).
  virtual void OpenCurveProperties(unsigned /*curveIndex*/) {}
};

// Installs the host (not owned); nullptr removes it.
void SetPlotHost(PlotHost* host);
// The installed host, or one that does nothing.
PlotHost& Host();

}  // namespace tsm::plot
