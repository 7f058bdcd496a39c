// The main window's commands without the toolkit: one registry maps a
// command id to what it does, whether it is enabled and whether its menu
// item is checked. Each area registers its own commands (a small file
// app/commands_<area>.cpp, listed in command_list.cpp); the menu, the
// accelerators, the context menu, dropped files and batch mode all run them
// through RunCommand, so an id nobody registered is greyed everywhere.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "platform/ui.h"
#include "app/command_host.h"
#include "app/command_ids.h"

namespace tsm::app {

// What a command does. True when it was carried out; false when it was
// refused (a guard, a greyed state), cancelled or failed. Failures are
// reported to the user by the command itself; batch mode counts the line
// as failed.
using CommandFn = std::function<bool()>;
// An enabled or checked query; empty: always enabled / never checked.
using CommandQuery = std::function<bool()>;

struct CommandEntry {
  int id = 0;
  CommandFn run;
  CommandQuery enabled;
  CommandQuery checked;  // set for the checkable items (tool windows)
};

class CommandRegistry {
 public:
  // Registers the command of `id`. An id registered twice is a program
  // error (two areas claim it); the first registration stays.
  void Register(int id, CommandFn run, CommandQuery enabled = {}, CommandQuery checked = {});
  const CommandEntry* Find(int id) const;
  bool Has(int id) const { return Find(id) != nullptr; }
  std::vector<int> Ids() const;
  void Clear() { entries_.clear(); }

 private:
  std::map<int, CommandEntry> entries_;
};

// The program's registry (empty until RegisterAllCommands).
CommandRegistry& Commands();
// Fills the registry with every area's commands (command_list.cpp).
void RegisterAllCommands();

// The areas, one registration function each (app/commands_<area>.cpp).
void RegisterSettingsCommands(CommandRegistry& registry);  // 201 202 203 218 140
void RegisterFileCommands(CommandRegistry& registry);      // Open, Add, Save, Exit...
void RegisterEditCommands(CommandRegistry& registry);      // Undo, Clear Screen, Delete...
void RegisterViewCommands(CommandRegistry& registry);      // zoom, pan, selection
void RegisterMathCommands(CommandRegistry& registry);      // the Math menu
void RegisterOptionCommands(CommandRegistry& registry);    // option dialogs
void RegisterToolCommands(CommandRegistry& registry);      // tool windows
void RegisterHelpCommands(CommandRegistry& registry);      // About, help, user name
void RegisterMeasureCommands(CommandRegistry& registry);   // measurements and their options
void RegisterPictureCommands(CommandRegistry& registry);   // print, export, copy as..
void RegisterCurveCommands(CommandRegistry& registry);     // curve management and properties
// The live curves of a running measurement grew: the plot follows them (the
// measurement dialog's refresh calls it through measure::SetLivePlotHook).
void LivePlotChanged();
inline constexpr const char* kMeasureTimeFormat = "Time spent to measure: %.1f sec";

// --- dispatch --------------------------------------------------------------

enum class CommandResult {
  Done,        // carried out
  Failed,      // refused, cancelled or failed (the command told the user)
  Greyed,      // registered but disabled now: nothing ran
  Unknown,     // no command has this id: nothing ran (the item is greyed)
};

// Runs the command when it is registered and enabled.
CommandResult RunCommand(int id);
// Registered and, by its own query and by the selection state of the plot,
// enabled now. The ids that need a made selection (231, 233, 234) are greyed
// without one, the whole-family ids (253, 254, 255, ...) while one is made.
bool CommandEnabled(int id);
bool CommandChecked(int id);
// Whether the item is a check item (it has a checked query).
bool CommandCheckable(int id);

// --- what commands share -----------------------------------------------------

// The redraw operation used after every change: repaint the plot at once,
// then tell every tool window that the plot changed. Called from another
// thread, it is carried out on the windows' thread.
void Redraw();
// After a tool that changed the family succeeded: redraw, data unsaved.
void DataChanged();
// The guard before the whole-family tools: inside a selection rectangle it
// shows the "Math & Selection" refusal and returns false; otherwise every
// curve is marked and it returns true.
bool SelectionGuard();
// The owner of the commands' dialogs and messages (the main window).
platform::WindowHandle Owner();

// The plot-changed notification (what tool windows refresh on).
using PlotChangedObserver = std::function<void()>;
// Returns a token for RemovePlotChangedObserver.
int AddPlotChangedObserver(PlotChangedObserver observer);
void RemovePlotChangedObserver(int token);
void NotifyPlotChanged();

// Forgets the registry, the host and the observers (test fixtures).
void ResetCommandState();

}  // namespace tsm::app
