#include "math/fft_command.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "curves/state.h"
#include "curves/undo.h"
#include "math/commands.h"
#include "math/fft.h"
#include "platform/ui.h"
#include "shell/errors.h"

namespace tsm::math {

using curves::Curve;
using curves::CurveFamily;
using curves::CurvePoint;

const char* CheckFFTSampling(const Curve& curve) {
  const std::uint32_t n = curve.Count();
  if (n < 3) return kFFTTooShortText;
  const CurvePoint* p = curve.Data();
  const double d0 = static_cast<double>(p[1].x) - p[0].x;
  if (d0 == 0.0) return kFFTZeroDistanceText;
  const double tolerance = kFFTSpacingTolerance * std::fabs(d0);
  for (std::uint32_t s = 1; s < n; ++s) {
    const double d = static_cast<double>(p[s].x) - p[s - 1].x;
    if (std::fabs(d0 - d) > tolerance) return kFFTUnequalDistanceText;
  }
  return nullptr;
}

void SpectrumOfCurve(Curve& curve, double* work) {
  const std::uint32_t n = curve.Count();
  if (!TSM_ASSERT(n >= 2 && IsPowerOfTwo(n), "fft")) return;
  CurvePoint* p = curve.Data();
  const std::uint32_t h = n / 2;
  // The sampling interval is the span over n - 1 steps. (Dividing the first
  // half's span by n/2 instead would be one step short: 1024 points at 1 ms
  // would end at 500.98 Hz rather than 500 Hz, all amplitudes scaled alike.)
  // Taken positive so that a record with decreasing x still gives positive
  // frequencies and amplitudes.
  const double dt = std::fabs((static_cast<double>(p[n - 1].x) - p[0].x) / (n - 1));

  for (std::uint32_t j = 0; j < n; ++j) work[j] = p[j].y;
  RealFFT(work, n);

  const double nyquist = std::fabs(work[1] * dt);
  p[0] = CurvePoint{0.0f, static_cast<float>(std::fabs(work[0]))};
  const double df = 1.0 / (static_cast<double>(n) * dt);
  for (std::uint32_t k = 1; k < h; ++k) {
    const double re = work[2 * k], im = work[2 * k + 1];
    p[k] = CurvePoint{static_cast<float>(k * df),
                      static_cast<float>(std::sqrt(re * re + im * im) * dt)};
  }
  p[h] = CurvePoint{static_cast<float>(1.0 / (2.0 * dt)), static_cast<float>(nyquist)};
  curve.SetSize(h + 1);  // shrinking never fails
}

std::string FrequencyUnits(const char* timeUnits) {
  if (std::strcmp(timeUnits, "s") == 0 || std::strcmp(timeUnits, "sec") == 0) return "Hz";
  return std::string("1/") + timeUnits;
}

namespace {

void ShowOutOfMemory() {
  shell::ShowMessage(shell::MainWindow(), curves::kOutOfMemoryText, curves::kOutOfMemoryCaption,
                     platform::MB_OK | platform::MB_ICONHAND);
}

}  // namespace

bool FFTCommand(platform::WindowHandle owner) {
  CurveFamily& f = curves::CurrentFamily();
  if (f.Count() == 0) return false;  // nothing to transform, units stay
  if (!curves::PrepareUndo()) return false;

  for (std::uint32_t i = 0; i < f.Count(); ++i) {
    if (const char* refusal = CheckFFTSampling(f.Curve(i))) {
      shell::ShowMessage(owner, refusal, kFFTCaption, platform::MB_OK | platform::MB_ICONHAND);
      return false;
    }
  }

  std::uint32_t longest = 0;
  bool truncate = false;
  for (std::uint32_t i = 0; i < f.Count(); ++i) {
    const std::uint32_t n = f.Curve(i).Count();
    const auto p = static_cast<std::uint32_t>(LargestPowerOfTwo(n));
    if (p != n) truncate = true;
    longest = std::max(longest, p);
  }
  if (truncate &&
      shell::ShowMessage(owner, kFFTTruncateQuestion, kFFTCaption,
                         platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
    return false;

  // The work buffer is obtained before any curve changes, so running short
  // here leaves the family as it was.
  std::vector<double> work;
  try {
    work.resize(longest);
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory();
    return false;
  }

  platform::BusyCursor busy;
  for (std::uint32_t i = 0; i < f.Count(); ++i) {
    Curve& c = f.Curve(i);
    const auto p = static_cast<std::uint32_t>(LargestPowerOfTwo(c.Count()));
    if (p != c.Count()) c.SetSize(p);
  }
  try {
    for (std::uint32_t i = 0; i < f.Count(); ++i) SpectrumOfCurve(f.Curve(i), work.data());
  } catch (const std::bad_alloc&) {
    curves::UndoAfterOutOfMemory();
    return false;
  }
  f.SetUnitX(FrequencyUnits(f.UnitX()).c_str());
  return true;
}

}  // namespace tsm::math
