#include "gui/temperature_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>

#include "gui/cp1252.h"

namespace tsm::gui {

namespace {
QColor FromColorRef(std::uint32_t c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The one view on the screen; QPointer forgets it when Qt deletes it.
QPointer<TemperatureWindowView>& View() {
  static QPointer<TemperatureWindowView> view;
  return view;
}
}  // namespace

TemperatureBar::TemperatureBar(QWidget* parent) : QWidget(parent) {
  setMinimumSize(16, 60);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

void TemperatureBar::SetFraction(double fraction) {
  fraction = std::clamp(fraction, 0.0, 1.0);
  if (fraction == fraction_) return;
  fraction_ = fraction;
  update();
}

void TemperatureBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  p.fillRect(r, FromColorRef(channels::kBarBackground));
  const int filled = static_cast<int>(std::lround(r.height() * fraction_));
  if (filled > 0)
    p.fillRect(QRect(r.left(), r.bottom() - filled + 1, r.width(), filled),
               FromColorRef(channels::kBarColour));
}

TemperatureWindowView::TemperatureWindowView(channels::TemperatureWindow& model, QWidget* owner,
                                             bool compact)
    : QWidget(owner, Qt::Tool), model_(model) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(FromCp1252(channels::kTemperatureTitle));
  auto* layout = new QHBoxLayout(this);
  text_ = new QLabel(this);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(compact ? 10 : 14);
  font.setBold(!compact);
  text_->setFont(font);
  text_->setMinimumWidth(text_->fontMetrics().horizontalAdvance(QStringLiteral("  0000.000 K")));
  layout->addWidget(text_);
  if (!compact) {
    bar_ = new TemperatureBar(this);
    layout->addWidget(bar_);
  }
  model_.SetChangeListener([this] { Sync(); });
}

TemperatureWindowView::~TemperatureWindowView() { model_.SetChangeListener({}); }

void TemperatureWindowView::Sync() {
  text_->setText(FromCp1252(model_.Text()));
  setWindowTitle(FromCp1252(model_.Title()));
  if (bar_) bar_->SetFraction(model_.BarFraction());
}

void TemperatureWindowView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) model_.SetMinimised(isMinimized());
  QWidget::changeEvent(event);
}

void TemperatureWindowView::closeEvent(QCloseEvent* event) {
  // The close box: the model stops its timer and tells the main window.
  model_.SetChangeListener({});
  if (model_.IsOpen()) model_.Close();
  event->accept();
}

bool ToggleTemperatureWindowView(QWidget* owner, bool shiftHeld, std::function<void()> closed) {
  channels::TemperatureWindow& model = channels::GetTemperatureWindow();
  if (model.IsOpen()) {
    model.Close();  // the closed listener closes the view
    return false;
  }
  auto* view = new TemperatureWindowView(model, owner, shiftHeld);
  View() = view;
  model.SetClosedListener([closed] {
    if (TemperatureWindowView* v = View()) {
      View() = nullptr;
      v->close();
    }
    if (closed) closed();
  });
  model.Open(nullptr, shiftHeld);
  view->Sync();
  view->show();
  return true;
}

TemperatureWindowView* OpenTemperatureWindowView() { return View(); }

}  // namespace tsm::gui
