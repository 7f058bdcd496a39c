// The plot view: the data range shown, whether the next drawing takes the
// range from the data, and the pixel mapping the last drawing left behind
// (used by selection, cursors and zoom). One process-wide instance; data files
// store its scaling fields with every saved family.
#pragma once

namespace tsm::plot {

struct PlotView {
  // The data range shown; after each drawing, the rounded range drawn.
  float xMin = 0.0f, xMax = 1.0f, yMin = 0.0f, yMax = 1.0f;
  // Take the range from the data on the next drawing ("ScaleAuto").
  bool autoScale = true;
  // Left behind by the last drawing.
  int frameWidth = 0, frameHeight = 0;
  double xPerPixel = 1e-32, yPerPixel = 1e-32;  // data units per pixel
  int originX = 0, originY = 0;  // device position of the frame's lower-left corner
};

// The main window's view.
PlotView& GetPlotView();
// Range 0..1 on both axes and autoScale set, so the next drawing rescales to
// the data (start-up, opening a file, the normalisations).
void ResetPlotView();

}  // namespace tsm::plot
