// The rectified response V_dc(I_ac): for every code a of the dialog's Sweep1
// range the waveform generator plays an AC waveform on the Sweep1 current,
// around mid-scale with amplitude |a - 32768|, and the DC voltages are read
// while it plays. One curve per measured voltage, x the current at the
// waveform's extreme code a.
#pragma once

#include <cstdint>

namespace tsm::measure {

class MeasureDialog;

inline constexpr const char* kVdcIacTitle = "V_dc(I_ac)";
inline constexpr std::uint32_t kMidScale = 32768;

// The other extreme of the waveform whose first one is a: the mirror of a
// around mid-scale, 65536 - a, so that the waveform is centred on the zero
// code and a = 32768 is flat; a = 0 has no mirror on the scale and gets
// 65535.
std::uint32_t SymmetricExtreme(std::uint32_t a);

// x of point i in "only on the edges" with n0 points per direction and the
// currents measured at start and stop: forward I_start + (I_stop - I_start)
// i / n0 for i <= n0, which is I_stop at i = n0, the first point of the way
// back (measured at stop itself); then one step back towards I_start per
// point, I_start + (I_stop - I_start) (2 n0 - i) / n0.
double VdcEdgeX(std::uint32_t i, std::uint32_t n0, double iStart, double iStop);

// The routine of the "V_dc(I_ac)" description (worker thread). 0 when a
// start check fails (no Sweep1 current, no measured voltage; message shown,
// family unchanged) or the curves cannot be had (family emptied). Otherwise
// 1: a stop, or a generator that fails to start or to stop, ends the run
// with the points before the point concerned (none when fewer than 5). A
// start that fails without a message of its own (too short a period, no
// memory for its buffer) is told as the "&Generator" box tells it. The
// Sweep1 current ends at the code it had at the start.
int VdcIac(MeasureDialog& dialog);

}  // namespace tsm::measure
