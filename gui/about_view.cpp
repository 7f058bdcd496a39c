#include "gui/about_view.h"

#include <QPainter>
#include <QPainterPath>
#include <QRect>

#include <algorithm>

#include "gui/dialog_view.h"
#include "shell/about.h"

namespace tsm::gui {

namespace {
// The drawing's own coordinates: a 160 x 120 box, y pointing up from the
// middle line, so the curve reads like a plot.
constexpr double kWidth = 160;
constexpr double kHeight = 120;
}  // namespace

void DrawAboutPicture(QPainter& p, const QRect& rect) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect, QColor(255, 255, 248));
  // Scale uniformly and centre along the longer side.
  const double scale = std::min(rect.width() / kWidth, rect.height() / kHeight);
  p.translate(rect.x() + (rect.width() - kWidth * scale) / 2,
              rect.y() + (rect.height() - kHeight * scale) / 2);
  p.scale(scale, scale);
  p.translate(kWidth / 2, kHeight / 2);
  p.scale(1, -1);

  // Axes: current to the right, voltage up.
  QPen axis(QColor(90, 90, 90));
  axis.setWidthF(0.8);
  axis.setCosmetic(false);
  p.setPen(axis);
  p.drawLine(QPointF(-72, 0), QPointF(72, 0));
  p.drawLine(QPointF(0, -52), QPointF(0, 52));
  p.drawLine(QPointF(72, 0), QPointF(68, 2));
  p.drawLine(QPointF(72, 0), QPointF(68, -2));
  p.drawLine(QPointF(0, 52), QPointF(2, 48));
  p.drawLine(QPointF(0, 52), QPointF(-2, 48));

  // The sweep up: zero voltage up to the critical current, a jump to the
  // gap voltage, then the resistive branch.
  const double ic = 30, gap = 24, slope = 0.55;
  QPen up(QColor(0, 70, 200));
  up.setWidthF(2.0);
  p.setPen(up);
  QPainterPath sweepUp;
  sweepUp.moveTo(-ic, 0);
  sweepUp.lineTo(ic, 0);
  sweepUp.moveTo(ic, gap);
  sweepUp.lineTo(66, gap + (66 - ic) * slope);
  p.drawPath(sweepUp);
  // The way back: down the resistive branch to the return current, then
  // back to zero voltage (the hysteresis).
  QPen down(QColor(200, 40, 40));
  down.setWidthF(1.4);
  down.setStyle(Qt::DashLine);
  p.setPen(down);
  const double ir = 12;
  QPainterPath sweepDown;
  sweepDown.moveTo(ic, gap);
  sweepDown.cubicTo(QPointF(ir + 8, gap - 1), QPointF(ir, gap - 6), QPointF(ir, 8));
  sweepDown.lineTo(ir, 0);
  // The same, mirrored, for negative currents.
  sweepDown.moveTo(-ic, -gap);
  sweepDown.cubicTo(QPointF(-ir - 8, -gap + 1), QPointF(-ir, -gap + 6), QPointF(-ir, -8));
  sweepDown.lineTo(-ir, 0);
  p.drawPath(sweepDown);
  p.setPen(up);
  QPainterPath negative;
  negative.moveTo(-ic, -gap);
  negative.lineTo(-66, -gap - (66 - ic) * slope);
  p.drawPath(negative);
  // Jumps drawn thin.
  QPen jump(QColor(0, 70, 200));
  jump.setWidthF(0.6);
  jump.setStyle(Qt::DotLine);
  p.setPen(jump);
  p.drawLine(QPointF(ic, 0), QPointF(ic, gap));
  p.drawLine(QPointF(-ic, 0), QPointF(-ic, -gap));

  // Axis names, upright.
  p.scale(1, -1);
  QFont font = p.font();
  font.setPointSizeF(7);
  p.setFont(font);
  p.setPen(QColor(60, 60, 60));
  p.drawText(QPointF(60, 11), "I");
  p.drawText(QPointF(4, -46), "V");
  p.restore();
}

void RegisterAboutView() {
  RegisterCustomPainter(
      shell::kAboutDialogId, shell::kAboutPicture,
      [](QPainter& p, const QRect& r, const platform::DialogModel&) { DrawAboutPicture(p, r); },
      QSize(160, 120));
}

}  // namespace tsm::gui
