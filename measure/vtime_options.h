// Settings of V(time): the way the trace is taken (timed points on an
// absolute schedule, or one buffered acquisition through the turbo path of
// the cards), the interval of the timed points and the sampling rate of the
// buffered way. One option group (section "Measure:V(time)", keys
// "Measure:V(time)_...") edited by the dialog "V(time) Options".
#pragma once

#include <cstdint>

#include "platform/ui.h"
#include "shell/setupdlg.h"

namespace tsm::measure {

inline constexpr unsigned kVtimeTimed = 0;     // "Measure:V(time)_Way" 0
inline constexpr unsigned kVtimeBuffered = 1;  // 1
inline constexpr std::uint32_t kMaxVtimeInterval = 86400000;  // one day, ms

struct VtimeOptions {
  unsigned way = kVtimeTimed;      // "Measure:V(time)_Way"
  std::uint32_t interval = 100;    // "Measure:V(time)_Interval", ms between timed points
  float samplingRate = 1000.0f;    // "Measure:V(time)_SamplingRate", Hz per voltage
};

// The program's settings (read by the worker; changed only by the group's
// load and the dialog, which cannot open while a measurement runs).
VtimeOptions& GetVtimeOptions();
void ResetVtimeOptions();

inline constexpr const char* kVtimeSection = "Measure:V(time)";
inline constexpr const char* kVtimeOptionsCaption = "V(time) Options";

inline constexpr int kVtimeOptionsDialogId = 4980;
inline constexpr int kIdVtimeWay = 4981;  // radio buttons 4981 timed, 4982 buffered
inline constexpr int kIdVtimeBuffered = 4982;
inline constexpr int kIdVtimeInterval = 4983;
inline constexpr int kIdVtimeRate = 4984;

shell::FieldList& VtimeGroupFields();
// The interval is enabled for timed points, the rate for the buffered way.
// 1 after OK, 0 after Cancel.
int RunVtimeOptionsDialog(platform::WindowHandle owner);

}  // namespace tsm::measure
