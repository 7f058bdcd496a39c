// The View menu: zoom, pan and the selection rectangle (plot/zoom.h and
// plot/selection.h carry them out; they redraw through the plot's host).
#include "plot/selection.h"
#include "plot/zoom.h"
#include "app/commands.h"

namespace tsm::app {

void RegisterViewCommands(CommandRegistry& registry) {
  using namespace plot;
  for (int id : {kCmdZoomIn, kCmdZoomOut, kCmdZoomExtents, kCmdPanLeft, kCmdPanRight, kCmdPanUp,
                 kCmdPanDown, kCmdDeSelect, kCmdReSelect})
    registry.Register(id, [id] { return HandlePlotCommand(id); });
  // A selection too small to zoom stays and beeps: the command failed.
  registry.Register(kCmdZoomWindow, [] { return ZoomWindow(); });
  // "Zoom &Previous" is enabled exactly when the history holds a view.
  registry.Register(
      kCmdZoomPrevious, [] { return HandlePlotCommand(kCmdZoomPrevious); },
      [] { return ZoomHistoryDepth() > 0; });
}

}  // namespace tsm::app
