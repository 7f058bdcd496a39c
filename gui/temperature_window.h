// The Temperature tool window on the screen: a small window owned by the
// main window that shows the channels::TemperatureWindow model (the
// temperature text and, beside it, the vertical bar) and tells the model
// when it is minimised, restored or closed. Opened with Shift held it is the
// compact form: the text only.
#pragma once

#include <QWidget>

#include <functional>

#include "channels/temperature_window.h"

class QLabel;

namespace tsm::gui {

// The vertical bar: grey background, the blue part from the bottom up.
class TemperatureBar : public QWidget {
 public:
  explicit TemperatureBar(QWidget* parent);
  void SetFraction(double fraction);
  double Fraction() const { return fraction_; }
  QSize sizeHint() const override { return QSize(24, 120); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double fraction_ = 0.0;
};

class TemperatureWindowView : public QWidget {
 public:
  TemperatureWindowView(channels::TemperatureWindow& model, QWidget* owner, bool compact);
  ~TemperatureWindowView() override;

  QLabel* TextLabel() const { return text_; }
  TemperatureBar* Bar() const { return bar_; }
  // Shows the model's text, title and bar.
  void Sync();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  channels::TemperatureWindow& model_;
  QLabel* text_ = nullptr;
  TemperatureBar* bar_ = nullptr;
};

// Command 134: closes the window when it is open, else opens it owned by
// `owner` (compact when Shift is held). `closed` runs whenever the window
// goes, by the command or by its own close box (the menu item's check).
// True when the window is open afterwards.
bool ToggleTemperatureWindowView(QWidget* owner, bool shiftHeld,
                                 std::function<void()> closed = {});
// The open view, or null.
TemperatureWindowView* OpenTemperatureWindowView();

}  // namespace tsm::gui
