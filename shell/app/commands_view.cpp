#include "shell/app/commands.h"

namespace tsm::app {

void RegisterViewCommands(CommandRegistry& /*registry*/) {}

}  // namespace tsm::app
