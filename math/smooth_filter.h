// Cleaning measured curves in place: the moving-average smoothing and the
// spike filter. Both keep x; their commands (100, 101) run the parameter
// dialog, take the undo copy and apply them to every curve.
#pragma once

#include <cstdint>

#include "curves/curve.h"

namespace tsm::math {

// y_i := mean of the 2N + 1 input values around i; near the ends the end
// value stands in for the missing neighbours. N = 0 changes nothing.
void SmoothCurve(curves::Curve& curve, unsigned halfWidth);

// Replaces every interior point that differs by more than F from both its
// previous input value and its next value by the straight line through them.
// The end points never change. Returns the number of replaced points.
std::uint32_t FilterCurve(curves::Curve& curve, double amplitude);

}  // namespace tsm::math
