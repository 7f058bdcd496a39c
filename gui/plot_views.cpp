#include "gui/plot_views.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <optional>

#include "gui/dialog_view.h"
#include "gui/qt_canvas.h"
#include "plot/gfont.h"
#include "plot/gpen.h"
#include "plot/style_dialog.h"

namespace tsm::gui {

namespace {
// A colour swatch: the control's text is the colour as "0x%06X".
void PaintSwatch(QPainter& painter, const QRect& rect, const platform::DialogModel& model,
                 int id) {
  const QColor colour = ToQColor(plot::ColorOfSwatchText(model.GetText(id)));
  painter.fillRect(rect.adjusted(1, 1, -1, -1), colour);
  painter.setPen(Qt::black);
  painter.drawRect(rect.adjusted(0, 0, -1, -1));
}
}  // namespace

void RegisterPlotViews() {
  RegisterCustomPainter(
      plot::kStyleDialogId, plot::kStyleColorSwatch,
      [](QPainter& p, const QRect& r, const platform::DialogModel& m) {
        PaintSwatch(p, r, m, plot::kStyleColorSwatch);
      },
      QSize(60, 20));
  RegisterCustomPainter(
      plot::kPenDialogId, plot::kPenColorSwatch,
      [](QPainter& p, const QRect& r, const platform::DialogModel& m) {
        PaintSwatch(p, r, m, plot::kPenColorSwatch);
      },
      QSize(60, 20));
  plot::SetScreenDpiProvider([]() -> std::optional<int> {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return std::nullopt;
    return static_cast<int>(screen->logicalDotsPerInchY() + 0.5);
  });
}

}  // namespace tsm::gui
