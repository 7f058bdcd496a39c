// The Qt application of the gui tests: one offscreen QApplication for the
// whole run, and helpers that act on the modal dialog a test has opened.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace tsm::gui::testing {

inline QApplication& QtApp() {
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *app;
}

// Runs `act` on the first modal widget that appears, once it is shown and
// active (polling the event loop every few milliseconds), so a test can
// drive a dialog while its exec() runs. A modal still open after
// `timeoutMs` is closed so a failing test cannot hang the run.
inline void WhenModal(std::function<void(QWidget*)> act, int timeoutMs = 5000) {
  struct State {
    int polls = 0;
    bool acted = false;
    QPointer<QWidget> target;
  };
  auto state = std::make_shared<State>();
  auto* poll = new QTimer(&QtApp());
  QObject::connect(poll, &QTimer::timeout, [poll, act, state] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    // Activation may lag behind showing; after a while act anyway.
    if (!modal->isActiveWindow() && ++state->polls < 40) return;
    poll->stop();
    poll->deleteLater();
    state->acted = true;
    state->target = modal;
    act(modal);
  });
  poll->start(5);
  // Only the dialog this call acted on (or, if it never acted, whatever is
  // modal then) is closed, so a later test's dialog is left alone.
  QTimer::singleShot(timeoutMs, &QtApp(), [state, poll = QPointer<QTimer>(poll)] {
    if (poll) poll->deleteLater();
    QWidget* victim = state->acted ? state->target.data() : QApplication::activeModalWidget();
    if (victim && victim->isVisible()) victim->close();
  });
}

}  // namespace tsm::gui::testing
