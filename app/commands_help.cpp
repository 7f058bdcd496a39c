// The Help menu: the About box and the two help items, which tell that the
// help file is out of date.
#include "shell/about.h"
#include "app/commands.h"
#include "shell/errors.h"

namespace tsm::app {

namespace {

bool HelpOutOfDate() {
  shell::ShowMessage(Owner(), kHelpOutOfDateText, kHelpOutOfDateCaption,
                     platform::MB_OK | platform::MB_ICONINFORMATION);
  return true;
}

}  // namespace

void RegisterHelpCommands(CommandRegistry& registry) {
  registry.Register(kCmdAbout, [] {
    shell::RunAboutDialog(Owner());
    return true;
  });
  registry.Register(kCmdHelpContent, HelpOutOfDate);
  registry.Register(kCmdHelpSearch, HelpOutOfDate);
}

}  // namespace tsm::app
