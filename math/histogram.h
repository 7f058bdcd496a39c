// Histograms of the junction parameters: the values binned with the
// Freedman-Diaconis width, the bins drawn as a staircase, and the jumps of a
// series array (one voltage step per junction that switches).
#pragma once

#include <cstdint>
#include <vector>

#include "curves/curve.h"

namespace tsm::math {

inline constexpr std::uint32_t kMaxBins = 1000;

struct Histogram {
  double first = 0.0;  // left edge of bin 0
  double width = 0.0;  // of every bin
  std::vector<std::uint32_t> counts;
  double Centre(std::size_t bin) const { return first + (bin + 0.5) * width; }
};

// Bins the values (NaN values are left out). The bins span min .. max, at
// least 1 and at most kMaxBins of them, their width as near the
// Freedman-Diaconis one, 2 IQR / n^(1/3), as a whole count of bins allows;
// the maximum falls into the last bin. With an IQR of 0 (half the values
// equal) the count is Sturges' ceil(log2 n) + 1; equal values make one bin
// centred on them, a hundredth of their magnitude wide (1 around 0).
Histogram MakeHistogram(std::vector<double> values);

// The histogram as a curve, as steps: (left edge, 0), then for every bin
// its two edges at its count, then (right edge, 0). The curve's parameter
// is the bin width. False when memory ran out.
bool HistogramCurve(const Histogram& h, curves::Curve& out);

// The currents at which a series array switches, on the way up: every step
// of the curve that moves away from zero (|x| grows on one side) and raises
// |y| by more than the criterion; the current is |x| before the step.
std::vector<double> JumpCurrents(const curves::Curve& curve, double criterion);

}  // namespace tsm::math
