// Zoom and pan of the plot view: zoom in and out by one nice step, zoom to
// the selection rectangle, back to the data's extent, to the previous view,
// and pan by one grid division. Every change pushes the view it leaves onto
// a history of 32 views (a full history drops its oldest) and redraws.
#pragma once

#include <cstddef>

#include "plot/view.h"

namespace tsm::plot {

// Command ids of the zoom and pan menu items and keys.
inline constexpr int kCmdZoomIn = 230;
inline constexpr int kCmdZoomWindow = 231;
inline constexpr int kCmdZoomOut = 232;
inline constexpr int kCmdZoomExtents = 220;
inline constexpr int kCmdZoomPrevious = 242;
inline constexpr int kCmdPanLeft = 237;
inline constexpr int kCmdPanRight = 238;
inline constexpr int kCmdPanUp = 239;
inline constexpr int kCmdPanDown = 240;

inline constexpr std::size_t kZoomHistorySize = 32;
// A zoom is refused when the data would be shown more than this many times
// its extent (the float resolution of the points runs out).
inline constexpr double kMaxMagnification = 100000.0;
// Selections of this many pixels or fewer in width or height do not zoom.
inline constexpr int kMinZoomPixels = 9;

// --- the history ("Zoom &Previous" is enabled exactly when it is not empty)
void PushView(const PlotView& view);
bool PopView(PlotView* view);
std::size_t ZoomHistoryDepth();

// One zoom step of a range over n divisions (in: finer, out: coarser),
// before the next drawing rounds it.
void ZoomStep(double& lo, double& hi, unsigned n, bool in);

// --- the commands; each works on the process-wide view, family and settings
// Cancels the selection; a refused step beeps (MB_SIMPLEBEEP).
void ZoomIn();
// Cancels the selection; a refused step changes nothing silently.
void ZoomOut();
// Zooms to the made selection when it is more than 9 pixels wide and high
// and the magnification rule holds; otherwise the selection stays and
// MB_ICONEXCLAMATION beeps. True when it zoomed.
bool ZoomWindow();
// Releases the mouse, cancels the selection, pushes the view, sets autoScale.
void ZoomExtents();
// Cancels the selection and pops the previous view; MB_ICONHAND with an
// empty history. Redraws either way.
void ZoomPrevious();
enum class PanDirection { Left, Right, Up, Down };
// Shifts the range by one grid division (computed in 32-bit float).
void Pan(PanDirection direction);

// Runs a zoom, pan or selection command (230, 231, 232, 220, 242, 237..240,
// 234 "&DeSelect", 236 "&ReSelect"); false for any other id.
bool HandlePlotCommand(int id);

}  // namespace tsm::plot
