// The legend of a family: one row per curve with a sample of its style (a
// short line in its pen with its symbol in the middle) and its name. Drawn
// inside the plot's frame when asked for, on printed pages and as the
// swatches of the Picture Info window. Text goes in the canvas's current font.
#pragma once

#include <cstdint>

#include "curves/curvefam.h"
#include "plot/canvas.h"
#include "plot/curve_styles.h"
#include "plot/draw.h"

namespace tsm::plot {

inline constexpr const char* kLegendMoreFormat = "... %u more";

// The style sample in a box: the line across its middle (when the style
// draws lines) and the symbol at its centre.
void DrawStyleSample(Canvas& canvas, const CanvasRect& box, const CurveStyle& style,
                     bool enforceColor);

// Measures of a legend in the current font: the row height, the width of a
// style sample and the size of the whole block for the given rows.
struct LegendMetrics {
  int rowHeight = 0;
  int sampleWidth = 0;
  int gap = 0;  // between the sample and the name, and around the block
  int width = 0;
  int height = 0;
};
LegendMetrics MeasureLegend(Canvas& canvas, const curves::CurveFamily& family,
                            const CurveStyles& styles, std::uint32_t rows);

// Draws rows first .. first + count - 1 of the legend from (left, top) with
// the measures of MeasureLegend; returns the y below the last row.
int DrawLegendRows(Canvas& canvas, int left, int top, const curves::CurveFamily& family,
                   const CurveStyles& styles, std::uint32_t first, std::uint32_t count,
                   const LegendMetrics& metrics, bool enforceColor);

// The legend in the top right corner of the frame, on white with a thin
// frame of its own. The rows that do not fit the frame's height are left out
// and counted in a last row ("... 12 more").
void DrawLegendInFrame(Canvas& canvas, const FrameLayout& frame,
                       const curves::CurveFamily& family, const CurveStyles& styles,
                       bool enforceColor);

}  // namespace tsm::plot
