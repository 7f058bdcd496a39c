// The waveform-driven response V(I_wfm) (description "WFM"): the program
// itself plays the user's waveforms on every waveform-role current, clock
// tick by clock tick, and reads every measured voltage after each tick. One
// curve per voltage of T = L x C x S points (L the longest assigned
// waveform in logic units, C the cycles, S the ticks per logic unit).
#pragma once

#include <cstdint>

namespace tsm::measure {

class MeasureDialog;

inline constexpr const char* kWFMTitle = "WaveForm";
inline constexpr const char* kWFMCaption = "Can't measure V(I_WFM)";
inline constexpr const char* kWFMNoWaveformText =
    "Either\n1. No WaveForm current found or\n2. All waveform currents correspond to an empty "
    "waveform.";
inline constexpr const char* kWFMNoVoltagesText =
    "No Voltages to measure!\n\nDefine at least one voltage as \"positive\" or \"negative\"\n";
inline constexpr const char* kWFMTooManyTicksCaption = "Can't measure WaveForms";
inline constexpr const char* kWFMTooManyTicksText =
    "Too many clock cycles!\n\nConsider the following:\n\n1. Too many periods to measure\n2. "
    "Too long WaveForm\n3. Too many samples for one logical unit";
inline constexpr const char* kWFMUnknownXText = "WF_GetXVal -- Unknown type of x-axis";
// The smallest refused tick count.
inline constexpr std::uint64_t kWFMTickLimit = 4294967294u;

// The longest waveform, in logic units, among those of the waveform-role
// currents (0 when there is none or all are empty).
std::uint32_t AssignedWaveformLength();
// T = L x C x S into *ticks; false when T >= 4294967294. The product is
// taken whole, so one that passes 2^32 is refused rather than wrapped round.
bool WFMTickCount(std::uint32_t length, std::uint32_t cycles, std::uint32_t samplesPerUnit,
                  std::uint32_t* ticks);
// The x units of an x-axis kind: "s", "tick", "LU" ("" for another kind).
const char* WFMXUnits(unsigned kind);

// The routine of the "WFM" description (worker thread). 0 when one of the
// three refusals applies (message shown, family unchanged), the x-axis kind
// is unknown (program error) or the curves cannot be had (family emptied).
// Otherwise 1; a stop keeps the ticks before the one just measured (none
// when fewer than 5). Every waveform-role current ends at the code it had at
// the start.
int WFM(MeasureDialog& dialog);

}  // namespace tsm::measure
