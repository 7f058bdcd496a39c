#include "app/commands.h"

#include <algorithm>
#include <string>
#include <utility>

#include "math/commands.h"
#include "platform/assert.h"
#include "plot/selection.h"
#include "plot/state.h"
#include "shell/settings.h"

namespace tsm::app {

namespace {

struct CommandState {
  CommandRegistry registry;
  CommandHost* host = nullptr;
  std::vector<std::pair<int, PlotChangedObserver>> observers;
  int nextToken = 1;
};

CommandState& State() {
  static CommandState state;
  return state;
}

bool Contains(const int* first, const int* last, int id) { return std::find(first, last, id) != last; }

// The plot's rule for the items that depend on a made selection.
bool SelectionAllows(int id) {
  const bool made = plot::SelectionStateOf() == plot::kSelectionMade;
  if (Contains(std::begin(plot::kSelectionOnlyCommands), std::end(plot::kSelectionOnlyCommands), id))
    return made;
  if (Contains(std::begin(plot::kWholeFamilyCommands), std::end(plot::kWholeFamilyCommands), id))
    return !made;
  return true;
}

}  // namespace

void CommandRegistry::Register(int id, CommandFn run, CommandQuery enabled, CommandQuery checked) {
  if (!TSM_ASSERT(entries_.find(id) == entries_.end(), "commands")) return;
  if (!TSM_ASSERT(run != nullptr, "commands")) return;
  entries_[id] = CommandEntry{id, std::move(run), std::move(enabled), std::move(checked)};
}

const CommandEntry* CommandRegistry::Find(int id) const {
  const auto it = entries_.find(id);
  return it == entries_.end() ? nullptr : &it->second;
}

std::vector<int> CommandRegistry::Ids() const {
  std::vector<int> ids;
  ids.reserve(entries_.size());
  for (const auto& [id, entry] : entries_) ids.push_back(id);
  return ids;
}

CommandRegistry& Commands() { return State().registry; }

void SetCommandHost(CommandHost* host) { State().host = host; }

CommandHost& GetCommandHost() {
  // Without a window the rectangles are empty and nothing moves.
  struct NoWindow : CommandHost {
    WindowRect WindowRectangle() const override { return {}; }
    WindowRect DesktopRectangle() const override { return {}; }
    void MoveWindow(const WindowRect&) override {}
  };
  static NoWindow none;
  return State().host ? *State().host : none;
}

bool CommandEnabled(int id) {
  const CommandEntry* entry = Commands().Find(id);
  if (!entry) return false;
  if (!SelectionAllows(id)) return false;
  return !entry->enabled || entry->enabled();
}

bool CommandChecked(int id) {
  const CommandEntry* entry = Commands().Find(id);
  return entry && entry->checked && entry->checked();
}

bool CommandCheckable(int id) {
  const CommandEntry* entry = Commands().Find(id);
  return entry && entry->checked;
}

CommandResult RunCommand(int id) {
  const CommandEntry* entry = Commands().Find(id);
  if (!entry) return CommandResult::Unknown;
  if (!CommandEnabled(id)) return CommandResult::Greyed;
  // A copy: the command may re-register (tests) while it runs.
  const CommandFn run = entry->run;
  return run() ? CommandResult::Done : CommandResult::Failed;
}

void Redraw() {
  CommandHost& host = GetCommandHost();
  // The windows and their tool windows are touched on their own thread only.
  if (!host.OnWindowThread()) {
    host.PostToWindowThread([] { Redraw(); });
    return;
  }
  host.RepaintPlot();
  NotifyPlotChanged();
}

void DataChanged() {
  Redraw();
  shell::SetDataSaved(false);
}

bool SelectionGuard() { return math::MathSelectionGuard(Owner(), plot::SelectionExists()); }

platform::WindowHandle Owner() { return GetCommandHost().Owner(); }

int AddPlotChangedObserver(PlotChangedObserver observer) {
  const int token = State().nextToken++;
  State().observers.emplace_back(token, std::move(observer));
  return token;
}

void RemovePlotChangedObserver(int token) {
  auto& observers = State().observers;
  observers.erase(std::remove_if(observers.begin(), observers.end(),
                                 [token](const auto& o) { return o.first == token; }),
                  observers.end());
}

void NotifyPlotChanged() {
  // A copy: an observer may close its window (and remove itself) on the call.
  const auto observers = State().observers;
  for (const auto& [token, observer] : observers)
    if (observer) observer();
}

void ResetCommandState() {
  CommandState& state = State();
  state.registry.Clear();
  state.host = nullptr;
  state.observers.clear();
  state.nextToken = 1;
}

}  // namespace tsm::app
