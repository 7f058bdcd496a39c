// The "DataFile" option group: how data files are written (delimiter, column
// width, sorting), whether its dialog "Data Saving && Loading" comes up before
// every save and load, and which other option groups travel inside the
// companion file of a data file, written and read through the group registry.
#pragma once

#include <array>
#include <string>

#include "shell/optiongroups.h"
#include "shell/setupdlg.h"

namespace tsm::files {

inline constexpr const char* kDataFileSection = "DataFile";
inline constexpr const char* kDataFileDialogCaption = "Data Saving && Loading";
// Dialog resource of the group (the Options menu item has the same number).
inline constexpr int kDataFileDialogId = 142;

inline constexpr unsigned kMinColumnWidth = 6;
inline constexpr unsigned kMaxColumnWidth = 32;

// One option group that may be stored with the data, and the two keys of its
// flags. For the I-V family, Ic(H) and Ic(T) groups the key names read the
// other way round ("LoadIVFOptions" holds the write flag): files written by
// earlier versions rely on those names.
struct EmbeddedGroup {
  shell::OptionGroupId id;
  const char* saveKey;  // key of the write-with-data flag
  const char* loadKey;  // key of the read-with-data flag
  const char* label;
};
inline constexpr std::size_t kEmbeddedGroupCount = 16;
// In the order the groups are written to and read from a companion file.
extern const std::array<EmbeddedGroup, kEmbeddedGroupCount> kEmbeddedGroups;

struct DataFileOptions {
  bool showOptionsOnSave = true;  // "ShowOptionsOnSave"
  bool showOptionsOnLoad = true;  // "ShowOptionsOnLoad"
  unsigned delimiterId = 1;       // "DelimitterID": 0 space, 1 tab, 2 comma
  unsigned columnWidth = 12;      // "ColumnWidth", 6 .. 32
  bool sort = true;               // "sort": order curves by point count on save
  // Write / read flags of kEmbeddedGroups, same index.
  std::array<bool, kEmbeddedGroupCount> saveWithData{};
  std::array<bool, kEmbeddedGroupCount> loadWithData{};
};

// The process-wide options (factory defaults until the group is loaded).
DataFileOptions& GetDataFileOptions();
void ResetDataFileOptions();

// The delimiter character of an id (tab for an id out of range).
char DelimiterChar(unsigned delimiterId);
// The column width clamped to 6 .. 32.
unsigned ColumnWidth(const DataFileOptions& options);

// The group's field list (it edits GetDataFileOptions()).
shell::FieldList& DataFileFieldList();
// Registers the "DataFile" group with the option registry.
void RegisterOptionGroups();
// Runs the dialog "Data Saving && Loading"; 1 after OK, 0 after Cancel.
int RunDataFileDialog();

// Runs the save (load) of every group whose write (read) flag is set, in
// table order, on the companion file.
void SaveGroupsWithData(const std::string& companionFile);
void LoadGroupsWithData(const std::string& companionFile);

}  // namespace tsm::files
