#include "channels/averaging.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <new>
#include <vector>

#include "channels/measurement_options.h"
#include "channels/virtual_channels.h"
#include "daq/cards.h"
#include "daq/driver.h"
#include "daq/gain_code.h"
#include "daq/timing.h"
#include "platform/assert.h"
#include "platform/ui.h"
#include "shell/errors.h"

namespace tsm::channels {

namespace {
constexpr const char* kSource = "averaging";
// Below this many samples a plain sort beats clearing and walking the
// histogram of all 65536 readings.
constexpr std::size_t kHistogramFrom = 1024;

struct Latest {
  std::atomic<double> volts{0.0};
  std::atomic<std::int32_t> mean{0};
};

// The module's process-wide state. The sample array, the histogram and the
// turbo buffer are used only while daq::DriverMutex() is held.
struct AveragingState {
  AveragingSettings settings;
  std::atomic<std::int16_t> iStatus{kStatusNotYet};
  std::atomic<std::int16_t> vStatus{kStatusNotYet};
  std::vector<std::uint16_t> samples = std::vector<std::uint16_t>(1);
  std::vector<std::uint32_t> histogram;
  std::vector<std::int16_t> turboBuffer;
  std::size_t memoryLimit = static_cast<std::size_t>(-1);
  std::array<Latest, kVoltageCount> latestVoltage;
  std::array<std::atomic<double>, kCurrentCount> latestCurrent{};
};

AveragingState& State() {
  static AveragingState state;
  return state;
}

void Beep() { platform::GetUi().MessageBeep(platform::MB_SIMPLEBEEP); }

// The longest multiplexer settling a reading of this thread waits: all of
// it, except while a display refresh measures (DisplaySettle).
thread_local std::uint32_t settleLimit = 0xFFFFFFFFu;

// While it lives, readings of this thread wait at most kDisplaySettleMs for
// the multiplexer: the dialogs' refresh must not hang behind a settling
// delay of minutes or days (a key of -1).
class DisplaySettle {
 public:
  DisplaySettle() : previous_(settleLimit) { settleLimit = kDisplaySettleMs; }
  ~DisplaySettle() { settleLimit = previous_; }

