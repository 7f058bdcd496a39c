#include "daq/generator.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <numbers>

#include "daq/cards.h"
#include "daq/status_report.h"
#include "platform/assert.h"
#include "platform/clock.h"

namespace tsm::daq {

namespace {
constexpr const char* kSource = "generator";
// Checks of the iteration count per ramp step before giving up the wait: a
// driver whose output has stalled must not hang the program.
constexpr int kRampPollLimit = 2000;

// The module's process-wide state. One thread drives the generator at a time
// (the UI thread, or the worker while a measurement runs); the lock keeps a
// status query from another thread from reading a half-changed record.
struct GeneratorState {
  std::mutex mutex;
  WaveformSettings settings;
  std::atomic<bool> running{false};
  std::atomic<bool> paused{false};
  GeneratorOutput output;  // the buffer exists exactly while running
  std::minstd_rand random{1};
};

GeneratorState& State() {
  static GeneratorState state;
  return state;
}

bool ValidWaveform(int n) { return n >= 0 && n < kWaveformCount; }

std::size_t SequenceLength(const WaveformDefinition& w) {
  return strnlen(w.sequence, kSequenceSize - 1);
}

// Samples per logic unit of a waveform (at least one).
std::uint32_t UnitSamples(const WaveformDefinition& w, unsigned samplesPerLogUnit) {
  const double s = std::floor(static_cast<double>(samplesPerLogUnit) * w.stretch);
  if (!(s >= 1.0)) return 1;
  return s > 4294967295.0 ? 4294967295u : static_cast<std::uint32_t>(s);
}

double SymbolValue(char symbol, double v0, double v1, std::uint32_t x, std::uint32_t s) {
  const double d = v1 - v0;
  const double xs = static_cast<double>(x) / s;
  switch (symbol) {
    case '0':
    case '_': return v0;
    case '1': return v1;
    case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9':
      return v0 + d / (symbol - '0');
    case '-': return (v0 + v1) / 2;
    case '/': return v0 + d * xs;
    case '\\': return v1 - d * xs;
    // The triangle peaks at the middle of the unit: S/2 is taken exactly so
    // that an odd S gives a symmetric triangle too.
    case 'T': return v1 - std::fabs(x - s / 2.0) * 2 * d / s;
    case 'S':
    case '~': return v0 + d * (std::sin(2 * std::numbers::pi * xs) + 1) / 2;
    case 'C': return v0 + d * (std::cos(2 * std::numbers::pi * xs) + 1) / 2;
    case 's': return v0 + d * (std::sin(std::numbers::pi * xs) + 1) / 2;
    case 'c': return v0 + d * (std::cos(std::numbers::pi * xs) + 1) / 2;
    case '!': return (x >= 3 * s / 8 && x <= 5 * s / 8) ? v1 : v0;
    case '|': return (x >= s / 4 && x <= 3 * s / 4) ? v1 : v0;
    default: return v0 + d * WaveformRandom() / 32767.0;
  }
}

// Program code of a voltage on the card's own linear range, as driver code.
std::int16_t CodeOfVolts(const DacCard& card, double volts) {
  const double span = card.maxVoltage - card.minVoltage;
  double code = card.minCode;
  if (span != 0.0)
    code = card.minCode + (volts - card.minVoltage) / span * (card.maxCode - card.minCode);
  if (!(code >= card.minCode)) code = card.minCode;
  if (code > card.maxCode) code = card.maxCode;
  return DriverCodeFromCode(card, static_cast<std::uint16_t>(std::lround(code)));
}

DriverStatus GroupControl(std::int16_t slot, std::int16_t operation) {
  DriverStatus status;
  {
    std::lock_guard lock(DriverMutex());
    status = GetDriver().WFM_Group_Control(slot, kWfmGroup, operation);
  }
  ReportDriverStatus(GroupControlOp(operation), status);
  return status;
}

struct Check {
  DriverStatus status = 0;
  std::uint32_t points = 0;
  std::uint32_t iterations = 0;
};

Check CheckOutput(const GeneratorOutput& out) {
  Check c;
  std::int16_t state = 0;
  const DacCard* card = DacCardAt(out.cardIndex);
  const std::int16_t slot = card ? static_cast<std::int16_t>(card->slot) : 0;
  std::lock_guard lock(DriverMutex());
  c.status = GetDriver().WFM_Check(slot, out.channels.empty() ? 0 : out.channels[0], &state,
                                   &c.points, &c.iterations);
  return c;
}

std::int16_t SlotOf(const GeneratorOutput& out) {
  const DacCard* card = DacCardAt(out.cardIndex);
  return card ? static_cast<std::int16_t>(card->slot) : 0;
}

// CLEAR of the running output with the state lock held.
DriverStatus ClearLocked(GeneratorState& s) {
  const DriverStatus status = GroupControl(SlotOf(s.output), kWfmClear);
  if (status >= 0) {
    s.output = GeneratorOutput{};
    s.running = false;
    s.paused = false;
  }
  return status;
}
}  // namespace

WaveformSettings& GetWaveformSettings() { return State().settings; }

int WaveformRandom() {
  std::uniform_int_distribution<int> d(0, 32767);
  return d(State().random);
}

double WaveformValue(int n, std::uint32_t sample) {
  if (!ValidWaveform(n)) return 0.0;
  const WaveformSettings& settings = State().settings;
  const WaveformDefinition& w = settings.waveforms[n];
  const std::size_t length = SequenceLength(w);
  const std::uint32_t s = UnitSamples(w, settings.general.samplesPerLogUnit);
  const std::uint32_t unit = sample / s;
  const std::uint32_t x = sample % s;
  if (length == 0 || (w.prolong == 0 && unit >= length)) return w.value0;
  return SymbolValue(w.sequence[unit % length], w.value0, w.value1, x, s);
}

std::uint32_t WaveformLength(int n) {
  if (!ValidWaveform(n)) return 0;
  const WaveformDefinition& w = State().settings.waveforms[n];
  const double units = std::round(static_cast<double>(SequenceLength(w)) * w.stretch);
  if (!(units > 0.0)) return 0;
  return units > 4294967295.0 ? 4294967295u : static_cast<std::uint32_t>(units);
}

bool SequenceAccepted(const char* text, std::size_t* bad) {
  for (std::size_t i = 0; text && text[i]; ++i) {
    if (!std::strchr(kAcceptedSymbols, text[i])) {
      if (bad) *bad = i;
      return false;
    }
  }
  return true;
}

DriverStatus RenderWaveforms(const std::vector<int>& waveforms, GeneratorOutput& out) {
  const DacCard* card = DacCardAt(out.cardIndex);
  const std::size_t channels = out.channels.size();
  if (!TSM_ASSERT(card && channels > 0 && waveforms.size() == channels, kSource))
    return kGeneratorNoMemory;
  std::uint64_t longest = 0;
  for (int n : waveforms) longest = std::max<std::uint64_t>(longest, WaveformLength(n));
  const std::uint64_t points = longest * State().settings.general.samplesPerLogUnit;
  if (points <= 2) return kGeneratorTooShort;
  if (points > kMaxGeneratorCodes / channels) return kGeneratorNoMemory;
  const std::size_t count = static_cast<std::size_t>(points) * channels;

  std::vector<double> volts;
  std::vector<std::int16_t> codes;
  try {
    volts.resize(count);
    codes.resize(count);
  } catch (const std::bad_alloc&) {
    return kGeneratorNoMemory;
  }
  const double halfSpan = (card->maxVoltage - card->minVoltage) / 2;
  for (std::uint32_t j = 0; j < points; ++j)
    for (std::size_t k = 0; k < channels; ++k)
      volts[j * channels + k] = halfSpan * WaveformValue(waveforms[k], j);

  DriverStatus status;
  {
    std::lock_guard lock(DriverMutex());
    status = GetDriver().Waveform_Scale(static_cast<std::int16_t>(card->slot), 0,
                                        static_cast<std::uint32_t>(count), 1.0, volts.data(),
                                        codes.data());
  }
  // The scaling status itself is not a reason to refuse the start; without
  // codes, though, the card would play whatever the buffer held.
  if (status < 0)
    for (std::size_t i = 0; i < count; ++i) codes[i] = CodeOfVolts(*card, volts[i]);

  out.points = static_cast<std::uint32_t>(points);
  out.codes = std::move(codes);
  return kStatusOk;
}

DriverStatus StartGeneratorOutput(GeneratorOutput output) {
  GeneratorState& s = State();
  std::lock_guard state(s.mutex);
  if (s.running) {
    const DriverStatus cleared = ClearLocked(s);
    if (cleared < 0) return cleared;
  }
  const DacCard* card = DacCardAt(output.cardIndex);
  if (!TSM_ASSERT(card && !output.channels.empty() &&
                      output.codes.size() ==
                          static_cast<std::size_t>(output.points) * output.channels.size(),
                  kSource))
    return kGeneratorNoMemory;
  DriverStatus status;
  {
    std::lock_guard lock(DriverMutex());
    status = GetDriver().WFM_Op(static_cast<std::int16_t>(card->slot),
                                static_cast<std::int16_t>(output.channels.size()),
                                output.channels.data(), output.codes.data(),
                                static_cast<std::uint32_t>(output.codes.size()), 0,
                                output.updateRate);
  }
  ReportDriverStatus(ReportedOp::kWfmOp, status);
  if (status < 0) return status;
  s.output = std::move(output);
  s.running = true;
  s.paused = false;
  return status;
}

bool WaveformGeneratorRunning() { return State().running; }
bool WaveformGeneratorPaused() { return State().running && State().paused; }

GeneratorOutput RunningOutput() {
  GeneratorState& s = State();
  std::lock_guard state(s.mutex);
  return s.running ? s.output : GeneratorOutput{};
}

DriverStatus StopWaveformGenerator() {
  GeneratorState& s = State();
  std::lock_guard state(s.mutex);
  if (!s.running) return kStatusOk;
  return ClearLocked(s);
}

DriverStatus PauseWaveformGenerator() {
  GeneratorState& s = State();
  std::lock_guard state(s.mutex);
  if (!s.running) return kStatusOk;
  const DriverStatus status = GroupControl(SlotOf(s.output), kWfmPause);
  if (status >= 0) s.paused = true;
  return status;
}

DriverStatus ResumeWaveformGenerator() {
  GeneratorState& s = State();
  std::lock_guard state(s.mutex);
  if (!s.running) return kStatusOk;
  const DriverStatus status = GroupControl(SlotOf(s.output), kWfmResume);
  if (status >= 0) s.paused = false;
  return status;
}

DriverStatus RampWaveformToZero() {
  GeneratorState& s = State();
  std::lock_guard state(s.mutex);
  if (!s.running) return kStatusOk;
  const std::int16_t slot = SlotOf(s.output);
  std::vector<std::int16_t>& codes = s.output.codes;
  auto anyCode = [&] {
    return std::any_of(codes.begin(), codes.end(), [](std::int16_t c) { return c != 0; });
  };
  while (anyCode()) {
    DriverStatus status = GroupControl(slot, kWfmPause);
    if (status < 0) return status;
    for (std::int16_t& c : codes) {
      if (c > 0) c = static_cast<std::int16_t>(std::max(0, c - kRampStep));
      else if (c < 0) c = static_cast<std::int16_t>(std::min(0, c + kRampStep));
    }
    const Check before = CheckOutput(s.output);
    ReportDriverStatus(ReportedOp::kWfmCheck, before.status);
    status = GroupControl(slot, kWfmResume);
    if (status < 0) return status;
    // One full period with the new codes has played when the count moves on
    // (it may wrap, so any change counts).
    for (int poll = 0; poll < kRampPollLimit && before.status >= 0; ++poll) {
      const Check now = CheckOutput(s.output);
      if (now.status < 0) {
        ReportDriverStatus(ReportedOp::kWfmCheck, now.status);
        break;
      }
      if (now.iterations != before.iterations) break;
      platform::Sleep(1);
    }
  }
  return ClearLocked(s);
}

bool StopOutputAtPoint(std::vector<std::uint16_t>* codes) {
  GeneratorState& s = State();
  std::lock_guard state(s.mutex);
  if (!s.running) {
    TSM_ASSERT(!"StopWaveformAtPoint() -- the generator is not running", kSource);
    return false;
  }
  const std::int16_t slot = SlotOf(s.output);
  if (GroupControl(slot, kWfmPause) >= 0) s.paused = true;
  const Check at = CheckOutput(s.output);
  ReportDriverStatus(ReportedOp::kWfmCheck, at.status);
  // Where each channel stands, taken before CLEAR frees the buffer.
  std::vector<std::uint16_t> stopped;
  const GeneratorOutput& out = s.output;
  const DacCard* card = DacCardAt(out.cardIndex);
  const std::size_t n = out.channels.size();
  const std::uint32_t point = at.status >= 0 && out.points ? at.points % out.points : 0;
  for (std::size_t k = 0; k < n && card; ++k)
    stopped.push_back(CodeFromDriverCode(*card, out.codes[point * n + k]));
  if (ClearLocked(s) < 0) return false;
  if (codes) *codes = std::move(stopped);
  return true;
}

void ResetWaveforms() {
  GeneratorState& s = State();
  std::lock_guard state(s.mutex);
  s.settings = WaveformSettings{};
  s.output = GeneratorOutput{};
  s.running = false;
  s.paused = false;
  s.random.seed(1);
}

}  // namespace tsm::daq
