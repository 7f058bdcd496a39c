// Saving the current curve family as a data file with its companion file,
// and loading (replacing or adding) data files by their extension. The
// messages and result codes are the ones callers and users know.
#pragma once

#include <string>

namespace tsm::files {

// --- results
inline constexpr int kFileOk = 0;
inline constexpr int kBadExtension = -1;      // also: the user declined to load without companion
inline constexpr int kDataFileError = -3;     // the data file could not be opened / written
inline constexpr int kCompanionError = -4;    // save: read-only companion file; load: read error

// --- messages (caption, then text)
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kUnknownLoadExtensionText =
    "Can not open file\nThe extention .%s is unknown.";
inline constexpr const char* kUnknownSaveExtensionText =
    "Can not save file.\nThe extention .%s is unknown.";
inline constexpr const char* kMissingCompanionText =
    "The file\n%s\nis missing or bad\nWould U like to continue without\nreading info from this "
    "file?";
inline constexpr const char* kMissingCompanionCaption = "Wrong or Missing INI file";
inline constexpr const char* kCantOpenDataText = "Can't open DAT file";
inline constexpr const char* kCantOpenDataCaption = "Input error";
inline constexpr const char* kReadErrorText = "Error reading file";  // caption kErrorCaption
inline constexpr const char* kReadOnlyCompanionText =
    "INI File marked as 'ReadOnly'Operaton will be aborted!";
inline constexpr const char* kReadOnlyCompanionCaption = "Can not delete old INI file";
inline constexpr const char* kCantCreateDataText = "Error of Output to Data FileCan't open file";
inline constexpr const char* kTesmiraCaption = "Tesmira";
// Failures of the save that leave the previous files in place (caption
// kTesmiraCaption; %s is the path of the file concerned).
inline constexpr const char* kDataWriteFailedText =
    "Error of Output to Data File\n%s\ncould not be written completely (is the disk full?).\nThe "
    "previous data file and its INI file are kept.";
inline constexpr const char* kCompanionWriteFailedText =
    "Error of Output to INI File\n%s\ncould not be written.\nThe previous data file and its INI "
    "file are kept.";
inline constexpr const char* kReplaceFailedText =
    "Error of Output to Data File\nThe new files could not replace\n%s\nThe previous data file "
    "and its INI file are kept.";
inline constexpr const char* kTimeSpentFormat = "Time spent: %.1f sec (INI) + %.1f sec (DAT)";

// The extensions read as data files ("dat", "TesmiraData", "tq", "TQD",
// "prn", any case).
bool IsDataFileExtension(const std::string& extension);
// The companion file of a data file: the path with the extension ".ini".
std::string CompanionFileName(const std::string& dataFile);

// Saves the current family as path (extension "dat" only) with its
// companion file. Both files are written under temporary names and renamed
// into place at the end, so a failure leaves the previous pair as it was.
// 0 on success (the path becomes the current file, the title follows, the
// data count as saved); -1 unknown extension, -3 data file not creatable or
// not writable, -4 companion file read-only or not writable.
int SaveDataFile(const std::string& path);

// Opens path by its extension: data files are read into the current family
// (add false: replacing it; true: appending the file's curves), "dxb" goes to
// the drawing-file reader. On success (>= 0) the path becomes the current
// file unless adding, its directory the initial directory of the next Save
// As dialog, and the main window redraws. 0 on success; -1 unknown extension
// or the user declined to go on without the companion file; -3 data file not
// openable; -4 read error (the curves read so far stay in the family).
int LoadDataFile(const std::string& path, bool add);

}  // namespace tsm::files
