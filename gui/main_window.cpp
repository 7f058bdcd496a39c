#include "gui/main_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include "gui/cp1252.h"
#include "gui/qt_ui.h"
#include "shell/about.h"
#include "shell/version.h"

namespace tsm::gui {

namespace {
constexpr int kPartWidth = 100;
}

MainWindow::MainWindow() {
  setWindowTitle("Tesmira");
  setMinimumSize(200, 150);
  resize(800, 600);
  auto* central = new QWidget(this);
  central->setAutoFillBackground(true);
  setCentralWidget(central);
  for (int i = 0; i < 4; ++i) {
    parts_[i] = new QLabel(this);
    parts_[i]->setObjectName(QString("statusPart%1").arg(i));
    if (i == 0) {
      statusBar()->addWidget(parts_[i], 1);
    } else {
      parts_[i]->setFixedWidth(kPartWidth);
      statusBar()->addPermanentWidget(parts_[i]);
    }
  }
  SetStatusPart(0, "Ready");
  SetStatusPart(3, FromCp1252(shell::ShortVersionText()));
}

void MainWindow::SetStatusPart(int part, const QString& text) {
  if (part >= 0 && part < 4) parts_[part]->setText(text);
}

QString MainWindow::StatusPart(int part) const {
  return part >= 0 && part < 4 ? parts_[part]->text() : QString();
}

app::WindowRect MainWindow::WindowRectangle() const {
  const QRect r = frameGeometry();
  return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

app::WindowRect MainWindow::DesktopRectangle() const {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return WindowRectangle();
  const QRect r = screen->geometry();
  return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

void MainWindow::MoveWindow(const app::WindowRect& rect) {
  show();
  // The rectangle is the outer one, frame included, as it was saved.
  const QSize frame = frameGeometry().size() - geometry().size();
  resize(std::max(rect.Width() - frame.width(), minimumWidth()),
         std::max(rect.Height() - frame.height(), minimumHeight()));
  move(rect.left, rect.top);
}

void MainWindow::Invalidate() { update(); }

void MainWindow::ShowAboutBox() {
  QTimer::singleShot(0, this, [this] { shell::RunAboutDialog(QtUi::HandleOf(this)); });
}

void MainWindow::OpenCommandLineFile() {
  QTimer::singleShot(0, this, [this] {
    if (openCommandLineFile_) openCommandLineFile_();
  });
}

void MainWindow::SetCommandLineFileHandler(std::function<void()> handler) {
  openCommandLineFile_ = std::move(handler);
}

}  // namespace tsm::gui
