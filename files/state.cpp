#include "files/state.h"

#include "shell/stringex.h"

namespace tsm::files {

FilesState& GetFilesState() {
  static FilesState state;
  return state;
}

void ResetFilesState() { GetFilesState() = FilesState{}; }

void SetCurrentFile(const std::string& path) {
  FilesState& s = GetFilesState();
  shell::BoundedAssign(s.currentFileName, path, kFileNameLength);
  shell::BoundedAssign(s.windowTitle, kTitlePrefix + path, kTitleLength);
  if (s.titleHook) s.titleHook(s.windowTitle);
}

void SetTitleHook(TitleHook hook) { GetFilesState().titleHook = std::move(hook); }
void SetRedrawHook(RedrawHook hook) { GetFilesState().redrawHook = std::move(hook); }

void Redraw() {
  if (GetFilesState().redrawHook) GetFilesState().redrawHook();
}

}  // namespace tsm::files
