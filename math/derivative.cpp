#include "math/derivative.h"

#include <algorithm>
#include <new>
#include <string>

#include "math/leastsquarefit.h"
#include "shell/stringex.h"

namespace tsm::math {

using curves::Curve;
using curves::CurveFamily;
using curves::CurvePoint;

DeriveSettings DeriveSettingsOf(const MathOptions& o) {
  DeriveSettings s;
  s.points = std::max(2u, o.derivePoints);
  s.discardEdge = o.deriveDiscardEdge != 0;
  s.direction = o.deriveDiscardDir;
  return s;
}

std::vector<MonotonicRun> MonotonicRuns(const Curve& curve) {
  std::vector<MonotonicRun> runs;
  const std::uint32_t n = curve.Count();
  if (n == 0) return runs;
  const CurvePoint* p = curve.Data();
  MonotonicRun run;
  for (std::uint32_t i = 1; i < n; ++i) {
    const int step = p[i].x > p[i - 1].x ? 1 : p[i].x < p[i - 1].x ? -1 : 0;
    if (step != 0 && run.direction != 0 && step != run.direction) {
      run.last = i - 1;
      runs.push_back(run);
      run = MonotonicRun{i - 1, i - 1, 0};
    }
    if (step != 0) run.direction = step;
  }
  run.last = n - 1;
  runs.push_back(run);
  return runs;
}

namespace {

bool Kept(const MonotonicRun& run, unsigned direction) {
  if (run.direction == 0) return false;
  if (direction == kDeriveIncreasingX) return run.direction > 0;
  if (direction == kDeriveDecreasingX) return run.direction < 0;
  return true;
}

// The slope through points first..last, relative to point i so that the
// sums do not cancel; false when every x is the same.
bool Slope(const CurvePoint* p, std::uint32_t first, std::uint32_t last, std::uint32_t i,
           double& slope) {
  LeastSquareFit fit;
  for (std::uint32_t k = first; k <= last; ++k)
    fit.Add(static_cast<double>(p[k].x) - p[i].x, static_cast<double>(p[k].y) - p[i].y, 1.0);
  slope = fit.A();
  return slope != LeastSquareFit::kInfinite;
}

}  // namespace

bool DeriveCurve(const Curve& in, const DeriveSettings& s, DerivativeAxis axis, Curve& out) {
  const CurvePoint* p = in.Data();
  const std::uint32_t points = std::max(2u, s.points);
  const std::uint32_t before = (points - 1) / 2;
  const std::uint32_t after = points - 1 - before;
  for (const MonotonicRun& run : MonotonicRuns(in)) {
    if (!Kept(run, s.direction)) continue;
    for (std::uint32_t i = run.first; i <= run.last; ++i) {
      const bool complete = i - run.first >= before && run.last - i >= after;
      if (!complete && s.discardEdge) continue;
      std::uint32_t first = i - std::min(before, i - run.first);
      std::uint32_t last = i + std::min(after, run.last - i);
      if (first == last) {  // a two-point window cut at the end of its run
        if (i > run.first) first = i - 1;
        else last = i + 1;
      }
      double slope = 0.0;
      if (!Slope(p, first, last, i, slope)) continue;
      const float at = axis == DerivativeAxis::X ? p[i].x : p[i].y;
      if (!out.Append(at, static_cast<float>(slope))) return false;
    }
  }
  return true;
}

std::uint32_t BuildDerivativeFamily(const CurveFamily& source, const DeriveSettings& settings,
                                    DerivativeAxis axis, CurveFamily& out) {
  out.Clear();
  out.CopyInfo(source);
  std::uint32_t left = 0;
  for (std::uint32_t i = 0; i < source.Count(); ++i) {
    const Curve& c = source.Curve(i);
    if (!out.SetCount(out.Count() + 1)) throw std::bad_alloc();
    Curve& d = out.Curve(out.Count() - 1);
    if (!DeriveCurve(c, settings, axis, d)) throw std::bad_alloc();
    if (d.Count() == 0) {
      out.SetCount(out.Count() - 1);
      ++left;
      continue;
    }
    d.SetName(c.Name());
    d.SetParameter(c.Parameter());
  }
  const std::string unitX = source.UnitX(), unitY = source.UnitY();
  out.SetUnitY((unitY + "/" + unitX).c_str());
  if (axis == DerivativeAxis::Y) {
    out.SetUnitX(unitY.c_str());
    out.SetGraphName(shell::Format("D[%s,x](y)", source.GraphName()).c_str());
  } else {
    out.SetGraphName(shell::Format("D[%s,x]", source.GraphName()).c_str());
  }
  return left;
}

const char* DerivativeWindowCaption(DerivativeAxis axis) {
  return axis == DerivativeAxis::X ? "Derivative Window dY/dX (X)"
                                   : "Derivative Window dY/dX (Y)";
}

void DerivativeWindowModel::Refresh(const CurveFamily& plotted) {
  try {
    BuildDerivativeFamily(plotted, DeriveSettingsOf(GetMathOptions()), axis_, family_);
  } catch (const std::bad_alloc&) {
    family_.Clear();
  }
}

}  // namespace tsm::math
