#include "gui/application.h"

#include <QApplication>
#include <QSessionManager>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "curves/state.h"
#include "files/commands.h"
#include "gui/about_view.h"
#include "gui/main_window.h"
#include "gui/plot_widget.h"
#include "gui/measure_dialog_view.h"
#include "gui/picture_output.h"
#include "gui/plot_views.h"
#include "gui/qt_environment.h"
#include "gui/qt_ui.h"
#include "platform/ui.h"
#include "app/commands.h"
#include "app/main_window_link.h"
#include "app/options_registry.h"
#include "app/out_of_memory.h"
#include "app/startup.h"
#include "shell/cmdline.h"
#include "shell/errors.h"

namespace tsm::gui {

bool DisplayAvailable() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;  // offscreen, vnc, minimal...
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (display && *display) || (wayland && *wayland);
}

void RegisterViews() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterAboutView();
  RegisterPlotViews();
  RegisterMeasureDialogView();
}

void StartMainWindow(MainWindow& window, QtUi& ui) {
  shell::SetMainWindow(QtUi::HandleOf(&window));
  ui.SetStatusSink([&window](int part, const QString& text) { window.SetStatusPart(part, text); });
  app::AttachMainWindow(window, window);
}

void StopMainWindow(QtUi& ui) {
  app::DetachMainWindow();
  ui.SetStatusSink(nullptr);
  shell::SetMainWindow(nullptr);
}

namespace {

// Quits the event loop after the first paint of the plot that shows what
// start-up was to show (the command-line files, once they are loaded).
class QuitWhenPainted : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !done_ &&
        (!app::CommandLineNamesFile() || curves::FamilyForPlot().Count() > 0)) {
      done_ = true;
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool done_ = false;
};

}  // namespace

int RunApplication(int argc, char** argv, const ApplicationOptions& options) {
  if (!DisplayAvailable()) {
    std::fprintf(stderr,
                 "tesmira: no display found (DISPLAY is not set); use -batch:FILE or -cards to "
                 "run without a window\n");
    return 1;
  }
  app::DetermineProgramDirectory(argc > 0 ? argv[0] : nullptr);
  PrepareQtEnvironment();
  QApplication application(argc, argv);
  // Qt adopts the desktop's locale; the program's numbers always use a
  // decimal point, in files and in dialogs alike.
  std::setlocale(LC_NUMERIC, "C");
  // Parsed after Qt took its own switches (-platform, -style...) out.
  app::ParseStartupCommandLine(argc, argv);

  QtUi ui;
  platform::SetUi(&ui);
  RegisterViews();
  InstallPictureOutput(true);
  app::RegisterOptionGroups();
  app::RegisterAllCommands();

  int result = 0;
  {
    MainWindow window;
    StartMainWindow(window, ui);
#ifndef QT_NO_SESSIONMANAGER
    // The system shuts down: the unsaved-data question, and the session
    // ends unless the user cancels or the requested save fails.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &window,
                     [](QSessionManager& manager) {
                       if (!manager.allowsInteraction()) return;
                       const bool go = files::ConfirmDiscard();
                       manager.release();
                       if (!go) manager.cancel();
                     });
#endif
    if (app::RunWindowCreation(window)) {
      const std::new_handler previous = app::InstallOutOfMemoryHandler();
      QuitWhenPainted quit;
      if (options.quitWhenPainted) window.Plot()->installEventFilter(&quit);
      window.show();
      result = application.exec();
      std::set_new_handler(previous);
    }
    StopMainWindow(ui);
  }
  RemovePictureOutput();
  app::ResetCommandState();
  shell::FreeCommandLine();
  platform::SetUi(nullptr);
  return result;
}

}  // namespace tsm::gui
