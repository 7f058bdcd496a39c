// The "FF&T" command's pieces: the checks of the sampling, the spectrum of
// one curve and the units of the result. FFTCommand (math/commands.h) runs
// them on the current family.
#pragma once

#include <string>

#include "curves/curve.h"

namespace tsm::math {

inline constexpr const char* kFFTCaption = "FFT";
inline constexpr const char* kFFTTooShortText =
    "One of the curves is too short (2 points or less)\nFFT will be canceled.";
inline constexpr const char* kFFTZeroDistanceText =
    "Some or all the curves have zero distance\nbetween the points (along x-axis).\nFFT will be "
    "canceled.";
inline constexpr const char* kFFTUnequalDistanceText =
    "Some or all the curves have not equal distnce\nbetween the points (along x-axis).\nFFT will "
    "be canceled.";
inline constexpr const char* kFFTTruncateQuestion =
    "One or more curves have the number of points\nwhich is not a power of 2.\nWould you like to "
    "truncate all such curves\nto the closest power of 2?";
// A spacing may differ from the first one by this fraction of it, on top of
// the rounding of x to float (see CheckFFTSampling).
inline constexpr double kFFTSpacingTolerance = 0.01;

// The message that refuses the curve, or nullptr when it can be transformed:
// at least 3 points, a first spacing that is not 0 and every spacing within
// 1 % of the first. x is held as a float, so a long record's spacings carry
// the rounding of its values: at t = 1000 s one float step is 6 % of a 1 ms
// spacing. Each spacing may therefore differ from the first by a further
// 2 units in the last place of the x values concerned.
const char* CheckFFTSampling(const curves::Curve& curve);

// Replaces a curve of n = 2^k >= 2 points by its amplitude spectrum of
// n/2 + 1 points (frequency, amplitude): point 0 is (0, |F_0|), point k is
// (k / (n dt), |F_k| dt) and point n/2 is (1 / (2 dt), |F_{n/2}| dt), dt the
// sampling interval (x_{n-1} - x_0) / (n - 1) taken positive. The transform
// runs in the curve's own storage (n doubles take the place of n points).
// Throws std::bad_alloc when the transform's plan cannot be had (the curve
// is then unchanged).
void SpectrumOfCurve(curves::Curve& curve);

// The x units of a spectrum: "Hz" for "s" and "sec", "1/" + units otherwise.
std::string FrequencyUnits(const char* timeUnits);

}  // namespace tsm::math
