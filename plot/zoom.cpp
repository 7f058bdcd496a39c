#include "plot/zoom.h"

#include <algorithm>
#include <cmath>

#include "curves/state.h"
#include "platform/ui.h"
#include "plot/range.h"
#include "plot/selection.h"
#include "plot/state.h"

namespace tsm::plot {

using platform::GetUi;

namespace {

void UpdatePreviousItem() {
  Host().EnableMenuItem(kCmdZoomPrevious, !GetPlotState().zoomHistory.empty());
}

// Whether a new range keeps the data's extent within the magnification
// limit on both axes (false when the family has no finite point).
bool MagnificationAllowed(double x0, double x1, double y0, double y1) {
  const std::optional<DataExtents> e = FiniteExtents(curves::CurrentFamily());
  if (!e) return false;
  const double ex = static_cast<double>(e->xMax) - e->xMin;
  const double ey = static_cast<double>(e->yMax) - e->yMin;
  return ex < kMaxMagnification * std::fabs(x1 - x0) && ey < kMaxMagnification * std::fabs(y1 - y0);
}

// The nice step one notch above or below (1, 2, 5 times a power of ten).
double NextStep(double step, bool up) {
  const double p = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
  const double r = step / p;
  if (up) return r > 3.5 ? 10 * p : r > 1.5 ? 5 * p : 2 * p;
  return r > 3.5 ? 2 * p : r > 1.5 ? p : p / 2;
}

bool FitsView(double v) { return std::isfinite(v) && std::fabs(v) <= 3.4028234e38; }

// Pushes the view, takes the new range, clears autoScale, redraws.
void ApplyRange(double x0, double x1, double y0, double y1) {
  PlotView& view = GetPlotView();
  PushView(view);
  view.xMin = static_cast<float>(x0);
  view.xMax = static_cast<float>(x1);
  view.yMin = static_cast<float>(y0);
  view.yMax = static_cast<float>(y1);
  view.autoScale = false;
  Host().Redraw();
}

bool Zoom(bool in) {
  CancelSelection();
  const PlotView& view = GetPlotView();
  const AxesSettings& axes = GetPlotState().axes;
  double x0 = view.xMin, x1 = view.xMax, y0 = view.yMin, y1 = view.yMax;
  ZoomStep(x0, x1, axes.gridX, in);
  ZoomStep(y0, y1, axes.gridY, in);
  if (!FitsView(x0) || !FitsView(x1) || !FitsView(y0) || !FitsView(y1)) return false;
  if (!MagnificationAllowed(x0, x1, y0, y1)) return false;
  ApplyRange(x0, x1, y0, y1);
  return true;
}

}  // namespace

void PushView(const PlotView& view) {
  auto& history = GetPlotState().zoomHistory;
  if (history.size() >= kZoomHistorySize) history.pop_front();
  history.push_back(view);
  UpdatePreviousItem();
}

bool PopView(PlotView* view) {
  auto& history = GetPlotState().zoomHistory;
  if (history.empty()) return false;
  *view = history.back();
  history.pop_back();
  UpdatePreviousItem();
  return true;
}

std::size_t ZoomHistoryDepth() { return GetPlotState().zoomHistory.size(); }

void ZoomStep(double& lo, double& hi, unsigned n, bool in) {
  if (n == 0 || !std::isfinite(lo) || !std::isfinite(hi)) return;
  double s0 = (hi - lo) * 0.99999 / n;
  if (!(s0 >= 1e-32)) s0 = 1e-32;
  const double p = std::pow(10.0, std::floor(std::log10(s0)));
  const double r = s0 / p;
  double step;
  if (in) step = r > 5 ? 5 * p : r > 2 ? 2 * p : p;
  else step = r > 5 ? 20 * p : r > 2 ? 10 * p : 5 * p;
  // The view holds floats: a nice range of a few thousandths of its values
  // comes back a little wider than its steps, r lands just above 1, 2 or 5
  // and the step would keep the range as it was. Go one notch further then.
  // A real step changes the width at least twofold.
  const double width = hi - lo, next = step * n * 0.99999;
  if (in && next > 0.9 * width) step = NextStep(step, false);
  if (!in && next < 1.1 * width) step = NextStep(step, true);
  const double c = p * (std::floor(2 * lo / p) + std::floor(2 * hi / p)) / 4;
  double base;
  if (n % 2 == 0) base = step * std::floor(c / step + 0.5);
  else if (in) base = step * (std::floor((c - step / 2) / step) + 0.5);
  else base = step * (std::floor((c + step / 2) / step) + 0.5);
  lo = base - step * n * 0.99999 / 2;
  hi = lo + step * n * 0.99999;
}

void ZoomIn() {
  if (!Zoom(true)) GetUi().MessageBeep(platform::MB_SIMPLEBEEP);
}

void ZoomOut() { Zoom(false); }

bool ZoomWindow() {
  if (SelectionStateOf() != kSelectionMade) return false;
  const CanvasRect px = SelectionPixelRect();
  const curves::CurveRect r = SelectionDataRect(GetPlotView());
  if (px.Width() <= kMinZoomPixels || px.Height() <= kMinZoomPixels ||
      !MagnificationAllowed(r.x1, r.x2, r.y1, r.y2)) {
    GetUi().MessageBeep(platform::MB_ICONEXCLAMATION);
    return false;
  }
  CancelSelection();
  ApplyRange(r.x1, r.x2, r.y1, r.y2);
  return true;
}

void ZoomExtents() {
  Host().ReleaseMouse();
  CancelSelection();
  PlotView& view = GetPlotView();
  PushView(view);
  view.autoScale = true;
  Host().Redraw();
}

void ZoomPrevious() {
  CancelSelection();
  if (!PopView(&GetPlotView())) GetUi().MessageBeep(platform::MB_ICONHAND);
  Host().Redraw();
}

void Pan(PanDirection direction) {
  const PlotView& view = GetPlotView();
  const AxesSettings& axes = GetPlotState().axes;
  float x0 = view.xMin, x1 = view.xMax, y0 = view.yMin, y1 = view.yMax;
  const float dx = (x1 - x0) / static_cast<float>(std::max(axes.gridX, 1u));
  const float dy = (y1 - y0) / static_cast<float>(std::max(axes.gridY, 1u));
  switch (direction) {
    case PanDirection::Left: x0 -= dx; x1 -= dx; break;
    case PanDirection::Right: x0 += dx; x1 += dx; break;
    case PanDirection::Up: y0 += dy; y1 += dy; break;
    case PanDirection::Down: y0 -= dy; y1 -= dy; break;
  }
  // A range at the end of float cannot move further.
  if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1))
    return;
  ApplyRange(x0, x1, y0, y1);
}

bool HandlePlotCommand(int id) {
  switch (id) {
    case kCmdZoomIn: ZoomIn(); return true;
    case kCmdZoomOut: ZoomOut(); return true;
    case kCmdZoomWindow: ZoomWindow(); return true;
    case kCmdZoomExtents: ZoomExtents(); return true;
    case kCmdZoomPrevious: ZoomPrevious(); return true;
    case kCmdPanLeft: Pan(PanDirection::Left); return true;
    case kCmdPanRight: Pan(PanDirection::Right); return true;
    case kCmdPanUp: Pan(PanDirection::Up); return true;
    case kCmdPanDown: Pan(PanDirection::Down); return true;
    case kCmdDeSelect: DeSelect(); return true;
    case kCmdReSelect: ReSelect(); return true;
    default: return false;
  }
}

}  // namespace tsm::plot
