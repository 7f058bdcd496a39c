#include "channels/generator_control.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <new>
#include <numbers>

#include "channels/measurement_options.h"
#include "channels/virtual_channels.h"
#include "daq/cards.h"
#include "daq/generator.h"
#include "platform/assert.h"
#include "shell/errors.h"

namespace tsm::channels {

using namespace tsm::platform;

namespace {
constexpr const char* kSource = "generator";

// The currents behind the running output, aligned with its channel list.
struct GeneratorControlState {
  std::mutex mutex;
  std::vector<int> currents;
  std::vector<std::uint16_t> codesBefore;
};

GeneratorControlState& State() {
  static GeneratorControlState state;
  return state;
}

struct Feed {
  int current;
  std::int16_t channel;
  std::uint16_t kind;
};

struct Collected {
  std::size_t cardIndex = 0;
  std::vector<Feed> feeds;  // sorted by channel
  daq::DriverStatus refusal = 0;
};

struct Messages {
  const char* differentCards;
  const char* none;
};

// Collects the currents that satisfy `wanted` in index order and checks that
// one card drives them all.
template <class Pred>
Collected Collect(Pred wanted, const Messages& texts, WindowHandle owner) {
  Collected c;
  const auto currents = AllCurrents();
  bool haveCard = false;
  for (int i = 0; i < kCurrentCount; ++i) {
    const VirtualCurrent& v = currents[i];
    if (!wanted(v.kind)) continue;
    // A current without a card or a channel drives no output.
    if (!daq::DacCardAt(v.dacCard) || v.dacChannel < 0) continue;
    if (haveCard && v.dacCard != c.cardIndex) {
      shell::ShowMessage(owner ? owner : shell::MainWindow(), texts.differentCards,
                         kDifferentCardsCaption, MB_OK | MB_ICONHAND);
      c.refusal = daq::kGeneratorDifferentCards;
      return c;
    }
    haveCard = true;
    c.cardIndex = v.dacCard;
    c.feeds.push_back({i, v.dacChannel, v.kind});
  }
  if (c.feeds.empty()) {
    shell::ShowMessage(owner ? owner : shell::MainWindow(), texts.none, kNoCurrentsCaption,
                       MB_OK | MB_ICONHAND);
    c.refusal = daq::kGeneratorNoCurrents;
    return c;
  }
  std::stable_sort(c.feeds.begin(), c.feeds.end(),
                   [](const Feed& a, const Feed& b) { return a.channel < b.channel; });
  return c;
}

daq::GeneratorOutput OutputOf(const Collected& c) {
  daq::GeneratorOutput out;
  out.cardIndex = c.cardIndex;
  for (const Feed& f : c.feeds) out.channels.push_back(f.channel);
  return out;
}

// Starts the output and, when it runs, remembers where its currents were.
daq::DriverStatus Start(const Collected& c, daq::GeneratorOutput out) {
  std::vector<int> currents;
  std::vector<std::uint16_t> before;
  for (const Feed& f : c.feeds) {
    currents.push_back(f.current);
    before.push_back(PresentCode(f.current));
  }
  const daq::DriverStatus status = daq::StartGeneratorOutput(std::move(out));
  if (status >= 0) {
    GeneratorControlState& s = State();
    std::lock_guard lock(s.mutex);
    s.currents = std::move(currents);
    s.codesBefore = std::move(before);
  }
  return status;
}

// The card code of normalised code v for a Sweep1 current.
std::uint16_t SweepCardCode(const daq::DacCard& card, std::uint32_t v, bool mirrored) {
  const std::uint32_t k = static_cast<std::uint32_t>(card.maxCode) - card.minCode + 1;
  const std::uint32_t divisor = std::max<std::uint32_t>(1, 65536 / k);
  std::uint32_t code = std::min<std::uint32_t>(v, 65535) / divisor;
  code = std::clamp<std::uint32_t>(code, card.minCode, card.maxCode);
  if (mirrored) code = static_cast<std::uint32_t>(card.maxCode) + card.minCode - code;
  return static_cast<std::uint16_t>(code);
}

// Renders normalised codes (one per point) onto the Sweep1 currents.
daq::DriverStatus SweepOutput(const Collected& c, const std::vector<std::uint32_t>& points,
                              double updateRate) {
  if (points.size() <= 2) return daq::kGeneratorTooShort;
  const std::size_t n = c.feeds.size();
  if (points.size() > daq::kMaxGeneratorCodes / n) return daq::kGeneratorNoMemory;
  const daq::DacCard* card = daq::DacCardAt(c.cardIndex);
  if (!TSM_ASSERT(card != nullptr, kSource)) return daq::kGeneratorNoMemory;
  daq::GeneratorOutput out = OutputOf(c);
  try {
    out.codes.resize(points.size() * n);
  } catch (const std::bad_alloc&) {
    return daq::kGeneratorNoMemory;
  }
  // The first Sweep1 current in index order leads; the opposite sign mirrors.
  const std::uint16_t leadKind =
      std::min_element(c.feeds.begin(), c.feeds.end(), [](const Feed& a, const Feed& b) {
        return a.current < b.current;
      })->kind;
  for (std::size_t j = 0; j < points.size(); ++j)
    for (std::size_t k = 0; k < n; ++k)
      out.codes[j * n + k] = daq::DriverCodeFromCode(
          *card, SweepCardCode(*card, points[j], c.feeds[k].kind != leadKind));
  out.points = static_cast<std::uint32_t>(points.size());
  out.updateRate = updateRate;
  return Start(c, std::move(out));
}

// Normalised codes of a range in sweep order, at most `limit` of them (more
// mean the buffer would be refused anyway).
bool SweepCodes(const GeneratorRange& r, std::size_t limit, std::vector<std::uint32_t>* codes) {
  const std::uint64_t step = std::max<std::uint32_t>(1, r.step);
  const std::uint64_t start = std::min<std::uint32_t>(r.start, 65535);
  const std::uint64_t stop = std::min<std::uint32_t>(r.stop, 65535);
  const std::uint64_t span = start > stop ? start - stop : stop - start;
  const std::uint64_t perDirection = span / step + 1;
  if (perDirection * (r.twoDirections ? 2 : 1) > limit) return false;
  try {
    codes->reserve(perDirection * (r.twoDirections ? 2 : 1));
  } catch (const std::bad_alloc&) {
    return false;
  }
  const bool up = start < stop;
  for (std::uint64_t i = 0; i < perDirection; ++i)
    codes->push_back(static_cast<std::uint32_t>(up ? start + i * step : start - i * step));
  if (r.twoDirections)
    for (std::uint64_t i = 0; i < perDirection; ++i)
      codes->push_back(static_cast<std::uint32_t>(up ? stop - i * step : stop + i * step));
  return true;
}

const Messages kSweepMessages{kSweepDifferentCardsText, kSweepNoCurrentsText};
}  // namespace

daq::DriverStatus StartWaveformGenerator(WindowHandle owner) {
  const Collected c = Collect([](std::uint16_t kind) { return kind >= kWaveForm0 && kind <= kWaveForm15; },
                              Messages{kWfmDifferentCardsText, kWfmNoCurrentsText}, owner);
  if (c.refusal) return c.refusal;
  daq::GeneratorOutput out = OutputOf(c);
  std::vector<int> waveforms;
  for (const Feed& f : c.feeds) waveforms.push_back(f.kind - kWaveForm0);
  const daq::DriverStatus rendered = daq::RenderWaveforms(waveforms, out);
  if (rendered != 0) return rendered;
  const daq::WaveformSettings& settings = daq::GetWaveformSettings();
  out.updateRate = static_cast<double>(settings.general.samplesPerLogUnit) * settings.frequency;
  return Start(c, std::move(out));
}

daq::DriverStatus StartFastSweepGenerator(const GeneratorRange& range, double frequency,
                                          WindowHandle owner) {
  const Collected c = Collect(IsSweep1Kind, kSweepMessages, owner);
  if (c.refusal) return c.refusal;
  std::vector<std::uint32_t> codes;
  if (!SweepCodes(range, daq::kMaxGeneratorCodes / c.feeds.size(), &codes))
    return daq::kGeneratorNoMemory;
  return SweepOutput(c, codes, static_cast<double>(codes.size()) * frequency);
}

daq::DriverStatus StartSweepWaveform(const GeneratorRange& range, double frequency,
                                     double samplingRate, int shape, WindowHandle owner) {
  const Collected c = Collect(IsSweep1Kind, kSweepMessages, owner);
  if (c.refusal) return c.refusal;
  const double wanted = frequency > 0 ? std::round(samplingRate / frequency) : 0.0;
  if (!(wanted >= 3)) return daq::kGeneratorTooShort;
  if (wanted > static_cast<double>(daq::kMaxGeneratorCodes / c.feeds.size()))
    return daq::kGeneratorNoMemory;
  const std::size_t p = static_cast<std::size_t>(wanted);
  std::vector<std::uint32_t> codes;
  try {
    codes.resize(p);
  } catch (const std::bad_alloc&) {
    return daq::kGeneratorNoMemory;
  }
  const double a = std::min<std::uint32_t>(range.start, 65535);
  const double b = std::min<std::uint32_t>(range.stop, 65535);
  for (std::size_t j = 0; j < p; ++j) {
    double v = a;
    switch (shape) {
      case kSweepSine:
        v = (a + b) / 2 + (b - a) / 2 * std::sin(2 * std::numbers::pi * j / p);
        break;
      case kSweepRamp: v = a + (b - a) * j / (p - 1); break;
      case kSweepRectangle: v = j < p / 2 ? a : b; break;
      default: v = a + (b - a) * daq::WaveformRandom() / 32767.0; break;
    }
    codes[j] = static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 65535L));
  }
  return SweepOutput(c, codes, samplingRate);
}

