#include "shell/app/commands.h"

namespace tsm::app {

void RegisterFileCommands(CommandRegistry& /*registry*/) {}

}  // namespace tsm::app
