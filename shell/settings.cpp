#include "shell/settings.h"

#include <mutex>

#include "shell/stringex.h"

namespace tsm::shell {

namespace {
struct SettingsState {
  std::string programDirectory;
  std::string settingsFileName;  // empty: program directory + "tsm.ini"
  std::string userName = kDefaultUserName;
  bool dataSaved = true;
};

// The record is read by the measurement worker (user name into file headers)
// while the UI thread may change it, hence the lock.
struct Guarded {
  std::mutex mutex;
  SettingsState state;
};

Guarded& State() {
  static Guarded guarded;
  return guarded;
}
}  // namespace

std::string ProgramDirectory() {
  std::lock_guard lock(State().mutex);
  return State().state.programDirectory;
}

void SetProgramDirectory(const std::string& directory) {
  std::lock_guard lock(State().mutex);
  BoundedAssign(State().state.programDirectory, directory, kPathLength);
}

std::string SettingsFileName() {
  std::lock_guard lock(State().mutex);
  const SettingsState& s = State().state;
  if (!s.settingsFileName.empty()) return s.settingsFileName;
  std::string name = s.programDirectory;
  BoundedAppend(name, kSettingsFileBaseName, kPathLength);
  return name;
}

bool SetSettingsFileName(const std::string& path) {
  if (path.empty() || path.size() >= kPathLength) return false;
  std::lock_guard lock(State().mutex);
  State().state.settingsFileName = path;
  return true;
}

std::string UserName() {
  std::lock_guard lock(State().mutex);
  return State().state.userName;
}

bool SetUserName(const std::string& name) {
  std::lock_guard lock(State().mutex);
  return BoundedAssign(State().state.userName, name, kUserNameLength);
}

bool DataSaved() {
  std::lock_guard lock(State().mutex);
  return State().state.dataSaved;
}

void SetDataSaved(bool saved) {
  std::lock_guard lock(State().mutex);
  State().state.dataSaved = saved;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t pos = path.find_last_of("/\\");
  return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

void ResetSettingsState() {
  std::lock_guard lock(State().mutex);
  State().state = SettingsState{};
}

}  // namespace tsm::shell
