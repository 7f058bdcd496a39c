// The card's own waveform output. Holds the sixteen waveform definitions
// (one symbol per logic unit), the sampling options and the generator
// frequency, computes a waveform's value at any sample, and plays one
// channel-interleaved code buffer on one DAC card in the background: start,
// pause, resume, ramp down gently, stop, stop at the present point.
//
// Which virtual currents feed the generator is decided one layer up
// (channels/generator_control.h): this layer knows cards and channels, the
// channels layer knows the currents, their roles and their present codes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "daq/driver.h"

namespace tsm::daq {

inline constexpr int kWaveformCount = 16;
inline constexpr std::size_t kSequenceSize = 64;  // 63 symbols + terminator
inline constexpr const char* kWaveformSection = "WaveForms";
// The symbols a sequence may hold (the sequence dialog refuses others).
inline constexpr const char* kAcceptedSymbols = "0123456789_/\\-T~SCsc|!R";

// Failures of a start that never reached the driver.
inline constexpr DriverStatus kGeneratorNoCurrents = -1;
inline constexpr DriverStatus kGeneratorNoMemory = -2;
inline constexpr DriverStatus kGeneratorDifferentCards = -6;
inline constexpr DriverStatus kGeneratorTooShort = -8;
// A buffer may hold at most this many codes (points x channels): far more
// than a card's output memory, and small enough that a sequence stretched a
// million times cannot ask for gigabytes.
inline constexpr std::size_t kMaxGeneratorCodes = std::size_t{1} << 22;
// The group of WFM_Group_Control that the program's outputs belong to.
inline constexpr std::int16_t kWfmGroup = 1;
// RampWaveformToZero moves each code by at most this much per period.
inline constexpr int kRampStep = 256;

struct WaveformDefinition {
  char sequence[kSequenceSize] = {};  // "Seq%d"
  float value0 = 0.0f;                // "0-Value%d": fraction of half the card's span
  float value1 = 1.0f;                // "1-Value%d"
  float stretch = 1.0f;               // "Stretch%d": logic unit in SamplesPerLogUnit
  int prolong = 0;                    // "Prolong%d": 1 repeat, 0 stay at V0 after the end
};

struct WaveformGeneralOptions {
  unsigned samplesPerLogUnit = 16;     // "SamplesPerLogUnit", 1..4096
  unsigned samplingTimeInterval = 10;  // "SamplingTimeInterval", ms per tick
  unsigned numberOfCycles = 1;         // "NumberOfCycles", 0..128
  unsigned xAxis = 1;                  // "X-Axis": 0 seconds, 1 ticks, 2 logic units
  float shiftConsequentVoltagesBy = 0.0f;  // "ShiftConsequentVoltagesBy", volts
};

inline constexpr unsigned kXAxisSeconds = 0;
inline constexpr unsigned kXAxisTicks = 1;
inline constexpr unsigned kXAxisLogicUnits = 2;

struct WaveformSettings {
  std::array<WaveformDefinition, kWaveformCount> waveforms{};
  WaveformGeneralOptions general;
  float frequency = 100.0f;  // "Frequency": logic units per second, 0..1e9
};

// The program's settings (factory defaults until the groups load).
WaveformSettings& GetWaveformSettings();

// --- waveform values ----------------------------------------------------------
// The value of waveform n (0..15) at a sample index, in the units of V0/V1.
// A logic unit lasts S = int(SamplesPerLogUnit x Stretch) samples (at least
// one, so a tiny stretch cannot divide by zero). n outside 0..15 gives 0.
double WaveformValue(int n, std::uint32_t sample);
// Length of sequence n x "Stretch%d" rounded to nearest, in logic units
// (0 for n outside 0..15 and for a stretch that is not positive).
std::uint32_t WaveformLength(int n);
// Whether every symbol of the text is one the sequence dialog accepts;
// otherwise the position of the first refused one goes to *bad.
bool SequenceAccepted(const char* text, std::size_t* bad = nullptr);

// --- the generator ------------------------------------------------------------
// One output: channels of one DAC card in ascending order and a code buffer
// of points x channels driver codes, channel fastest.
struct GeneratorOutput {
  std::size_t cardIndex = 0;
  std::vector<std::int16_t> channels;
  std::uint32_t points = 0;
  std::vector<std::int16_t> codes;
  double updateRate = 0.0;  // points per second
};

// Fills out.points and out.codes with the waveforms given per channel
// (waveforms[k] plays on out.channels[k]): P = longest WaveformLength x
// SamplesPerLogUnit points, volts = (Vmax - Vmin) x value / 2 of the card,
// converted by Waveform_Scale (slot, channel 0, count, gain 1.0). When the
// driver cannot scale, the codes come from the card's own range so the
// output still carries the waveform. 0, kGeneratorTooShort (P <= 2) or
// kGeneratorNoMemory (the buffers cannot be had, or exceed the limit).
DriverStatus RenderWaveforms(const std::vector<int>& waveforms, GeneratorOutput& out);

// Starts WFM_Op (slot, channels, list, codes, count, 0 = for ever, rate),
// reported as "WFM_Op()". On a non-negative status the generator runs and
// owns the buffer; on a negative one nothing is kept. An output that already
// runs is stopped first (its CLEAR status is returned if that fails).
DriverStatus StartGeneratorOutput(GeneratorOutput output);

bool WaveformGeneratorRunning();
bool WaveformGeneratorPaused();
// The output that runs (empty record when stopped).
GeneratorOutput RunningOutput();

// WFM_Group_Control CLEAR, reported; on a non-negative status the buffer is
// freed and the generator stopped. A failing CLEAR keeps both. Stopped: 0.
DriverStatus StopWaveformGenerator();
// PAUSE (2) / RESUME (4), reported. Stopped: 0 and no driver call.
DriverStatus PauseWaveformGenerator();
DriverStatus ResumeWaveformGenerator();
// Brings a running output to code 0 gently: while any code of the buffer is
// not 0, PAUSE, move every code towards 0 by at most 256, WFM_Check, RESUME,
// and wait until the driver's iteration count changes (one period played
// with the new codes; the wait gives up after a bounded number of checks);
// then CLEAR. Returns the first failing status, else that of CLEAR.
DriverStatus RampWaveformToZero();

// The driver half of stopping at the present point: PAUSE, WFM_Check for the
// points done (reported as "WFM_Check", flag 0), CLEAR (reported). After a
// successful CLEAR the program codes (driver code + zero shift) at that point
// of every channel, in the order of the channel list, go to *codes, the
// buffer is freed and true is returned. A failing CLEAR keeps the buffer and
// the running flag and returns false. Stopped: a program error, false.
bool StopOutputAtPoint(std::vector<std::uint16_t>* codes);

// A fresh pseudo-random number 0..32767 (the "R" symbol; seedable for tests).
int WaveformRandom();

// Back to program start: settings at their defaults, generator stopped
// without a driver call, random sequence restarted.
void ResetWaveforms();

}  // namespace tsm::daq
