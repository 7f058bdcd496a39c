// A derivative window on the screen (commands 180 and 181): a tool window
// owned by the main window that draws its working family (the multi-point
// derivative of the plotted family, against X or against Y) with the plot
// code, scaled to its own data. Refresh builds the family anew.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

#include "gui/closed_listener.h"
#include "math/derivative.h"

namespace tsm::gui {

class DerivativeWindowView : public QWidget {
 public:
  DerivativeWindowView(QWidget* owner, math::DerivativeAxis axis);
  ~DerivativeWindowView() override;

  const math::DerivativeWindowModel& Model() const { return model_; }
  // Builds the family from the plotted one and repaints.
  void Refresh();
  // The picture at the window's size, as the window paints it.
  QImage Render() const;
  void SetClosedListener(std::function<void()> closed) { closed_.Set(std::move(closed)); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  math::DerivativeWindowModel model_;
  ClosedListener closed_;
  // The picture painted last: drawn again only when the family or the size
  // changed, not on every expose.
  QImage picture_;
  bool stale_ = true;
};

// The text drawn when the window has nothing to show.
inline constexpr const char* kNoDerivativeText =
    "No curve has enough points in one sweep direction for the derivative window.";

}  // namespace tsm::gui
