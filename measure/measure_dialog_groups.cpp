// The sweep groups of the measurement dialog: the ranges it holds under its
// lock, the limits, steps and check boxes, the point counts and the memory
// estimate they give.
#include "measure/measure_dialog.h"

#include <algorithm>
#include <mutex>
#include "channels/virtual_channels.h"
#include "measure/measure_dialog_internal.h"
#include "measure/state.h"

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

void MeasureDialog::ShowGroup(const Group& g) {
  SweepRange r;
  {
    std::lock_guard lock(rangeMutex_);
    r = g.range;
  }
  const int b = g.base;
  const std::uint32_t f = NormalisationFactor(r.Current());
  SetText(b + kOffStart, U(r.start));
  SetText(b + kOffStop, U(r.stop));
  std::uint32_t cardStep = NormalisedToCard(r.step, f);
  if (cardStep == 0) cardStep = 1;
  const std::string stepText = U(cardStep);
  SetText(b + kOffStep, stepText);
  (b == kSweep1Base ? lastStepText1_ : lastStepText2_) = stepText;
  SetScrollPos(b + kOffStepScroll, static_cast<int>(std::min(cardStep, kMaxStepScroll)));
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
  if (off == kOffStep) return true;  // typed steps are picked up by SyncTypedStep

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

void MeasureDialog::SyncTypedStep(Group& g) {
  if (!g.present) return;
  const int id = g.base + kOffStep;
  const std::string text = GetText(id);
  std::string& last = g.base == kSweep1Base ? lastStepText1_ : lastStepText2_;
  if (text == last) return;
  std::uint32_t typed = 0;
  if (!ParseUnsigned(text, &typed) || typed == 0 || typed > kMaxTypedStep) typed = 1;
  {
    std::lock_guard lock(rangeMutex_);
    g.range.step = CardToNormalised(typed, NormalisationFactor(g.range.Current()));
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
