#include "math/pointwise.h"

#include <cmath>
#include <utility>

#include "platform/assert.h"

namespace tsm::math {

using curves::Curve;
using curves::CurveFamily;
using curves::CurvePoint;

namespace {
constexpr const char* kSource = "mathfun";
}

void ShiftCurve(Curve& curve, double dx, double dy) {
  for (CurvePoint& p : curve.Points()) {
    p.x = static_cast<float>(p.x + dx);
    p.y = static_cast<float>(p.y + dy);
  }
}

void ScaleCurve(Curve& curve, double sx, double sy) {
  for (CurvePoint& p : curve.Points()) {
    p.x = static_cast<float>(p.x * sx);
    p.y = static_cast<float>(p.y * sy);
  }
}

void AbsCurve(Curve& curve, bool absX, bool absY) {
  for (CurvePoint& p : curve.Points()) {
    if (absX) p.x = std::fabs(p.x);
    if (absY) p.y = std::fabs(p.y);
  }
}

void ReverseCurve(Curve& curve) {
  auto points = curve.Points();
  const std::size_t n = points.size();
  for (std::size_t j = 0; j < n / 2; ++j) std::swap(points[j], points[n - 1 - j]);
}

const char* CheckYAsNewX(const CurveFamily& family) {
  if (family.Count() < 2) return kYAsXTooFewCurvesText;
  const Curve& first = family.Curve(0);
  for (std::uint32_t i = 1; i < family.Count(); ++i)
    if (family.Curve(i).Count() != first.Count()) return kYAsXPointCountText;
  for (std::uint32_t i = 1; i < family.Count(); ++i) {
    const Curve& c = family.Curve(i);
    for (std::uint32_t j = 0; j < c.Count(); ++j)
      if (c.Data()[j].x != first.Data()[j].x) return kYAsXCoordsText;
  }
  return nullptr;
}

void ApplyYAsNewX(CurveFamily& family, std::uint32_t n) {
  if (!TSM_ASSERT(n < family.Count(), kSource)) return;
  const Curve& source = family.Curve(n);
  for (std::uint32_t i = 0; i < family.Count(); ++i) {
    if (i == n) continue;
    Curve& c = family.Curve(i);
    if (!TSM_ASSERT(c.Count() == source.Count(), kSource)) return;
    for (std::uint32_t j = 0; j < c.Count(); ++j) c.Data()[j].x = source.Data()[j].y;
  }
  // UnitY() points into the family; copy it before writing the x units.
  const std::string units = family.UnitY();
  family.SetUnitX(units.c_str());
  family.RemoveRange(n, n);
}

namespace {

// The curve's Ymin and divisor; nullopt for an empty curve.
std::optional<std::pair<float, float>> NormalisationTerms(const Curve& curve, Normalisation kind) {
  const std::optional<float> ymin = curve.MinY();
  if (!ymin) return std::nullopt;
  const float divisor = kind == Normalisation::ByYmin ? *ymin : *curve.MaxY();
  return std::make_pair(*ymin, divisor);
}

}  // namespace

std::optional<std::uint32_t> FirstCurveNotNormalisable(const CurveFamily& family,
                                                       Normalisation kind) {
  for (std::uint32_t i = 0; i < family.Count(); ++i) {
    const auto terms = NormalisationTerms(family.Curve(i), kind);
    if (terms && terms->second == 0.0f) return i;
  }
  return std::nullopt;
}

void NormaliseCurve(Curve& curve, Normalisation kind) {
  const auto terms = NormalisationTerms(curve, kind);
  if (!terms || terms->second == 0.0f) return;
  const double ymin = terms->first;
  const double divisor = terms->second;
  for (CurvePoint& p : curve.Points()) p.y = static_cast<float>((p.y - ymin) / divisor * 100.0);
}

bool AllYPositive(const CurveFamily& family) {
  for (std::uint32_t i = 0; i < family.Count(); ++i)
    for (const CurvePoint& p : family.Curve(i).Points())
      if (!(p.y > 0.0f)) return false;
  return true;
}

void Log10Curve(Curve& curve) {
  for (CurvePoint& p : curve.Points())
    p.y = static_cast<float>(std::log10(static_cast<double>(p.y)));
}

std::string Log10Units(const char* units) {
  std::string text = std::string("lg(") + units + ")";
  if (text.size() >= curves::kUnitSize) return "???";
  return text;
}

}  // namespace tsm::math
