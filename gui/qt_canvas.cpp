#include "gui/qt_canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cstdlib>

#include "gui/cp1252.h"
#include "plot/symbols.h"

namespace tsm::gui {

using plot::CanvasPoint;
using plot::CanvasRect;

QColor ToQColor(plot::Color c) {
  return QColor(static_cast<int>(plot::RedOf(c)), static_cast<int>(plot::GreenOf(c)),
                static_cast<int>(plot::BlueOf(c)));
}

QPen ToQPen(const plot::CanvasPen& pen) {
  if (pen.style == plot::kPenNull) return QPen(Qt::NoPen);
  QPen q(ToQColor(pen.color));
  const int width = std::max(pen.width, 0);
  q.setWidth(width);  // 0: the one-pixel cosmetic pen
  q.setCosmetic(width <= 1);
  const bool thin = width <= 1;
  q.setCapStyle(thin ? Qt::FlatCap : Qt::RoundCap);
  q.setJoinStyle(thin ? Qt::MiterJoin : Qt::RoundJoin);
  // The dash lengths of the Win32 cosmetic pens, in pen widths.
  switch (pen.style) {
    case plot::kPenDash: q.setDashPattern({18, 6}); break;
    case plot::kPenDot: q.setDashPattern({3, 3}); break;
    case plot::kPenDashDot: q.setDashPattern({9, 6, 3, 6}); break;
    case plot::kPenDashDotDot: q.setDashPattern({9, 3, 3, 3, 3, 3}); break;
    default: q.setStyle(Qt::SolidLine); break;
  }
  return q;
}

QFont ToQFont(const plot::CanvasFont& font) {
  QFont q(FromCp1252(font.face));
  if (font.height != 0) q.setPixelSize(std::max(1, std::abs(font.height)));
  q.setItalic(font.italic);
  q.setWeight(font.weight > 0 ? QFont::Weight(std::clamp(font.weight, 1, 1000)) : QFont::Normal);
  q.setUnderline(font.underline);
  q.setStrikeOut(font.strikeOut);
  return q;
}

QtCanvas::QtCanvas(QPainter& painter, QPaintDevice& device)
    : painter_(painter), device_(device) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setBrush(Qt::NoBrush);
  pen_ = painter_.pen();
  font_ = painter_.font();
  pending_.reserve(4096);
}

QtCanvas::~QtCanvas() { Flush(); }

int QtCanvas::Width() const { return device_.width(); }
int QtCanvas::Height() const { return device_.height(); }
int QtCanvas::DpiX() const { return device_.logicalDpiX(); }
int QtCanvas::DpiY() const { return device_.logicalDpiY(); }
int QtCanvas::WidthMm() const { return device_.widthMM(); }
int QtCanvas::HeightMm() const { return device_.heightMM(); }
int QtCanvas::BitsPerPixel() const { return monochrome_ ? 1 : device_.depth(); }

void QtCanvas::Flush() {
  if (pending_.size() >= 2) {
    if (inCurve_) {
      if (curvePath_.isEmpty()) curvePen_ = pen_;
      curvePath_.moveTo(pending_[0]);
      for (std::size_t i = 1; i < pending_.size(); ++i) curvePath_.lineTo(pending_[i]);
    } else {
      painter_.setPen(pen_);
      painter_.drawPolyline(pending_.data(), static_cast<int>(pending_.size()));
    }
  }
  pending_.clear();
  pending_.push_back(pos_);
}

void QtCanvas::DrawCurvePath() {
  if (curvePath_.isEmpty()) return;
  painter_.setPen(curvePen_);
  painter_.setBrush(Qt::NoBrush);
  painter_.drawPath(curvePath_);
  curvePath_.clear();
}

void QtCanvas::BeginCurve(std::size_t) {
  Flush();
  inCurve_ = vector_;
}

void QtCanvas::EndCurve() {
  Flush();
  DrawCurvePath();
  inCurve_ = false;
}

void QtCanvas::SetPen(const plot::CanvasPen& pen) {
  Flush();
  // The curve's lines are all in by the time its symbols take their pen.
  if (inCurve_) DrawCurvePath();
  pen_ = ToQPen(pen);
  // The dashes of a thin pen are counted in device pixels: on a printer of
  // many pixels an inch they are stretched to the length they have on a
  // screen, else dotted lines print solid.
  const double stretch = DpiX() / 96.0;
  if (vector_ && stretch > 1.5 && pen.width <= 1 && pen_.style() == Qt::CustomDashLine) {
    QList<qreal> dashes = pen_.dashPattern();
    for (qreal& d : dashes) d *= stretch;
    pen_.setDashPattern(dashes);
  }
}

