#include "math/smooth_filter.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "curves/state.h"
#include "curves/undo.h"
#include "math/commands.h"
#include "math/options.h"
#include "platform/ui.h"

namespace tsm::math {

using curves::Curve;
using curves::CurvePoint;

void SmoothCurve(Curve& curve, unsigned halfWidth) {
  const std::uint32_t n = curve.Count();
  if (halfWidth == 0 || n == 0) return;
  CurvePoint* p = curve.Data();
  // The sums read the input values, so the results wait in a copy.
  std::vector<double> y(n);
  for (std::uint32_t i = 0; i < n; ++i) y[i] = p[i].y;
  const long long last = static_cast<long long>(n) - 1;
  const double width = 2.0 * halfWidth + 1.0;
  for (long long i = 0; i <= last; ++i) {
    double s = y[i];
    for (long long j = 1; j <= halfWidth; ++j)
      s += y[std::max(i - j, 0LL)] + y[std::min(i + j, last)];
    p[i].y = static_cast<float>(s / width);
  }
}

std::uint32_t FilterCurve(Curve& curve, double amplitude) {
  const std::uint32_t n = curve.Count();
  if (n < 3) return 0;
  CurvePoint* pt = curve.Data();
  std::uint32_t replaced = 0;
  // The previous *input* value: a replaced point does not pull its neighbour.
  double previous = pt[0].y;
  for (std::uint32_t i = 1; i + 1 < n; ++i) {
    const double current = pt[i].y;
    const double next = pt[i + 1].y;
    if (std::fabs(current - next) > amplitude && std::fabs(current - previous) > amplitude) {
      const double x0 = pt[i - 1].x, x1 = pt[i].x, x2 = pt[i + 1].x;
      pt[i].y = x2 != x0 ? static_cast<float>(previous + (next - previous) * (x1 - x0) / (x2 - x0))
                         : static_cast<float>((previous + next) / 2.0);
      ++replaced;
    }
    previous = current;
  }
  return replaced;
}

namespace {

// Dialog, undo copy, then the operation on every curve under the busy cursor.
template <class Op>
bool RunOnEveryCurve(platform::WindowHandle owner, shell::FieldList& dialogFields, int dialogId,
                     const char* caption, Op op) {
  if (shell::RunSetupDialog(dialogId, owner, dialogFields, caption) != 1) return false;
  if (!curves::PrepareUndo()) return false;
  platform::BusyCursor busy;
  curves::CurveFamily& f = curves::CurrentFamily();
  try {
    for (std::uint32_t i = 0; i < f.Count(); ++i) op(f.Curve(i));
  } catch (const std::bad_alloc&) {
    // Smoothing needs a copy of the curve's values; without it the curves
    // done so far are taken back.
    curves::UndoAfterOutOfMemory();
    return false;
  }
  return true;
}

}  // namespace

bool SmoothCommand(platform::WindowHandle owner) {
  return RunOnEveryCurve(owner, SmoothDialogFields(), kSmoothDialogId, kSmoothCaption,
                         [](Curve& c) { SmoothCurve(c, GetMathOptions().smoothParameter); });
}

bool FilterCommand(platform::WindowHandle owner) {
  return RunOnEveryCurve(owner, FilterDialogFields(), kFilterDialogId, kFilterCaption,
                         [](Curve& c) { FilterCurve(c, GetMathOptions().filterParameter); });
}

}  // namespace tsm::math
