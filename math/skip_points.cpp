#include "math/skip_points.h"

#include <cmath>
#include <new>
#include <string>
#include <vector>

#include "curves/state.h"
#include "curves/undo.h"
#include "math/commands.h"
#include "math/options.h"
#include "platform/ui.h"
#include "shell/errors.h"
#include "shell/stringex.h"

namespace tsm::math {

using curves::Curve;
using curves::CurvePoint;

namespace {

// The program has always turned degrees into radians with this value.
constexpr double kPi = 3.1415926;

struct Normalised {
  double u, v;
  bool operator==(const Normalised&) const = default;
};

// One pass over the points into `kept`; true when it dropped a point.
bool SkipPass(const std::vector<CurvePoint>& points, double rx, double ry, double cosCritical,
              std::vector<CurvePoint>& kept) {
  kept.clear();
  const std::size_t n = points.size();
  auto at = [&](std::size_t i) { return Normalised{points[i].x / rx, points[i].y / ry}; };
  std::size_t i = 0;
  while (i < n) {
    if (i == 0 || i == n - 1) {
      kept.push_back(points[i]);
      ++i;
      continue;
    }
    const Normalised p = at(i - 1), c = at(i), q = at(i + 1);
    // A run of coinciding points keeps its first one: each later copy goes
    // as a repeat of the one before it. (Dropping every point that equals
    // either neighbour would drop the whole run, and with it a corner that
    // happened to be recorded twice.) The angle at the first copy is judged
    // in the next pass, when its repeat is gone.
    if (c == p || (c == q && i + 1 == n - 1)) {  // the last point stays itself
      ++i;
      continue;
    }
    if (c == q) {
      kept.push_back(points[i]);
      ++i;
      continue;
    }
    const double a = std::hypot(p.u - c.u, p.v - c.v);
    const double b = std::hypot(q.u - c.u, q.v - c.v);
    const double c2 = (p.u - q.u) * (p.u - q.u) + (p.v - q.v) * (p.v - q.v);
    const double k = (c2 - a * a - b * b) / (2.0 * a * b);
    if (cosCritical < k) {
      // C goes; N stays for this pass, so of two neighbouring candidates only
      // the first can go.
      kept.push_back(points[i + 1]);
      i += 2;
    } else {
      kept.push_back(points[i]);
      ++i;
    }
  }
  return kept.size() < n;
}

}  // namespace

bool SkipExtraPoints(Curve& curve, double criticalAngle, SkipResult* result) {
  *result = SkipResult{curve.Count(), curve.Count()};
  if (curve.Count() == 0) return true;
  // A range of 0 would divide by zero; such an axis is compared unscaled.
  double rx = static_cast<double>(*curve.MaxX()) - *curve.MinX();
  double ry = static_cast<double>(*curve.MaxY()) - *curve.MinY();
  if (rx == 0.0) rx = 1.0;
  if (ry == 0.0) ry = 1.0;
  const double cosCritical = std::cos(criticalAngle * kPi / 180.0);
  try {
    std::vector<CurvePoint> points(curve.Points().begin(), curve.Points().end());
    std::vector<CurvePoint> kept;
    kept.reserve(points.size());
    while (SkipPass(points, rx, ry, cosCritical, kept)) points.swap(kept);
    // Only shrinks, which never fails.
    curve.SetSize(static_cast<std::uint32_t>(points.size()));
    std::copy(points.begin(), points.end(), curve.Data());
  } catch (const std::bad_alloc&) {
    return false;
  }
  result->after = curve.Count();
  return true;
}

std::string SkipResultText(const SkipResult& r) {
  const long percent = r.after == 0
                           ? 0L
                           : static_cast<long>((static_cast<long long>(r.before) - r.after) * 100 /
                                               static_cast<long long>(r.after));
  return shell::Format("Before: %d , After: %d , %ld%% skiped", static_cast<int>(r.before),
                       static_cast<int>(r.after), percent);
}

bool SkipExtraPointsCommand(platform::WindowHandle owner) {
  if (shell::RunSetupDialog(kSkipDialogId, owner, SkipDialogFields(), kSkipCaption) != 1)
    return false;
  if (!curves::PrepareUndo()) return false;
  curves::CurveFamily& f = curves::CurrentFamily();
  const double angle = GetMathOptions().criticalAngle;
  for (std::uint32_t i = 0; i < f.Count(); ++i) {
    Curve& c = f.Curve(i);
    if (c.Count() == 0) continue;
    SkipResult r;
    bool ok;
    {
      platform::BusyCursor busy;
      ok = SkipExtraPoints(c, angle, &r);
    }
    if (!ok) {
      curves::UndoAfterOutOfMemory();
      return false;
    }
    shell::ShowMessage(shell::MainWindow(), SkipResultText(r), kSkipResultsCaption,
                       platform::MB_OK | platform::MB_ICONINFORMATION);
  }
  return true;
}

}  // namespace tsm::math
