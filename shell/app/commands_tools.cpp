#include "shell/app/commands.h"

namespace tsm::app {

void RegisterToolCommands(CommandRegistry& /*registry*/) {}

}  // namespace tsm::app
