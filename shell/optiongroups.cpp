#include "shell/optiongroups.h"

#include <array>
#include <cstddef>

#include "platform/assert.h"

namespace tsm::shell {

namespace {
constexpr const char* kSource = "optiongroups";
constexpr std::size_t kCount = static_cast<std::size_t>(OptionGroupId::Count);

struct RegistryState {
  std::array<OptionGroup, kCount> groups;
};

RegistryState& State() {
  static RegistryState state;
  return state;
}

const OptionGroup& Empty() {
  static const OptionGroup empty;
  return empty;
}

bool Valid(OptionGroupId id) {
  return static_cast<std::size_t>(id) < kCount;
}
}  // namespace

void RegisterOptionGroup(OptionGroupId id, OptionGroup group) {
  if (!TSM_ASSERT(Valid(id), kSource)) return;
  State().groups[static_cast<std::size_t>(id)] = std::move(group);
}

const OptionGroup& GetOptionGroup(OptionGroupId id) {
  if (!TSM_ASSERT(Valid(id), kSource)) return Empty();
  return State().groups[static_cast<std::size_t>(id)];
}

bool IsOptionGroupRegistered(OptionGroupId id) {
  const OptionGroup& g = GetOptionGroup(id);
  return g.load || g.save;
}

int LoadOptionGroup(OptionGroupId id, const std::string& fileName) {
  const OptionGroup& g = GetOptionGroup(id);
  if (g.load) g.load(fileName);
  return 1;
}

int SaveOptionGroup(OptionGroupId id, const std::string& fileName) {
  const OptionGroup& g = GetOptionGroup(id);
  if (g.save) g.save(fileName);
  return 1;
}

void ResetOptionGroups() { State() = RegistryState{}; }

}  // namespace tsm::shell
