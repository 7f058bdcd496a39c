// The Temperature tool window as a model: once a second it reads the
// thermometer, shows the temperature as text and as a vertical bar, and
// while minimised carries the text in its title. gui/ draws it; tests drive
// it directly. At most one exists (command 134 toggles it).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/ui.h"

namespace tsm::channels {

inline constexpr int kTemperatureCommand = 134;
inline constexpr int kTemperatureDialogId = 1568;
inline constexpr int kTemperatureDialogShiftId = 173;  // opened with Shift held
inline constexpr unsigned kTemperatureRefreshMs = 1000;
inline constexpr const char* kTemperatureTitle = "Temperature";
inline constexpr const char* kTimerFailedText = "Can't set timer";
inline constexpr const char* kTimerFailedCaption = "Temperature--error";
// Colours as COLORREF (0x00BBGGRR).
inline constexpr std::uint32_t kBarBackground = 0x00C0C0C0;  // RGB(192, 192, 192)
inline constexpr std::uint32_t kBarColour = 0x00FF8000;      // RGB(0, 128, 255)
// Limits closer than this put the bar at half height.
inline constexpr double kBarMinimumSpan = 0.01;

// The filled fraction 0..1 of the bar for temperature t between the limits:
// 0 below the lower one, 1 above the upper one, 0.5 when the limits are
// closer than 0.01 K. A failed reading (negative t) leaves the bar empty.
double TemperatureBarFraction(double t, double low, double high);

class TemperatureWindow {
 public:
  using Listener = std::function<void()>;

  // Starts the 1000 ms timer and shows a first reading. When no timer can
  // be had, "Can't set timer" is shown and the window stays open with that
  // one reading. False when already open.
  bool Open(platform::WindowHandle owner, bool shiftHeld = false);
  // Stops the timer and tells the closed listener (the main window unchecks
  // its menu item). Nothing when not open.
  void Close();
  bool IsOpen() const { return open_; }
  // The dialog resource of the open window: 1568, or 173 when opened with Shift.
  int DialogId() const { return dialogId_; }

  // One refresh: the timer's tick and the plot-changed notification.
  void Refresh();
  void SetMinimised(bool minimised);
  bool Minimised() const { return minimised_; }

  double Kelvin() const { return kelvin_; }
  const std::string& Text() const { return text_; }
  // "Temperature", or the text while minimised.
  const std::string& Title() const { return title_; }
  // The bar's limits follow the calibration table: its lowest and highest
  // temperature (0..0 while the table is empty, which gives the half bar).
  double BarLow() const { return barLow_; }
  double BarHigh() const { return barHigh_; }
  double BarFraction() const { return TemperatureBarFraction(kelvin_, barLow_, barHigh_); }

  // Called after every refresh and title change (the view repaints).
  void SetChangeListener(Listener listener) { changed_ = std::move(listener); }
  void SetClosedListener(Listener listener) { closed_ = std::move(listener); }

  // Reads the temperature; by default TryTemperature (tests put a fake).
  using Source = std::function<double()>;
  void SetSource(Source source) { source_ = std::move(source); }

 private:
  void UpdateTitle();
  void Notify() {
    if (changed_) changed_();
  }

  bool open_ = false;
  bool minimised_ = false;
  int dialogId_ = kTemperatureDialogId;
  platform::TimerId timer_ = 0;
  double kelvin_ = -1.0;
  std::string text_;
  std::string title_ = kTemperatureTitle;
  double barLow_ = 0.0;
  double barHigh_ = 0.0;
  Listener changed_;
  Listener closed_;
  Source source_;
};

// The program's one Temperature window.
TemperatureWindow& GetTemperatureWindow();
// Command 134: closes the window when open, else opens it. True when it is
// open afterwards (the menu item's check).
bool ToggleTemperatureWindow(platform::WindowHandle owner, bool shiftHeld = false);
// Closes the window and forgets its listeners and source (test fixtures).
void ResetTemperatureWindow();

}  // namespace tsm::channels
