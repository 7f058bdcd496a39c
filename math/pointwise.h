// The point-wise operations of the Math menu on single curves and families:
// shift, scale, absolute value, reversal, y as new x, the two
// normalisations and the decimal logarithm. Arithmetic is done in double and
// stored back as float. The commands (math/commands.h) add the dialogs,
// checks, messages and the undo copy.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "curves/curvefam.h"

namespace tsm::math {

// Every point becomes (x + dx, y + dy).
void ShiftCurve(curves::Curve& curve, double dx, double dy);
// Every point becomes (x * sx, y * sy).
void ScaleCurve(curves::Curve& curve, double sx, double sy);
// x := |x| when absX, y := |y| when absY.
void AbsCurve(curves::Curve& curve, bool absX, bool absY);
// Point j is exchanged with point count-1-j (the middle one stays).
void ReverseCurve(curves::Curve& curve);

// --- y as new x
inline constexpr const char* kYAsXTooFewCurvesText = "Not applicable to 0 or 1 curve";
inline constexpr const char* kYAsXPointCountText = "Curves have a different number of points";
inline constexpr const char* kYAsXCoordsText = "Curves have a different X coords";
inline constexpr const char* kYAsXCaption = "Error";
// The message that refuses "y as new x" for this family, or nullptr when it
// applies: at least 2 curves, all of curve 0's point count and x values.
const char* CheckYAsNewX(const curves::CurveFamily& family);
// Every other curve takes curve n's y values as its x, the x units become
// the y units and curve n leaves the family. Requires a family that passed
// CheckYAsNewX and n < Count().
void ApplyYAsNewX(curves::CurveFamily& family, std::uint32_t n);

// --- normalisations: y := (y - Ymin) / Ydiv * 100 with Ydiv the curve's
// smallest (ByYmin) or largest (ByYmax) y.
enum class Normalisation { ByYmin, ByYmax };
inline constexpr const char* kNormYminZeroText = "Can not calculate DeltaY/Ymin\nsince Ymin=0";
inline constexpr const char* kNormYminCaption = "Error in DeltaY/Ymin";
inline constexpr const char* kNormYmaxZeroText = "Can not calculate DeltaY/Ymin\nsince Ymax=0";
inline constexpr const char* kNormYmaxCaption = "Error in DeltaY/Ymax";
inline constexpr const char* kPercentUnits = "%";
// Index of the first non-empty curve whose divisor is 0, if any.
std::optional<std::uint32_t> FirstCurveNotNormalisable(const curves::CurveFamily& family,
                                                       Normalisation kind);
// Normalises one curve (an empty curve, or one whose divisor is 0, stays).
void NormaliseCurve(curves::Curve& curve, Normalisation kind);

// --- decimal logarithm
inline constexpr const char* kLog10RefusedText =
    "All points of all curves shoild have positive\ny-coordinates\nLog_10 cannot be performed.";
inline constexpr const char* kLog10Caption = "Log_10";
// Whether every y of every curve is greater than 0.
bool AllYPositive(const curves::CurveFamily& family);
// y := log10(y) for every point.
void Log10Curve(curves::Curve& curve);
// "lg(" + units + ")", or "???" when that does not fit a units field.
std::string Log10Units(const char* units);

}  // namespace tsm::math