int StopWaveformAtPoint() {
  const daq::GeneratorOutput running = daq::RunningOutput();
  std::vector<std::uint16_t> stoppedAt;
  if (!daq::StopOutputAtPoint(&stoppedAt)) return 0;
  std::vector<int> currents;
  std::vector<std::uint16_t> before;
  {
    GeneratorControlState& s = State();
    std::lock_guard lock(s.mutex);
    currents.swap(s.currents);
    before.swap(s.codesBefore);
  }
  if (currents.size() != stoppedAt.size() || before.size() != stoppedAt.size()) return 1;
  // The output was left at the codes of the stopping point, while the
  // present codes still say where each current was before the start: move
  // from the first back to the second in bounded steps, all in the same
  // passes, as every other move of a current.
  const std::uint32_t maxStep =
      std::max<std::uint32_t>(1, GetMeasurementOptions().delays.maxDacStep);
  std::vector<int> at(stoppedAt.begin(), stoppedAt.end());
  for (bool moved = true; moved;) {
    moved = false;
    std::lock_guard lock(daq::DriverMutex());
    for (std::size_t k = 0; k < currents.size(); ++k) {
      const int target = before[k];
      if (at[k] == target) continue;
      const int step = static_cast<int>(std::min<std::uint32_t>(maxStep, std::abs(target - at[k])));
      at[k] += target > at[k] ? step : -step;
      daq::WriteDac(running.cardIndex, static_cast<std::uint16_t>(running.channels[k]),
                    static_cast<std::uint16_t>(at[k]));
      moved = true;
    }
  }
  // A current moved by hand meanwhile goes back as well.
  for (std::size_t k = 0; k < currents.size(); ++k) SetCurrentCode(currents[k], before[k]);
  return 1;
}

std::vector<int> GeneratorCurrents() {
  if (!daq::WaveformGeneratorRunning()) return {};
  GeneratorControlState& s = State();
  std::lock_guard lock(s.mutex);
  return s.currents;
}

std::vector<std::uint16_t> GeneratorCodesBefore() {
  if (!daq::WaveformGeneratorRunning()) return {};
  GeneratorControlState& s = State();
  std::lock_guard lock(s.mutex);
  return s.codesBefore;
}

void ResetGeneratorControl() {
  GeneratorControlState& s = State();
  std::lock_guard lock(s.mutex);
  s.currents.clear();
  s.codesBefore.clear();
}

}  // namespace tsm::channels
