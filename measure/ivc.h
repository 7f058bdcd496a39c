// The V(I) sweep ("IVC"): steps the Sweep1 current through the dialog's
// Sweep1 range and reads every measured voltage at every point, giving one
// curve per voltage with the sweep parameter along x and volts along y.
#pragma once

#include <cstdint>

namespace tsm::measure {

class MeasureDialog;

inline constexpr const char* kIVCTitle = "IVC";
inline constexpr const char* kIVCErrorCaption = "IVC Error";
inline constexpr const char* kIVCUnknownKindText =
    "IVC_GetParamValue -- Unknown value of IVC_xAxis_Param";

// The x value of point i (every point counted, forward and back): kind 0
// the present Sweep1 current in amperes times "IVC_xAxis_Factor"; kind 1
// "IVC_xAxis_From" + i x "IVC_xAxis_Step". Another kind is a program error
// (and 0).
double IVC_GetParamValue(std::uint32_t i, int sweep1Current);

// The routine of the "IVC" description (worker thread). 0 when the start
// checks fail (message shown, family unchanged); otherwise 1, also after a
// stop or a failed trigger, with the partial curves kept as follows: a stop
// before 5 points empties the family, a later one keeps the points before
// the one just measured; a missing trigger current keeps the points before
// it. The Sweep1 current always ends at the code it had at the start.
//
// "Only on the edges" ("CurrentMesureMethod" 1): after a complete sweep the
// x of forward point i becomes x_first + i (x_stop - x_first) / N and the
// way back mirrors it. x_stop is the x of the last point measured at the
// stop code; when no point had it (one direction, a step that does not
// divide the span) it is the x of the last forward point.
int IVC(MeasureDialog& dialog);

}  // namespace tsm::measure
