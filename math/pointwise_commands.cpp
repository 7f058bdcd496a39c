// The point-wise Math-menu commands: dialogs or checks first, then the undo
// copy, then the operation on the current family.
#include <functional>

#include "curves/state.h"
#include "curves/undo.h"
#include "math/commands.h"
#include "math/pointwise.h"
#include "math/pointwise_dialogs.h"
#include "platform/assert.h"
#include "shell/errors.h"

namespace tsm::math {

using curves::CurrentFamily;
using curves::Curve;
using curves::CurveFamily;
using platform::MB_ICONHAND;
using platform::MB_OK;

namespace {

constexpr const char* kSource = "mathfun";
using CurveOperation = std::function<void(Curve&)>;

void ForMarkedCurves(const CurveOperation& op) {
  CurveFamily& f = CurrentFamily();
  for (std::uint32_t i = 0; i < f.Count(); ++i)
    if (f.Curve(i).IsMarked()) op(f.Curve(i));
}

void ForAllCurves(const CurveOperation& op) {
  CurveFamily& f = CurrentFamily();
  for (std::uint32_t i = 0; i < f.Count(); ++i) op(f.Curve(i));
}

bool ValidCurveIndex(std::uint32_t index) {
  return TSM_ASSERT(index < CurrentFamily().Count(), kSource);
}

// The operations of the three dialogs; each applies to the curves `apply`
// walks (the marked ones, or a single one).
bool Shift(platform::WindowHandle owner, const std::function<void(const CurveOperation&)>& apply) {
  const std::optional<ShiftValues> v = RunShiftDialog(owner);
  if (!v || !curves::PrepareUndo()) return false;
  apply([&](Curve& c) { ShiftCurve(c, v->dx, v->dy); });
  return true;
}

bool Scale(platform::WindowHandle owner, const std::function<void(const CurveOperation&)>& apply) {
  const std::optional<ScaleValues> v = RunScaleDialog(owner);
  if (!v || !curves::PrepareUndo()) return false;
  const double sx = v->multiplyX / v->divideX;
  const double sy = v->multiplyY / v->divideY;
  apply([&](Curve& c) { ScaleCurve(c, sx, sy); });
  return true;
}

bool Abs(platform::WindowHandle owner, const std::function<void(const CurveOperation&)>& apply) {
  const std::optional<AbsValues> v = RunAbsDialog(owner);
  if (!v || (!v->x && !v->y) || !curves::PrepareUndo()) return false;
  apply([&](Curve& c) { AbsCurve(c, v->x, v->y); });
  return true;
}

std::function<void(const CurveOperation&)> OneCurve(std::uint32_t index) {
  return [index](const CurveOperation& op) { op(CurrentFamily().Curve(index)); };
}

bool ApplyYAsNewXWithChecks(platform::WindowHandle owner, std::optional<std::uint32_t> given,
                            const CurveChooser& choose = {}) {
  CurveFamily& f = CurrentFamily();
  if (const char* refusal = CheckYAsNewX(f)) {
    shell::ShowMessage(owner, refusal, kYAsXCaption, MB_OK | MB_ICONHAND);
    return false;
  }
  const std::optional<std::uint32_t> n = given    ? given
                                         : choose ? choose(owner, f)
                                                  : ChooseCurve(owner, f);
  if (!n || !curves::PrepareUndo()) return false;
  ApplyYAsNewX(CurrentFamily(), *n);
  return true;
}

bool Normalise(platform::WindowHandle owner, const PlotViewLink& view, Normalisation kind) {
  // Every curve is checked before any is changed, so a refusal leaves the
  // family as it was even when no undo copy could be taken, and the undo
  // copy never holds a half-normalised family.
  if (FirstCurveNotNormalisable(CurrentFamily(), kind)) {
    const bool byMin = kind == Normalisation::ByYmin;
    shell::ShowMessage(owner, byMin ? kNormYminZeroText : kNormYmaxZeroText,
                       byMin ? kNormYminCaption : kNormYmaxCaption, MB_OK | MB_ICONHAND);
    return false;
  }
  if (!curves::PrepareUndo()) return false;
  ForAllCurves([kind](Curve& c) { NormaliseCurve(c, kind); });
  CurrentFamily().SetUnitY(kPercentUnits);
  if (view.reset) view.reset();
  return true;
}

}  // namespace

bool ShiftCommand(platform::WindowHandle owner) { return Shift(owner, ForMarkedCurves); }
bool ScaleCommand(platform::WindowHandle owner) { return Scale(owner, ForMarkedCurves); }
bool AbsCommand(platform::WindowHandle owner) { return Abs(owner, ForMarkedCurves); }

bool ShiftCurveCommand(platform::WindowHandle owner, std::uint32_t index) {
  return ValidCurveIndex(index) && Shift(owner, OneCurve(index));
}
bool ScaleCurveCommand(platform::WindowHandle owner, std::uint32_t index) {
  return ValidCurveIndex(index) && Scale(owner, OneCurve(index));
}
bool AbsCurveCommand(platform::WindowHandle owner, std::uint32_t index) {
  return ValidCurveIndex(index) && Abs(owner, OneCurve(index));
}

bool YAsNewXCommand(platform::WindowHandle owner, const CurveChooser& choose) {
  return ApplyYAsNewXWithChecks(owner, std::nullopt, choose);
}

bool YAsNewXCurveCommand(platform::WindowHandle owner, std::uint32_t index) {
  return ValidCurveIndex(index) && ApplyYAsNewXWithChecks(owner, index);
}

bool SwapXYCommand(const PlotViewLink& view) {
  const bool autoScale = !view.autoScale || view.autoScale();
  if (!autoScale && view.swapRanges) view.swapRanges();
  CurrentFamily().SwapXY();
  return true;
}

bool ReversePointsCommand() {
  ForAllCurves(ReverseCurve);
  return true;
}

bool NormaliseByYminCommand(platform::WindowHandle owner, const PlotViewLink& view) {
  return Normalise(owner, view, Normalisation::ByYmin);
}

bool NormaliseByYmaxCommand(platform::WindowHandle owner, const PlotViewLink& view) {
  return Normalise(owner, view, Normalisation::ByYmax);
}

bool Log10Command(platform::WindowHandle owner) {
  if (!curves::PrepareUndo()) return false;
  CurveFamily& f = CurrentFamily();
  if (!AllYPositive(f)) {
    shell::ShowMessage(owner, kLog10RefusedText, kLog10Caption, MB_OK | MB_ICONHAND);
    return false;
  }
  ForAllCurves(Log10Curve);
  const std::string units = Log10Units(f.UnitY());
  f.SetUnitY(units.c_str());
  return true;
}

}  // namespace tsm::math
