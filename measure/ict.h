// Ic(T): the critical-current search of Ic(H) repeated while the sample's
// temperature drifts, N points (the dialog's point counter). One curve per
// measured voltage, named after it and the Sweep1 current, x the
// thermometer reading in K taken right after the search, y the bias current
// in amperes. A point is kept only when some curve's temperature moved by
// at least "Ic(T)MinDeltaT" since the previous point; otherwise a beep, and
// the point is measured again.
#pragma once

namespace tsm::measure {

class MeasureDialog;

inline constexpr const char* kIcTTitle = "Ic(T)";

// The routine of the "Ic(T)" description (worker thread). 0 when the start
// checks fail (Sweep1 current, a measured voltage, a T-sensor voltage);
// otherwise 1: a stop before the fifth point empties the family, a later
// one keeps the points accepted; a failed search keeps the points accepted
// before it; a failed first reset empties the family. A thermometer that
// cannot read (no sensor, outside its table) gives no point, only the beep.
// The Sweep1 current ends at the code it had at the start.
int IcT(MeasureDialog& dialog);

}  // namespace tsm::measure
