#include "app/settings_commands.h"

#include "app/options_registry.h"
#include "app/window_position.h"
#include "shell/errors.h"
#include "shell/settings.h"

namespace tsm::app {

using namespace tsm::platform;

namespace {
// The common-dialog code of a path that does not fit the name field.
constexpr unsigned long kBufferTooSmall = 0x3003;

// Takes the chosen path as the new settings file; false (reported) when the
// chooser was cancelled, failed or gave a path too long to keep.
bool AdoptChosenFile(const FileDialogResult& result) {
  if (!result.ok) {
    shell::ReportCommDlgError(result.errorCode);
    return false;
  }
  if (!shell::SetSettingsFileName(result.path)) {
    shell::ReportCommDlgError(kBufferTooSmall);
    return false;
  }
  return true;
}
}  // namespace

FileDialogRequest SettingsFileRequest(bool save) {
  FileDialogRequest request;
  // The path is given as it is: on this system "/" is the separator.
  request.initialFile = shell::SettingsFileName();
  request.filters.push_back({kSettingsFilterText, kSettingsFilterPattern});
  request.defaultExtension = "ini";
  request.flags = save ? (OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST)
                       : (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
  return request;
}

bool HandleSettingsCommand(int id, MainWindowHost& window) {
  switch (id) {
    case kCmdLoadOptions:
      if (AdoptChosenFile(GetUi().GetOpenFileName(SettingsFileRequest(false)))) {
        LoadAllSettings(shell::SettingsFileName());
        LoadWindowPosition(window, shell::SettingsFileName());
        window.Invalidate();
      }
      return true;
    case kCmdSaveOptions:
      SaveAllSettings(shell::SettingsFileName());
      SaveWindowPosition(window, shell::SettingsFileName());
      return true;
    case kCmdSaveOptionsAs:
      if (AdoptChosenFile(GetUi().GetSaveFileName(SettingsFileRequest(true)))) {
        SaveAllSettings(shell::SettingsFileName());
        SaveWindowPosition(window, shell::SettingsFileName());
      }
      return true;
    case kCmdLoadWindowPosition:
      LoadWindowPosition(window, shell::SettingsFileName());
      return true;
    case kCmdSaveWindowPosition:
      SaveWindowPosition(window, shell::SettingsFileName());
      return true;
    default:
      return false;
  }
}

}  // namespace tsm::app
