// What the commands need of the main window beyond start-up: the owner of
// dialogs, an immediate repaint of the plot, the state of the Shift key,
// closing the window, and its modeless tool windows. The Qt main window
// implements it; batch mode has a headless one.
#pragma once

#include <functional>
#include <string>

#include "platform/ui.h"
#include "app/main_window_host.h"

namespace tsm::app {

class CommandHost : public MainWindowHost {
 public:
  // The window that owns the commands' dialogs and messages.
  virtual platform::WindowHandle Owner() const { return nullptr; }
  // Repaints the plot at once (the first half of the redraw operation).
  virtual void RepaintPlot() {}
  // Whether the caller runs on the thread of the windows, and a way to get
  // there from another (the measurement worker).
  virtual bool OnWindowThread() const { return true; }
  virtual void PostToWindowThread(std::function<void()> task) { task(); }
  // Whether Shift is held now (tool windows open in their other form).
  virtual bool ShiftHeld() const { return false; }
  // Destroys the main window: the program ends (after Exit's question).
  virtual void CloseMainWindow() {}
  // The window title ("Tesmira", or "Tesmira -- " + the current data file).
  virtual void SetTitle(const std::string& /*title*/) {}

  // Modeless tool windows, at most one of each, tied to the checkable item
  // of the same id. Whether this host can show the window at all:
  virtual bool HasToolWindow(int /*id*/) const { return false; }
  // Closes it when open, else opens it (in its Shift form when asked).
  virtual void ToggleToolWindow(int /*id*/, bool /*shift*/) {}
  virtual bool ToolWindowOpen(int /*id*/) const { return false; }
};

// Installs the host (not owned); nullptr removes it.
void SetCommandHost(CommandHost* host);
// The installed host, or one that does nothing.
CommandHost& GetCommandHost();

}  // namespace tsm::app
