// Pictures of the program's screens written to files: batch mode's
// "snapshot PATH.png" (the main window) and the dialog step of the same name
// (the open dialog). Drawing a window needs the toolkit, which lives above
// this layer: gui/ installs the renderer before batch mode runs, and
// without one a snapshot fails with a plain reason.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "platform/dialog.h"

namespace tsm::app {

// What the main window shows besides the plot (which every renderer draws
// from the plot's own state).
struct WindowPicture {
  std::string title;
  int plotWidth = 800;
  int plotHeight = 540;
  std::array<std::string, 4> status;  // the status-bar parts
};

struct SnapshotRenderer {
  // Each writes the picture to `path` (its extension names the format) or
  // returns false with the reason in `why`.
  std::function<bool(const WindowPicture& window, const std::string& path, std::string& why)>
      window;
  std::function<bool(platform::DialogModel& dialog, const std::string& path, std::string& why)>
      dialog;
};

void SetSnapshotRenderer(SnapshotRenderer renderer);

bool SnapshotWindow(const WindowPicture& window, const std::string& path, std::string& why);
bool SnapshotDialog(platform::DialogModel& dialog, const std::string& path, std::string& why);

}  // namespace tsm::app