void QtCanvas::SetFont(const plot::CanvasFont& font) {
  font_ = ToQFont(font);
  textColor_ = ToQColor(font.color);
}

void QtCanvas::SetClip(const CanvasRect& r) {
  Flush();
  painter_.setClipRect(QRect(r.left, r.top, r.Width(), r.Height()));
}

void QtCanvas::ClearClip() {
  Flush();
  painter_.setClipping(false);
}

void QtCanvas::SetXorMode(bool on) {
  Flush();
  painter_.setCompositionMode(on ? QPainter::RasterOp_SourceXorDestination
                                 : QPainter::CompositionMode_SourceOver);
}

void QtCanvas::MoveTo(int x, int y) {
  if (pending_.size() >= 2) Flush();
  pos_ = QPoint(x, y);
  pending_.clear();
  pending_.push_back(pos_);
}

void QtCanvas::LineTo(int x, int y) {
  pos_ = QPoint(x, y);
  pending_.push_back(pos_);
}

void QtCanvas::Polyline(const CanvasPoint* points, std::size_t count) {
  if (count == 0) return;
  Flush();
  scratch_.resize(count);
  for (std::size_t i = 0; i < count; ++i) scratch_[i] = QPoint(points[i].x, points[i].y);
  if (count >= 2 && inCurve_) {
    if (curvePath_.isEmpty()) curvePen_ = pen_;
    curvePath_.moveTo(scratch_[0]);
    for (std::size_t i = 1; i < count; ++i) curvePath_.lineTo(scratch_[i]);
  } else if (count >= 2) {
    painter_.setPen(pen_);
    painter_.drawPolyline(scratch_.data(), static_cast<int>(count));
  }
  pos_ = scratch_.back();
  pending_.clear();
  pending_.push_back(pos_);
}

void QtCanvas::Ellipse(const CanvasRect& b) {
  Flush();
  painter_.setPen(pen_);
  painter_.setBrush(Qt::NoBrush);
  // A stroked QRect covers its size plus the pen: right and bottom stay out.
  painter_.drawEllipse(QRect(b.left, b.top, b.Width() - 1, b.Height() - 1));
}

void QtCanvas::Polygon(const CanvasPoint* points, std::size_t count) {
  if (count == 0) return;
  Flush();
  scratch_.resize(count);
  for (std::size_t i = 0; i < count; ++i) scratch_[i] = QPoint(points[i].x, points[i].y);
  painter_.setPen(pen_);
  painter_.setBrush(Qt::NoBrush);
  painter_.drawPolygon(scratch_.data(), static_cast<int>(count));
}

void QtCanvas::SetPixel(int x, int y, plot::Color color) {
  Flush();
  painter_.fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

void QtCanvas::FillRect(const CanvasRect& r, plot::Color color) {
  Flush();
  painter_.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), ToQColor(color));
}

