// The plot in the main window's client area: the curve family the plot
// draws (curves::FamilyForPlot), rendered once per change into an image that
// the paint event shows, with the rubber band on top; the card report in
// blue when there is nothing to draw. Mouse buttons and moves go to the
// plot's selection handling in device pixels of this widget.
#pragma once

#include <QImage>
#include <QWidget>

namespace tsm::gui {

class PlotWidget : public QWidget {
 public:
  explicit PlotWidget(QWidget* parent);

  // Renders the plot again now and repaints (the redraw operation).
  void Render();
  // Repaints the stored picture (the rubber band moved).
  void ShowBand() { update(); }
  // What the last rendering returned (plot::kNothingDrawn or curves drawn).
  int LastDrawResult() const { return lastDraw_; }
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void RenderPicture();

  QImage picture_;
  bool stale_ = true;
  int lastDraw_ = 0;
};

}  // namespace tsm::gui
