// What the framework knows about each measurement mode: the routine the
// worker runs, the caption title, the sweep ranges the dialog edits, the
// option dialogs its buttons open and the dialog template it uses. One
// constant record per mode.
#pragma once

#include <cstddef>

#include "platform/ui.h"

namespace tsm::measure {

class MeasureDialog;

// Runs on the worker thread; 1 when curves were produced, 0 when nothing
// was measured.
using MeasurementRoutine = int (*)(MeasureDialog& dialog);
// Opens an option dialog of the mode; 1 after OK.
using ModeDialogFn = int (*)(platform::WindowHandle owner);

// The five dialog layouts.
enum class DialogTemplate {
  Common,       // IVC, Ic(H), Im(H), voltage calibration
  IVF,          // with a second sweep group
  Compact,      // no sweep limits: Zub, WFM, V_dc(I_ac)
  Temperature,  // with the temperature field: Ic(T), V(T)/R(T)
  Vtime,        // V(time)
};

// The process-wide sweep range records the descriptions refer to (held in
// the measurement state, copied into and out of the dialog).
enum class RangeId {
  None,
  SharedVI,       // 0..65535 step 128, Sweep1 (IVC, IVF, WFM)
  IcH,            // 0..65535 step 128, Sweep2 (Ic(H), Im(H), Zub)
  IVFSweep2,      // 32768..36864 step 129, Sweep2
  VdcIac,         // 32768..65535 step 127, Sweep1
  IcTPoints,      // point counters 0..9999 step 1, no finder
  VTPoints,
  VtimePoints,
  Count
};

struct MeasurementDescription {
  MeasurementRoutine routine;  // null: the mode is not available (greyed)
  const char* title;           // appended to the dialog caption
  RangeId sweep1Range;
  RangeId sweep2Range;
  ModeDialogFn optionsDialog;  // "&Options"; a null one disables its button
  ModeDialogFn xAxisDialog;    // "x axis"
  ModeDialogFn yAxisDialog;    // "y axis"
  DialogTemplate dialogTemplate;
};

enum class Mode {
  IVC,
  IVF,
  IcH,
  ImH,
  Zub,
  WFM,
  IcT,
  VT,
  Vtime,
  VdcIac,
  VoltageCalibration,
  Count
};
inline constexpr std::size_t kModeCount = static_cast<std::size_t>(Mode::Count);

// The description of a mode.
const MeasurementDescription& Description(Mode mode);
// Whether the mode's routine exists (its menu command is available).
bool ModeAvailable(Mode mode);

// "Zub": does nothing and returns 1.
int ZubRoutine(MeasureDialog& dialog);

}  // namespace tsm::measure
