#include "plot/selection.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "curves/state.h"
#include "curves/undo.h"
#include "platform/ui.h"
#include "plot/range.h"
#include "plot/zoom.h"
#include "shell/phyunits.h"
#include "shell/stringex.h"

namespace tsm::plot {

using platform::GetUi;

namespace {

SelectionState& Sel() { return GetPlotState().selection; }

void EnableLists(bool made) {
  PlotHost& host = Host();
  for (int id : kSelectionOnlyCommands) host.EnableMenuItem(id, made);
  for (int id : kWholeFamilyCommands) host.EnableMenuItem(id, !made);
}

void ShowCursor(bool zoom) {
  SelectionState& s = Sel();
  if (s.cursorShown == zoom) return;
  s.cursorShown = zoom;
  Host().SetCursor(zoom ? PlotCursor::Zoom : PlotCursor::Default);
}

// Moves to a state; entering or leaving "made" flips the two menu lists,
// and leaving it restores the default cursor.
void SetState(int state) {
  SelectionState& s = Sel();
  const int old = s.state;
  s.state = state;
  if (old != kSelectionMade && state == kSelectionMade) EnableLists(true);
  if (old == kSelectionMade && state != kSelectionMade) {
    EnableLists(false);
    ShowCursor(false);
  }
}

CanvasRect BandRect(const SelectionState& s) {
  return CanvasRect{s.anchorX, s.anchorY, s.cornerX, s.cornerY};
}

void XorBand() {
  SelectionState& s = Sel();
  Host().XorRubberBand(BandRect(s));
  s.bandDrawn = !s.bandDrawn;
}

void EraseBand() {
  if (Sel().bandDrawn) XorBand();
}

void StartDrag(int x, int y) {
  SelectionState& s = Sel();
  EraseBand();
  s.anchorX = s.cornerX = x;
  s.anchorY = s.cornerY = y;
  Host().CaptureMouse();
  SetState(kSelectionDragging);
}

void MoveCorner(int x, int y) {
  SelectionState& s = Sel();
  if (s.bandDrawn && s.cornerX == x && s.cornerY == y) return;
  EraseBand();
  s.cornerX = x;
  s.cornerY = y;
  XorBand();
}

void StopRightTimer() {
  SelectionState& s = Sel();
  if (s.rightTimer) GetUi().StopTimer(s.rightTimer);
  s.rightTimer = 0;
}

std::string Readout(const char* axis, double value, const char* unit) {
  std::string text = std::string(axis) + shell::FormatWithPrefix(static_cast<float>(value), unit);
  if (text.size() > kReadoutLength) text.resize(kReadoutLength);
  return text;
}

}  // namespace

void InitSelection() {
  StopRightTimer();
  SelectionState& s = Sel();
  s = SelectionState{};
  EnableLists(false);
  Host().SetCursor(PlotCursor::Default);
  Host().EnableMenuItem(kCmdZoomPrevious, !GetPlotState().zoomHistory.empty());
}

int SelectionStateOf() { return Sel().state; }

bool SelectionExists() { return Sel().state != kSelectionNone; }

void CancelSelection() {
  EraseBand();
  SetState(kSelectionNone);
}

void DeSelect() {
  if (Sel().state != kSelectionMade) return;
  CancelSelection();
  curves::CurrentFamily().UnmarkAll();
}

void ReSelect() {
  SelectionState& s = Sel();
  if (s.state != kSelectionNone || !s.hasLastRect) return;
  SetState(kSelectionMade);
  XorBand();
}

CanvasRect SelectionPixelRect() {
  const SelectionState& s = Sel();
  return CanvasRect{std::min(s.anchorX, s.cornerX), std::min(s.anchorY, s.cornerY),
                    std::max(s.anchorX, s.cornerX), std::max(s.anchorY, s.cornerY)};
}

curves::CurveRect SelectionDataRect(const PlotView& view) {
  const CanvasRect r = SelectionPixelRect();
  curves::CurveRect out;
  out.x1 = PixelToDataX(view, r.left);
  out.x2 = PixelToDataX(view, r.right);
  // Pixel rows grow downwards, data upwards.
  out.y1 = PixelToDataY(view, r.bottom);
  out.y2 = PixelToDataY(view, r.top);
  return out;
}

std::optional<CanvasRect> BandToRepaint() {
  const SelectionState& s = Sel();
  if (!s.bandDrawn) return std::nullopt;
  return BandRect(s);
}

bool ZoomCursorShown() { return Sel().cursorShown; }

std::string ReadoutX(const curves::CurveFamily& family, const PlotView& view, int x) {
  return Readout("X:", PixelToDataX(view, x), family.UnitX());
}

std::string ReadoutY(const curves::CurveFamily& family, const PlotView& view, int y) {
  return Readout("Y:", PixelToDataY(view, y), family.UnitY());
}

void RefreshReadout() {
  const SelectionState& s = Sel();
  if (!s.pointerSeen) return;
  const curves::CurveFamily& family = curves::FamilyForPlot();
  if (family.Count() == 0) {
    // Nothing is drawn: no value lies under the pointer any more.
    GetUi().SetStatusText(1, "");
    GetUi().SetStatusText(2, "");
    return;
  }
  const PlotView& view = GetPlotView();
  GetUi().SetStatusText(1, ReadoutX(family, view, s.lastX));
  GetUi().SetStatusText(2, ReadoutY(family, view, s.lastY));
}

void OnMouseMove(int x, int y) {
  SelectionState& s = Sel();
  s.lastX = x;
  s.lastY = y;
  if (curves::FamilyForPlot().Count() > 0) {
    s.pointerSeen = true;
    RefreshReadout();
  }
  if (s.state == kSelectionDragging) {
    MoveCorner(x, y);
  } else if (s.state == kSelectionMade) {
    const CanvasRect r = SelectionPixelRect();
    ShowCursor(x >= r.left && x <= r.right && y >= r.top && y <= r.bottom);
  }
  if (GetPlotState().pointerListener) GetPlotState().pointerListener(x, y);
}

void OnLeftButtonDown(int x, int y) {
  SelectionState& s = Sel();
  s.lastX = x;
  s.lastY = y;
  if (s.state == kSelectionNone) {
    StartDrag(x, y);
  } else if (s.state == kSelectionMade) {
    if (s.cursorShown) ZoomWindow();
    else StartDrag(x, y);
  }
}

void OnLeftButtonUp(int x, int y) {
  SelectionState& s = Sel();
  s.lastX = x;
  s.lastY = y;
  Host().ReleaseMouse();
  if (s.state != kSelectionDragging) return;
  if (x != s.cornerX || y != s.cornerY) MoveCorner(x, y);
  if (s.anchorX == s.cornerX || s.anchorY == s.cornerY) {
    EraseBand();
    SetState(kSelectionNone);
    GetUi().SetStatusText(0, "");
  } else {
    s.hasLastRect = true;
    SetState(kSelectionMade);
  }
}

void OnLeftDoubleClick(int x, int y) {
  SelectionState& s = Sel();
  s.lastX = x;
  s.lastY = y;
  Host().ReleaseMouse();
  CancelSelection();
  const std::optional<NearestPoint> nearest =
      FindNearestPoint(curves::CurrentFamily(), GetPlotView(), x, y);
  if (nearest && curves::PrepareUndo()) Host().OpenCurveProperties(nearest->curve);
  Host().Redraw();
}

void OnRightButtonDown(int x, int y) {
  SelectionState& s = Sel();
  s.lastX = x;
  s.lastY = y;
  StopRightTimer();
  s.rightTimer = GetUi().StartTimer(kRightClickMs, false, [] { OnRightButtonTimer(); });
  s.rightPending = true;
  curves::CurveFamily& family = curves::CurrentFamily();
  family.UnmarkAll();
  if (s.state != kSelectionNone) {
    const std::uint32_t n = family.MarkCurvesIn(SelectionDataRect(GetPlotView()));
    GetUi().SetStatusText(0, shell::Format(kCurvesSelectedFormat, n));
    return;
  }
  const std::optional<NearestPoint> nearest = FindNearestPoint(family, GetPlotView(), x, y);
  if (!nearest) {
    // Nothing to select: no context menu, but a quick release still
    // returns to the data's extent.
    StopRightTimer();
    return;
  }
  family.Curve(nearest->curve).Mark();
  s.hasSplitPoint = true;
  s.splitCurve = nearest->curve;
  s.splitPoint = nearest->point;
  GetUi().SetStatusText(0, shell::Format(kCurveSelectedFormat, nearest->curve,
                                         family.Curve(nearest->curve).Name()));
}

void OnRightButtonUp(int x, int y) {
  SelectionState& s = Sel();
  s.lastX = x;
  s.lastY = y;
  if (!s.rightPending) return;  // the context menu took the press
  s.rightPending = false;
  StopRightTimer();
  ZoomExtents();
  GetUi().SetStatusText(0, kReadyText);
}

void OnRightButtonTimer() {
  SelectionState& s = Sel();
  s.rightTimer = 0;  // a one-shot timer stops itself
  if (!s.rightPending) return;
  s.rightPending = false;
  Host().ShowContextMenu(s.lastX, s.lastY, GreyedContextMenuIds());
}

std::optional<NearestPoint> FindNearestPoint(const curves::CurveFamily& family,
                                             const PlotView& view, int x, int y) {
  std::optional<NearestPoint> best;
  long long bestDistance = LLONG_MAX;
  const float x0 = view.xMin, x1 = view.xMax, y0 = view.yMin, y1 = view.yMax;
  for (std::uint32_t c = 0; c < family.Count(); ++c) {
    const curves::Curve& curve = family.Curve(c);
    const curves::CurvePoint* p = curve.Data();
    for (std::uint32_t i = 0; i < curve.Count(); ++i) {
      // NaN fails every comparison, so it is never inside.
      if (!(p[i].x >= x0 && p[i].x <= x1 && p[i].y >= y0 && p[i].y <= y1)) continue;
      const long long dx = DataToPixelX(view, p[i].x) - static_cast<long long>(x);
      const long long dy = DataToPixelY(view, p[i].y) - static_cast<long long>(y);
      const long long d = dx * dx + dy * dy;
      if (d < bestDistance) {
        bestDistance = d;
        best = NearestPoint{c, i};
      }
    }
  }
  return best;
}

std::optional<NearestPoint> SplitPoint() {
  const SelectionState& s = Sel();
  if (!s.hasSplitPoint) return std::nullopt;
  return NearestPoint{s.splitCurve, s.splitPoint};
}

std::vector<int> GreyedContextMenuIds() {
  std::vector<int> ids;
  ids.push_back(SelectionExists() ? kCmdSplitCurve : kCmdZoomWindow);
  if (curves::CurrentFamily().CountMarked() != 1)
    for (int id : {kCmdProperties, kCmdStyle, kCmdYAsNewX, kCmdMakeFirst, kCmdMakeLast})
      ids.push_back(id);
  if (GetPlotState().zoomHistory.empty()) ids.push_back(kCmdZoomPrevious);
  return ids;
}

void SetPointerListener(PointerListener listener) {
  GetPlotState().pointerListener = std::move(listener);
}

}  // namespace tsm::plot
