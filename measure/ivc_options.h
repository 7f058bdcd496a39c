// Settings of the V(I) sweep: what its x axis shows (the Sweep1 current
// times a factor, or a value that grows by a step at every point) and
// whether a trigger pulse follows every Sweep1 value. One option group
// (section "Measurements") edited by two dialogs, "IVC x-axis" and
// "IVC Options"; also the summary printed with the options.
#pragma once

#include <cstddef>

#include "platform/ui.h"
#include "shell/setupdlg.h"
#include "shell/texttable.h"

namespace tsm::measure {

inline constexpr std::size_t kIVCUnitsLength = 32;  // terminator included
inline constexpr unsigned kXSweep1 = 0;             // x is the Sweep1 current
inline constexpr unsigned kXAutomatic = 1;          // x grows automatically

struct IVCOptions {
  unsigned xAxisKind = kXSweep1;         // "IVC_xAxis_WhatKindOfParam"
  float factor = 1.0f;                   // "IVC_xAxis_Factor"
  char units[kIVCUnitsLength] = "A";     // "IVC_xAxis_Units"
  float from = -30.0f;                   // "IVC_xAxis_From"
  float step = 1.0f;                     // "IVC_xAxis_Step"
  char autoUnits[kIVCUnitsLength] = "dBm";  // "IVC_xAxis_Auto_Units"
  bool trigger = false;                  // "IVC_Trigger"
};

// The program's settings (read by the worker; changed only by the group's
// load and the dialogs, which cannot open while a measurement runs).
IVCOptions& GetIVCOptions();
void ResetIVCOptions();
// The x units of the chosen kind.
const char* IVCXUnits();

inline constexpr const char* kIVCSection = "Measurements";
inline constexpr const char* kIVCXAxisCaption = "IVC x-axis";
inline constexpr const char* kIVCOptionsCaption = "IVC Options";

// Dialog resources and control ids.
inline constexpr int kIVCXAxisDialogId = 4950;
inline constexpr int kIdIVCKind = 4951;  // radio buttons 4951 ("Sweep&1"), 4952
inline constexpr int kIdIVCFactor = 4953;
inline constexpr int kIdIVCUnits = 4954;
inline constexpr int kIdIVCFrom = 4955;
inline constexpr int kIdIVCStep = 4956;
inline constexpr int kIdIVCAutoUnits = 4957;
inline constexpr int kIVCOptionsDialogId = 4960;
inline constexpr int kIdIVCTrigger = 4961;

// The fields of each dialog and of the whole group.
shell::FieldList& IVCXAxisFields();
shell::FieldList& IVCOptionsFields();
shell::FieldList& IVCGroupFields();

// 1 after OK, 0 after Cancel.
int RunIVCXAxisDialog(platform::WindowHandle owner);
int RunIVCOptionsDialog(platform::WindowHandle owner);

// Title "IVC Options", one yes/no row "Trigger".
shell::InfoTable IVCInfoTable();

}  // namespace tsm::measure
