// The generator as the virtual currents see it: which currents feed the
// card's waveform output (the waveform-role currents for the waveforms, the
// Sweep1 currents for the fast sweep), the checks that they can share one
// output, and putting every current back where it was when the output
// stops. The driver half (buffers, WFM_Op, pause, resume, ramp, stop) is
// daq/generator.h; its StopWaveformGenerator, PauseWaveformGenerator,
// ResumeWaveformGenerator and RampWaveformToZero serve both generators.
#pragma once

#include <cstdint>
#include <vector>

#include "daq/driver.h"
#include "platform/ui.h"

namespace tsm::channels {

inline constexpr const char* kWfmDifferentCardsText =
    "Can not start internal sweep generator\nbecause different WFM currents correspond\nto "
    "the different Zentra slots/cards";
inline constexpr const char* kWfmNoCurrentsText =
    "Can not start internal sweep generator\nbecause there are no waveform currents defined";
inline constexpr const char* kSweepDifferentCardsText =
    "Can not start internal sweep generator\nbecause different sweep1 currents correspond\nto "
    "the different Zentra slots/cards";
inline constexpr const char* kSweepNoCurrentsText =
    "Can not start internal sweep generator\nbecause there are no sweep1 currents defined";
inline constexpr const char* kDifferentCardsCaption = "Zentra limitation";
inline constexpr const char* kNoCurrentsCaption = "Error";
// What the measurement dialog shows with the status of a failed start.
inline constexpr const char* kFastWaveformFailedText =
    "Can not start FastWaveformGenerator\nZentra Error code: %d.";
inline constexpr const char* kFastSweepFailedText =
    "Can not start FastSweepGenerator\nZentra Error code: %d\n";
inline constexpr const char* kFastGeneratorFailedCaption = "Error";

// Plays every waveform-role current (kinds 7..22) with its waveform. In
// index order the currents are collected (those without an existing card or
// a chosen channel drive nothing and are left out); they must share one DAC
// card ("Zentra limitation" message, -6) and there must be one ("Error"
// message, -1). The output lists them by DAC channel ascending; P <= 2
// points fails with -8, buffers that cannot be had with -2; otherwise the
// status of WFM_Op (0 = started). Remembers every current's present code.
// Messages are owned by `owner` (the main window when null).
daq::DriverStatus StartWaveformGenerator(platform::WindowHandle owner = nullptr);

// The measurement dialog's "&Generator" box in the WFM mode.
inline daq::DriverStatus StartFastWaveformGenerator(platform::WindowHandle owner = nullptr) {
  return StartWaveformGenerator(owner);
}

// A sweep in normalised 16-bit codes, as the measurement dialog holds it.
struct GeneratorRange {
  std::uint32_t start = 0;
  std::uint32_t stop = 65535;
  std::uint32_t step = 16;  // 0 is taken as 1
  bool twoDirections = true;
};

// The fast sweep generator ("&Generator" box of every mode but WFM): the
// Sweep1 currents play the range over and over. Buffer: the codes of the
// range in sweep order (start, start +- step, ... while inside the range),
// then, with two directions, from stop back the same way; one entry per
// point and channel, channel fastest. Each current gets the normalised code
// on its card (v div (65536 div K), K = the card's number of codes); a
// current of the opposite sign to the first Sweep1 current gets the mirrored
// card code (max + min - c). `frequency` is in sweeps per second (the whole
// buffer once), so the update rate is points x frequency. Refusals as for
// StartWaveformGenerator with the sweep1 messages (-6, -1), -8, -2; else the
// status of WFM_Op.
daq::DriverStatus StartFastSweepGenerator(const GeneratorRange& range, double frequency,
                                          platform::WindowHandle owner = nullptr);

// Shapes of the periodic Sweep1 waveform (the V_dc(I_ac) measurement's
// "Waveforms" choice), between the range's start code a and stop code b.
inline constexpr int kSweepSine = 0;       // (a+b)/2 + (b-a)/2 sin(2 pi j / P)
inline constexpr int kSweepRamp = 1;       // a to b in P points, then again
inline constexpr int kSweepRectangle = 2;  // a for the first half, b for the second
inline constexpr int kSweepNoise = 3;      // a + (b-a) r / 32767, r random
// Plays one period of the shape on the Sweep1 currents at `samplingRate`
// points per second, with P = samplingRate / frequency points (rounded, at
// least 3); the refusals as for StartFastSweepGenerator.
daq::DriverStatus StartSweepWaveform(const GeneratorRange& range, double frequency,
                                     double samplingRate, int shape,
                                     platform::WindowHandle owner = nullptr);

// Stops whichever output runs at its present point and moves every current
// that fed it from the code it was left at back to the code it had before
// the start, in steps of at most "MaxDACStep". 1 when stopped; 0 when the
// CLEAR failed (the output still runs) or nothing ran (a program error).
int StopWaveformAtPoint();

// The currents that feed the running output, in the order of its channel
// list, and their codes from before the start (empty when stopped).
std::vector<int> GeneratorCurrents();
std::vector<std::uint16_t> GeneratorCodesBefore();

// Forgets the remembered currents (test fixtures; with daq::ResetWaveforms).
void ResetGeneratorControl();

}  // namespace tsm::channels
