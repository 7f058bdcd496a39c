// The parameter dialogs of Shift, Scale and Abs and the curve list of
// "y as new x", as dialog models. The values are not stored in the settings
// file: every dialog starts from its defaults.
#pragma once

#include <cstdint>
#include <optional>

#include "curves/curvefam.h"
#include "platform/dialog.h"
#include "platform/ui.h"

namespace tsm::math {

inline constexpr int kShiftDialogId = 3111;
inline constexpr int kScaleDialogId = 3112;
inline constexpr int kAbsDialogId = 3113;
inline constexpr int kCurveListDialogId = 3114;

inline constexpr const char* kShiftCaption = "Shift";
inline constexpr const char* kScaleCaption = "Scale";
inline constexpr const char* kAbsCaption = "Abs";

// Shift: dx, dy.
inline constexpr int kShiftXControl = 1311;
inline constexpr int kShiftYControl = 1312;
inline constexpr const char* kShiftXLabel = "Shift along X (phys. units):";
inline constexpr const char* kShiftYLabel = "Shift along Y (phys. units):";
struct ShiftValues {
  double dx = 0.0;
  double dy = 0.0;
};
std::optional<ShiftValues> RunShiftDialog(platform::WindowHandle owner);

// Scale: "multiply by" and "divide by" for each axis.
inline constexpr int kScaleXFrame = 1320;
inline constexpr int kScaleXMultiplyControl = 1321;
inline constexpr int kScaleXDivideControl = 1322;
inline constexpr int kScaleYFrame = 1323;
inline constexpr int kScaleYMultiplyControl = 1324;
inline constexpr int kScaleYDivideControl = 1325;
inline constexpr const char* kScaleXGroup = "X Scale";
inline constexpr const char* kScaleYGroup = "Y Scale";
inline constexpr const char* kMultiplyLabel = "multiply by";
inline constexpr const char* kDivideLabel = "divide by";
inline constexpr double kMultiplyLimit = 1e20;   // multiply by -1e20 .. 1e20
inline constexpr double kDivideMinimum = 1e-20;  // divide by 1e-20 .. 1e20
inline constexpr double kDivideMaximum = 1e20;
struct ScaleValues {
  double multiplyX = 1.0, divideX = 1.0;
  double multiplyY = 1.0, divideY = 1.0;
};
std::optional<ScaleValues> RunScaleDialog(platform::WindowHandle owner);

// Abs: which coordinates.
inline constexpr int kAbsTextControl = 1330;
inline constexpr int kAbsXControl = 1331;
inline constexpr int kAbsYControl = 1332;
inline constexpr const char* kAbsText =
    "Choose x or y or both coordinates to apply Abs() function:";
inline constexpr const char* kAbsXLabel = " x = |x|";
inline constexpr const char* kAbsYLabel = " y = |y|";
struct AbsValues {
  bool x = false;
  bool y = false;
};
std::optional<AbsValues> RunAbsDialog(platform::WindowHandle owner);

// The curve list: one line per curve (its index and name); OK takes the
// highlighted curve, a double click takes the clicked one.
inline constexpr int kCurveListControl = 1340;
inline constexpr int kCurveListPromptControl = 1341;
inline constexpr int kListDoubleClick = 2;  // notification code of a double click
inline constexpr const char* kCurveListCaption = "y as new x";
inline constexpr const char* kCurveListPrompt = "The curve whose y becomes the new x:";

class CurveListDialog : public platform::DialogModel {
 public:
  CurveListDialog(const curves::CurveFamily& family, const char* caption, const char* prompt);
  // The chosen curve after OK.
  std::uint32_t Chosen() const { return chosen_; }

 protected:
  void OnCommand(int id, int code) override;

 private:
  bool Choose();
  std::uint32_t count_ = 0;
  std::uint32_t chosen_ = 0;
};

// Runs the list; the chosen index, or nullopt when cancelled.
std::optional<std::uint32_t> ChooseCurve(platform::WindowHandle owner,
                                         const curves::CurveFamily& family);

}  // namespace tsm::math
