// What the Math tools need of the plot view. The view belongs to the plot
// layer above this one, so the main window hands in operations on its own
// view (plot::GetPlotView, plot::ResetPlotView) when it calls a tool.
#pragma once

#include <functional>

namespace tsm::math {

struct PlotViewLink {
  // Whether the view takes its range from the data on the next drawing
  // (autoScale). Absent: taken as on, so nothing of the view is touched.
  std::function<bool()> autoScale;
  // Exchanges the view's x range with its y range.
  std::function<void()> swapRanges;
  // Range 0..1 with autoScale on, so the next drawing rescales to the data.
  std::function<void()> reset;
};

}  // namespace tsm::math
