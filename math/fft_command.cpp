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
  // each. Twice that is allowed for the first spacing and for each other.
  constexpr double kUlps = 2.0 * std::numeric_limits<float>::epsilon();
  const double base = kFFTSpacingTolerance * std::fabs(d0) +
                      kUlps * std::max(std::fabs(static_cast<double>(p[0].x)),
                                       std::fabs(static_cast<double>(p[1].x)));
  // Block by block without a branch per point, so the loop vectorises; a
  // NaN spacing fails the test like a wrong one.
  constexpr std::uint32_t kBlock = 4096;
  for (std::uint32_t from = 2; from < n; from += kBlock) {
    const std::uint32_t to = n - from > kBlock ? from + kBlock : n;
    bool bad = false;
    for (std::uint32_t s = from; s < to; ++s) {
      const double a = p[s - 1].x, b = p[s].x;
      const double slack = base + kUlps * std::max(std::fabs(a), std::fabs(b));
      bad |= !(std::fabs((b - a) - d0) <= slack);
    }
    if (bad) return kFFTUnequalDistanceText;
  }
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

  // y_j becomes a double in the 8 bytes of point j (read before written),
  // so the transform needs no copy of the curve.
  auto* bytes = reinterpret_cast<unsigned char*>(p);
  for (std::uint32_t j = 0; j < n; ++j) {
    float y;
    std::memcpy(&y, bytes + 8 * static_cast<std::size_t>(j) + 4, sizeof y);
    const double v = y;
    std::memcpy(bytes + 8 * static_cast<std::size_t>(j), &v, sizeof v);
  }
  plan.Transform(reinterpret_cast<double*>(bytes));

  // Point k takes the place of double k, which F_(k/2) held (read before);
  // F_k itself is doubles 2k and 2k+1, still ahead.
  auto value = [bytes](std::size_t i) {
    double v;
    std::memcpy(&v, bytes + 8 * i, sizeof v);
    return v;
  };
  auto put = [bytes](std::size_t k, double x, double y) {
    const CurvePoint point{static_cast<float>(x), static_cast<float>(y)};
    std::memcpy(bytes + 8 * k, &point, sizeof point);
  };
  const double first = std::fabs(value(0));
  const double nyquist = std::fabs(value(1) * dt);
  put(0, 0.0, first);
  const double df = 1.0 / (static_cast<double>(n) * dt);
  for (std::uint32_t k = 1; k < h; ++k) {
    const double re = value(2 * std::size_t{k}), im = value(2 * std::size_t{k} + 1);
    put(k, k * df, std::sqrt(re * re + im * im) * dt);
  }
  put(h, 1.0 / (2.0 * dt), nyquist);
  curve.SetSize(h + 1);  // shrinking never fails
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
