#include "shell/app/commands.h"

namespace tsm::app {

void RegisterEditCommands(CommandRegistry& /*registry*/) {}

}  // namespace tsm::app
