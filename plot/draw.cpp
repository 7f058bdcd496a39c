#include "plot/draw.h"

#include <algorithm>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdlib>

#include "plot/curve_path.h"
#include "plot/gfont.h"
#include "plot/gpen.h"
#include "plot/legend.h"
#include "plot/range.h"
#include "plot/state.h"
#include "shell/phyunits.h"
#include "shell/stringex.h"

namespace tsm::plot {

namespace {

constexpr double kTinyPerPixel = 1e-32;

// The view holds floats: a rounded range beyond float stays at its limit.
float ToViewFloat(double v) {
  return static_cast<float>(std::clamp(v, -static_cast<double>(FLT_MAX),
                                       static_cast<double>(FLT_MAX)));
}

bool Finite(const PlotView& v) {
  return std::isfinite(v.xMin) && std::isfinite(v.xMax) && std::isfinite(v.yMin) &&
         std::isfinite(v.yMax);
}

// Picks the range to draw: the data's when asked to (or when the view holds
// no usable range), else the view's; false when there is none.
bool ChooseRange(const curves::CurveFamily& family, const PlotView& view, bool fromData,
                 double* x0, double* x1, double* y0, double* y1) {
  if (!fromData && Finite(view)) {
    *x0 = view.xMin;
    *x1 = view.xMax;
    *y0 = view.yMin;
    *y1 = view.yMax;
  } else {
    const std::optional<DataExtents> e = FiniteExtents(family);
    if (!e) return false;
    *x0 = e->xMin;
    *x1 = e->xMax;
    *y0 = e->yMin;
    *y1 = e->yMax;
  }
  if (*x0 > *x1) std::swap(*x0, *x1);
  if (*y0 > *y1) std::swap(*y0, *y1);
  return true;
}

void Line(Canvas& canvas, int x0, int y0, int x1, int y1) {
  canvas.MoveTo(x0, y0);
  canvas.LineTo(x1, y1);
}

// Ticks along one axis: `along` maps k to the position on the axis, `draw`
// draws one tick pair of the given length. Ticks that land on the position
// of the one before are skipped (a big one still covers a small one).
template <class Along, class DrawTick>
void Ticks(unsigned grid, unsigned small, int bigLen, int smallLen, Along along, DrawTick draw) {
  const long long total = static_cast<long long>(grid) * small;
  int lastPos = INT32_MIN;
  bool lastBig = false;
  for (long long k = 1; k < total; ++k) {
    const bool big = k % small == 0;
    const int pos = along(k, total);
    if (pos == lastPos && (!big || lastBig)) continue;
    draw(pos, big ? bigLen : smallLen);
    lastPos = pos;
    lastBig = big;
  }
}

}  // namespace

int TickPixels(const Canvas& canvas, int tenthsMm) {
  const int mm = canvas.HeightMm();
  if (mm > 0) return static_cast<int>(static_cast<long long>(tenthsMm) * canvas.Height() /
                                      (static_cast<long long>(mm) * 10));
  return static_cast<int>(static_cast<long long>(tenthsMm) * canvas.DpiY() / 254);
}

FrameLayout PlaceFrame(const CanvasRect& area, int h, int c, int bigTick) {
  const int bt = std::abs(bigTick);
  FrameLayout f;
  f.left = area.left + 6 * c;
  f.bottom = area.bottom - h - 2 * bt;
  f.width = area.Width() - 8 * c;
  f.height = area.Height() - 2 * bt - h - h / 2;
  return f;
}

std::string TickLabel(double value, double division, double factor, bool xAxis) {
  if (std::fabs(2 * value) < std::fabs(division)) value = 0;
  std::string text = shell::Format(xAxis ? "%-.8G" : "%.8G", value / factor);
  // Labels use a decimal point whatever the C locale says.
  const char* point = std::localeconv()->decimal_point;
  if (point && point[0] && point[0] != '.' && !point[1]) shell::ReplaceChar(text, point[0], '.');
  return text;
}

std::string UnitCaption(const char* prefix, const char* unit) {
  return shell::Format("(%s%s)", prefix ? prefix : "", unit ? unit : "");
}

int Draw(Canvas& canvas, const CanvasRect& area, const curves::CurveFamily& family,
         PlotView& view, const DrawOptions& options) {
  const PlotState& s = GetPlotState();
  DrawOptions o = options;
  o.legend = o.legend || s.legendInPlot;
  return Draw(canvas, area, family, view, s.axes, s.styles, o);
}

int Draw(Canvas& canvas, const CanvasRect& area, const curves::CurveFamily& family,
         PlotView& view, const AxesSettings& axes, const CurveStyles& styles,
         const DrawOptions& options) {
  if (area.Empty()) return kNothingDrawn;
  if (options.target == DrawTarget::MainWindow) canvas.FillRect(area, kWhite);
  if (family.Count() == 0) return kNothingDrawn;

  const bool enforce = options.enforceColor;
  canvas.SetFont(DeviceFont(axes.captionFont, &canvas, enforce));
  const TextSize zero = canvas.TextExtent("0");
  const int h = zero.cy, c = zero.cx;
  const int bigTick = TickPixels(canvas, axes.bigTickSize);
  const int smallTick = TickPixels(canvas, axes.smallTickSize);
  const int bt = std::abs(bigTick);
  const FrameLayout f = PlaceFrame(area, h, c, bigTick);

  double x0, x1, y0, y1;
  const bool fromData = view.autoScale || options.target != DrawTarget::MainWindow;
  if (!ChooseRange(family, view, fromData, &x0, &x1, &y0, &y1)) return kNothingDrawn;
  if (f.width < 1 || f.height < 1) return 0;  // a window too small for a frame

  const unsigned gridX = std::max(axes.gridX, 1u), gridY = std::max(axes.gridY, 1u);
  const unsigned smallX = std::max(axes.smallTicksX, 1u), smallY = std::max(axes.smallTicksY, 1u);
  NiceRange(x0, x1, gridX);
  NiceRange(y0, y1, gridY);
  view.xMin = ToViewFloat(x0);
  view.xMax = ToViewFloat(x1);
  view.yMin = ToViewFloat(y0);
  view.yMax = ToViewFloat(y1);
  view.xPerPixel = std::max((static_cast<double>(view.xMax) - view.xMin) / f.width, kTinyPerPixel);
  view.yPerPixel = std::max((static_cast<double>(view.yMax) - view.yMin) / f.height, kTinyPerPixel);
  view.frameWidth = f.width;
  view.frameHeight = f.height;
  view.originX = f.left;
  view.originY = f.bottom;

  const int left = f.left, right = f.Right(), bottom = f.bottom, top = f.Top();

  // Frame and ticks.
  canvas.SetPen(DevicePen(canvas, axes.axesLines, enforce));
  canvas.MoveTo(left, bottom);
  canvas.LineTo(right, bottom);
  canvas.LineTo(right, top);
  canvas.LineTo(left, top);
  canvas.LineTo(left, bottom);
  Ticks(
      gridX, smallX, bigTick, smallTick,
      [&](long long k, long long total) { return left + static_cast<int>(k * f.width / total); },
      [&](int x, int len) {
        Line(canvas, x, bottom, x, bottom - len);
        Line(canvas, x, top, x, top + len);
      });
  Ticks(
      gridY, smallY, bigTick, smallTick,
      [&](long long k, long long total) { return bottom - static_cast<int>(k * f.height / total); },
      [&](int y, int len) {
        Line(canvas, left, y, left + len, y);
        Line(canvas, right, y, right - len, y);
      });

  // Grid lines, their ends kept clear of big ticks that point inwards.
  const int inset = bigTick > 0 ? bigTick : 0;
  canvas.SetPen(DevicePen(canvas, axes.gridLines, enforce));
  for (unsigned k = 1; k < gridX; ++k) {
    const int x = left + static_cast<int>(static_cast<long long>(k) * f.width / gridX);
    Line(canvas, x, bottom - inset, x, top + inset);
  }
  for (unsigned k = 1; k < gridY; ++k) {
    const int y = bottom - static_cast<int>(static_cast<long long>(k) * f.height / gridY);
    Line(canvas, left + inset, y, right - inset, y);
  }

  // Tick labels and unit captions, from the rounded range itself: the
  // view's floats would print as 0.49999999 where the grid is at 0.5.
  const double xa = x0, xb = x1, ya = y0, yb = y1;
  double xFactor = 1, yFactor = 1;
  const char* xPrefix = "";
  const char* yPrefix = "";
  shell::AxisPrefix(std::max(std::fabs(xa), std::fabs(xb)), &xFactor, &xPrefix);
  shell::AxisPrefix(std::max(std::fabs(ya), std::fabs(yb)), &yFactor, &yPrefix);
  const double xDivision = (xb - xa) / gridX, yDivision = (yb - ya) / gridY;
  const int halfDivision = f.width / static_cast<int>(gridX) / 2;
  for (unsigned k = 1; k <= gridX; ++k) {
    const int gx = left + static_cast<int>(static_cast<long long>(k) * f.width / gridX);
    const CanvasRect box{gx - halfDivision, bottom + bt, gx + halfDivision, bottom + bt + h};
    const std::string text = k < gridX
                                 ? TickLabel(xa + k * (xb - xa) / gridX, xDivision, xFactor, true)
                                 : UnitCaption(xPrefix, family.UnitX());
    canvas.DrawText(text, box, kTextCenter);
  }
  for (unsigned k = 0; k <= gridY; ++k) {
    const int gy = bottom - static_cast<int>(static_cast<long long>(k) * f.height / gridY);
    const CanvasRect box{area.left, gy - h / 2, left - bt, gy - h / 2 + h};
    const std::string text = k < gridY
                                 ? TickLabel(ya + k * (yb - ya) / gridY, yDivision, yFactor, false)
                                 : UnitCaption(yPrefix, family.UnitY());
    canvas.DrawText(text, box, kTextRight);
  }

  // Curves, clipped to the frame (its lines included).
  canvas.SetClip(CanvasRect{left, top, right + 1, bottom + 1});
  DrawCurves(canvas, family, view, f, styles, options);
  canvas.ClearClip();
  if (options.legend) DrawLegendInFrame(canvas, f, family, styles, enforce);
  return static_cast<int>(family.Count());
}

void DrawCardReport(Canvas& canvas, const CanvasRect& area, const std::string& text) {
  GFont font;
  font.color = kCardReportColor;
  const CanvasFont device = DeviceFont(font, &canvas);
  canvas.SetFont(device);
  const TextSize size = canvas.TextExtent("0");
  int y = area.top + size.cy / 2;
  const int left = area.left + size.cx;
  auto draw = [&](const std::string& piece) {
    canvas.DrawText(piece, CanvasRect{left, y, area.right, y + size.cy}, kTextLeft);
    y += size.cy;
  };
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string indent(line.find_first_not_of(' ') == std::string::npos
                                 ? 0
                                 : line.find_first_not_of(' ') + 4,
                             ' ');
    while (canvas.TextExtent(line).cx > area.right - left) {
      // The longest head that fits and ends after a comma or before a blank.
      std::size_t cut = std::string::npos;
      for (std::size_t k = indent.size(); k + 1 < line.size(); ++k) {
        const bool breaks = line[k] == ',' || line[k + 1] == ' ';
        if (!breaks) continue;
        if (cut != std::string::npos && canvas.TextExtent(line.substr(0, k + 1)).cx > area.right - left)
          break;
        cut = k + 1;
      }
      if (cut == std::string::npos) break;  // one word: it stays whole
      std::string rest = line.substr(cut);
      rest.erase(0, rest.find_first_not_of(' '));
      if (rest.empty()) break;
      draw(line.substr(0, cut));
      line = indent + rest;
    }
    draw(line);
    start = end + 1;
  }
}

void DrawRubberBand(Canvas& canvas, const CanvasRect& band) {
  const int l = std::min(band.left, band.right), r = std::max(band.left, band.right);
  const int t = std::min(band.top, band.bottom), b = std::max(band.top, band.bottom);
  canvas.SetXorMode(true);
  for (Color color : {kWhite, Color{0x800000}}) {
    canvas.SetPen(CanvasPen{kPenDot, 0, color});
    canvas.MoveTo(l, t);
    canvas.LineTo(r, t);
    canvas.LineTo(r, b);
    canvas.LineTo(l, b);
    canvas.LineTo(l, t);
  }
  canvas.SetXorMode(false);
}

}  // namespace tsm::plot
