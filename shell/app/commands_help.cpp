#include "shell/app/commands.h"

namespace tsm::app {

void RegisterHelpCommands(CommandRegistry& /*registry*/) {}

}  // namespace tsm::app
