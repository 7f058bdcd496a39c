#include "app/window_position.h"

#include "platform/profile.h"

namespace tsm::app {

using namespace tsm::platform;

WindowRect ReadWindowPosition(const WindowRect& current, const std::string& fileName) {
  const char* file = fileName.c_str();
  WindowRect r;
  r.left = GetPrivateProfileIntA(kPositionSection, kPositionLeftKey, current.left, file);
  r.top = GetPrivateProfileIntA(kPositionSection, kPositionTopKey, current.top, file);
  r.right = GetPrivateProfileIntA(kPositionSection, kPositionRightKey, current.right, file);
  r.bottom = GetPrivateProfileIntA(kPositionSection, kPositionBottomKey, current.bottom, file);
  return r;
}

WindowRect ClipToDesktop(const WindowRect& rect, const WindowRect& desktop,
                         const WindowRect& fallback) {
  WindowRect r = rect;
  if (r.left > desktop.right) r.left = 0;
  if (r.top > desktop.bottom) r.top = 0;
  if (r.right > desktop.right) r.right = desktop.right;
  if (r.bottom > desktop.bottom) r.bottom = desktop.bottom;
  // A hand-edited or foreign file may leave nothing to show; a window of
  // negative size cannot be placed at all.
  if (r.Width() <= 0 || r.Height() <= 0) return fallback;
  return r;
}

bool WriteWindowPosition(const WindowRect& rect, const std::string& fileName) {
  const char* file = fileName.c_str();
  ProfileBatch batch;
  WriteProfileInt(kPositionSection, kPositionLeftKey, rect.left, "%u", file);
  WriteProfileInt(kPositionSection, kPositionTopKey, rect.top, "%u", file);
  WriteProfileInt(kPositionSection, kPositionRightKey, rect.right, "%u", file);
  WriteProfileInt(kPositionSection, kPositionBottomKey, rect.bottom, "%u", file);
  return batch.Commit();
}

int LoadWindowPosition(MainWindowHost& window, const std::string& fileName) {
  const WindowRect current = window.WindowRectangle();
  const WindowRect wanted = ReadWindowPosition(current, fileName);
  window.MoveWindow(ClipToDesktop(wanted, window.DesktopRectangle(), current));
  return 1;
}

int SaveWindowPosition(MainWindowHost& window, const std::string& fileName) {
  WriteWindowPosition(window.WindowRectangle(), fileName);
  return 1;
}

}  // namespace tsm::app
