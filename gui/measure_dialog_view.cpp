#include "gui/measure_dialog_view.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>

#include "gui/cp1252.h"
#include "gui/dialog_view.h"
#include "measure/measure_dialog.h"

namespace tsm::gui {

namespace {

QColor ColorOf(std::uint32_t colorref) {
  return QColor(colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF);
}

constexpr measure::DialogTemplate kTemplates[] = {
    measure::DialogTemplate::Common, measure::DialogTemplate::IVF,
    measure::DialogTemplate::Compact, measure::DialogTemplate::Temperature,
    measure::DialogTemplate::Vtime,
};

}  // namespace

QImage RenderIndicator(const measure::Indicator& indicator, const QSize& size) {
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  const QRect all = image.rect();
  p.setPen(ColorOf(indicator.textColor));
  p.drawText(all, Qt::AlignCenter | Qt::TextSingleLine, FromCp1252(indicator.text));
  // XOR over the text: where the text is, the bar shows in another colour,
  // so the text reads on the bar and on the rest alike.
  const int fill = measure::IndicatorFill(indicator, all.width());
  p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  if (fill > 0) p.fillRect(QRect(0, 0, fill, all.height()), ColorOf(indicator.barColor));
  if (fill < all.width())
    p.fillRect(QRect(fill, 0, all.width() - fill, all.height()), ColorOf(indicator.secondColor));
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  p.setPen(ColorOf(indicator.frameColor));
  p.setBrush(Qt::NoBrush);
  p.drawRect(all.adjusted(0, 0, -1, -1));
  p.end();
  return image;
}

void PaintIndicator(QPainter& painter, const QRect& rect, const measure::Indicator& indicator) {
  painter.drawImage(rect.topLeft(), RenderIndicator(indicator, rect.size()));
}

void RegisterMeasureDialogView() {
  for (measure::DialogTemplate t : kTemplates) {
    const int resource = measure::DialogResourceOf(t);
    const measure::TemplateLayout layout = measure::LayoutOf(t);
    auto painter = [](int id) {
      return [id](QPainter& p, const QRect& rect, const platform::DialogModel& model) {
        const auto* host = dynamic_cast<const measure::IndicatorHost*>(&model);
        PaintIndicator(p, rect, host ? host->GetIndicator(id) : measure::Indicator{});
      };
    };
    RegisterCustomPainter(resource, measure::kIdProgressBar, painter(measure::kIdProgressBar),
                          QSize(220, 18));
    for (int r = 0; r < layout.voltageRows; ++r) {
      const int id = measure::kIdVoltageIndicator + r;
      RegisterCustomPainter(resource, id, painter(id), QSize(160, 18));
    }
  }
}

}  // namespace tsm::gui
