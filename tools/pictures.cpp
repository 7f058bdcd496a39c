// The dialog pictures of the user guide: every dialog of the program's
// catalogue (app/dialog_catalogue.cpp) opened as the user opens it, drawn
// offscreen as the program shows it and written as FOLDER/NAME.png (a
// dialog that opens further dialogs gives NAME-2.png...). What the layout
// check finds wrong is written to standard error. scripts/pictures.sh runs it.
//
//   tesmira-pictures FOLDER [-i:SETTINGS.ini] [DATAFILE...]
//
// Start-up is the program's without a display (settings, cards, the data
// files, as batch mode has it). Exit status 0; 1 when a dialog of the
// catalogue did not open or its layout has a fault; 2 when start-up failed.
#include <cstdio>
#include <string>
#include <vector>

#include "gui/application.h"
#include "gui/dialog_pictures.h"
#include "gui/dialog_view.h"
#include "gui/picture_output.h"
#include "gui/snapshot.h"
#include "platform/dialog.h"
#include "app/commands.h"
#include "app/dialog_catalogue.h"
#include "app/headless_window.h"
#include "app/main_window_link.h"
#include "app/options_registry.h"
#include "app/startup.h"
#include "shell/cmdline.h"
#include "shell/errors.h"

int main(int argc, char** argv) {
  using namespace tsm;
  if (argc < 2) {
    std::fprintf(stderr, "usage: tesmira-pictures FOLDER [-i:SETTINGS.ini] [DATAFILE...]\n");
    return 2;
  }
  const std::string folder = argv[1];
  gui::EnsureQtForDrawing();
  gui::RegisterViews();

  // The program's command line without the folder.
  std::vector<char*> args{argv[0]};
  for (int i = 2; i < argc; ++i) args.push_back(argv[i]);
  args.push_back(nullptr);
  app::DetermineProgramDirectory(argv[0]);
  app::ParseStartupCommandLine(static_cast<int>(args.size()) - 1, args.data());

  std::string name;
  int count = 0;
  bool faults = false;
  gui::PictureUi ui([&](platform::DialogModel&, gui::DialogView& view) {
    if (name.empty()) return;  // a dialog of start-up
    const std::string file =
        folder + "/" + name + (++count > 1 ? "-" + std::to_string(count) : "") + ".png";
    std::string why;
    if (!gui::SavePicture(gui::DialogPicture(view), file, why)) {
      std::fprintf(stderr, "tesmira-pictures: %s\n", why.c_str());
      faults = true;
    }
    for (const std::string& problem : gui::LayoutProblems(view)) {
      std::fprintf(stderr, "%s: %s\n", file.c_str(), problem.c_str());
      faults = true;
    }
  });
  platform::SetUi(&ui);
  app::RegisterOptionGroups();
  app::RegisterAllCommands();
  int status = 2;
  {
    app::HeadlessWindow window;
    shell::SetMainWindow(window.Owner());
    app::AttachMainWindow(window, window);
    if (app::RunWindowCreation(window)) {
      status = 0;
      for (const app::CatalogueEntry& entry : app::DialogCatalogue()) {
        name = entry.name;
        count = 0;
        entry.open();
        if (count == 0) {
          std::fprintf(stderr, "tesmira-pictures: \"%s\" opened no dialog\n", name.c_str());
          faults = true;
        }
      }
      name.clear();
      if (faults) status = 1;
    }
    app::DetachMainWindow();
    shell::SetMainWindow(nullptr);
  }
  app::ResetCommandState();
  shell::FreeCommandLine();
  platform::SetUi(nullptr);
  return status;
}
