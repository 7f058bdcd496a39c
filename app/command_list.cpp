// Every area's commands in one list. Each area keeps its own file
// app/commands_<area>.cpp with one registration function (declared
// in commands.h); an area joins the program with one line here.
#include "app/commands.h"

namespace tsm::app {

void RegisterAllCommands() {
  CommandRegistry& registry = Commands();
  registry.Clear();
  RegisterSettingsCommands(registry);
  RegisterFileCommands(registry);
  RegisterEditCommands(registry);
  RegisterViewCommands(registry);
  RegisterMathCommands(registry);
  RegisterOptionCommands(registry);
  RegisterToolCommands(registry);
  RegisterHelpCommands(registry);
  RegisterMeasureCommands(registry);
  RegisterPictureCommands(registry);
  RegisterCurveCommands(registry);
}

}  // namespace tsm::app