void QtCanvas::DrawText(const std::string& text, const CanvasRect& b, unsigned format) {
  Flush();
  int flags = Qt::TextSingleLine;
  if (format & plot::kTextRight) flags |= Qt::AlignRight;
  else if (format & plot::kTextCenter) flags |= Qt::AlignHCenter;
  else flags |= Qt::AlignLeft;
  flags |= (format & plot::kTextVCenter) ? Qt::AlignVCenter : Qt::AlignTop;
  const QRect box(b.left, b.top, b.Width(), b.Height());
  painter_.save();
  painter_.setClipRect(box, painter_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  painter_.setFont(font_);
  painter_.setPen(textColor_);
  painter_.drawText(box, flags, FromCp1252(text));
  painter_.restore();
}

plot::TextSize QtCanvas::TextExtent(const std::string& text) {
  const QFontMetrics metrics(font_, &device_);
  return {metrics.horizontalAdvance(FromCp1252(text)), metrics.height()};
}

bool QtCanvas::StampIntoImage(const std::vector<QPoint>& offsets, plot::Color color,
                              const std::vector<CanvasPoint>& positions) {
  // Writing the pixels ourselves is only the same as painting them when the
  // painter would put exactly the colour there: an image of 32-bit pixels
  // that nobody shares (so its bits are the painter's), no transform, plain
  // source-over and a rectangular clip.
  if (device_.devType() != QInternal::Image) return false;
  QImage& image = static_cast<QImage&>(device_);
  const QImage::Format format = image.format();
  if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
      format != QImage::Format_ARGB32_Premultiplied)
    return false;
  if (!image.isDetached() || !painter_.transform().isIdentity() ||
      painter_.compositionMode() != QPainter::CompositionMode_SourceOver)
    return false;
  QRect clip = image.rect();
  if (painter_.hasClipping()) {
    const QRegion region = painter_.clipRegion();
    if (region.rectCount() != 1) return false;
    clip &= region.boundingRect();
  }
  if (clip.isEmpty()) return true;
  const QRgb value = ToQColor(color).rgb() | 0xFF000000u;
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  const int x0 = clip.left(), x1 = clip.right(), y0 = clip.top(), y1 = clip.bottom();
  // A stamp wholly inside the clip (nearly every one) is written without a
  // test per pixel, through the pixels' places relative to its centre.
  int left = 0, right = 0, top = 0, bottom = 0;
  std::vector<qsizetype> places;
  places.reserve(offsets.size());
  for (const QPoint& o : offsets) {
    left = std::min(left, o.x());
    right = std::max(right, o.x());
    top = std::min(top, o.y());
    bottom = std::max(bottom, o.y());
    places.push_back(o.y() * stride + o.x() * static_cast<qsizetype>(sizeof(QRgb)));
  }
  for (const CanvasPoint& p : positions) {
    if (p.x + left >= x0 && p.x + right <= x1 && p.y + top >= y0 && p.y + bottom <= y1) {
      uchar* centre = bits + p.y * stride + p.x * static_cast<qsizetype>(sizeof(QRgb));
      for (const qsizetype place : places) *reinterpret_cast<QRgb*>(centre + place) = value;
      continue;
    }
    for (const QPoint& o : offsets) {
      const int x = p.x + o.x(), y = p.y + o.y();
      if (x < x0 || x > x1 || y < y0 || y > y1) continue;
      reinterpret_cast<QRgb*>(bits + y * stride)[x] = value;
    }
  }
  return true;
}

void QtCanvas::StampSymbols(int symbol, int size, const plot::CanvasPen& pen,
                            const std::vector<CanvasPoint>& positions) {
  if (positions.empty() || size <= 0 || symbol == plot::kSymbolNone) return;
  if (vector_ || symbol < 0 || symbol >= plot::kSymbolCount) {
    // One shape a position (a bad symbol is reported there).
    Flush();
    if (inCurve_) DrawCurvePath();
    plot::Canvas::StampSymbols(symbol, size, pen, positions);
    return;
  }
  Flush();
  // Draw the symbol once into a stamp and note the pixels it set; Qt's
  // aliased outlines at whole-pixel positions look the same everywhere.
  std::vector<QPoint> offsets;
  if (symbol == plot::kSymbolPixel) {
    offsets.push_back(QPoint(0, 0));
  } else {
    const int half = 2 * size + 2;
    QImage stamp(2 * half + 1, 2 * half + 1, QImage::Format_ARGB32_Premultiplied);
    stamp.fill(Qt::transparent);
    {
      QPainter sp(&stamp);
      QtCanvas sc(sp, stamp);
      plot::CanvasPen opaque = pen;
      opaque.color = plot::kBlack;
      plot::DrawSymbol(sc, half, half, symbol, size, opaque);
    }
    for (int y = 0; y < stamp.height(); ++y) {
      const QRgb* line = reinterpret_cast<const QRgb*>(stamp.constScanLine(y));
      for (int x = 0; x < stamp.width(); ++x)
        if (qAlpha(line[x]) != 0) offsets.push_back(QPoint(x - half, y - half));
    }
  }
  if (offsets.empty()) return;
  if (StampIntoImage(offsets, pen.color, positions)) return;
  std::vector<QPoint> points;
  points.reserve(offsets.size() * positions.size());
  for (const CanvasPoint& p : positions)
    for (const QPoint& o : offsets) points.push_back(QPoint(p.x + o.x(), p.y + o.y()));
  QPen dot(ToQColor(pen.color));
  dot.setWidth(0);
  dot.setCosmetic(true);
  painter_.setPen(dot);
  painter_.drawPoints(points.data(), static_cast<int>(points.size()));
}

}  // namespace tsm::gui
