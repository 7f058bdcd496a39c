#include "math/self_field.h"

#include "curves/state.h"
#include "curves/undo.h"
#include "math/commands.h"
#include "math/junction_options.h"
#include "shell/errors.h"

namespace tsm::math {

void SelfFieldCurve(curves::Curve& curve, double k) {
  for (curves::CurvePoint& p : curve.Points()) p.x = static_cast<float>(p.x + k * p.y);
}

// --- the commands -----------------------------------------------------------

namespace {

bool SelfField(platform::WindowHandle owner, bool onlyMarked) {
  if (curves::CurrentFamily().Count() == 0) {
    shell::ShowMessage(owner, kNoCurvesText, kSelfFieldCaption,
                       platform::MB_OK | platform::MB_ICONHAND);
    return false;
  }
  if (RunSelfFieldDialog(owner) != 1 || !curves::PrepareUndo()) return false;
  const double k = GetJunctionOptions().selfFieldFactor;
  curves::CurveFamily& f = curves::CurrentFamily();
  for (std::uint32_t i = 0; i < f.Count(); ++i)
    if (!onlyMarked || f.Curve(i).IsMarked()) SelfFieldCurve(f.Curve(i), k);
  return true;
}

}  // namespace

bool SelfFieldCommand(platform::WindowHandle owner) { return SelfField(owner, true); }

bool SelfFieldSelectedCommand(platform::WindowHandle owner) {
  return SelfField(owner, curves::CurrentFamily().CountMarked() == 1);
}

}  // namespace tsm::math
