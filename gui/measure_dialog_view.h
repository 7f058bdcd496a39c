// The measurement dialog's Qt side: the generic dialog view lays out the
// model's controls; this adds the painter of its Indicator bars (progress
// and voltage rows): black background, the text centred, the bar and its
// remainder laid over it with an XOR raster operation so the text stays
// readable on both, then the frame; drawn into an image first, so a bar
// repainted every 250 ms never flickers.
#pragma once

#include "measure/indicator.h"

class QImage;
class QPainter;
class QRect;
class QSize;

namespace tsm::gui {

// Registers the Indicator painter for every control that holds one in the
// five measurement dialog templates (once at start-up).
void RegisterMeasureDialogView();
// The picture of one Indicator of the given size.
QImage RenderIndicator(const measure::Indicator& indicator, const QSize& size);
// Paints an Indicator into the rectangle (double-buffered).
void PaintIndicator(QPainter& painter, const QRect& rect, const measure::Indicator& indicator);

}  // namespace tsm::gui
