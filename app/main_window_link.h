// Connects a main window (the Qt one or batch mode's headless one) to the
// modules: it becomes the commands' host and the plot's host, receives the
// data files' title changes, and their redraws become the main window's
// redraw operation. Also the plot state of start-up and dropped files.
#pragma once

#include <string>
#include <vector>

#include "plot/host.h"
#include "app/command_host.h"

namespace tsm::app {

void AttachMainWindow(CommandHost& window, plot::PlotHost& plot);
// Undoes AttachMainWindow (before the window goes).
void DetachMainWindow();

// Start-up's plot state: no selection, the menu items set for that, the
// view reset so the next drawing rescales to the data.
void InitPlotState();

// Files dropped onto the main window: the unsaved-data question first
// (cancel stops), then the first file replaces the family and every further
// one is added, in the order given; then the redraw. One file counts as
// saved like Open; more than one hold curves of several files, unsaved like
// Add. True when every file was loaded.
bool DropFiles(const std::vector<std::string>& paths);

}  // namespace tsm::app
