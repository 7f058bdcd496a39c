// The plot's drawing surface over a QPainter: a window's backing store, a
// QImage or a printer page. Consecutive lines go out as one polyline and
// batches of symbols as one set of points stamped from a symbol drawn once,
// which keeps million-point curves fast and the picture the same.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPen>
#include <QPoint>

#include <vector>

#include "plot/canvas.h"

class QPainter;
class QPaintDevice;

namespace tsm::gui {

QColor ToQColor(plot::Color color);
// The QPen of a canvas pen (GDI-like dash patterns, no pen for style 5).
QPen ToQPen(const plot::CanvasPen& pen);
QFont ToQFont(const plot::CanvasFont& font);

class QtCanvas : public plot::Canvas {
 public:
  // The painter must be active on the device for the canvas's lifetime.
  QtCanvas(QPainter& painter, QPaintDevice& device);
  ~QtCanvas() override;
  QtCanvas(const QtCanvas&) = delete;
  QtCanvas& operator=(const QtCanvas&) = delete;

  int Width() const override;
  int Height() const override;
  int DpiX() const override;
  int DpiY() const override;
  int WidthMm() const override;
  int HeightMm() const override;
  int BitsPerPixel() const override;

  void SetPen(const plot::CanvasPen& pen) override;
  void SetFont(const plot::CanvasFont& font) override;
  void SetClip(const plot::CanvasRect& rect) override;
  void ClearClip() override;
  void SetXorMode(bool on) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  plot::CanvasPoint CurrentPosition() const override { return {pos_.x(), pos_.y()}; }
  void Ellipse(const plot::CanvasRect& box) override;
  void Polygon(const plot::CanvasPoint* points, std::size_t count) override;
  void SetPixel(int x, int y, plot::Color color) override;
  void FillRect(const plot::CanvasRect& rect, plot::Color color) override;
  void DrawText(const std::string& text, const plot::CanvasRect& box, unsigned format) override;
  plot::TextSize TextExtent(const std::string& text) override;
  void Polyline(const plot::CanvasPoint* points, std::size_t count) override;
  void StampSymbols(int symbol, int size, const plot::CanvasPen& pen,
                    const std::vector<plot::CanvasPoint>& positions) override;

  // Draws the lines still held back.
  void Flush();

  // A device that shows colours in shades of one ink (a black-and-white
  // printer): the canvas reports one bit per pixel, so the plot draws in
  // black unless colour is enforced.
  void SetMonochrome(bool monochrome) { monochrome_ = monochrome; }
  // A vector device (printer, PDF, SVG): symbols are drawn as shapes rather
  // than stamped pixel by pixel, and the lines of each curve go out as one
  // path.
  void SetVectorOutput(bool vector) { vector_ = vector; }

  void BeginCurve(std::size_t index) override;
  void EndCurve() override;

 private:
  // StampSymbols' fast path straight into a QImage; false when the painter
  // must do it.
  bool StampIntoImage(const std::vector<QPoint>& offsets, plot::Color color,
                      const std::vector<plot::CanvasPoint>& positions);

  // The lines of the curve being drawn (vector output), and their pen.
  void DrawCurvePath();

  QPainter& painter_;
  QPaintDevice& device_;
  bool monochrome_ = false;
  bool vector_ = false;
  bool inCurve_ = false;
  QPainterPath curvePath_;
  QPen curvePen_;
  QPen pen_;
  QFont font_;
  QColor textColor_;
  QPoint pos_;
  std::vector<QPoint> pending_;  // the polyline since the last MoveTo
  std::vector<QPoint> scratch_;
};

}  // namespace tsm::gui
