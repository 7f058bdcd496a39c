#include "files/commands.h"

#include "curves/undo.h"
#include "files/fileio.h"
#include "files/pathnames.h"
#include "files/state.h"
#include "platform/ui.h"
#include "shell/errors.h"
#include "shell/settings.h"

namespace tsm::files {

using namespace tsm::platform;

int OpenDataFileDialog(bool add) {
  FilesState& state = GetFilesState();
  FileDialogRequest request;
  request.title = add ? kAddTitle : "";
  request.initialDirectory = state.openDirectory;
  request.filters = {{"ASCII data files (*.dat)", "*.dat"},
                     {"AutoCAD's DXB files (*.dxb)", "*.dxb"},
                     {"All files (*.*)", "*.*"}};
  request.defaultExtension = kDefaultExtension;
  request.flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  const FileDialogResult chosen = GetUi().GetOpenFileName(request);
  if (!chosen.ok) {
    shell::ReportCommDlgError(chosen.errorCode);
    return kNothingChosen;
  }
  if (!curves::PrepareUndo()) return kNothingChosen;
  state.openDirectory = DirectoryPart(chosen.path);
  const int result = LoadDataFile(chosen.path, add);
  if (result >= 0) shell::SetDataSaved(!add);
  return result;
}

bool SaveAsDialog() {
  FilesState& state = GetFilesState();
  FileDialogRequest request;
  request.title = kSaveAsTitle;
  request.initialDirectory = state.saveDirectory;
  request.filters = {{"ASCII data file (*.dat)", "*.dat"}, {"All files (*.*)", "*.*"}};
  request.defaultExtension = kDefaultExtension;
  request.flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  const FileDialogResult chosen = GetUi().GetSaveFileName(request);
  if (!chosen.ok) {
    shell::ReportCommDlgError(chosen.errorCode);
    return false;
  }
  state.saveDirectory = DirectoryPart(chosen.path);
  if (SaveDataFile(chosen.path) < 0) return false;
  shell::SetDataSaved(true);
  return true;
}

bool ConfirmDiscard() {
  if (shell::DataSaved()) return true;
  switch (shell::ShowMessage(shell::MainWindow(), kUnsavedDataText, kUnsavedDataCaption,
                             MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return SaveAsDialog();
    case IDNO:
      return true;
    default:
      return false;
  }
}

void LoadCommandLineFiles(const std::vector<std::string>& paths) {
  for (std::size_t i = 0; i < paths.size(); ++i) LoadDataFile(paths[i], i > 0);
  shell::SetDataSaved(true);
}

}  // namespace tsm::files
