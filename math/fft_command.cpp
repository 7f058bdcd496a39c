#include "math/fft_command.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "curves/state.h"
#include "curves/undo.h"
#include "math/commands.h"
#include "math/fft.h"
#include "math/fft_kernel.h"
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
  // A difference of two floats is exact in double; what it may be off by is
  // the rounding of the two values to float, half a unit in the last place
  // each (at most half of epsilon times the value). Twice that is allowed
  // for the first spacing and for each other.
  const double base = kFFTSpacingTolerance * std::fabs(d0) +
                      fft::kSpacingUlps * (std::fabs(static_cast<double>(p[0].x)) +
                                           std::fabs(static_cast<double>(p[1].x)));
  const auto* xy = reinterpret_cast<const float*>(p);
  static_assert(sizeof(CurvePoint) == 2 * sizeof(float));
  if (!fft::EvenlySpaced(fft::PreferredIsa(), xy + 2, n - 2, d0, base))
    return kFFTUnequalDistanceText;
  return nullptr;
}

void SpectrumOfCurve(Curve& curve) {
  const std::uint32_t n = curve.Count();
  if (!TSM_ASSERT(n >= 2 && IsPowerOfTwo(n), "fft")) return;
  RealFFTPlan plan(n);  // before anything changes
  CurvePoint* p = curve.Data();
  const std::uint32_t h = n / 2;
  // The sampling interval is the span over n - 1 steps. (Dividing the first
  // half's span by n/2 instead would be one step short: 1024 points at 1 ms
  // would end at 500.98 Hz rather than 500 Hz, all amplitudes scaled alike.)
  // Taken positive so that a record with decreasing x still gives positive
  // frequencies and amplitudes.
  const double dt = std::fabs((static_cast<double>(p[n - 1].x) - p[0].x) / (n - 1));

  // The transform reads the y values from the points and leaves n doubles
  // in their bytes, so it needs no copy of the curve. Point k then takes
  // the place of double k, which F_(k/2) held (read before); F_k itself is
  // doubles 2k and 2k+1, still ahead.
  auto* bytes = reinterpret_cast<unsigned char*>(plan.TransformPointsY(p));
  double f[2];
  std::memcpy(f, bytes, sizeof f);
  const CurvePoint first{0.0f, static_cast<float>(std::fabs(f[0]))};
  const CurvePoint last{static_cast<float>(1.0 / (2.0 * dt)),
                        static_cast<float>(std::fabs(f[1] * dt))};
  std::memcpy(bytes, &first, sizeof first);
  fft::WriteAmplitudes(plan.VectorForm(), bytes, 1, h, 1.0 / (static_cast<double>(n) * dt), dt);
  std::memcpy(bytes + 8 * std::size_t{h}, &last, sizeof last);
  // The record's block stays: unmapping its upper half would add a tenth
  // of the transform's time to the command.
  curve.Truncate(h + 1);
}

std::string FrequencyUnits(const char* timeUnits) {
  if (std::strcmp(timeUnits, "s") == 0 || std::strcmp(timeUnits, "sec") == 0) return "Hz";
  return std::string("1/") + timeUnits;
}

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

  bool truncate = false;
  for (std::uint32_t i = 0; i < f.Count(); ++i) {
    const std::uint32_t n = f.Curve(i).Count();
    if (LargestPowerOfTwo(n) != n) truncate = true;
  }
  if (truncate &&
      shell::ShowMessage(owner, kFFTTruncateQuestion, kFFTCaption,
                         platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
    return false;

  platform::BusyCursor busy;
  for (std::uint32_t i = 0; i < f.Count(); ++i) {
    Curve& c = f.Curve(i);
    const auto p = static_cast<std::uint32_t>(LargestPowerOfTwo(c.Count()));
    if (p != c.Count()) c.SetSize(p);
  }
  try {
    for (std::uint32_t i = 0; i < f.Count(); ++i) SpectrumOfCurve(f.Curve(i));
  } catch (const std::bad_alloc&) {
    curves::UndoAfterOutOfMemory();
    return false;
  }
  f.SetUnitX(FrequencyUnits(f.UnitX()).c_str());
  return true;
}

}  // namespace tsm::math
