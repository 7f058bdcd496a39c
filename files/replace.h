// Replacing a data file and its companion as one pair. A save that fails or
// is killed at any moment leaves the whole old pair or the whole new pair:
// the next Open or Save of the name finishes or undoes what was cut short and
// never reads a data file with a companion of another save. Also the
// read-only test the save makes first.
#pragma once

#include <string>

#include "platform/file_access.h"

namespace tsm::files {

// Whether an existing file may not be written: its permission bits for the
// superuser (access() grants root everything), access() for anyone else, and
// a read-only file system for both. A missing file is not read-only.
bool IsReadOnlyFile(const std::string& path);

// The replacement of the pair T.dat + T.ini, in the directory they share.
// The files it makes beside them (platform::SiblingName of the name and a
// tag):
//   T.ini.tsm-new      the new companion file, written first and complete;
//   T.dat.tsm-tmp      the new data file while it is written;
//   T.ini.tsm-data.dat the complete new data file. Renaming the temporary
//                      file to this name commits the new pair (its tag
//                      keeps the data file's extension as typed).
// After the commit the companion is renamed onto T.ini, then the data onto
// T.dat. Before the commit an interrupted save is undone (the new files are
// removed), after it the save is finished (the renames are carried out).
class PairReplacement {
 public:
  PairReplacement(const std::string& data, const std::string& companion);
  // Before Commit: removes the new files.
  ~PairReplacement();
  PairReplacement(const PairReplacement&) = delete;
  PairReplacement& operator=(const PairReplacement&) = delete;

  // The directory could be opened.
  bool Ok() const { return dir_.Ok(); }
  // Finishes or undoes a replacement of this pair that an earlier save left
  // (killed, or failed after its commit). With `removeLeftovers` also removes
  // what crashed saves of these names left beside them (temporary files,
  // also those of earlier versions of the program). False when the pair
  // could still be a mix of two saves.
  bool Recover(bool removeLeftovers);
  // Removes a stale new companion file and returns the path the new one is
  // written to (complete before CreateData).
  std::string StartCompanion();
  // Creates the temporary data file; false when it cannot be created.
  bool CreateData();
  // Writes everything; false on a write error (disk full...).
  bool Write(const char* data, std::size_t length);
  // Closes the data file (reporting a late write error) and gives it the
  // mode of the file it replaces, or 0644.
  bool CloseData();
  // Commits the new pair and moves it onto the names. False when the pair
  // was not replaced: before the commit nothing changed (also when a folder
  // has one of the pair's names); when the companion cannot be moved the
  // new pair is dropped and the old one stays (unless the commit cannot be
  // removed either: then the whole new pair stays committed); when only the
  // data file's rename fails the new pair stays committed. The next Open or
  // Save finishes a committed pair.
  bool Commit();

 private:
  bool Step(const char* what);
  bool Rename(const std::string& from, const std::string& to);
  bool Unlink(const std::string& name);
  bool Exists(const std::string& name, struct stat* st = nullptr) const;

  platform::DirectoryOf dir_;
  std::string data_;          // T.dat
  std::string companion_;     // T.ini
  std::string stem_;          // T
  std::string newCompanion_;  // T.ini.tsm-new
  std::string temporary_;     // T.dat.tsm-tmp
  std::string committed_;     // T.ini.tsm-data.dat
  std::string committedPrefix_;
  int fd_ = -1;
  bool companionStarted_ = false;
  bool created_ = false;
  bool done_ = false;
};

// Recovers the pair of a data file (an Open): see PairReplacement::Recover.
bool RecoverPair(const std::string& data, const std::string& companion);

// Test seam: called with a short name of each step before it is taken
// ("companion": the new companion is about to be written; "create",
// "rename", "unlink": the call on the directory). A test may end the process
// there, or answer false to make the call fail as a failing disk would
// (errno EIO; "companion" cannot fail). Null: no hook.
using ReplaceStepHook = bool (*)(const char* step);
void SetReplaceStepHook(ReplaceStepHook hook);

}  // namespace tsm::files
