#include "channels/virtual_channels.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>

#include "channels/averaging.h"
#include "channels/measurement_options.h"
#include "daq/cards.h"
#include "daq/driver.h"
#include "platform/assert.h"
#include "platform/ui.h"
#include "shell/stringex.h"

namespace tsm::channels {

const char* const kCurrentKindNames[kCurrentKindCount] = {
    "Disconnected", "Constant",    "+Sweep 1",    "-Sweep 1",    "+Sweep 2",    "-Sweep 2",
    "Trigger",      "WaveForm 0",  "WaveForm 1",  "WaveForm 2",  "WaveForm 3",  "WaveForm 4",
    "WaveForm 5",   "WaveForm 6",  "WaveForm 7",  "WaveForm 8",  "WaveForm 9",  "WaveForm 10",
    "WaveForm 11",  "WaveForm 12", "WaveForm 13", "WaveForm 14", "WaveForm 15",
};

const char* const kVoltageKindNames[kVoltageKindCount] = {"Not Connected", "Positive",
                                                          "Negative", "T-sensor"};

namespace {
constexpr const char* kSource = "virt_iv";

struct Binding {
  std::uint16_t card = 0;
  std::int16_t channel = -1;
};

// The module's process-wide state. Records are guarded by `mutex` (copied
// whole); present codes are atomics; zero states have their own small lock
// because a voltage's zero is a pair of values.
struct ChannelsState {
  std::mutex mutex;
  std::array<VirtualCurrent, kCurrentCount> currents{};
  std::array<VirtualVoltage, kVoltageCount> voltages{};
  std::array<Binding, kCurrentCount> bound{};
  std::array<std::atomic<std::uint16_t>, kCurrentCount> present{};
  std::array<std::atomic<float>, kCurrentCount> currentZero{};
  std::mutex zeroMutex;
  std::array<VoltageZero, kVoltageCount> voltageZero{};
};

ChannelsState& State() {
  static ChannelsState state;
  return state;
}

bool ValidCurrent(int index) { return index >= 0 && index < kCurrentCount; }
bool ValidVoltage(int index) { return index >= 0 && index < kVoltageCount; }

void Beep() { platform::GetUi().MessageBeep(platform::MB_SIMPLEBEEP); }

// One DAC card's range as doubles.
struct Range {
  double min, max;
};

// Target of current j of a sweep group when the leader moves to `code` on
// a card [leadMin, leadMax]: the same fraction of j's card range, mirrored
// for the opposite sign. For cards of the leader's range this is exactly the
// code itself, or max + min - code.
std::uint16_t GroupTarget(std::uint16_t code, Range lead, const daq::DacCard& card,
                          bool mirrored) {
  double target = code;
  if (card.minCode != lead.min || card.maxCode != lead.max) {
    const double span = lead.max - lead.min;
    const double f = span > 0 ? (code - lead.min) / span : 0.0;
    target = std::floor(card.minCode + f * (card.maxCode - card.minCode) + 0.5);
  }
  if (mirrored) target = static_cast<double>(card.maxCode) + card.minCode - target;
  target = std::clamp(target, static_cast<double>(card.minCode),
                      static_cast<double>(card.maxCode));
  return static_cast<std::uint16_t>(target);
}
}  // namespace

// --- the tables ------------------------------------------------------------

VirtualCurrent GetCurrent(int index) {
  if (!TSM_ASSERT(ValidCurrent(index), kSource)) return {};
  std::lock_guard lock(State().mutex);
  return State().currents[index];
}

void SetCurrent(int index, const VirtualCurrent& record) {
  if (!TSM_ASSERT(ValidCurrent(index), kSource)) return;
  std::lock_guard lock(State().mutex);
  VirtualCurrent& r = State().currents[index];
  r = record;
  r.comment[kCommentLength - 1] = '\0';
  if (r.kind >= kCurrentKindCount) r.kind = kDisconnected;
}

VirtualVoltage GetVoltage(int index) {
  if (!TSM_ASSERT(ValidVoltage(index), kSource)) return {};
  std::lock_guard lock(State().mutex);
  return State().voltages[index];
}

void SetVoltage(int index, const VirtualVoltage& record) {
  if (!TSM_ASSERT(ValidVoltage(index), kSource)) return;
  std::lock_guard lock(State().mutex);
  VirtualVoltage& r = State().voltages[index];
  r = record;
  r.comment[kCommentLength - 1] = '\0';
  if (r.kind >= kVoltageKindCount) r.kind = kNotConnected;
}

std::array<VirtualCurrent, kCurrentCount> AllCurrents() {
  std::lock_guard lock(State().mutex);
  return State().currents;
}

std::array<VirtualVoltage, kVoltageCount> AllVoltages() {
  std::lock_guard lock(State().mutex);
  return State().voltages;
}

std::uint16_t PresentCode(int index) {
  if (!TSM_ASSERT(ValidCurrent(index), kSource)) return 0;
  return State().present[index].load();
}

float CurrentZeroShift(int index) {
  if (!ValidCurrent(index)) return 0.0f;
  return State().currentZero[index].load();
}

void SetCurrentZeroShift(int index, float amperes) {
  if (!TSM_ASSERT(ValidCurrent(index), kSource)) return;
  State().currentZero[index].store(amperes);
}

VoltageZero GetVoltageZero(int index) {
  if (!ValidVoltage(index)) return {};
  std::lock_guard lock(State().zeroMutex);
  return State().voltageZero[index];
}

void SetVoltageZero(int index, const VoltageZero& zero) {
  if (!TSM_ASSERT(ValidVoltage(index), kSource)) return;
  std::lock_guard lock(State().zeroMutex);
  State().voltageZero[index] = zero;
}

void ClearVoltageZero(int index) { SetVoltageZero(index, VoltageZero{}); }

void ResetVirtualChannels() {
  ChannelsState& s = State();
  {
    std::lock_guard lock(s.mutex);
    s.currents.fill(VirtualCurrent{});
    s.voltages.fill(VirtualVoltage{});
    s.bound.fill(Binding{});
  }
  for (auto& p : s.present) p.store(0);
  for (auto& z : s.currentZero) z.store(0.0f);
  {
    std::lock_guard lock(s.zeroMutex);
    s.voltageZero.fill(VoltageZero{});
  }
  ForgetLatestReadings();
}

namespace {
void Bind(bool onlyChanged) {
  ChannelsState& s = State();
  std::lock_guard lock(s.mutex);
  for (int i = 0; i < kCurrentCount; ++i) {
    const VirtualCurrent& c = s.currents[i];
    Binding& b = s.bound[i];
    if (onlyChanged && b.card == c.dacCard && b.channel == c.dacChannel) continue;
    b.card = c.dacCard;
    b.channel = c.dacChannel;
    const daq::DacCard* card = daq::DacCardAt(c.dacCard);
    s.present[i].store(card ? card->zeroCode : 0);
  }
}
}  // namespace

void BindVirtualChannels() { Bind(false); }
void RebindChangedCurrents() { Bind(true); }

// --- queries ---------------------------------------------------------------

bool IsCurrentDefined(int index) {
  return ValidCurrent(index) && GetCurrent(index).kind != kDisconnected;
}

int FirstDefinedCurrent() {
  const auto all = AllCurrents();
  for (int i = 0; i < kCurrentCount; ++i)
    if (all[i].kind != kDisconnected) return i;
  return -1;
}

int DefinedCurrentCount() {
  const auto all = AllCurrents();
  return static_cast<int>(std::count_if(all.begin(), all.end(), [](const VirtualCurrent& c) {
    return c.kind != kDisconnected;
  }));
}

bool IsSweep1Kind(std::uint16_t kind) { return kind == kPlusSweep1 || kind == kMinusSweep1; }
bool IsSweep2Kind(std::uint16_t kind) { return kind == kPlusSweep2 || kind == kMinusSweep2; }
bool IsMirroredKind(std::uint16_t kind) { return kind == kMinusSweep1 || kind == kMinusSweep2; }

int Sweep1CurrentCount() {
  const auto all = AllCurrents();
  return static_cast<int>(std::count_if(all.begin(), all.end(), [](const VirtualCurrent& c) {
    return IsSweep1Kind(c.kind);
  }));
}

bool IsWaveformCurrent(int index) {
  if (!ValidCurrent(index)) return false;
  const std::uint16_t kind = GetCurrent(index).kind;
  return kind >= kWaveForm0 && kind <= kWaveForm15;
}

std::vector<int> WaveformCurrents() {
  std::vector<int> list;
  const auto all = AllCurrents();
  for (int i = 0; i < kCurrentCount; ++i)
    if (all[i].kind >= kWaveForm0 && all[i].kind <= kWaveForm15) list.push_back(i);
  return list;
}

int HighestWaveformNumber() {
  int highest = -1;
  for (const VirtualCurrent& c : AllCurrents())
    if (c.kind >= kWaveForm0 && c.kind <= kWaveForm15)
      highest = std::max(highest, c.kind - kWaveForm0);
  return highest;
}

namespace {
template <class Pred>
int FirstCurrentWhere(Pred pred) {
  const auto all = AllCurrents();
  for (int i = 0; i < kCurrentCount; ++i)
    if (pred(all[i].kind)) return i;
  return -1;
}
}  // namespace

int FirstSweep1Current() { return FirstCurrentWhere(IsSweep1Kind); }
int FirstSweep2Current() { return FirstCurrentWhere(IsSweep2Kind); }
int FirstTriggerCurrent() {
  return FirstCurrentWhere([](std::uint16_t k) { return k == kTrigger; });
}

bool IsVoltageDefined(int index) {
  return ValidVoltage(index) && GetVoltage(index).kind != kNotConnected;
}

bool IsVoltageMeasured(int index) {
  if (!ValidVoltage(index)) return false;
  const std::uint16_t kind = GetVoltage(index).kind;
  return kind == kPositive || kind == kNegative;
}

std::vector<int> MeasuredVoltages() {
  std::vector<int> list;
  const auto all = AllVoltages();
  for (int i = 0; i < kVoltageCount; ++i)
    if (all[i].kind == kPositive || all[i].kind == kNegative) list.push_back(i);
  return list;
}

int FirstTSensorVoltage() {
  const auto all = AllVoltages();
  for (int i = 0; i < kVoltageCount; ++i)
    if (all[i].kind == kTSensor) return i;
  return -1;
}

std::uint32_t MirrorNormalised(int index, std::uint32_t normalisedCode) {
  if (!ValidCurrent(index) || !IsMirroredKind(GetCurrent(index).kind)) return normalisedCode;
  return 65535u - std::min<std::uint32_t>(normalisedCode, 65535u);
}

std::uint16_t MirrorCardCode(int index, std::uint16_t cardCode) {
  std::uint16_t lo = 0, hi = 0;
  if (!CurrentCardRange(index, &lo, &hi)) return cardCode;
  const int mirrored = static_cast<int>(hi) + lo - cardCode;
  return static_cast<std::uint16_t>(std::clamp(mirrored, static_cast<int>(lo),
                                               static_cast<int>(hi)));
}

// --- conversions -----------------------------------------------------------

namespace {
// G of a gain setting on an ADC card: the factor, or 10^(dB/20).
double GainFactor(const daq::AdcCard& card, float gain) {
  return card.logGains ? std::pow(10.0, gain / 20.0) : static_cast<double>(gain);
}

// ((c - x) Vmin + (x - b) Vmax) / ((c - b) * divisor), 0 for a zero divisor.
double Interpolate(double b, double c, double vmin, double vmax, double x, double divisor) {
  const double denominator = (c - b) * divisor;
  if (denominator == 0.0 || !std::isfinite(denominator)) return 0.0;
  return ((c - x) * vmin + (x - b) * vmax) / denominator;
}
}  // namespace

double ReadingToVolts(int index, double reading) {
  if (!ValidVoltage(index)) return 0.0;
  const VirtualVoltage v = GetVoltage(index);
  const daq::AdcCard* card = daq::AdcCardAt(v.adcCard);
  if (!card) return 0.0;
  return Interpolate(card->minReading, card->maxReading, card->minVoltage, card->maxVoltage,
                     reading, static_cast<double>(v.extGain) * GainFactor(*card, v.adcGain));
}

double CurrentFromValue(int index, double x) {
  if (!ValidCurrent(index)) return 0.0;
  const VirtualCurrent c = GetCurrent(index);
  if (c.Monitored()) {
    const daq::AdcCard* card = daq::AdcCardAt(c.adcCard);
    if (!card) return 0.0;
    return Interpolate(card->minReading, card->maxReading, card->minVoltage, card->maxVoltage, x,
                       static_cast<double>(c.R) * c.extGain * GainFactor(*card, c.adcGain));
  }
  const daq::DacCard* card = daq::DacCardAt(c.dacCard);
  if (!card) return 0.0;
  return Interpolate(card->minCode, card->maxCode, card->minVoltage, card->maxVoltage, x, c.R);
}

double AmperesAtCode(int index, double cardCode) {
  if (!ValidCurrent(index)) return 0.0;
  const VirtualCurrent c = GetCurrent(index);
  const daq::DacCard* card = daq::DacCardAt(c.dacCard);
  if (!card) return 0.0;
  return Interpolate(card->minCode, card->maxCode, card->minVoltage, card->maxVoltage, cardCode,
                     c.R) -
         CurrentZeroShift(index);
}

bool CodeForAmperes(int index, double amperes, std::uint16_t* code) {
  if (!ValidCurrent(index) || !std::isfinite(amperes)) return false;
  const VirtualCurrent c = GetCurrent(index);
  const daq::DacCard* card = daq::DacCardAt(c.dacCard);
  if (!card) return false;
  // The inverse of the code's straight line: the volts the card must give,
  // then the code that gives them, rounded to the nearest and kept inside
  // the card's codes.
  const double volts = (amperes + CurrentZeroShift(index)) * c.R;
  const double span = card->maxVoltage - card->minVoltage;
  if (span == 0.0 || c.R == 0.0f || !std::isfinite(volts)) return false;
  const double x = card->minCode + (volts - card->minVoltage) * (card->maxCode - card->minCode) / span;
  const double clamped = std::clamp(std::round(x), static_cast<double>(card->minCode),
                                    static_cast<double>(card->maxCode));
  *code = static_cast<std::uint16_t>(clamped);
  return true;
}

double CurrentAmperes(int index) {
  if (!IsCurrentDefined(index)) {
    Beep();
    return 0.0;
  }
  return MeasureCurrent(index) - CurrentZeroShift(index);
}

// --- moving currents ---------------------------------------------------------

bool CurrentCardRange(int index, std::uint16_t* minCode, std::uint16_t* maxCode,
                      std::uint16_t* zeroCode) {
  if (!ValidCurrent(index)) return false;
  const daq::DacCard* card = daq::DacCardAt(GetCurrent(index).dacCard);
  if (!card) return false;
  if (minCode) *minCode = card->minCode;
  if (maxCode) *maxCode = card->maxCode;
  if (zeroCode) *zeroCode = card->zeroCode;
  return true;
}

void MoveCurrents(const std::array<int, kCurrentCount>& targets) {
  ChannelsState& s = State();
  const auto currents = AllCurrents();
  // A step of 0 would never arrive; the dialog refuses it, a program that
  // set it directly gets single-code steps.
  const std::uint32_t maxStep = std::max<std::uint32_t>(1, GetMeasurementOptions().delays.maxDacStep);
  for (;;) {
    bool moved = false;
    std::lock_guard lock(daq::DriverMutex());
    for (int i = 0; i < kCurrentCount; ++i) {
      if (targets[i] < 0) continue;
      const VirtualCurrent& c = currents[i];
      const daq::DacCard* card = daq::DacCardAt(c.dacCard);
      if (!card) continue;
      const int target = std::clamp(targets[i], static_cast<int>(card->minCode),
                                    static_cast<int>(card->maxCode));
      const int now = s.present[i].load();
      if (now == target) continue;
      const int distance = std::abs(target - now);
      const int step = static_cast<int>(std::min<std::uint32_t>(maxStep, distance));
      const int next = target > now ? now + step : now - step;
      s.present[i].store(static_cast<std::uint16_t>(next));
      // A failing write beeps (in WriteDac) and the current is taken as
      // moved: stepping on is what keeps the loop finite.
      daq::WriteDac(c.dacCard, static_cast<std::uint16_t>(c.dacChannel),
                    static_cast<std::uint16_t>(next));
      moved = true;
    }
    if (!moved) break;
  }
}

void SetCurrentCode(int index, std::uint16_t code) {
  if (!ValidCurrent(index)) return;
  const auto currents = AllCurrents();
  const VirtualCurrent& lead = currents[index];
  const daq::DacCard* leadCard = daq::DacCardAt(lead.dacCard);
  if (!leadCard) return;
  code = std::clamp(code, leadCard->minCode, leadCard->maxCode);

  std::array<int, kCurrentCount> targets;
  targets.fill(-1);
  const bool sweep1 = IsSweep1Kind(lead.kind), sweep2 = IsSweep2Kind(lead.kind);
  if (!sweep1 && !sweep2) {
    targets[index] = code;
  } else {
    const Range range{static_cast<double>(leadCard->minCode),
                      static_cast<double>(leadCard->maxCode)};
    for (int j = 0; j < kCurrentCount; ++j) {
      const std::uint16_t kind = currents[j].kind;
      if (sweep1 ? !IsSweep1Kind(kind) : !IsSweep2Kind(kind)) continue;
      const daq::DacCard* card = daq::DacCardAt(currents[j].dacCard);
      if (!card) continue;
      targets[j] = j == index ? code : GroupTarget(code, range, *card, kind != lead.kind);
    }
  }
  MoveCurrents(targets);
}

std::uint16_t NormalisedToCode(int index, double d) {
  std::uint16_t lo = 0, hi = 0;
  if (!CurrentCardRange(index, &lo, &hi)) return 0;
  if (!(d >= -1.0)) d = -1.0;  // NaN too
  if (d > 1.0) d = 1.0;
  return static_cast<std::uint16_t>(lo + static_cast<int>((d + 1.0) * (hi - lo) / 2.0));
}

void SetCurrentNormalised(int index, double d) {
  if (!ValidCurrent(index)) return;
  std::uint16_t lo = 0, hi = 0;
  if (!CurrentCardRange(index, &lo, &hi)) return;
  SetCurrentCode(index, NormalisedToCode(index, d));
}

std::string DacCardText(std::size_t cardIndex) {
  const daq::DacCard* card = daq::DacCardAt(cardIndex);
  return card ? shell::Format("%u:%s", static_cast<unsigned>(card->slot), card->name.c_str())
              : std::string();
}

std::string AdcCardText(std::size_t cardIndex) {
  const daq::AdcCard* card = daq::AdcCardAt(cardIndex);
  return card ? shell::Format("%u:%s", static_cast<unsigned>(card->slot), card->name.c_str())
              : std::string();
}

}  // namespace tsm::channels
