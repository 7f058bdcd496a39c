// Shared pieces of the app tests: a main window that records what
// start-up and the settings commands do to it, and a fixture that resets
// every piece of process-wide state they touch.
#pragma once

#include <string>
#include <vector>

#include "platform/profile.h"
#include "app/main_window_host.h"
#include "shell/cmdline.h"
#include "shell/optiongroups.h"
#include "shell/settings.h"
#include "tests/support/test_support.h"

namespace tsm::app::testing {

class FakeWindow : public MainWindowHost {
 public:
  WindowRect rect{100, 80, 900, 680};
  WindowRect desktop{0, 0, 1280, 1024};
  std::vector<WindowRect> moves;
  int invalidates = 0, plotInits = 0, aboutBoxes = 0, fileOpens = 0;

  WindowRect WindowRectangle() const override { return rect; }
  WindowRect DesktopRectangle() const override { return desktop; }
  void MoveWindow(const WindowRect& r) override {
    rect = r;
    moves.push_back(r);
  }
  void Invalidate() override { ++invalidates; }
  void InitPlotState() override { ++plotInits; }
  void ShowAboutBox() override { ++aboutBoxes; }
  void OpenCommandLineFile() override { ++fileOpens; }
};

class AppTest : public tsm::testing::UiTest {
 protected:
  AppTest() { Reset(); }
  ~AppTest() override { Reset(); }
  static void Reset() {
    shell::ResetSettingsState();
    shell::ResetOptionGroups();
    shell::ResetCommandLine();
    platform::ProfileCacheClear();
  }

  tsm::testing::TempDir dir;
  FakeWindow window;
};

}  // namespace tsm::app::testing