 private:
  std::uint32_t previous_;
};

// Grows the sample array when the settings were changed without a resize
// (a program setting them directly); false when the memory is not there.
bool EnsureSamples(std::size_t n) {
  AveragingState& s = State();
  if (s.samples.size() >= n) return true;
  if (n > s.memoryLimit) return false;
  try {
    s.samples.resize(n);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// One averaged reading of ADC card `cardIndex`: steps 1 to 6 of the
// averaging rule. Needs the driver lock. Returns the trimmed sum and sets
// the count it was taken over.
std::uint64_t AverageLocked(std::size_t cardIndex, std::uint16_t channel, float gain, unsigned n,
                            unsigned trim, bool fallback, std::atomic<std::int16_t>& status,
                            const char* statusExpression, std::size_t* count) {
  AveragingState& s = State();
  const daq::AdcCard* card = daq::AdcCardAt(cardIndex);
  status.store(kStatusSingle);
  if (n == 0) n = 1;
  if (!EnsureSamples(n)) n = static_cast<unsigned>(std::max<std::size_t>(1, s.samples.size()));
  trim = std::min(trim, (n - 1) / 2);
  *count = n - 2 * trim;

  auto single = [&]() -> std::uint16_t {
    return fallback ? daq::ReadAdc(cardIndex, channel, gain)
                    : daq::ReadAdcNoFallback(cardIndex, channel, gain);
  };

  // Settle after switching the multiplexer: one reading thrown away.
  const std::uint32_t settle = GetMeasurementOptions().delays.delayBeforeVoltage;
  if (settle != 0) {
    single();
    daq::Delay(std::min(settle, settleLimit));
  }

  std::uint16_t* samples = s.samples.data();
  if (s.settings.turbo && n >= kTurboMinSamples) {
    const auto slot = static_cast<std::int16_t>(card->slot);
    daq::DriverStatus st = daq::GetDriver().Timeout_Config(slot, kTurboTimeoutTicks);
    status.store(st);
    if (st != 0) platform::ReportAssertion(statusExpression, kSource, __LINE__);
    const std::size_t words = card->logGains ? 2 * static_cast<std::size_t>(n) : n;
    bool buffered = false;
    try {
      if (s.turboBuffer.size() < words) s.turboBuffer.resize(words);
      buffered = true;
    } catch (const std::bad_alloc&) {
      status.store(kStatusSingle);  // no buffer: single readings below
    }
    if (buffered) {
      st = daq::GetDriver().DAQ_Op(slot, static_cast<std::int16_t>(channel), daq::GainCode(gain),
                                   s.turboBuffer.data(), n, s.settings.sampleRate);
      status.store(st);
      if (st >= 0) {
        const std::size_t stride = card->logGains ? 2 : 1;
        const std::size_t offset = card->logGains ? 1 : 0;
        for (std::size_t k = 0; k < n; ++k)
          samples[k] = daq::ReadingFromDriver(*card, s.turboBuffer[stride * k + offset]);
      }
    }
  }
  if (status.load() < 0)
    for (unsigned k = 0; k < n; ++k) samples[k] = single();

  if (trim == 0) {
    std::uint64_t sum = 0;
    for (unsigned k = 0; k < n; ++k) sum += samples[k];
    return sum;
  }
  if (n < kHistogramFrom) return TrimmedSum(samples, n, trim);
  if (s.histogram.size() != 65536) s.histogram.assign(65536, 0);
  std::uint32_t* counts = s.histogram.data();
  for (unsigned k = 0; k < n; ++k) ++counts[samples[k]];
  std::uint64_t sum = 0;
  std::size_t skip = trim, take = n - 2 * trim;
  for (std::uint32_t v = 0; v < 65536 && take > 0; ++v) {
    std::size_t c = counts[v];
    if (c == 0) continue;
    const std::size_t skipped = std::min(skip, c);
    skip -= skipped;
    c -= skipped;
    const std::size_t used = std::min(take, c);
    sum += static_cast<std::uint64_t>(used) * v;
    take -= used;
  }
  for (unsigned k = 0; k < n; ++k) counts[samples[k]] = 0;  // clean for the next reading
  return sum;
}

VoltageReading MeasureVoltageLocked(int index) {
  AveragingState& s = State();
  VoltageReading out;
  if (!TSM_ASSERT(index >= 0 && index < kVoltageCount, kSource)) return out;
  const VirtualVoltage v = GetVoltage(index);
  const daq::AdcCard* card = daq::AdcCardAt(v.adcCard);
  if (!card) {
    // A voltage on a card this system does not have reads like a dead
    // channel: 0 V, with the beep of a failed reading.
    s.vStatus.store(kStatusSingle);
    Beep();
    return out;
  }
  std::size_t count = 1;
  const std::uint64_t sum =
      AverageLocked(v.adcCard, v.adcChannel, v.adcGain, s.settings.voltageSamples,
                    s.settings.voltageTrim, true, s.vStatus, "0==TA_VStatus", &count);
  const double mean = static_cast<double>(sum) / static_cast<double>(count);
  out.mean = static_cast<std::int32_t>(sum / count);
  out.volts = ReadingToVolts(index, mean);
  if (v.kind == kNegative) {
    out.volts = -out.volts;
    out.mean = static_cast<std::int32_t>(card->maxReading) + card->minReading - out.mean;
  }
  s.latestVoltage[index].volts.store(out.volts);
  s.latestVoltage[index].mean.store(out.mean);
  return out;
}

// A current without monitor is computed from its present code: no driver,
// no lock, so the display always shows where the worker has moved it.
double CurrentFromCode(int index) {
  State().iStatus.store(kStatusNoMonitor);
  const double amperes = CurrentFromValue(index, PresentCode(index));
  State().latestCurrent[index].store(amperes);
  return amperes;
}

// A monitored current: the averaged monitor reading. Needs the driver lock.
double MeasureMonitorLocked(int index, const VirtualCurrent& c) {
  AveragingState& s = State();
  if (!daq::AdcCardAt(c.adcCard)) {
    s.iStatus.store(kStatusSingle);
    Beep();
    return 0.0;
  }
  std::size_t count = 1;
  const std::uint64_t sum =
      AverageLocked(c.adcCard, c.adcChannel, c.adcGain, s.settings.currentSamples,
                    s.settings.currentTrim, false, s.iStatus, "0==TA_IStatus", &count);
  const double amperes =
      CurrentFromValue(index, static_cast<double>(sum) / static_cast<double>(count));
  s.latestCurrent[index].store(amperes);
  return amperes;
}

VoltageReading Zeroed(int index, VoltageReading r) {
  const VoltageZero zero = GetVoltageZero(index);
  r.volts -= zero.volts;
  r.mean -= zero.bits;
  return r;
}
}  // namespace

AveragingSettings& GetAveragingSettings() { return State().settings; }

bool AveragingSettingsValid(const AveragingSettings& s) {
  auto ok = [](unsigned n, unsigned t) { return n >= 1 && n <= kMaxSamples && t <= (n - 1) / 2; };
  return ok(s.currentSamples, s.currentTrim) && ok(s.voltageSamples, s.voltageTrim);
}

std::int16_t TA_IStatus() { return State().iStatus.load(); }
std::int16_t TA_VStatus() { return State().vStatus.load(); }

bool ResizeAveragingArray() {
  AveragingState& s = State();
  AveragingSettings& set = s.settings;
  const std::size_t n = std::max<std::size_t>(1, std::max(set.currentSamples, set.voltageSamples));
  bool ok = n <= s.memoryLimit;
  {
    std::lock_guard lock(daq::DriverMutex());
    if (ok) {
      try {
        s.samples.resize(n);
        s.samples.shrink_to_fit();
      } catch (const std::bad_alloc&) {
        ok = false;
      }
    }
    if (!ok) {
      set.currentSamples = set.voltageSamples = 1;
      set.currentTrim = set.voltageTrim = 0;
      s.samples.assign(1, 0);
    }
  }
  if (!ok)
    shell::ShowMessage(shell::MainWindow(), kNoMemoryText, kNoMemoryCaption,
                       platform::MB_OK | platform::MB_ICONHAND);
  return ok;
}

std::size_t AveragingArraySize() {
  std::lock_guard lock(daq::DriverMutex());
  return State().samples.size();
}

void SetAveragingMemoryLimit(std::size_t samples) { State().memoryLimit = samples; }

VoltageReading MeasureVoltage(int index) {
  std::lock_guard lock(daq::DriverMutex());
  return MeasureVoltageLocked(index);
}

VoltageReading MeasureVoltageZeroed(int index) { return Zeroed(index, MeasureVoltage(index)); }

double MeasureCurrent(int index) {
  if (!IsCurrentDefined(index)) {
    Beep();
    return 0.0;
  }
  const VirtualCurrent c = GetCurrent(index);
  if (!c.Monitored()) return CurrentFromCode(index);
  std::lock_guard lock(daq::DriverMutex());
  return MeasureMonitorLocked(index, c);
}

VoltageReading TryMeasureVoltageZeroed(int index, bool* fresh) {
  std::unique_lock lock(daq::DriverMutex(), std::try_to_lock);
  if (fresh) *fresh = lock.owns_lock();
  if (!lock.owns_lock()) return LatestVoltageZeroed(index);
  DisplaySettle display;
  const VoltageReading r = MeasureVoltageLocked(index);
  lock.unlock();
  return Zeroed(index, r);
}

double TryCurrentAmperes(int index, bool* fresh) {
  if (fresh) *fresh = false;
  if (!IsCurrentDefined(index)) {
    Beep();
    return 0.0;
  }
  const VirtualCurrent c = GetCurrent(index);
  if (!c.Monitored()) {
    if (fresh) *fresh = true;
    return CurrentFromCode(index) - CurrentZeroShift(index);
  }
  std::unique_lock lock(daq::DriverMutex(), std::try_to_lock);
  if (fresh) *fresh = lock.owns_lock();
  if (!lock.owns_lock()) return LatestCurrentAmperes(index);
  DisplaySettle display;
  const double amperes = MeasureMonitorLocked(index, c);
  lock.unlock();
  return amperes - CurrentZeroShift(index);
}

VoltageReading LatestVoltageZeroed(int index) {
  if (index < 0 || index >= kVoltageCount) return {};
  const Latest& l = State().latestVoltage[index];
  return Zeroed(index, VoltageReading{l.volts.load(), l.mean.load()});
}

double LatestCurrentAmperes(int index) {
  if (index < 0 || index >= kCurrentCount) return 0.0;
  return State().latestCurrent[index].load() - CurrentZeroShift(index);
}

void ForgetLatestReadings() {
  AveragingState& s = State();
  for (Latest& l : s.latestVoltage) {
    l.volts.store(0.0);
    l.mean.store(0);
  }
  for (auto& c : s.latestCurrent) c.store(0.0);
}

std::uint64_t TrimmedSum(std::uint16_t* samples, std::size_t n, std::size_t trim) {
  if (n == 0) return 0;
  trim = std::min(trim, (n - 1) / 2);
  if (trim > 0) std::sort(samples, samples + n);
  std::uint64_t sum = 0;
  for (std::size_t k = trim; k < n - trim; ++k) sum += samples[k];
  return sum;
}

void ResetAveraging() {
  AveragingState& s = State();
  std::lock_guard lock(daq::DriverMutex());
  s.settings = AveragingSettings{};
  s.iStatus.store(kStatusNotYet);
  s.vStatus.store(kStatusNotYet);
  s.samples.assign(1, 0);
  s.turboBuffer.clear();
  s.turboBuffer.shrink_to_fit();
  s.memoryLimit = static_cast<std::size_t>(-1);
}

}  // namespace tsm::channels
