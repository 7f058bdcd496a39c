// The Qt application: display check, Qt back end of the Ui, main window.
#pragma once

namespace tsm::gui {

int RunApplication(int argc, char** argv);

// Whether a Qt platform can be opened (a display, or an offscreen platform).
bool DisplayAvailable();

}  // namespace tsm::gui
