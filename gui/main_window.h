// A plain main window until the real one (plot, menu, commands) exists: the
// title "Tesmira" and the four-part status bar (parts 1 to 3 are 100 pixels
// wide at the right end, part 3 shows the version). It is the start-up
// sequence's host.
#pragma once

#include <QMainWindow>

#include <functional>

#include "shell/app/main_window_host.h"

class QLabel;

namespace tsm::gui {

class MainWindow : public QMainWindow, public app::MainWindowHost {
 public:
  MainWindow();

  // Status-bar part 0..3.
  void SetStatusPart(int part, const QString& text);
  QString StatusPart(int part) const;

  app::WindowRect WindowRectangle() const override;
  app::WindowRect DesktopRectangle() const override;
  void MoveWindow(const app::WindowRect& rect) override;
  void Invalidate() override;
  // Both are posted, so they run once the window is on the screen.
  void ShowAboutBox() override;
  void OpenCommandLineFile() override;

  // What opening the command-line files does (the data-file commands hook
  // in here); nothing until then.
  void SetCommandLineFileHandler(std::function<void()> handler);

 private:
  QLabel* parts_[4] = {};
  std::function<void()> openCommandLineFile_;
};

}  // namespace tsm::gui
