// The main window's position in the settings file ("Setup":
// WindowPositionLeft/Top/Right/Bottom, "%u"): reading with the present
// rectangle as defaults, clipping to the desktop, writing.
#pragma once

#include <string>

#include "app/main_window_host.h"

namespace tsm::app {

inline constexpr const char* kPositionSection = "Setup";
inline constexpr const char* kPositionLeftKey = "WindowPositionLeft";
inline constexpr const char* kPositionTopKey = "WindowPositionTop";
inline constexpr const char* kPositionRightKey = "WindowPositionRight";
inline constexpr const char* kPositionBottomKey = "WindowPositionBottom";

// The four keys, each defaulting to the edge of `current`.
WindowRect ReadWindowPosition(const WindowRect& current, const std::string& fileName);
// A left edge beyond the desktop's right edge becomes 0, a top edge beyond
// its bottom 0; a right (bottom) edge beyond the desktop's is pulled back to
// it. A rectangle left without width or height gives `fallback`.
WindowRect ClipToDesktop(const WindowRect& rect, const WindowRect& desktop,
                         const WindowRect& fallback);
bool WriteWindowPosition(const WindowRect& rect, const std::string& fileName);

// Read, clip, move and show the window. Returns 1.
int LoadWindowPosition(MainWindowHost& window, const std::string& fileName);
// Writes the window's present rectangle. Returns 1.
int SaveWindowPosition(MainWindowHost& window, const std::string& fileName);

}  // namespace tsm::app
