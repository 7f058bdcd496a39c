// Where the program lives and whose settings it uses: the program directory,
// the current settings file (every option group loads from and saves to it,
// every option dialog's Save button writes to it), the user name and the
// unsaved-data flag. One process-wide record; tests reset it.
#pragma once

#include <cstddef>
#include <string>

namespace tsm::shell {

// Text limits of the fields, terminator included (the sizes the settings and
// the command line were designed around).
inline constexpr std::size_t kPathLength = 260;
inline constexpr std::size_t kUserNameLength = 64;

inline constexpr const char* kSettingsFileBaseName = "tsm.ini";
inline constexpr const char* kDefaultUserName = "anonymous";

// Directory of the program file, ending with its last "/" or "\\" (empty
// until start-up sets it).
std::string ProgramDirectory();
void SetProgramDirectory(const std::string& directory);

// Full path of the current settings file. Until start-up decides, it is the
// program directory + "tsm.ini".
std::string SettingsFileName();
// Returns false (and changes nothing) when the path does not fit the field:
// a cut path would name another file.
bool SetSettingsFileName(const std::string& path);

std::string UserName();
// Longer names are cut to the field (63 bytes); returns false then.
bool SetUserName(const std::string& name);

// 1 while the curve family holds nothing unsaved.
bool DataSaved();
void SetDataSaved(bool saved);

// Everything up to and including the last "/" or "\\" of a path ("" when the
// path has neither).
std::string DirectoryOf(const std::string& path);

// Back to the state at program start (test fixtures).
void ResetSettingsState();

}  // namespace tsm::shell
