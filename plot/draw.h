// Drawing the whole curve family into a rectangle of a device: range, nice
// rounding, frame placement, frame, ticks, grid lines, tick labels with unit
// captions, and every curve clipped to the frame. Leaves the pixel mapping
// in the view for selection, cursors and zoom. Also the card report that
// takes the plot's place when nothing can be drawn, and the rubber band.
#pragma once

#include <string>

#include "curves/curvefam.h"
#include "plot/axes.h"
#include "plot/canvas.h"
#include "plot/curve_styles.h"
#include "plot/view.h"

namespace tsm::plot {

enum class DrawTarget {
  MainWindow,   // the area is filled white first; the view's range is used
  OtherDevice,  // a printer page: the range always comes from the data
};

struct DrawOptions {
  DrawTarget target = DrawTarget::MainWindow;
  bool enforceColor = false;  // keep colours on a monochrome device
  // Draw every point as it comes (no column reduction, every symbol drawn
  // one by one): the reference the fast path is compared with.
  bool everyPoint = false;
  // The legend in the top right corner of the frame (legend.h). The drawing
  // with the process-wide settings also draws it when the plot state says so.
  bool legend = false;
};

inline constexpr int kNothingDrawn = -1;
inline constexpr Color kCardReportColor = 0xFF0000;  // blue

// Draws the family into the area with the process-wide settings and styles.
// Returns kNothingDrawn when the family is empty, the area has no width or
// height, or the range is taken from data that has no finite point;
// otherwise the number of curves drawn. A frame too small to hold a pixel
// leaves the view as it was and returns 0.
int Draw(Canvas& canvas, const CanvasRect& area, const curves::CurveFamily& family,
         PlotView& view, const DrawOptions& options = {});
// The same with explicit settings and styles.
int Draw(Canvas& canvas, const CanvasRect& area, const curves::CurveFamily& family,
         PlotView& view, const AxesSettings& axes, const CurveStyles& styles,
         const DrawOptions& options);

// Where the frame goes in an area, for a text height h, the width c of "0"
// and the big tick length in pixels.
struct FrameLayout {
  int left = 0, bottom = 0, width = 0, height = 0;
  int Right() const { return left + width; }
  int Top() const { return bottom - height; }
};
FrameLayout PlaceFrame(const CanvasRect& area, int textHeight, int charWidth, int bigTick);
// A tick length in tenths of a millimetre in pixels of the device's
// vertical axis (integer arithmetic, truncated).
int TickPixels(const Canvas& canvas, int tenthsMm);

// The text of a tick label: v, set to 0 when |2v| is below one division,
// divided by the prefix factor, with "%-.8G" (x) or "%.8G" (y).
std::string TickLabel(double value, double division, double factor, bool xAxis);
// The unit caption "(%s%s)" of an axis.
std::string UnitCaption(const char* prefix, const char* unit);

// The text of the acquisition-card report in blue, line by line from the
// area's top-left corner (what the main window shows when Draw returned
// kNothingDrawn). A line wider than the area is broken after a comma or at a
// blank, and goes on indented below, so nothing is cut at the right edge.
void DrawCardReport(Canvas& canvas, const CanvasRect& area, const std::string& text);

// The selection rectangle between two corners (any order), drawn with
// exclusive-or: a dotted white pen, then a dotted navy pen. Drawing it again
// erases it.
void DrawRubberBand(Canvas& canvas, const CanvasRect& band);

}  // namespace tsm::plot
