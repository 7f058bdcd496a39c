// What the data-file commands remember between calls: the current data file
// (shown in the main window's title), the initial directories of the next
// Open/Add and Save As dialogs, and the hooks through which the main window
// learns of a new title and redraws after a file was loaded.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace tsm::files {

inline constexpr std::size_t kFileNameLength = 260;  // the current file name, NUL included
inline constexpr std::size_t kTitleLength = 360;     // the window title, NUL included
inline constexpr const char* kTitlePrefix = "Tesmira -- ";

using TitleHook = std::function<void(const std::string& title)>;
using RedrawHook = std::function<void()>;

struct FilesState {
  std::string currentFileName;  // "" until a file was opened or saved
  std::string windowTitle;      // "" until then (the window keeps "Tesmira")
  std::string openDirectory;    // directory of the last file chosen for Open / Add
  std::string saveDirectory;    // initial directory of the next Save As dialog
  TitleHook titleHook;          // set by the main window
  RedrawHook redrawHook;        // plot and every window of the thread
};

FilesState& GetFilesState();
// Forgets the file, the directories and the hooks (test fixtures).
void ResetFilesState();

// Remembers the path as the current file name (bounded to 259 characters)
// and sets the title "Tesmira -- " + path (bounded to 359), telling the hook.
void SetCurrentFile(const std::string& path);
void SetTitleHook(TitleHook hook);
void SetRedrawHook(RedrawHook hook);
// Calls the redraw hook, if any.
void Redraw();

}  // namespace tsm::files
