// What the start-up sequence and the settings commands need from the main
// window, without knowing the toolkit: its screen rectangle, the desktop's,
// moving it, repainting it, and the two ways start-up ends (the About box or
// the data files named on the command line). gui/ implements it.
#pragma once

namespace tsm::app {

// A screen rectangle; right and bottom are just outside the window.
struct WindowRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const WindowRect&) const = default;
};

class MainWindowHost {
 public:
  virtual ~MainWindowHost() = default;
  virtual WindowRect WindowRectangle() const = 0;
  virtual WindowRect DesktopRectangle() const = 0;
  // Moves and sizes the window to the rectangle and shows it.
  virtual void MoveWindow(const WindowRect& rect) = 0;
  // Repaints the whole window.
  virtual void Invalidate() {}
  // Plot selection, cursor and zoom state at start-up.
  virtual void InitPlotState() {}
  // The last step of start-up: the About box when no data file was named,
  // else the command-line files. Either may be posted to run once the
  // window is on the screen.
  virtual void ShowAboutBox() {}
  virtual void OpenCommandLineFile() {}
};

}  // namespace tsm::app
