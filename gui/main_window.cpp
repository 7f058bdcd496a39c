#include "gui/main_window.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#include "channels/temperature_window.h"
#include "gui/cp1252.h"
#include "gui/cursors_window.h"
#include "gui/derivative_window.h"
#include "gui/key_map.h"
#include "gui/picture_info_window.h"
#include "gui/plot_widget.h"
#include "gui/ui_thread.h"
#include "gui/qt_ui.h"
#include "gui/temperature_window.h"
#include "resources/menu.h"
#include "app/command_ids.h"
#include "app/commands.h"
#include "app/curve_dialog.h"
#include "app/main_window_link.h"
#include "shell/version.h"

namespace tsm::gui {

namespace {

constexpr int kPartWidth = 100;

// The cursor over a made selection: a click inside zooms to it.
QCursor ZoomCursor() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 2));
  p.setBrush(QColor(255, 255, 255, 160));
  p.drawEllipse(QRectF(3, 3, 16, 16));
  p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(17, 17), QPointF(27, 27));
  p.setPen(QPen(Qt::black, 1.5));
  p.drawLine(QPointF(7, 11), QPointF(15, 11));
  p.drawLine(QPointF(11, 7), QPointF(11, 15));
  return QCursor(pixmap, 11, 11);
}

void AddItems(MainWindow& window, QMenu* menu, const std::vector<resources::MenuItem>& items,
              const std::function<QAction*(QMenu*, int, const std::string&)>& add) {
  for (const resources::MenuItem& item : items) {
    switch (item.kind) {
      case resources::MenuItem::Kind::Separator:
        menu->addSeparator();
        break;
      case resources::MenuItem::Kind::Popup:
        AddItems(window, menu->addMenu(FromCp1252(item.text)), item.children, add);
        break;
      case resources::MenuItem::Kind::Item:
        add(menu, item.id, item.text);
        break;
    }
  }
}

}  // namespace

MainWindow::MainWindow() {
  setWindowTitle("Tesmira");
  setMinimumSize(200, 150);
  resize(800, 600);
  setAcceptDrops(true);
  plot_ = new PlotWidget(this);
  setCentralWidget(plot_);
  plot_->setFocus();
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
  // The parts keep their 100 pixels; the text is made small enough for the
  // version to fit into its part.
  QFont font = statusBar()->font();
  const QString version = StatusPart(3);
  while (font.pointSizeF() > 6 &&
         QFontMetrics(font).horizontalAdvance(version) > kPartWidth - 6)
    font.setPointSizeF(font.pointSizeF() - 0.5);
  for (QLabel* part : parts_) part->setFont(font);
  BuildMenus();
}

MainWindow::~MainWindow() {
  if (cursorsToken_) app::RemovePlotChangedObserver(cursorsToken_);
  if (temperatureToken_) app::RemovePlotChangedObserver(temperatureToken_);
  if (pictureInfoToken_) app::RemovePlotChangedObserver(pictureInfoToken_);
  if (pictureInfo_) {
    pictureInfo_->SetClosedListener({});
    delete pictureInfo_;
  }
  for (int k = 0; k < 2; ++k) {
    if (derivativeToken_[k]) app::RemovePlotChangedObserver(derivativeToken_[k]);
    if (derivative_[k]) {
      derivative_[k]->SetClosedListener({});
      delete derivative_[k];
    }
  }
  if (CursorsWindowView* c = OpenCursorsWindowView()) {
    c->SetClosedListener({});
    c->close();
  }
  // Only a window this one opened (a picture of the window made in batch
  // mode leaves batch mode's own tool windows alone).
  if (temperatureToken_ && channels::GetTemperatureWindow().IsOpen()) {
    channels::GetTemperatureWindow().SetClosedListener({});
    channels::GetTemperatureWindow().Close();
    if (TemperatureWindowView* t = OpenTemperatureWindowView()) t->close();
  }
}

// --- menu, keys, context menu --------------------------------------------------

QAction* MainWindow::AddAction(QMenu* menu, int id, const std::string& text) {
  // Qt shows what follows a tab as the key of the item, as the menu
  // resource does.
  QAction* action = menu->addAction(FromCp1252(text));
  action->setData(id);
  action->setObjectName(QString("command%1").arg(id));
  connect(action, &QAction::triggered, this, [this, id] { RunCommandFromUi(id); });
  return action;
}

