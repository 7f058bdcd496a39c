// Thinning of curves: points that lie almost on the straight line through
// their neighbours, or repeat a neighbour, are deleted (Skip Extra Points).
#pragma once

#include <cstdint>

#include "curves/curve.h"

namespace tsm::math {

inline constexpr const char* kSkipResultsCaption = "Skip Results";

struct SkipResult {
  std::uint32_t before = 0;
  std::uint32_t after = 0;
};

// Thins the curve by passes until a pass deletes nothing; the first and the
// last point always stay. Coordinates are compared normalised by the
// curve's x and y ranges; a range of 0 (all x, or all y, equal) is taken as
// 1. An interior point goes when it coincides with a neighbour, or when the
// cosine of its turning angle exceeds cos(criticalAngle); the next point then
// stays for this pass. Returns false when the curve could not be rewritten
// for lack of memory (it then keeps the points of the last finished pass).
bool SkipExtraPoints(curves::Curve& curve, double criticalAngle, SkipResult* result);

// "Before: %d , After: %d , %ld%% skiped" for one curve.
std::string SkipResultText(const SkipResult& result);

}  // namespace tsm::math
