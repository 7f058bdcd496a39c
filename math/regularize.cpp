#include "math/regularize.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "curves/state.h"
#include "curves/undo.h"
#include "math/commands.h"
#include "shell/errors.h"

namespace tsm::math {

using curves::Curve;
using curves::CurvePoint;

bool CanRegularize(const Curve& curve) {
  if (curve.Count() == 0) return true;
  bool twoX = false;
  const float x0 = curve.Data()[0].x;
  for (const CurvePoint& p : curve.Points()) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    if (p.x != x0) twoX = true;
  }
  return twoX;
}

bool RegularizeCurve(Curve& curve) {
  const std::uint32_t n = curve.Count();
  if (n == 0) return true;
  struct Merged {
    double x, y;
  };
  std::vector<Merged> merged;
  try {
    std::vector<CurvePoint> sorted(curve.Points().begin(), curve.Points().end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const CurvePoint& a, const CurvePoint& b) { return a.x < b.x; });
    for (std::size_t i = 0; i < sorted.size();) {
      std::size_t j = i;
      double sum = 0.0;
      for (; j < sorted.size() && sorted[j].x == sorted[i].x; ++j) sum += sorted[j].y;
      merged.push_back({sorted[i].x, sum / static_cast<double>(j - i)});
      i = j;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (merged.size() < 2) return false;  // CanRegularize refuses these

  const double lo = merged.front().x, hi = merged.back().x;
  const double step = (hi - lo) / (n - 1);
  CurvePoint* p = curve.Data();
  std::size_t k = 0;  // merged[k].x <= x < merged[k + 1].x
  for (std::uint32_t j = 0; j < n; ++j) {
    const double x = j + 1 == n ? hi : lo + j * step;
    while (k + 2 < merged.size() && merged[k + 1].x <= x) ++k;
    const Merged& a = merged[k];
    const Merged& b = merged[k + 1];
    const double t = (x - a.x) / (b.x - a.x);
    p[j] = CurvePoint{static_cast<float>(x), static_cast<float>(a.y + t * (b.y - a.y))};
  }
  return true;
}

// --- the command ------------------------------------------------------------

bool RegularizeCommand(platform::WindowHandle owner) {
  curves::CurveFamily& f = curves::CurrentFamily();
  bool any = false;
  for (std::uint32_t i = 0; i < f.Count(); ++i) {
    const Curve& c = f.Curve(i);
    if (!c.IsMarked()) continue;
    // Every curve is checked before any changes, so a refusal changes nothing.
    if (!CanRegularize(c)) {
      shell::ShowMessage(owner, kRegularizeRefusedText, kRegularizeCaption,
                         platform::MB_OK | platform::MB_ICONHAND);
      return false;
    }
    any |= c.Count() > 0;
  }
  if (!any) {
    shell::ShowMessage(owner, kNoCurvesText, kRegularizeCaption,
                       platform::MB_OK | platform::MB_ICONHAND);
    return false;
  }
  if (!curves::PrepareUndo()) return false;
  for (std::uint32_t i = 0; i < f.Count(); ++i) {
    if (f.Curve(i).IsMarked() && !RegularizeCurve(f.Curve(i))) {
      curves::UndoAfterOutOfMemory();
      return false;
    }
  }
  return true;
}

}  // namespace tsm::math