void MainWindow::BuildMenus() {
  for (const resources::MenuItem& popup : resources::MainMenu()) {
    QMenu* menu = menuBar()->addMenu(FromCp1252(popup.text));
    AddItems(*this, menu, popup.children, [this](QMenu* m, int id, const std::string& text) {
      QAction* action = AddAction(m, id, text);
      actions_.emplace(id, action);
      return action;
    });
    // The state of the items is asked for when a menu opens, so it always
    // follows the selection, the undo copy and the tool windows.
    connect(menu, &QMenu::aboutToShow, this, [this] { RefreshActions(); });
  }
  RefreshActions();
}

std::vector<QAction*> MainWindow::ActionsOf(int id) const {
  std::vector<QAction*> out;
  const auto [first, last] = actions_.equal_range(id);
  for (auto it = first; it != last; ++it) out.push_back(it->second);
  return out;
}

void MainWindow::RefreshActions() {
  for (const auto& [id, action] : actions_) {
    action->setEnabled(app::CommandEnabled(id));
    const bool checkable = app::CommandCheckable(id);
    action->setCheckable(checkable);
    if (checkable) action->setChecked(app::CommandChecked(id));
  }
}

void MainWindow::RunCommandFromUi(int id) {
  app::RunCommand(id);
  RefreshActions();
}

