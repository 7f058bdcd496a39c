// The main window of batch mode: no display, but the same behaviour the
// commands rely on. It draws the plot into an invisible surface of a given
// size (so zoom, pan and selections see the mapping a window would have),
// keeps its rectangle and title, and runs the Cursors, Temperature and
// derivative-window models as its tool windows.
#pragma once

#include <memory>
#include <string>

#include "math/derivative.h"
#include "plot/host.h"
#include "app/command_host.h"

namespace tsm::app {

class HeadlessWindow : public CommandHost, public plot::PlotHost {
 public:
  // The plot area in pixels (what lies above a window's status bar).
  explicit HeadlessWindow(int plotWidth = 800, int plotHeight = 540);
  ~HeadlessWindow() override;

  void SetPlotSize(int width, int height);
  int PlotWidth() const { return width_; }
  int PlotHeight() const { return height_; }
  // What the last drawing returned (plot::kNothingDrawn, or curves drawn).
  int LastDrawResult() const { return lastDraw_; }
  int DrawCount() const { return draws_; }
  bool Closed() const { return closed_; }
  const std::string& Title() const { return title_; }

  // MainWindowHost
  WindowRect WindowRectangle() const override { return rect_; }
  WindowRect DesktopRectangle() const override { return desktop_; }
  void MoveWindow(const WindowRect& rect) override { rect_ = rect; }
  void Invalidate() override { RepaintPlot(); }
  void InitPlotState() override;
  // Batch mode shows no About box; the command-line files open at once.
  void ShowAboutBox() override {}
  void OpenCommandLineFile() override;

  // CommandHost
  platform::WindowHandle Owner() const override;
  void RepaintPlot() override;
  void CloseMainWindow() override { closed_ = true; }
  void SetTitle(const std::string& title) override { title_ = title; }
  bool HasToolWindow(int id) const override;
  void ToggleToolWindow(int id, bool shift) override;
  bool ToolWindowOpen(int id) const override;
  // The open derivative window of command 180 or 181, else null.
  const math::DerivativeWindowModel* DerivativeWindow(int id) const;

  // PlotHost
  void Redraw() override;
  void OpenCurveProperties(unsigned curve) override;

 private:
  struct Tools;
  int width_, height_;
  int lastDraw_ = 0;
  int draws_ = 0;
  bool closed_ = false;
  std::string title_ = "Tesmira";
  WindowRect rect_{0, 0, 820, 640};
  WindowRect desktop_{0, 0, 1920, 1080};
  std::unique_ptr<Tools> tools_;
};

}  // namespace tsm::app
