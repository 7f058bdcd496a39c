// The About box's picture: a small drawing of the I-V curve of a hysteretic
// Josephson junction, drawn into the picture control with its aspect kept.
#pragma once

class QPainter;
class QRect;

namespace tsm::gui {

// Registers the picture painter for the About box (once at start-up).
void RegisterAboutView();
// Draws the picture centred in the rectangle.
void DrawAboutPicture(QPainter& painter, const QRect& rect);

}  // namespace tsm::gui
