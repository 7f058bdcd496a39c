#include "gui/application.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tsm::gui {

bool DisplayAvailable() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;  // offscreen, vnc, minimal...
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (display && *display) || (wayland && *wayland);
}

int RunApplication(int argc, char** argv) {
  if (!DisplayAvailable()) {
    std::fprintf(stderr,
                 "tesmira: no display found (DISPLAY is not set); use -batch:FILE or -cards to "
                 "run without a window\n");
    return 1;
  }
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle("Tesmira");
  window.setMinimumSize(200, 150);
  auto* version = new QLabel("v3.32beta build 122");
  window.statusBar()->addPermanentWidget(version);
  window.resize(800, 600);
  window.show();
  return app.exec();
}

}  // namespace tsm::gui
