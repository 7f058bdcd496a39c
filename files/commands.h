// The data-file commands of the main window without its toolkit: Open and
// Add through the file-open chooser, Save through Save As, the unsaved-data
// question, and the files named on the command line. The main window sets
// the title and redraw hooks of files/state.h and calls these.
#pragma once

#include <string>
#include <vector>

namespace tsm::files {

inline constexpr const char* kAddTitle = "Add";
inline constexpr const char* kSaveAsTitle = "Save As";
inline constexpr const char* kDefaultExtension = "dat";
inline constexpr const char* kUnsavedDataText =
    "You have unsaved data!\nWould you like to save them now?";
inline constexpr const char* kUnsavedDataCaption = "Tesmira";

// Result of OpenDataFileDialog when nothing was loaded because the chooser
// was cancelled or the user refused to go on without Undo.
inline constexpr int kNothingChosen = -2;

// Open (add false) or Add (add true): the file-open chooser in the directory
// of the last file chosen there, the undo copy, then LoadDataFile. After a
// successful Open the data count as saved, after a successful Add as unsaved.
// A cancelled or failed chooser is reported by its error code (a plain
// cancel shows nothing). Returns LoadDataFile's result or kNothingChosen.
int OpenDataFileDialog(bool add);

// Save and Save As: the file-save chooser, then SaveDataFile. True when the
// family was saved (the data then count as saved).
bool SaveAsDialog();

// Before the family is thrown away: true at once when the data are saved;
// otherwise asks whether to save them (Yes saves through SaveAsDialog and
// gives false when that fails, No gives true, Cancel false).
bool ConfirmDiscard();

// The data files named on the command line: the first replaces the family,
// each further one is added. Afterwards the data count as saved.
void LoadCommandLineFiles(const std::vector<std::string>& paths);

}  // namespace tsm::files
