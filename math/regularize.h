// Regularize: a curve resampled onto equally spaced x. The points are sorted
// by x (stable), equal x are merged into the mean of their y, and the curve
// is interpolated linearly onto as many points as it had, over its x range.
// A V(time) record regularized this way passes the FFT's spacing check.
#pragma once

#include "curves/curve.h"

namespace tsm::math {

inline constexpr const char* kRegularizeCaption = "Regularize";
inline constexpr const char* kRegularizeRefusedText =
    "Every curve to regularize needs at least two different,\nfinite x values. Nothing was "
    "changed.";

// Whether the curve can be regularized: empty, or at least two different x
// values and no NaN or infinite coordinate.
bool CanRegularize(const curves::Curve& curve);
// Resamples a curve that CanRegularize (an empty one stays). False when
// memory ran out (the curve is then unchanged).
bool RegularizeCurve(curves::Curve& curve);

}  // namespace tsm::math
