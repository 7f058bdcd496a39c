// The main window: title "Tesmira", the menu "TsmMenu" built from
// resources/menu.h, the accelerators of table 120, the four-part status bar
// (parts 1 to 3 are 100 pixels wide at the right end, part 3 shows the
// version) and the plot in the client area. It is the host of the start-up
// sequence, of the commands and of the plot; every menu item, key, context
// menu entry and dropped file runs through the command registry
// (app/commands.h). Closing it is command 125 "E&xit".
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <map>
#include <vector>

#include "plot/host.h"
#include "app/command_host.h"

class QAction;
class QLabel;
class QMenu;

namespace tsm::gui {

class DerivativeWindowView;
class PictureInfoView;
class PlotWidget;

class MainWindow : public QMainWindow, public app::CommandHost, public plot::PlotHost {
 public:
  MainWindow();
  ~MainWindow() override;

  // Status-bar part 0..3.
  void SetStatusPart(int part, const QString& text);
  QString StatusPart(int part) const;
  PlotWidget* Plot() const { return plot_; }
  // The menu actions of a command (main menu; the context menu is built
  // when it opens).
  std::vector<QAction*> ActionsOf(int id) const;
  // Greys, enables and checks every action as the registry says now.
  void RefreshActions();
  // Runs a command chosen in a menu, by a key or by the context menu.
  void RunCommandFromUi(int id);

  // app::MainWindowHost
  app::WindowRect WindowRectangle() const override;
  app::WindowRect DesktopRectangle() const override;
  void MoveWindow(const app::WindowRect& rect) override;
  void Invalidate() override;
  void InitPlotState() override;
  // Both are posted, so they run once the window is on the screen.
  void ShowAboutBox() override;
  void OpenCommandLineFile() override;

  // app::CommandHost
  platform::WindowHandle Owner() const override;
  void RepaintPlot() override;
  bool OnWindowThread() const override;
  void PostToWindowThread(std::function<void()> task) override;
  bool ShiftHeld() const override;
  void CloseMainWindow() override;
  void SetTitle(const std::string& title) override;
  bool HasToolWindow(int id) const override;
  void ToggleToolWindow(int id, bool shift) override;
  bool ToolWindowOpen(int id) const override;

  // plot::PlotHost
  void Redraw() override;
  void SetCursor(plot::PlotCursor cursor) override;
  void XorRubberBand(const plot::CanvasRect& band) override;
  void EnableMenuItem(int id, bool enabled) override;
  void ShowContextMenu(int x, int y, const std::vector<int>& greyedIds) override;
  void OpenCurveProperties(unsigned curveIndex) override;

  // The menu the context menu would show now (for tests), owned by the caller.
  QMenu* BuildContextMenu(const std::vector<int>& greyedIds);
  // The open "Picture Info" window, or null.
  PictureInfoView* PictureInfo() const;
  // The open derivative window of command 180 or 181, or null.
  DerivativeWindowView* DerivativeWindow(int id) const;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  QAction* AddAction(QMenu* menu, int id, const std::string& text);

  PlotWidget* plot_ = nullptr;
  QLabel* parts_[4] = {};
  std::multimap<int, QAction*> actions_;
  bool closing_ = false;   // Exit decided: the close goes through
  bool shiftKey_ = false;  // the key that runs a command now holds Shift
  int cursorsToken_ = 0;   // plot-changed observers of the tool windows
  int temperatureToken_ = 0;
  int pictureInfoToken_ = 0;
  QPointer<PictureInfoView> pictureInfo_;
  // The derivative windows of X (180) and Y (181) and their observers.
  QPointer<DerivativeWindowView> derivative_[2];
  int derivativeToken_[2] = {};
  void ToggleDerivativeWindow(int slot);
};

}  // namespace tsm::gui
