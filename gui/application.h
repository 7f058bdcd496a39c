// The Qt application: display check, Qt back end of the Ui, main window.
#pragma once

namespace tsm::gui {

struct ApplicationOptions {
  // End the event loop once the main window has painted the plot with the
  // files of the command line loaded (the start-up benchmark).
  bool quitWhenPainted = false;
};

int RunApplication(int argc, char** argv, const ApplicationOptions& options = {});

class MainWindow;
class QtUi;
// Makes the window the program's main window (the owner of messages, the
// status bar's target, the host of the commands and of the plot), and back.
void StartMainWindow(MainWindow& window, QtUi& ui);
void StopMainWindow(QtUi& ui);

// The painters of the owner-drawn controls and the colour swatches of the
// dialogs (once per process; every renderer of dialogs needs them).
void RegisterViews();

// Whether a Qt platform can be opened (a display, or an offscreen platform).
bool DisplayAvailable();

}  // namespace tsm::gui
