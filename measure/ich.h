// Ic(H) and Im(H): for every code of the Sweep2 (field) current, the
// critical-current search of measure/ic_search.* for every measured voltage,
// M times per field value. One curve per voltage, named after it and the
// Sweep1 current ("junction/bias"), x the field (or a value growing with the
// field index), y the bias current in amperes at the found code.
#pragma once

#include <cstdint>

#include "platform/ui.h"

namespace tsm::measure {

class MeasureDialog;

inline constexpr const char* kIcHTitle = "Ic(H)";
inline constexpr const char* kImHTitle = "Im(H)";
inline constexpr const char* kIcHErrorCaption = "Ic(H) Error";
inline constexpr const char* kSoundImH = "Im(H).wav";
inline constexpr const char* kNextPointText = "Next point?";
inline constexpr const char* kNextPointCaption = "Delay";
inline constexpr const char* kIcHUnknownKindText =
    "IcX_GetParamValue -- Unknown value of IcH_xAxis_Param";

// The x value of field index i (every field value counted, forward and
// back): kind 0 the present Sweep2 current in amperes times
// "Ic(H)_xAxis_Factor"; kind 1 "Ic(H)_xAxis_From" + i x "Ic(H)_xAxis_Step".
// Another kind is a program error (and 0).
double IcX_GetParamValue(std::uint32_t i, int sweep2Current);

// The routines of the "Ic(H)" and "Im(H)" descriptions (worker thread).
// 0 when the start checks fail (message shown, family unchanged); otherwise
// 1 with the points measured: a stop before the fifth field value empties
// the family, a later one keeps the completed field values; a failed search
// keeps every point found before it; a failed first reset empties the
// family. Both currents end at the codes they had at the start.
int IcH(MeasureDialog& dialog);
int ImH(MeasureDialog& dialog);

// Command 151 "Ic(H) with &Reset": the Ic(H) measurement with
// "Ic(X)ResetField" in force for that run (the field goes back to its
// starting code during every reset), whatever the option says.
int RunIcHWithReset(platform::WindowHandle owner);
// Whether a run started by RunIcHWithReset is in progress.
bool ResetFieldForced();

}  // namespace tsm::measure
