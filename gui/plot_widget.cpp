#include "gui/plot_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "curves/state.h"
#include "gui/qt_canvas.h"
#include "platform/ui.h"
#include "plot/draw.h"
#include "plot/selection.h"
#include "plot/view.h"
#include "app/startup.h"

namespace tsm::gui {

PlotWidget::PlotWidget(QWidget* parent) : QWidget(parent) {
  setObjectName("plot");
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(1, 1);
}

void PlotWidget::Render() {
  stale_ = true;
  RenderPicture();
  repaint();
}

void PlotWidget::RenderPicture() {
  if (!stale_ && picture_.size() == size()) return;
  stale_ = false;
  platform::BusyCursor busy;
  picture_ = QImage(size(), QImage::Format_RGB32);
  picture_.fill(Qt::white);
  QPainter painter(&picture_);
  QtCanvas canvas(painter, picture_);
  const plot::CanvasRect area{0, 0, width(), height()};
  lastDraw_ = plot::Draw(canvas, area, curves::FamilyForPlot(), plot::GetPlotView());
  if (lastDraw_ == plot::kNothingDrawn) plot::DrawCardReport(canvas, area, app::CardReportText());
  canvas.Flush();
  plot::RefreshReadout();
}

void PlotWidget::paintEvent(QPaintEvent*) {
  RenderPicture();
  QPainter painter(this);
  painter.drawImage(0, 0, picture_);
  if (const auto band = plot::BandToRepaint()) {
    QtCanvas canvas(painter, *this);
    plot::DrawRubberBand(canvas, *band);
    canvas.Flush();
  }
}

void PlotWidget::resizeEvent(QResizeEvent* event) {
  stale_ = true;
  QWidget::resizeEvent(event);
}

void PlotWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  plot::OnMouseMove(p.x(), p.y());
}

void PlotWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton) plot::OnLeftButtonDown(p.x(), p.y());
  else if (event->button() == Qt::RightButton) plot::OnRightButtonDown(p.x(), p.y());
}

void PlotWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton) plot::OnLeftButtonUp(p.x(), p.y());
  else if (event->button() == Qt::RightButton) plot::OnRightButtonUp(p.x(), p.y());
}

void PlotWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton) plot::OnLeftDoubleClick(p.x(), p.y());
  else if (event->button() == Qt::RightButton) plot::OnRightButtonDown(p.x(), p.y());
}

}  // namespace tsm::gui
