#include "channels/temperature_window.h"

#include <algorithm>
#include <cmath>

#include "channels/thermometer.h"
#include "shell/errors.h"

namespace tsm::channels {

using namespace tsm::platform;

double TemperatureBarFraction(double t, double low, double high) {
  if (!(t >= 0)) return 0.0;
  if (std::fabs(high - low) < kBarMinimumSpan) return 0.5;
  if (high < low) std::swap(low, high);
  if (t <= low) return 0.0;
  if (t >= high) return 1.0;
  return (t - low) / (high - low);
}

bool TemperatureWindow::Open(WindowHandle owner, bool shiftHeld) {
  if (open_) return false;
  open_ = true;
  minimised_ = false;
  dialogId_ = shiftHeld ? kTemperatureDialogShiftId : kTemperatureDialogId;
  title_ = kTemperatureTitle;
  timer_ = GetUi().StartTimer(kTemperatureRefreshMs, true, [this] { Refresh(); });
  if (timer_ == 0)
    shell::ShowMessage(owner ? owner : shell::MainWindow(), kTimerFailedText,
                       kTimerFailedCaption, MB_OK);
  Refresh();
  return true;
}

void TemperatureWindow::Close() {
  if (!open_) return;
  if (timer_ != 0) GetUi().StopTimer(timer_);
  timer_ = 0;
  open_ = false;
  minimised_ = false;
  title_ = kTemperatureTitle;
  if (closed_) closed_();
}

void TemperatureWindow::Refresh() {
  if (!open_) return;
  kelvin_ = source_ ? source_() : TryTemperature();
  text_ = FormatTemperature(kelvin_);
  const std::vector<CalibrationEntry> table = CalibrationTable();
  barLow_ = barHigh_ = 0.0;
  if (!table.empty()) {
    const auto [lo, hi] = std::minmax_element(
        table.begin(), table.end(),
        [](const CalibrationEntry& a, const CalibrationEntry& b) { return a.t < b.t; });
    barLow_ = lo->t;
    barHigh_ = hi->t;
  }
  UpdateTitle();
  Notify();
}

void TemperatureWindow::SetMinimised(bool minimised) {
  minimised_ = minimised;
  UpdateTitle();
  Notify();
}

void TemperatureWindow::UpdateTitle() { title_ = minimised_ ? text_ : kTemperatureTitle; }

namespace {
struct TemperatureWindowState {
  TemperatureWindow window;
};

TemperatureWindowState& State() {
  static TemperatureWindowState state;
  return state;
}
}  // namespace

TemperatureWindow& GetTemperatureWindow() { return State().window; }

bool ToggleTemperatureWindow(WindowHandle owner, bool shiftHeld) {
  TemperatureWindow& w = GetTemperatureWindow();
  if (w.IsOpen()) {
    w.Close();
    return false;
  }
  w.Open(owner, shiftHeld);
  return true;
}

void ResetTemperatureWindow() {
  TemperatureWindow& w = GetTemperatureWindow();
  w.Close();
  w.SetChangeListener({});
  w.SetClosedListener({});
  w.SetSource({});
}

}  // namespace tsm::channels
