// Settings of the I-V family: what labels each curve (the Sweep2 current,
// the temperature, a value the user types before every curve, or a value
// growing by a step), how many significant digits the curve names show,
// whether Sweep1 goes back to its first value between curves and whether a
// trigger pulse follows every Sweep2 value. One option group (section
// "Measurements.IVF") with its dialog "I-V Family Options" and summary, and
// the "Parameter value" dialog that asks for the value of the typed kind.
#pragma once

#include <cstddef>
#include <string>

#include "platform/ui.h"
#include "shell/setupdlg.h"
#include "shell/texttable.h"

namespace tsm::measure {

inline constexpr std::size_t kIVFAffixLength = 32;  // terminator included
// The kinds of parameter ("IVF_WhatKindOfParam").
inline constexpr unsigned kParamSweep2 = 0;       // the Sweep2 current in A
inline constexpr unsigned kParamTemperature = 1;  // the thermometer in K
inline constexpr unsigned kParamManual = 2;       // typed before every curve
inline constexpr unsigned kParamAutomatic = 3;    // from + s x step
inline constexpr unsigned kParamKinds = 4;

struct IVFOptions {
  unsigned kind = kParamSweep2;               // "IVF_WhatKindOfParam"
  char askPrefix[kIVFAffixLength] = "";       // "IVF_AskParam_Prefix"
  char askSuffix[kIVFAffixLength] = "";       // "IVF_AskParam_Suffix"
  float autoFrom = 0.0f;                      // "IVF_AutoParam_From"
  float autoStep = 1.0f;                      // "IVF_AutoParam_Step"
  char autoPrefix[kIVFAffixLength] = "";      // "IVF_AutoParam_Prefix"
  char autoSuffix[kIVFAffixLength] = "";      // "IVF_AutoParam_Suffix"
  unsigned sigDigits = 4;                     // "IVF_Param_SigDig", 3..19
  bool resetSweep1BetweenCurves = false;      // "IVF_ResetSweep1BetweenCurves"
  bool trigger = false;                       // "IVF_Trigger"
};

// The program's settings (read by the worker; changed only by the group's
// load and the dialog, which cannot open while a measurement runs).
IVFOptions& GetIVFOptions();
void ResetIVFOptions();

inline constexpr const char* kIVFSection = "Measurements.IVF";
inline constexpr const char* kIVFOptionsCaption = "I-V Family Options";
inline constexpr const char* kIVFParamGroupCaption = "Parameter of I-V family";
// The radio captions of the kinds, in kind order.
extern const char* const kIVFKindCaptions[kParamKinds];
// A kind's caption without its "&" (the summary's "Parameter is" row);
// "?" for an unknown kind.
std::string IVFKindName(unsigned kind);

// The prefix and suffix around a parameter value in curve names: "I_H="
// and "A" for the Sweep2 current, "T=" and "K" for the temperature, the
// settings for the other two kinds.
struct Affixes {
  const char* prefix;
  const char* suffix;
};
Affixes IVFAffixes(const IVFOptions& options);

// Dialog resources and control ids.
inline constexpr int kIVFOptionsDialogId = 5100;
inline constexpr int kIdIVFKind = 5101;  // four radio buttons 5101..5104
inline constexpr int kIdIVFAskPrefix = 5105;
inline constexpr int kIdIVFAskSuffix = 5106;
inline constexpr int kIdIVFAutoFrom = 5107;
inline constexpr int kIdIVFAutoStep = 5108;
inline constexpr int kIdIVFAutoPrefix = 5109;
inline constexpr int kIdIVFAutoSuffix = 5110;
inline constexpr int kIdIVFSigDig = 5111;
inline constexpr int kIdIVFResetSweep1 = 5112;
inline constexpr int kIdIVFTrigger = 5113;

shell::FieldList& IVFGroupFields();
// 1 after OK, 0 after Cancel.
int RunIVFOptionsDialog(platform::WindowHandle owner);
// Title "I-V Family Options", row "Parameter is" with the chosen kind.
shell::InfoTable IVFInfoTable();

// --- "Parameter value": the value of the typed kind, asked before a curve --
inline constexpr int kParamDialogId = 5120;
inline constexpr int kIdParamCurve = 5121;   // "The curve %u is about to be measured."
inline constexpr int kIdParamPrompt = 5122;  // "Input the value of parameter for this curve."
inline constexpr int kIdParamValue = 5123;   // the edit; its label is the prefix
inline constexpr int kIdParamSuffix = 5124;
inline constexpr const char* kParamCaption = "Parameter value";
inline constexpr const char* kParamCurveFormat = "The curve %u is about to be measured.";
inline constexpr const char* kParamPromptText = "Input the value of parameter for this curve.";

// Asks for the parameter of curve `curve` with the edit preset to *value;
// a text that is no number is refused (beep, the field selected). OK: the
// number goes to *value, 1. Cancel: 0, *value unchanged.
int AskIVFParameter(platform::WindowHandle owner, unsigned curve, const char* prefix,
                    const char* suffix, double* value);

}  // namespace tsm::measure
