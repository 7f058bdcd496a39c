// V(T)/R(T): follows the sample while its temperature drifts and records
// every measured voltage, or the resistance V / I of the Sweep1 current,
// against the thermometer's reading. It never sets the temperature; a new
// point needs the temperature to have moved by "V(T)_DeltaT". With
// anti-thermo-EMF every value is taken with Sweep1 one way and reversed, and
// the difference cancels the offsets that do not follow the current.
#pragma once

namespace tsm::measure {

class MeasureDialog;

inline constexpr const char* kVTTitle = "V(T)";
inline constexpr const char* kVTNeedsSweep1Text =
    "Anti-Termo-EMF mode or R(T) mode assume that\nyou have at least one Sweep1 current "
    "defined,\nso that the program can inverse the direction of\nthis current (for "
    "Anti-Termo-EMF) and/or to measure it\nto calculate R(T)=V/I, in case of R(T) mode.";
// What the thermometer's voltage row shows while the routine reads it.
inline constexpr const char* kNotUpdatedText = "not updated";

// The routine of the "V(T)/R(T)" description (worker thread). 0 when the
// start checks fail (message, family unchanged); otherwise 1 with one curve
// per measured voltage of N points (N = the dialog's point count), x the
// temperature in K, y volts or ohms. A cycle whose temperature is not
// usable (no reading, too close to the last point, no current in R(T))
// beeps and makes no point. A stop keeps the points taken, or empties the
// family when fewer than 5; Sweep1 always ends at its starting code.
int VT(MeasureDialog& dialog);

}  // namespace tsm::measure
