#include "app/options_registry.h"

#include <utility>

#include "daq/timing.h"
#include "platform/profile.h"
#include "platform/ui.h"
#include "shell/stringex.h"

namespace tsm::app {

using namespace tsm::platform;

namespace {
template <std::size_t Slot>
int LoadSlot(const std::string& fileName) {
  return shell::LoadOptionGroup(kOptionSlotGroups[Slot], fileName);
}

template <std::size_t Slot>
int SaveSlot(const std::string& fileName) {
  return shell::SaveOptionGroup(kOptionSlotGroups[Slot], fileName);
}

template <std::size_t... Slots>
constexpr std::array<OptionsFn, kOptionSlots> LoadTable(std::index_sequence<Slots...>) {
  return {&LoadSlot<Slots>...};
}

template <std::size_t... Slots>
constexpr std::array<OptionsFn, kOptionSlots> SaveTable(std::index_sequence<Slots...>) {
  return {&SaveSlot<Slots>...};
}
}  // namespace

const std::array<OptionsFn, kOptionSlots> LoadOptionsFnsList =
    LoadTable(std::make_index_sequence<kOptionSlots>{});
const std::array<OptionsFn, kOptionSlots> SaveOptionsFnsList =
    SaveTable(std::make_index_sequence<kOptionSlots>{});

int LoadAllSettings(const std::string& fileName) {
  daq::Stopwatch stopwatch;
  {
    BusyCursor busy;
    for (OptionsFn load : LoadOptionsFnsList) load(fileName);
    for (shell::OptionGroupId id : kGroupsAfterSlots) shell::LoadOptionGroup(id, fileName);
  }
  const double seconds = stopwatch.Elapsed() / 1000.0;
  GetUi().SetStatusText(0, shell::Format(kLoadTimeFormat, seconds));
  return 1;
}

int SaveAllSettings(const std::string& fileName) {
  daq::Stopwatch stopwatch;
  {
    BusyCursor busy;
    ProfileBatch batch;  // the whole file is written once, when the batch closes
    for (OptionsFn save : SaveOptionsFnsList) save(fileName);
    for (shell::OptionGroupId id : kGroupsAfterSlots) shell::SaveOptionGroup(id, fileName);
  }
  const double seconds = stopwatch.Elapsed() / 1000.0;
  GetUi().SetStatusText(0, shell::Format(kSaveTimeFormat, seconds));
  return 1;
}

}  // namespace tsm::app
