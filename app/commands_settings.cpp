// The settings file and window position commands (201, 202, 203, 218, 140).
#include "app/commands.h"
#include "app/settings_commands.h"

namespace tsm::app {

void RegisterSettingsCommands(CommandRegistry& registry) {
  for (int id : {kCmdLoadOptions, kCmdSaveOptions, kCmdSaveOptionsAs, kCmdLoadWindowPosition,
                 kCmdSaveWindowPosition})
    registry.Register(id, [id] { return HandleSettingsCommand(id, GetCommandHost()); });
}

}  // namespace tsm::app
