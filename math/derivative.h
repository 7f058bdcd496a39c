// The multi-point derivative: dY/dX at every point is the slope of the
// least-squares line through "DerivePoints" points centred on it, taken
// inside one run of monotonic x so that no window spans a reversal of the
// sweep direction. The two derivative windows show it against X or against
// Y (for an I-V curve: the differential resistance against the voltage);
// commands 145 and 183 put a window's family in place of the current one.
#pragma once

#include <cstdint>
#include <vector>

#include "curves/curvefam.h"
#include "math/options.h"

namespace tsm::math {

enum class DerivativeAxis { X, Y };

// "DeriveDiscardDir": which runs of a curve are kept.
inline constexpr unsigned kDeriveBothDirections = 0;
inline constexpr unsigned kDeriveIncreasingX = 1;
inline constexpr unsigned kDeriveDecreasingX = 2;

struct DeriveSettings {
  unsigned points = 5;       // points of the window, at least 2
  bool discardEdge = true;   // drop points whose window is incomplete
  unsigned direction = kDeriveBothDirections;
};
DeriveSettings DeriveSettingsOf(const MathOptions& options);

// A run of points [first, last] along which x never turns back; direction
// +1 (x grows), -1 (x falls) or 0 (every x equal). Neighbouring runs share
// their turning point, so each direction sees its whole branch.
struct MonotonicRun {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  int direction = 0;
};
std::vector<MonotonicRun> MonotonicRuns(const curves::Curve& curve);

// The derivative of one curve: for every point of every kept run, (x, dY/dX)
// or (y, dY/dX). The window holds `points` points, (points - 1) / 2 before
// the point and the rest after it; near the ends of a run it is dropped
// (discardEdge) or cut to the run, keeping at least 2 points. A window whose
// points all share one x gives no point. False when memory ran out.
bool DeriveCurve(const curves::Curve& in, const DeriveSettings& settings, DerivativeAxis axis,
                 curves::Curve& out);

// The working family of a derivative window: the picture information of
// `source`, its curves' derivatives (name and parameter kept; a curve that
// gives no point is left out), y units "Y/X", the graph name "D[name,x]"
// (against Y: x units the old y units, "D[name,x](y)"). Texts that do not fit
// are cut. Returns how many source curves were left out; `out` is cleared
// first. Throws std::bad_alloc when memory ran out.
std::uint32_t BuildDerivativeFamily(const curves::CurveFamily& source,
                                    const DeriveSettings& settings, DerivativeAxis axis,
                                    curves::CurveFamily& out);

// The captions of the two windows (the menu texts of 180 and 181).
const char* DerivativeWindowCaption(DerivativeAxis axis);

// What a derivative window holds: its working family, built anew from the
// family the plot draws on every plot-changed notification with the
// "Math" options of that moment. The Qt view draws it with the plot code;
// batch mode keeps the model alone.
class DerivativeWindowModel {
 public:
  explicit DerivativeWindowModel(DerivativeAxis axis) : axis_(axis) {}
  // An empty family when memory ran out.
  void Refresh(const curves::CurveFamily& plotted);
  const curves::CurveFamily& Family() const { return family_; }
  DerivativeAxis Axis() const { return axis_; }
  const char* Caption() const { return DerivativeWindowCaption(axis_); }

 private:
  DerivativeAxis axis_;
  curves::CurveFamily family_;
};

}  // namespace tsm::math
