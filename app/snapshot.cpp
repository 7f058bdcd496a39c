#include "app/snapshot.h"

#include <utility>

namespace tsm::app {

namespace {
SnapshotRenderer& Renderer() {
  static SnapshotRenderer renderer;
  return renderer;
}

constexpr const char* kNoRenderer = "this build of the program cannot draw pictures";
}  // namespace

void SetSnapshotRenderer(SnapshotRenderer renderer) { Renderer() = std::move(renderer); }

bool SnapshotWindow(const WindowPicture& window, const std::string& path, std::string& why) {
  if (!Renderer().window) {
    why = kNoRenderer;
    return false;
  }
  return Renderer().window(window, path, why);
}

bool SnapshotDialog(platform::DialogModel& dialog, const std::string& path, std::string& why) {
  if (!Renderer().dialog) {
    why = kNoRenderer;
    return false;
  }
  return Renderer().dialog(dialog, path, why);
}

}  // namespace tsm::app
