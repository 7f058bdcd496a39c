// The File menu: Open, Add, Save, the command-line files and Exit.
#include <string>
#include <vector>

#include "files/commands.h"
#include "files/fileio.h"
#include "app/commands.h"
#include "app/startup.h"
#include "shell/cmdline.h"
#include "shell/settings.h"

namespace tsm::app {

namespace {

// A load that failed half-way keeps the curves read so far: show them.
bool Loaded(int result) {
  if (result == files::kCompanionError) Redraw();
  return result >= 0;
}

std::vector<std::string> CommandLineFiles() {
  std::vector<std::string> paths;
  for (int n = 1; n < shell::PositionalCount(); ++n) paths.emplace_back(shell::PositionalArgument(n));
  return paths;
}

}  // namespace

void RegisterFileCommands(CommandRegistry& registry) {
  // 197 "&Open": the unsaved-data question first; a loaded file counts as saved.
  registry.Register(kCmdOpen, [] {
    if (!files::ConfirmDiscard()) return false;
    return Loaded(files::OpenDataFileDialog(false));
  });
  // 198 "&Add": the added curves are unsaved.
  registry.Register(kCmdAdd, [] { return Loaded(files::OpenDataFileDialog(true)); });
  // 271 "&Save" always goes through Save As.
  registry.Register(kCmdSave, [] { return files::SaveAsDialog(); });
  // 266: posted at start-up. Run again later it would replace the family,
  // so unsaved data are asked about first (at start-up there are none).
  registry.Register(
      kCmdOpenCommandLineFile,
      [] {
        if (!files::ConfirmDiscard()) return false;
        files::LoadCommandLineFiles(CommandLineFiles());
        Redraw();
        return true;
      },
      [] { return CommandLineNamesFile(); });
  // 125 "E&xit": nothing happens when the question is cancelled or the
  // requested save fails.
  registry.Register(kCmdExit, [] {
    if (!files::ConfirmDiscard()) return false;
    GetCommandHost().CloseMainWindow();
    return true;
  });
}

}  // namespace tsm::app
