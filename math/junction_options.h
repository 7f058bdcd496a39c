// The junction-parameter options (option group "Math" of slot 24): the
// voltage criterion of the switching current, how the normal resistance and
// the characteristic voltage are found, whether the fitted ohmic lines are
// drawn, and the factor of the self-field correction. The Ic, Rn, Ie, Vc
// table, the histograms, Sigma Ic and Self-field read them.
#pragma once

#include "shell/setupdlg.h"

namespace tsm::math {

inline constexpr const char* kIcCriterionKey = "Ic_Criterion";
inline constexpr const char* kRnMethodKey = "Rn.method";
inline constexpr const char* kRnStartPointsKey = "Rn.ConvLSF.StartPoints";
inline constexpr const char* kRnDrawLinesKey = "Rn.DrawLines";
inline constexpr const char* kVcMethodKey = "Vc.method";
inline constexpr const char* kVcExceedIcByKey = "Vc_ExceedIcBy";
inline constexpr const char* kSelfFieldFactorKey = "SelfField_Factor";

// Rn.method
inline constexpr unsigned kRnConvergentFit = 0;  // fit of the ohmic branches
inline constexpr unsigned kRnChord = 1;          // V/I at the largest |I|
// Vc.method
inline constexpr unsigned kVcIcRn = 0;           // Ic x Rn
inline constexpr unsigned kVcAboveIc = 1;        // V on the curve at Ic (1 + ExceedIcBy)

// The fewest points a branch fit may start from (a line and a deviation).
inline constexpr unsigned kMinStartPoints = 3;

struct JunctionOptions {
  float icCriterion = 1e-5f;  // V: |y| at or above it is the resistive state
  unsigned rnMethod = kRnConvergentFit;
  unsigned rnStartPoints = 10;
  unsigned rnDrawLines = 0;  // flag
  unsigned vcMethod = kVcIcRn;
  float vcExceedIcBy = 0.1f;  // fraction of Ic
  float selfFieldFactor = 0.0f;  // x units per y unit, signed
};

JunctionOptions& GetJunctionOptions();
void ResetJunctionOptions();

// Registers the group under OptionGroupId::Junction.
void RegisterJunctionOptionGroup();

// "Junction Parameters" (Options menu): every key but the self-field factor.
inline constexpr int kJunctionDialogId = 3130;
inline constexpr const char* kJunctionCaption = "Junction Parameters";
inline constexpr int kIcCriterionControl = 1360;
inline constexpr int kRnMethodControl = 1361;  // two radio buttons: 1361, 1362
inline constexpr int kRnStartPointsControl = 1363;
inline constexpr int kRnDrawLinesControl = 1364;
inline constexpr int kVcMethodControl = 1365;  // two radio buttons: 1365, 1366
inline constexpr int kVcExceedIcByControl = 1367;
int RunJunctionDialog(platform::WindowHandle owner);

// "Self-field": the factor alone; OK keeps it in the group's variable.
inline constexpr int kSelfFieldDialogId = 3131;
inline constexpr const char* kSelfFieldCaption = "Self-field";
inline constexpr int kSelfFieldFactorControl = 1370;
inline constexpr int kSelfFieldTextControl = 1371;
inline constexpr const char* kSelfFieldText =
    "The field of the bias current itself is added to the field axis:\n"
    "x' = x + k * y. Give k in x units per y unit (signed).";
inline constexpr const char* kSelfFieldFactorLabel = "k (x units per y unit):";
int RunSelfFieldDialog(platform::WindowHandle owner);

}  // namespace tsm::math
