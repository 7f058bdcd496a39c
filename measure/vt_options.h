// Settings of V(T)/R(T): whether the voltages or the resistances V/I are
// recorded, the pause between cycles, the smallest temperature change that
// makes a new point and the reversal of Sweep1 that cancels thermo-electric
// offsets. One option group (section "Measure:V(T)") edited by the dialog
// "V(T) && R(T) Options".
#pragma once

#include <cstdint>

#include "platform/ui.h"
#include "shell/setupdlg.h"

namespace tsm::measure {

inline constexpr unsigned kVTModeV = 0;  // "V(T)_T(T)" 0: volts
inline constexpr unsigned kVTModeR = 1;  // 1: ohms, V / I of Sweep1

struct VTOptions {
  unsigned mode = kVTModeV;     // "V(T)_T(T)"
  std::uint32_t delay = 100;    // "V(T)_Delay", ms between cycles
  float deltaT = 0.1f;          // "V(T)_DeltaT", K
  bool antiThermoEMF = false;   // "V(T)_AntiTermoEMF"
};

// The program's settings (read by the worker; changed only by the group's
// load and the dialog, which cannot open while a measurement runs).
VTOptions& GetVTOptions();
void ResetVTOptions();

inline constexpr const char* kVTSection = "Measure:V(T)";
inline constexpr const char* kVTOptionsCaption = "V(T) && R(T) Options";

inline constexpr int kVTOptionsDialogId = 4970;
inline constexpr int kIdVTMode = 4971;  // radio buttons 4971 "V(T)", 4972 "R(T)"
inline constexpr int kIdVTDelay = 4973;
inline constexpr int kIdVTDeltaT = 4974;
inline constexpr int kIdVTAntiThermoEMF = 4975;

shell::FieldList& VTGroupFields();
// 1 after OK, 0 after Cancel.
int RunVTOptionsDialog(platform::WindowHandle owner);

}  // namespace tsm::measure
