#include "shell/app/commands.h"

namespace tsm::app {

void RegisterMathCommands(CommandRegistry& /*registry*/) {}

}  // namespace tsm::app
