// V(time): a time trace of every measured voltage. Timed points read the
// averaged voltages at i x "Measure:V(time)_Interval" ms after the start, on
// an absolute schedule (a slow reading delays only the next point, which is
// then taken late; nothing is skipped and no drift accumulates), with x the
// seconds since the start when the voltage was read. The buffered way takes
// N samples of every voltage in one acquisition of the card at
// "Measure:V(time)_SamplingRate", with x = i / rate.
#pragma once

namespace tsm::measure {

class MeasureDialog;

inline constexpr const char* kVtimeTitle = "V(time)";

// The routine of the "V(time)" description (worker thread). N is the
// dialog's point count. 0 when the start checks fail, the cards cannot take
// the buffered acquisition asked for, or the driver fails it (a message
// each; the family unchanged); otherwise 1, with one curve per measured
// voltage (units "s" and "V"). A stop keeps the points taken, or empties
// the family when fewer than 5.
int Vtime(MeasureDialog& dialog);

}  // namespace tsm::measure