bool MainWindow::event(QEvent* event) {
  // The accelerators come before Qt's own shortcuts and menu mnemonics.
  if (event->type() == QEvent::ShortcutOverride &&
      AcceleratorCommandOf(*static_cast<QKeyEvent*>(event)) != 0) {
    event->accept();
    return true;
  }
  return QMainWindow::event(event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  const int id = AcceleratorCommandOf(*event);
  if (id == 0) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  event->accept();
  shiftKey_ = event->modifiers() & Qt::ShiftModifier;
  RunCommandFromUi(id);
  shiftKey_ = false;
}

QMenu* MainWindow::BuildContextMenu(const std::vector<int>& greyedIds) {
  auto* menu = new QMenu(this);
  menu->setObjectName("contextMenu");
  AddItems(*this, menu, resources::ContextMenu().children,
           [this, &greyedIds](QMenu* m, int id, const std::string& text) {
             QAction* action = AddAction(m, id, text);
             const bool greyed =
                 std::find(greyedIds.begin(), greyedIds.end(), id) != greyedIds.end();
             action->setEnabled(!greyed && app::CommandEnabled(id));
             return action;
           });
  return menu;
}

void MainWindow::ShowContextMenu(int x, int y, const std::vector<int>& greyedIds) {
  QMenu* menu = BuildContextMenu(greyedIds);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(plot_->mapToGlobal(QPoint(x, y)));
}

// --- status bar and title --------------------------------------------------------

void MainWindow::SetStatusPart(int part, const QString& text) {
  if (part >= 0 && part < 4) parts_[part]->setText(text);
}

QString MainWindow::StatusPart(int part) const {
  return part >= 0 && part < 4 ? parts_[part]->text() : QString();
}

void MainWindow::SetTitle(const std::string& title) { setWindowTitle(FromCp1252(title)); }

// --- start-up host ---------------------------------------------------------------

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

void MainWindow::Invalidate() {
  plot_->Render();
  update();
}

void MainWindow::InitPlotState() { app::InitPlotState(); }

void MainWindow::ShowAboutBox() {
  QTimer::singleShot(0, this, [this] { RunCommandFromUi(app::kCmdAbout); });
}

void MainWindow::OpenCommandLineFile() {
  QTimer::singleShot(0, this, [this] { RunCommandFromUi(app::kCmdOpenCommandLineFile); });
}

// --- command host ------------------------------------------------------------------

platform::WindowHandle MainWindow::Owner() const {
  return QtUi::HandleOf(const_cast<MainWindow*>(this));
}

void MainWindow::RepaintPlot() { plot_->Render(); }

bool MainWindow::OnWindowThread() const { return QThread::currentThread() == thread(); }

void MainWindow::PostToWindowThread(std::function<void()> task) {
  PostToUiThread(this, std::move(task));
}

bool MainWindow::ShiftHeld() const {
  return shiftKey_ || (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier);
}

void MainWindow::CloseMainWindow() {
  closing_ = true;
  close();
}

bool MainWindow::HasToolWindow(int id) const { return app::IsToolWindowCommand(id); }

void MainWindow::ToggleDerivativeWindow(int k) {
  if (derivative_[k]) {
    derivative_[k]->close();  // its closed listener forgets it
    return;
  }
  auto* view = new DerivativeWindowView(
      this, k == 0 ? math::DerivativeAxis::X : math::DerivativeAxis::Y);
  derivative_[k] = view;
  view->SetClosedListener([this, k] {
    app::RemovePlotChangedObserver(derivativeToken_[k]);
    derivativeToken_[k] = 0;
    derivative_[k] = nullptr;
    RefreshActions();
  });
  derivativeToken_[k] = app::AddPlotChangedObserver([view] { view->Refresh(); });
  view->show();
}

void MainWindow::ToggleToolWindow(int id, bool shift) {
  if (id == app::kCmdCursors) {
    if (ToggleCursorsWindowView(this, [this] {
          // Closed by the command or by its own close box: the item unchecks.
          app::RemovePlotChangedObserver(cursorsToken_);
          cursorsToken_ = 0;
          RefreshActions();
        }))
      cursorsToken_ = app::AddPlotChangedObserver([] { RefreshCursorsWindowView(); });
  } else if (id == app::kCmdTemperature) {
    if (ToggleTemperatureWindowView(this, shift, [this] {
          app::RemovePlotChangedObserver(temperatureToken_);
          temperatureToken_ = 0;
          RefreshActions();
        }))
      temperatureToken_ =
          app::AddPlotChangedObserver([] { channels::GetTemperatureWindow().Refresh(); });
  } else if (id == app::kCmdDerivativeWindowX || id == app::kCmdDerivativeWindowY) {
    ToggleDerivativeWindow(id == app::kCmdDerivativeWindowY);
  } else if (id == app::kCmdPictureInfo) {
    if (pictureInfo_) {
      pictureInfo_->close();  // its closed listener forgets it
    } else {
      pictureInfo_ = new PictureInfoView(this, shift);
      pictureInfo_->SetClosedListener([this] {
        app::RemovePlotChangedObserver(pictureInfoToken_);
        pictureInfoToken_ = 0;
        pictureInfo_ = nullptr;
        RefreshActions();
      });
      PictureInfoView* view = pictureInfo_;
      pictureInfoToken_ = app::AddPlotChangedObserver([view] { view->Refresh(); });
      pictureInfo_->show();
    }
  }
  RefreshActions();
}

PictureInfoView* MainWindow::PictureInfo() const { return pictureInfo_; }

DerivativeWindowView* MainWindow::DerivativeWindow(int id) const {
  if (id == app::kCmdDerivativeWindowX) return derivative_[0];
  if (id == app::kCmdDerivativeWindowY) return derivative_[1];
  return nullptr;
}

bool MainWindow::ToolWindowOpen(int id) const {
  if (id == app::kCmdCursors) return OpenCursorsWindowView() != nullptr;
  if (id == app::kCmdTemperature) return channels::GetTemperatureWindow().IsOpen();
  if (id == app::kCmdPictureInfo) return pictureInfo_ != nullptr;
  return DerivativeWindow(id) != nullptr;
}

// --- plot host -----------------------------------------------------------------------

void MainWindow::Redraw() { app::Redraw(); }

void MainWindow::SetCursor(plot::PlotCursor cursor) {
  if (cursor == plot::PlotCursor::Zoom) plot_->setCursor(ZoomCursor());
  else plot_->unsetCursor();
}

void MainWindow::XorRubberBand(const plot::CanvasRect&) {
  // The paint event draws the band the selection state holds.
  plot_->ShowBand();
}

void MainWindow::OpenCurveProperties(unsigned curveIndex) {
  app::OpenCurveProperties(curveIndex);
  RefreshActions();
}

void MainWindow::EnableMenuItem(int, bool) {
  // The items ask the registry whenever a menu opens.
}

// --- closing and dropped files ---------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    platform::GetUi().MessageBeep(platform::MB_ICONASTERISK);
    event->accept();
    return;
  }
  // The close box is "E&xit": it asks about unsaved data first.
  event->ignore();
  QTimer::singleShot(0, this, [this] { RunCommandFromUi(app::kCmdExit); });
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths.push_back(ToCp1252(url.toLocalFile()));
  if (paths.empty()) return;
  event->acceptProposedAction();
  // Loading asks questions and shows dialogs: not inside the drop itself.
  QTimer::singleShot(0, this, [this, paths] {
    app::DropFiles(paths);
    RefreshActions();
  });
}

}  // namespace tsm::gui
