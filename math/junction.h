// The parameters of a Josephson junction read off one I-V curve (x = current
// in A, y = voltage in V, points in measurement order): the switching
// currents Ic+ and Ic-, the normal resistance Rn of the ohmic branches, the
// excess current Ie and the characteristic voltage Vc. The table, the
// histograms and Sigma Ic all take their numbers from here.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>

#include "curves/curve.h"
#include "math/junction_options.h"

namespace tsm::math {

inline constexpr double kNotFound = std::numeric_limits<double>::quiet_NaN();

// The switching current on the side `sign` (+1 or -1) of the current axis:
// following the points in measurement order, the first step that moves away
// from zero on that side and takes |y| from below the criterion to at or
// above it; the result is the current of the point before that step (0 when
// the step starts on the other side of zero), signed like the side. Nullopt
// when the curve never switches on that side.
std::optional<double> SwitchingCurrent(const curves::Curve& curve, int sign, double criterion);

// The straight line y = slope x + intercept fitted to one ohmic branch.
struct OhmicLine {
  double slope = 0.0;      // the branch's resistance, V/A
  double intercept = 0.0;  // V at I = 0
  std::uint32_t points = 0;
  double outermost = 0.0;  // the largest |x| fitted, signed like the branch
  // The current-axis intercept -intercept / slope (kNotFound for a flat line).
  double CurrentIntercept() const;
};

// The converging fit of the branch on the side `sign`: the points of that
// side, ordered by |x| from the outermost inwards (measurement order among
// equal |x|), start a least-squares line with `startPoints` of them (all
// when the side has fewer, at least 2); the next point joins while it lies
// within three standard deviations of the present line's residuals (never
// less than a millionth of the branch's largest |y|, so points rounded to
// float precision on an exact line are not refused), and the line is
// refitted after every point. Nullopt when the side has fewer than 2 points
// or they all share one x.
std::optional<OhmicLine> FitOhmicBranch(const curves::Curve& curve, int sign,
                                        unsigned startPoints);

// V / I at the point of the largest |x| on the side `sign`; nullopt when the
// side has no point.
std::optional<double> ChordResistance(const curves::Curve& curve, int sign);

// The mean |y| interpolated on the curve where it passes x = current, over
// every step of the curve that brackets it; nullopt when none does.
std::optional<double> VoltageAtCurrent(const curves::Curve& curve, double current);

// Everything the table shows for one curve; a value that cannot be had is
// kNotFound (NaN).
struct JunctionParameters {
  double icPlus = kNotFound;   // > 0
  double icMinus = kNotFound;  // < 0
  double ic = kNotFound;       // mean of |Ic+| and |Ic-| (the one found, if only one)
  double rn = kNotFound;       // by Rn.method: mean over the branches found
  double ie = kNotFound;       // (Ie+ - Ie-) / 2 of the fitted lines (or the one found)
  double vc = kNotFound;       // by Vc.method
  std::optional<OhmicLine> positive;  // the fitted lines (whatever Rn.method)
  std::optional<OhmicLine> negative;
};

JunctionParameters AnalyseJunction(const curves::Curve& curve, const JunctionOptions& options);

}  // namespace tsm::math
