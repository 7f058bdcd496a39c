// The menu commands that load and save the whole settings file and the main
// window's position: 201 "&Load Options", 202 "&Save Options..", 203 "Save
// Options As..", 218 "Load Window Position", 140 "Save Window Position".
#pragma once

#include "platform/ui.h"
#include "app/main_window_host.h"

namespace tsm::app {

inline constexpr int kCmdLoadOptions = 201;
inline constexpr int kCmdSaveOptions = 202;
inline constexpr int kCmdSaveOptionsAs = 203;
inline constexpr int kCmdLoadWindowPosition = 218;
inline constexpr int kCmdSaveWindowPosition = 140;

inline constexpr const char* kSettingsFilterText = "Tesmira configuration  (*.ini)";
inline constexpr const char* kSettingsFilterPattern = "*.ini";

// The chooser request of 201 (open) or 203 (save).
platform::FileDialogRequest SettingsFileRequest(bool save);

// Carries out one of the five commands; false for any other id.
bool HandleSettingsCommand(int id, MainWindowHost& window);

}  // namespace tsm::app
