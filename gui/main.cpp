// Entry point of the program. The modes that need no display (--help,
// -cards, -batch:FILE) run before any Qt object exists (batch mode starts an
// offscreen one for its pictures only); the window needs a display and says
// so plainly when there is none.
#include <cstdio>
#include <cstdlib>

#include "gui/application.h"
#include "gui/picture_output.h"
#include "gui/snapshot.h"
#include "app/batch.h"
#include "app/cards_command.h"
#include "app/startup.h"
#include "app/usage.h"

int main(int argc, char** argv) {
  if (tsm::app::IsHelpCommand(argc, argv)) {
    std::fputs(tsm::app::UsageText().c_str(), stdout);
    return 0;
  }
  if (tsm::app::IsCardsCommand(argc, argv)) {
    tsm::app::ParseStartupCommandLine(argc, argv);  // -driver: and the option file
    return tsm::app::RunCardsCommand(tsm::app::ExecutableDirectory());
  }
  if (tsm::app::IsBatchCommand(argc, argv)) {
    // Batch mode exports, prints and draws its snapshots through an
    // offscreen Qt of its own.
    tsm::gui::InstallPictureOutput(false);
    tsm::gui::InstallSnapshotRenderer();
    return tsm::app::RunBatch(argc, argv);
  }
  return tsm::gui::RunApplication(argc, argv);
}
