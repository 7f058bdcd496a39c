// The settings of the Math tools (option group "Math" of the settings file):
// the smoothing half-width, the spike amplitude of the filter, the critical
// angle of Skip Extra Points and the multi-point derivative's three keys,
// with the field lists of the group and of the parameter dialogs.
#pragma once

#include "shell/setupdlg.h"

namespace tsm::math {

inline constexpr const char* kMathSection = "Math";
inline constexpr const char* kSmoothParameterKey = "SmoothParameter";
inline constexpr const char* kFilterParameterKey = "FilterParameter";
inline constexpr const char* kCriticalAngleKey = "SEP_CriticalAngle";
inline constexpr const char* kDerivePointsKey = "DerivePoints";
inline constexpr const char* kDeriveDiscardEdgeKey = "DeriveDiscardEdge";
inline constexpr const char* kDeriveDiscardDirKey = "DeriveDiscardDir";

struct MathOptions {
  unsigned smoothParameter = 5;   // N: the window holds 2N + 1 points, 0 .. 128
  float filterParameter = 10.0f;  // F: spike amplitude in y units, 0 .. 1e10
  float criticalAngle = 3.0f;     // degrees, 0 .. 90
  // The multi-point derivative (math/derivative.h).
  unsigned derivePoints = 5;       // points of the window, 2 .. 1000
  unsigned deriveDiscardEdge = 1;  // flag: drop points whose window is incomplete
  unsigned deriveDiscardDir = 0;   // runs kept: 0 all, 1 increasing x, 2 decreasing x
};

// The process-wide options (factory defaults until the group is loaded).
MathOptions& GetMathOptions();
// Factory defaults again (test fixtures); the field lists stay valid.
void ResetMathOptions();

// The field list of the whole group, bound to GetMathOptions().
const shell::FieldList& MathGroupFields();
// Registers the "Math" group under OptionGroupId::Math.
void RegisterOptionGroups();

// Dialogs of the tools. Each edits its own key of the group; "&Save" and
// "&Load" write and read that key in the current settings file.
inline constexpr int kSmoothDialogId = 3101;
inline constexpr int kFilterDialogId = 3102;
inline constexpr int kSkipDialogId = 3103;
inline constexpr int kSmoothPointsControl = 1301;
inline constexpr int kFilterAmplitudeControl = 1302;
inline constexpr int kCriticalAngleControl = 1303;
inline constexpr int kDescriptionControl = 1300;
// The derivative's keys in the "Math" options dialog.
inline constexpr int kDerivePointsControl = 1304;
inline constexpr int kDeriveDiscardEdgeControl = 1305;
inline constexpr int kDeriveDiscardDirControl = 1306;  // three radio buttons: 1306 .. 1308
inline constexpr const char* kDerivePointsLabel = "Points of the derivative window:";
inline constexpr const char* kDeriveDiscardEdgeLabel = "Drop points with an incomplete window";
inline constexpr const char* kDeriveDiscardDirLabel = "Sweep directions kept";

inline constexpr const char* kSmoothCaption = "Smooth";
inline constexpr const char* kFilterCaption = "Filter";
inline constexpr const char* kSkipCaption = "Skip Extra Points";
inline constexpr const char* kSmoothDescription =
    "The smooth function explicitely assumes that the distance between points in x direction is "
    "constant. If it is not the case, the result can be wrong.";
inline constexpr const char* kFilterDescription =
    "Filter function help to remove singular spikes in your curve. Set the critical value "
    "amplitude in units of Y-axis. All spikes with higher amplitude will be cut off.";
inline constexpr const char* kSkipDescription =
    "Skip Extra Points function deletes unnesesary data point by measuring the angle between "
    "adjacent line segments in the curve. If the angle is less than critical, the intermediate "
    "point is removed.";
inline constexpr const char* kSmoothPointsLabel = "Number of S&mooth &points:";
inline constexpr const char* kFilterAmplitudeLabel = "Critical amplitude [Y-axis units]:";
inline constexpr const char* kCriticalAngleLabel = "Critical angle (degree):";

// Field lists of the three dialogs (bound to GetMathOptions()).
shell::FieldList& SmoothDialogFields();
shell::FieldList& FilterDialogFields();
shell::FieldList& SkipDialogFields();

}  // namespace tsm::math
