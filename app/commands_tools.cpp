// The modeless tool windows of the Window menu: each command opens its
// window or closes it, and its item is checked while the window exists.
// The main window (or batch mode's headless one) owns the windows.
#include "app/commands.h"

namespace tsm::app {

void RegisterToolCommands(CommandRegistry& registry) {
  for (int id : kToolWindowCommands) {
    registry.Register(
        id,
        [id] {
          CommandHost& host = GetCommandHost();
          host.ToggleToolWindow(id, host.ShiftHeld());
          return true;
        },
        [id] { return GetCommandHost().HasToolWindow(id); },
        [id] { return GetCommandHost().ToolWindowOpen(id); });
  }
}

}  // namespace tsm::app
