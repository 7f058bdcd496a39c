// The live rows of the measurement dialog (every current and voltage, the
// temperature) refreshed by its timer, and the display services the
// routines call from the worker.
#include "measure/measure_dialog.h"

#include <mutex>
#include <optional>
#include "channels/averaging.h"
#include "channels/thermometer.h"
#include "channels/virtual_channels.h"
#include "curves/live.h"
#include "daq/cards.h"
#include "measure/measure_dialog_internal.h"
#include "measure/services.h"
#include "measure/state.h"
#include "shell/phyunits.h"
#include "shell/stringex.h"

namespace tsm::measure {

using namespace dialog_detail;
using platform::Control;
using platform::ControlKind;

void MeasureDialog::Refresh() {
  if (!workerStarted_.load()) {
    SyncTyped(g1_, true);
    SyncTyped(g2_, true);
  }
  RefreshCurrentRows(true);
  RefreshCurrentBars();
  RefreshVoltageRows(true);
  // The plot follows the curves the worker publishes, at this period.
  if (workerStarted_.load() && curves::UpdateLiveSnapshot()) {
    if (const auto& hook = GetMeasureState().livePlotChanged) hook();
  }
  if (layout_.temperature && IsVisible(kIdTemperature)) {
    const std::string t = channels::FormatTemperature(channels::TryTemperature());
    if (GetText(kIdTemperature) != t) SetText(kIdTemperature, t);
  }
}

void MeasureDialog::RefreshCurrentRows(bool measure) {
  const int first = GetMeasureState().firstCurrentRow.load();
  for (int r = 0; r < layout_.currentRows; ++r) {
    const int i = first + r;
    const std::string label = shell::Format("#%d", i);
    if (GetText(kIdCurrentButton + r) != label) SetText(kIdCurrentButton + r, label);
    std::string text;
    if (i < channels::kCurrentCount && channels::IsCurrentDefined(i)) {
      double amperes = 0;
      if (measure || !channels::GetCurrent(i).Monitored())
        amperes = channels::TryCurrentAmperes(i);
      else
        amperes = channels::LatestCurrentAmperes(i);
      text = shell::FormatWithPrefix(static_cast<float>(amperes), "A");
    }
    if (GetText(kIdCurrentValue + r) != text) SetText(kIdCurrentValue + r, text);
  }
}

void MeasureDialog::RefreshCurrentBars() {
  const int first = GetMeasureState().firstCurrentRow.load();
  for (int r = 0; r < layout_.currentRows; ++r) {
    const int i = first + r;
    const int id = kIdCurrentScroll + r;
    const bool defined = i < channels::kCurrentCount && channels::IsCurrentDefined(i);
    if (IsEnabled(id) != defined) Enable(id, defined);
    if (!defined) continue;
    const std::uint32_t f = NormalisationFactor(i);
    const int pos = static_cast<int>(
        channels::MirrorNormalised(i, CardToNormalised(channels::PresentCode(i), f)));
    if (ScrollPos(id) != pos) SetScrollPos(id, pos);
  }
}

void MeasureDialog::RefreshVoltageRows(bool measure) {
  const int first = GetMeasureState().firstVoltageRow.load();
  for (int r = 0; r < layout_.voltageRows; ++r) {
    const int i = first + r;
    const std::string label = shell::Format("#%d", i);
    if (GetText(kIdVoltageButton + r) != label) SetText(kIdVoltageButton + r, label);
    Indicator ind = GetIndicator(kIdVoltageIndicator + r);
    const bool defined = i < channels::kVoltageCount && channels::IsVoltageDefined(i);
    const channels::VirtualVoltage v = channels::GetVoltage(i);
    const daq::AdcCard* card = daq::AdcCardAt(v.adcCard);
    if (card) {
      ind.minimum = card->minReading;
      ind.maximum = card->maxReading;
    }
    if (defined) {
      const channels::VoltageReading reading =
          measure ? channels::TryMeasureVoltageZeroed(i) : channels::LatestVoltageZeroed(i);
      ind.text = HeldVoltageRow(i).value_or(
          shell::FormatWithPrefix(static_cast<float>(reading.volts), "V"));
      ind.value = reading.mean + channels::GetVoltageZero(i).bits;
    } else {
      ind.text.clear();
      ind.value = card ? card->zeroReading : 0;
    }
    SetIndicator(kIdVoltageIndicator + r, ind);
  }
}

void MeasureDialog::ColourVoltageRows() {
  const int first = GetMeasureState().firstVoltageRow.load();
  for (int r = 0; r < layout_.voltageRows; ++r) {
    Indicator ind = GetIndicator(kIdVoltageIndicator + r);
    ind.barColor = RowSpectrumColor(r + first);
    SetIndicator(kIdVoltageIndicator + r, ind);
  }
}

Indicator MeasureDialog::GetIndicator(int controlId) const {
  std::lock_guard lock(indicatorMutex_);
  auto it = indicators_.find(controlId);
  return it == indicators_.end() ? Indicator{} : it->second;
}

void MeasureDialog::SetIndicator(int id, const Indicator& indicator) {
  bool changed = true;
  {
    std::lock_guard lock(indicatorMutex_);
    auto [it, inserted] = indicators_.try_emplace(id, indicator);
    if (!inserted) {
      changed = !(it->second == indicator);
      it->second = indicator;
    }
  }
  // The control's text carries the Indicator's text, and setting it is
  // what tells a renderer to paint the bar again.
  if (changed) SetText(id, indicator.text);
}

// --- services for the routines ----------------------------------------------------------------

void MeasureDialog::ShowPoints(std::uint32_t done, std::uint32_t total) {
  GetMeasureState().points1.store(done);
  SetText(kSweep1Base + kOffPoints, shell::Format(kPointsFormat, done, total));
  ShowLatestCurrents();
}

void MeasureDialog::ShowPoints2(std::uint32_t done, std::uint32_t total) {
  GetMeasureState().points2.store(done);
  SetText(kSweep2Base + kOffPoints, shell::Format(kPointsFormat, done, total));
  ShowLatestCurrents();
}

void MeasureDialog::ShowProgress(std::uint32_t elapsedMs, std::uint32_t done, std::uint32_t total) {
  if (done == 0 || total == 0) return;
  SetText(kIdProgressText, ProgressText(elapsedMs, done, total));
  Indicator bar = GetIndicator(kIdProgressBar);
  bar.minimum = 0;
  bar.maximum = 100;
  const double p = ProgressPercent(done, total);
  bar.value = static_cast<int>(p);
  bar.text = shell::Format("%.0f %%", p);
  SetIndicator(kIdProgressBar, bar);
}

void MeasureDialog::ShowLatestVoltages() { RefreshVoltageRows(false); }

void MeasureDialog::ShowLatestCurrents() {
  RefreshCurrentRows(false);
  RefreshCurrentBars();
}

void MeasureDialog::ShowSweep1Amperes(double amperes) {
  ShowLatestCurrents();
  const std::string text = shell::FormatWithPrefix(static_cast<float>(amperes), "A");
  const int first = GetMeasureState().firstCurrentRow.load();
  for (int r = 0; r < layout_.currentRows; ++r) {
    const int i = first + r;
    if (i < channels::kCurrentCount && channels::IsSweep1Kind(channels::GetCurrent(i).kind))
      SetText(kIdCurrentValue + r, text);
  }
}

void MeasureDialog::ShowPhase(const std::string& text) { SetText(kIdStatusLine, text); }

std::optional<std::string> MeasureDialog::HeldVoltageRow(int index) const {
  std::lock_guard lock(indicatorMutex_);
  auto it = heldVoltageRows_.find(index);
  if (it == heldVoltageRows_.end()) return std::nullopt;
  return it->second;
}

void MeasureDialog::HoldVoltageRow(int index, const std::string& text) {
  {
    std::lock_guard lock(indicatorMutex_);
    heldVoltageRows_[index] = text;
  }
  const int row = index - GetMeasureState().firstVoltageRow.load();
  if (row < 0 || row >= layout_.voltageRows) return;
  Indicator ind = GetIndicator(kIdVoltageIndicator + row);
  ind.text = text;
  SetIndicator(kIdVoltageIndicator + row, ind);
}

void MeasureDialog::ShowTemperature(double kelvin) {
  if (layout_.temperature) SetText(kIdTemperature, channels::FormatTemperature(kelvin));
}

}  // namespace tsm::measure
