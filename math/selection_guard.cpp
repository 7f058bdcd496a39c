#include "curves/state.h"
#include "math/commands.h"
#include "shell/errors.h"

namespace tsm::math {

bool MathSelectionGuard(platform::WindowHandle owner, bool selectionExists) {
  if (selectionExists) {
    shell::ShowMessage(owner, kSelectionRefusedText, kSelectionRefusedCaption,
                       platform::MB_OK | platform::MB_ICONHAND);
    return false;
  }
  curves::CurrentFamily().MarkAll();
  return true;
}

}  // namespace tsm::math
