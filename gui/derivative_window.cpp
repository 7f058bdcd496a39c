#include "gui/derivative_window.h"

#include <QCloseEvent>
#include <QImage>
#include <QPainter>

#include "curves/state.h"
#include "gui/qt_canvas.h"
#include "plot/draw.h"

namespace tsm::gui {

DerivativeWindowView::DerivativeWindowView(QWidget* owner, math::DerivativeAxis axis)
    : QWidget(owner, Qt::Tool), model_(axis) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(axis == math::DerivativeAxis::X ? "derivativeX" : "derivativeY");
  setWindowTitle(model_.Caption());
  resize(420, 320);
  model_.Refresh(curves::FamilyForPlot());
}

DerivativeWindowView::~DerivativeWindowView() = default;

void DerivativeWindowView::Refresh() {
  model_.Refresh(curves::FamilyForPlot());
  stale_ = true;
  update();
}

QImage DerivativeWindowView::Render() const {
  QImage picture(size(), QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  QtCanvas canvas(painter, picture);
  const plot::CanvasRect area{0, 0, width(), height()};
  // The window's own view: always scaled to its family, never the main
  // window's zoom.
  plot::PlotView view;
  if (plot::Draw(canvas, area, model_.Family(), view) == plot::kNothingDrawn)
    plot::DrawCardReport(canvas, area, kNoDerivativeText);
  canvas.Flush();
  return picture;
}

void DerivativeWindowView::paintEvent(QPaintEvent*) {
  if (stale_ || picture_.size() != size()) {
    picture_ = Render();
    stale_ = false;
  }
  QPainter painter(this);
  painter.drawImage(0, 0, picture_);
}

void DerivativeWindowView::closeEvent(QCloseEvent* event) {
  closed_.Tell();
  event->accept();
}

}  // namespace tsm::gui
