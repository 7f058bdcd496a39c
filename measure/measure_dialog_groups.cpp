// The sweep groups of the measurement dialog: the ranges it holds under its
// lock, the limits, steps and check boxes, the point counts and the memory
// estimate they give.
#include "measure/measure_dialog.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include "channels/virtual_channels.h"
#include "measure/measure_dialog_internal.h"
#include "measure/state.h"
#include "shell/phyunits.h"

namespace tsm::measure {

using namespace dialog_detail;
using platform::Control;
using platform::ControlKind;

void MeasureDialog::InitGroup(Group& g, RangeId id) {
  const SweepRange* stored = Range(id);
  {
    std::lock_guard lock(rangeMutex_);
    g.range = stored ? *stored : SweepRange{};
    if (g.range.step == 0) g.range.step = 1;
  }
  const int b = g.base;
  if (id == RangeId::None) {
    // A mode without a range takes its points from elsewhere (the voltage
    // calibration from its step numbers): nothing of the group applies.
    for (int off = kOffStart; off <= kOffGoStop; ++off) Enable(b + off, false);
    SetText(b + kOffPoints, "");
    return;
  }
  if (g.range.finder) {
    SetCheck(b + kOffSetStart, g.range.start != 0 ? 1 : 0);
    SetCheck(b + kOffSetStop, g.range.stop != kMaxNormalisedCode ? 1 : 0);
    SetCheck(b + kOffTwoDirections, g.range.twoDirections ? 1 : 0);
    SetCheck(b + kOffSymmetric, g.range.symmetric ? 1 : 0);
  } else {
    for (int off : {kOffSetStart, kOffSetStop, kOffTwoDirections, kOffSymmetric})
      Enable(b + off, false);
  }
  ShowGroup(g);
  // A range with a finder shows the points of its limits (UpdateEstimates);
  // for a range that only counts points the user types their number.
  if (!g.range.finder) {
    SetText(b + kOffPoints, U(PointsPerDirection(g.range)));
  }
}

std::uint32_t MeasureDialog::Factor(const Group& g) const {
  return NormalisationFactor(g.range.Current());
}

void MeasureDialog::ShowGroup(Group& g) {
  SweepRange r;
  {
    std::lock_guard lock(rangeMutex_);
    r = g.range;
  }
  const int b = g.base;
  const int current = r.Current();
  const std::uint32_t f = NormalisationFactor(current);
  g.shownStart = U(r.start);
  g.shownStop = U(r.stop);
  SetText(b + kOffStart, g.shownStart);
  SetText(b + kOffStop, g.shownStop);
  std::uint32_t cardStep = NormalisedToCard(r.step, f);
  if (cardStep == 0) cardStep = 1;
  g.shownStep = U(cardStep);
  SetText(b + kOffStep, g.shownStep);
  SetScrollPos(b + kOffStepScroll, static_cast<int>(std::min(cardStep, kMaxStepScroll)));
  // What the codes mean: the current of the swept channel at start, at stop
  // and for one step, by its wiring.
  std::string start, stop, step;
  if (current >= 0) {
    const double atStart = channels::AmperesAtCode(current, NormalisedToCard(r.start, f));
    const double atStop = channels::AmperesAtCode(current, NormalisedToCard(r.stop, f));
    const double perStep = std::fabs(channels::AmperesAtCode(current, cardStep) -
                                     channels::AmperesAtCode(current, 0));
    start = shell::FormatWithPrefix(static_cast<float>(atStart), "A");
    stop = shell::FormatWithPrefix(static_cast<float>(atStop), "A");
    step = shell::FormatWithPrefix(static_cast<float>(perStep), "A");
  }
  SetText(b + kOffStartAmperes, start);
  SetText(b + kOffStopAmperes, stop);
  SetText(b + kOffStepAmperes, step);
  if (r.finder) {
    Enable(b + kOffSetStop, !r.symmetric);
    if (r.symmetric) SetCheck(b + kOffSetStop, r.stop != kMaxNormalisedCode ? 1 : 0);
  }
}

void MeasureDialog::UpdateEstimates() {
  SweepRange r1, r2;
  {
    std::lock_guard lock(rangeMutex_);
    r1 = g1_.range;
    r2 = g2_.range;
  }
  std::uint32_t n1 = PointsPerDirection(RangeInCardCodes(r1));
  if (!r1.finder) {
    std::uint32_t typed = 0;
    n1 = ParseUnsigned(GetText(kSweep1Base + kOffPoints), &typed) ? typed : 0;
  } else if (!workerStarted_.load()) {
    SetText(kSweep1Base + kOffPoints, U(TotalPoints(RangeInCardCodes(r1))));
  }
  std::uint32_t n2 = 1;
  bool two2 = false;
  if (HasSweep2()) {
    n2 = PointsPerDirection(RangeInCardCodes(r2));
    two2 = r2.twoDirections;
    if (!workerStarted_.load())
      SetText(kSweep2Base + kOffPoints, U(TotalPoints(RangeInCardCodes(r2))));
  }
  const double bytes = MemoryEstimate(n1, r1.twoDirections, n2, two2,
                                      channels::MeasuredVoltages().size());
  SetText(kIdMemory, MemoryText(bytes));
}

// --- sweep group controls ------------------------------------------------------------------

bool MeasureDialog::HandleGroupCommand(Group& g, int id) {
  const int b = g.base;
  const int off = id - b;
  if (off < 0 || off > kOffGoStop || off == kOffBox || off == kOffStart || off == kOffStop ||
      off == kOffPoints)
    return false;
  if (off == kOffStep) return true;  // typed steps are picked up by SyncTyped

  // Control states are read and written outside the range lock, so the
  // model's lock is never taken inside it.
  const int current = g.range.Current();
  const std::uint32_t f = NormalisationFactor(current);
  const bool checked = GetCheck(id) != 0;
  const std::uint32_t present =
      current >= 0 ? CardToNormalised(channels::PresentCode(current), f) : 0;
  const int scroll = ScrollPos(id);
  std::uint32_t goCode = 0;
  bool go = false;
  SweepRange r;
  {
    std::lock_guard lock(rangeMutex_);
    SweepRange& range = g.range;
    switch (off) {
      case kOffSetStart: range.start = checked ? present : 0; break;
      case kOffSetStop: range.stop = checked ? present : kMaxNormalisedCode; break;
      case kOffTwoDirections: range.twoDirections = checked; break;
      case kOffSymmetric: range.symmetric = checked; break;
      case kOffReset:
        range.start = 0;
        range.stop = kMaxNormalisedCode;
        range.twoDirections = range.symmetric = false;
        break;
      case kOffExchange: std::swap(range.start, range.stop); break;
      case kOffGoStart:
        go = true;
        goCode = NormalisedToCard(range.start, f);
        break;
      case kOffGoStop:
        go = true;
        goCode = NormalisedToCard(range.stop, f);
        break;
      case kOffStepScroll: {
        const std::uint32_t cardStep = std::clamp<std::uint32_t>(
            static_cast<std::uint32_t>(std::max(1, scroll)), 1, kMaxStepScroll);
        range.step = CardToNormalised(cardStep, f);
        break;
      }
      default: break;
    }
    if (range.symmetric)
      range.stop = kMaxNormalisedCode - std::min(range.start, kMaxNormalisedCode);
    if (range.step == 0) range.step = 1;
    r = range;
  }
  if (off == kOffReset)
    for (int o : {kOffSetStart, kOffSetStop, kOffTwoDirections, kOffSymmetric}) SetCheck(b + o, 0);
  if (off == kOffExchange) {
    SetCheck(b + kOffSetStart, r.start != 0 ? 1 : 0);
    SetCheck(b + kOffSetStop, r.stop != kMaxNormalisedCode ? 1 : 0);
  }
  if (go && current >= 0) channels::SetCurrentCode(current, static_cast<std::uint16_t>(goCode));
  ShowGroup(g);
  UpdateEstimates();
  RefreshCurrentBars();
  return true;
}

bool MeasureDialog::TypedLimit(const Group& g, const std::string& text,
                               std::uint32_t* normalised) const {
  std::uint32_t code = 0;
  if (ParseUnsigned(text, &code)) {
    if (code > kMaxNormalisedCode) return false;
    *normalised = code;
    return true;
  }
  // A current: the nearest code of the range's channel, on the normalised scale.
  const int current = g.range.Current();
  double amperes = 0;
  std::uint16_t cardCode = 0;
  if (current < 0 || !shell::ParseWithPrefix(text, "A", &amperes) ||
      !channels::CodeForAmperes(current, amperes, &cardCode))
    return false;
  *normalised = std::min(CardToNormalised(cardCode, NormalisationFactor(current)),
                         kMaxNormalisedCode);
  return true;
}

void MeasureDialog::SyncTyped(Group& g, bool typing) {
  if (!g.present) return;
  const int b = g.base;
  auto changed = [&](int off, const std::string& shown, std::string* text) {
    if (typing && Focus() == b + off) return false;
    *text = GetText(b + off);
    return *text != shown;
  };
  std::string stepText, startText, stopText;
  const bool step = changed(kOffStep, g.shownStep, &stepText);
  const bool start = changed(kOffStart, g.shownStart, &startText);
  const bool stop = changed(kOffStop, g.shownStop, &stopText);
  if (!step && !start && !stop) return;

  // Read outside the range lock: the limits' conversions ask the channels.
  std::uint32_t typedStep = 0;
  if (step && (!ParseUnsigned(stepText, &typedStep) || typedStep == 0 || typedStep > kMaxTypedStep))
    typedStep = 1;
  std::uint32_t startCode = 0, stopCode = 0;
  const bool startOk = start && TypedLimit(g, startText, &startCode);
  const bool stopOk = stop && TypedLimit(g, stopText, &stopCode);
  // Text that is neither a code nor a current: the field shows its limit again.
  if ((start && !startOk) || (stop && !stopOk)) platform::GetUi().MessageBeep(platform::MB_ICONHAND);
  SweepRange r;
  {
    std::lock_guard lock(rangeMutex_);
    if (step) g.range.step = CardToNormalised(typedStep, NormalisationFactor(g.range.Current()));
    if (startOk) g.range.start = startCode;
    if (stopOk && !g.range.symmetric) g.range.stop = stopCode;
    if (g.range.symmetric) g.range.stop = kMaxNormalisedCode - g.range.start;
    if (g.range.step == 0) g.range.step = 1;
    r = g.range;
  }
  if (r.finder && (startOk || stopOk)) {
    SetCheck(b + kOffSetStart, r.start != 0 ? 1 : 0);
    SetCheck(b + kOffSetStop, r.stop != kMaxNormalisedCode ? 1 : 0);
  }
  ShowGroup(g);
  UpdateEstimates();
}

// --- the ranges, read by the worker -------------------------------------------------------

SweepRange MeasureDialog::Sweep1() const {
  std::lock_guard lock(rangeMutex_);
  return g1_.range;
}

SweepRange MeasureDialog::Sweep2() const {
  std::lock_guard lock(rangeMutex_);
  return g2_.range;
}

}  // namespace tsm::measure
