// Drawing the curves of a family inside the frame: the clipping rules
// (strictly inside points get symbols and lines, a line leaves the frame
// only from an inside point), skipping NaN and infinite points, and the
// reductions that keep a million-point curve fast without changing the
// picture: lines are clipped to a box around the frame first, then the
// vertices of one pixel column shrink to what shows there (its first,
// lowest, highest and last point, and where a zoomed-in curve leaves and
// enters the frame, the rows from the edge in), and a symbol is drawn once
// per position.
#pragma once

#include "curves/curvefam.h"
#include "plot/canvas.h"
#include "plot/curve_styles.h"
#include "plot/draw.h"
#include "plot/view.h"

namespace tsm::plot {

// Draws curve i with style i modulo 14; the caller clips to the frame.
void DrawCurves(Canvas& canvas, const curves::CurveFamily& family, const PlotView& view,
                const FrameLayout& frame, const CurveStyles& styles, const DrawOptions& options);

}  // namespace tsm::plot
