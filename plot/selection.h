// The selection rectangle and the mouse on the plot: a left-button drag
// draws a rubber band, a click inside a made selection zooms to it, a
// double click opens the properties of the nearest curve, a right click
// selects curves (quickly released: back to the data's extent; held: the
// context menu). Also the status-bar read-out of the pointer's position and
// the menu items that depend on whether a selection is made. Coordinates are
// device pixels of the plot's drawing area.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "curves/curvefam.h"
#include "plot/canvas.h"
#include "plot/state.h"
#include "plot/view.h"

namespace tsm::plot {

// Enabled only while a selection is made: 231 "Zoom &Window", 233 "Delete
// data points in", 234 "&DeSelect".
inline constexpr int kSelectionOnlyCommands[] = {231, 233, 234};
// Enabled only while none is made: Calculus, Histogram of Rn, the two
// normalisations, X and Y swap, point order reversal, the multi-point
// derivatives, y as new x, "&ReSelect".
inline constexpr int kWholeFamilyCommands[] = {253, 254, 255, 256, 204, 205,
                                               144, 156, 145, 183, 158, 236};
inline constexpr int kCmdDeSelect = 234;
inline constexpr int kCmdReSelect = 236;
// Context-menu items that depend on the state.
inline constexpr int kCmdSplitCurve = 259;
inline constexpr int kCmdProperties = 222;
inline constexpr int kCmdStyle = 229;
inline constexpr int kCmdYAsNewX = 246;
inline constexpr int kCmdMakeFirst = 227;
inline constexpr int kCmdMakeLast = 228;

inline constexpr unsigned kRightClickMs = 300;
inline constexpr std::size_t kReadoutLength = 62;
inline constexpr const char* kCurvesSelectedFormat = "%u curves selected";
inline constexpr const char* kCurveSelectedFormat = "Curve number %u \"%s\" is selected";
inline constexpr const char* kReadyText = "Ready";

// Start-up: no selection, the menu items set for that, "Zoom &Previous" as
// the history says.
void InitSelection();
int SelectionStateOf();
// A rectangle is being dragged or is made (the main window's guard of the
// whole-family tools).
bool SelectionExists();
// Erases the band and returns to no selection.
void CancelSelection();
// "&DeSelect": in state 2 cancel the selection and clear the curve marks.
void DeSelect();
// "&ReSelect": in state 0 bring back the last rectangle as a made selection.
void ReSelect();
// The selection in pixels (corners ordered) and in data units through the
// view's mapping.
CanvasRect SelectionPixelRect();
curves::CurveRect SelectionDataRect(const PlotView& view);
// The band the paint handler draws again (with DrawRubberBand) after it
// repainted the plot, when one is on the screen.
std::optional<CanvasRect> BandToRepaint();
// Whether the zoom cursor is set (the main window keeps it over the plot).
bool ZoomCursorShown();

// --- mouse events
void OnMouseMove(int x, int y);
void OnLeftButtonDown(int x, int y);
void OnLeftButtonUp(int x, int y);
void OnLeftDoubleClick(int x, int y);
void OnRightButtonDown(int x, int y);
void OnRightButtonUp(int x, int y);
// The right button's timer fired (the Ui calls it; public for tests).
void OnRightButtonTimer();

struct NearestPoint {
  std::uint32_t curve = 0;
  std::uint32_t point = 0;
  friend bool operator==(const NearestPoint&, const NearestPoint&) = default;
};
// The point inside the view's range (bounds included, NaN skipped) nearest
// to the pixel; the first one wins a tie.
std::optional<NearestPoint> FindNearestPoint(const curves::CurveFamily& family,
                                             const PlotView& view, int x, int y);
// The point the last right click selected ("Split curve at this point").
std::optional<NearestPoint> SplitPoint();

// The context-menu items to grey now.
std::vector<int> GreyedContextMenuIds();

// The read-out texts of a pixel: "X:" and "Y:" with the value, its unit
// prefix and the family's unit, at most 62 characters each.
std::string ReadoutX(const curves::CurveFamily& family, const PlotView& view, int x);
std::string ReadoutY(const curves::CurveFamily& family, const PlotView& view, int y);
// The read-out of status parts 1 and 2 for the pointer's last position over
// the plot as it is drawn now: called after every drawing, so zoom, pan and
// a changed family show the value under the pointer at once (cleared when
// nothing is drawn; nothing before the pointer has been over the plot).
void RefreshReadout();

// Told of every pointer move (the Cursors window); empty removes it.
void SetPointerListener(PointerListener listener);

}  // namespace tsm::plot
