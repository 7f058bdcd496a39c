// The Qt side of the plot's dialogs and fonts: the colour swatches of the
// style and pen dialogs, and the screen resolution that fonts without a
// device are sized for. The application calls RegisterPlotViews once.
#pragma once

namespace tsm::gui {

void RegisterPlotViews();

}  // namespace tsm::gui
