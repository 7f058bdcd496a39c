// Entry point of the program. The modes that need no display (-cards,
// -batch:FILE) run before any Qt object exists; the window needs a display
// and says so plainly when there is none.
#include <cstdio>
#include <cstdlib>

#include "gui/application.h"
#include "gui/picture_output.h"
#include "app/batch.h"
#include "app/cards_command.h"
#include "app/startup.h"

int main(int argc, char** argv) {
  if (tsm::app::IsCardsCommand(argc, argv)) {
    tsm::app::ParseStartupCommandLine(argc, argv);  // -driver: and the option file
    return tsm::app::RunCardsCommand(tsm::app::ExecutableDirectory());
  }
  if (tsm::app::IsBatchCommand(argc, argv)) {
    // Batch mode exports and prints through an offscreen Qt of its own.
    tsm::gui::InstallPictureOutput(false);
    return tsm::app::RunBatch(argc, argv);
  }
  return tsm::gui::RunApplication(argc, argv);
}
