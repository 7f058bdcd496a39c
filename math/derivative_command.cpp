// Commands 145 and 183: the family becomes the working family of the
// derivative window of X or of Y (built from the current family with the
// present "Math" options, as the open window shows it).
#include <new>

#include "curves/state.h"
#include "curves/undo.h"
#include "math/commands.h"
#include "math/derivative.h"
#include "shell/errors.h"

namespace tsm::math {

namespace {

bool Derive(platform::WindowHandle owner, DerivativeAxis axis) {
  curves::CurveFamily& family = curves::CurrentFamily();
  if (family.Count() == 0) {
    shell::ShowMessage(owner, kNoCurvesText, kDerivativeCaption,
                       platform::MB_OK | platform::MB_ICONHAND);
    return false;
  }
  curves::CurveFamily result;
  std::uint32_t left = 0;
  try {
    left = BuildDerivativeFamily(family, DeriveSettingsOf(GetMathOptions()), axis, result);
  } catch (const std::bad_alloc&) {
    curves::ShowOutOfMemory(owner);
    return false;
  }
  if (result.Count() == 0) {
    shell::ShowMessage(owner, kDerivativeNoneText, kDerivativeCaption,
                       platform::MB_OK | platform::MB_ICONHAND);
    return false;
  }
  if (!curves::ReplaceCurrentFamily(result)) return false;
  if (left > 0)
    shell::ShowMessage(owner, kDerivativeSomeLeftText, kDerivativeCaption,
                       platform::MB_OK | platform::MB_ICONINFORMATION);
  return true;
}

}  // namespace

bool MultiPointDerivativeXCommand(platform::WindowHandle owner) {
  return Derive(owner, DerivativeAxis::X);
}

bool MultiPointDerivativeYCommand(platform::WindowHandle owner) {
  return Derive(owner, DerivativeAxis::Y);
}

}  // namespace tsm::math
