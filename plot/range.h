// Ranges of the plot: rounding a range to a grid of nice steps, the extent
// of the finite data of a family, and the mapping between device pixels and
// data values that the last drawing left in the view.
#pragma once

#include <optional>

#include "curves/curvefam.h"
#include "plot/view.h"

namespace tsm::plot {

// Rounds [low, high] in place to n divisions of a step of 1, 2 or 5 times a
// power of ten. A range of zero width gets a tiny step and stays centred on
// its value. Non-finite arguments are left as they are.
void NiceRange(double& low, double& high, unsigned n);

struct DataExtents {
  float xMin, xMax, yMin, yMax;
};
// Smallest and largest x and y over the points of every curve whose x and
// y are both finite (NaN and infinite values, which data files may carry,
// are skipped); nullopt when there is no such point.
std::optional<DataExtents> FiniteExtents(const curves::CurveFamily& family);

// The data-to-pixel mapping of a view, with the per-pixel factors turned
// into scales once: drawing, the nearest point and the cursors all map with
// it, so they agree to the pixel.
struct PixelMapper {
  explicit PixelMapper(const PlotView& view)
      : xMin(view.xMin), yMin(view.yMin),
        xScale(Scale(view.xMin, view.xMax, view.frameWidth, view.xPerPixel)),
        yScale(Scale(view.yMin, view.yMax, view.frameHeight, view.yPerPixel)),
        originX(view.originX), originY(view.originY) {}
  // Pixels per data unit. When the factor is the drawing's range / size,
  // size / range is its exact inverse (1 / (1 / 936) is not quite 936, and
  // a point on a pixel's edge would fall into the pixel before).
  static double Scale(float lo, float hi, int pixels, double perPixel) {
    const double range = static_cast<double>(hi) - lo;
    if (pixels > 0 && range > 0 && range / pixels == perPixel) return pixels / range;
    return 1.0 / perPixel;
  }
  // Pixels from the origin, before truncation.
  double OffsetX(double x) const { return (x - xMin) * xScale; }
  double OffsetY(double y) const { return (y - yMin) * yScale; }
  double xMin, yMin, xScale, yScale;
  int originX, originY;
};

// Device pixel to data value through the view (the last drawing's mapping).
double PixelToDataX(const PlotView& view, int px);
double PixelToDataY(const PlotView& view, int py);
// Data value to device pixel: originX + trunc((x - xMin) / xPerPixel) and
// originY - trunc((y - yMin) / yPerPixel), the division done as a
// multiplication by the inverse. Far-away values saturate at +-kPixelLimit
// instead of overflowing.
inline constexpr int kPixelLimit = 1 << 28;
int DataToPixelX(const PlotView& view, double x);
int DataToPixelY(const PlotView& view, double y);

}  // namespace tsm::plot
