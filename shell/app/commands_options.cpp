#include "shell/app/commands.h"

namespace tsm::app {

void RegisterOptionCommands(CommandRegistry& /*registry*/) {}

}  // namespace tsm::app
