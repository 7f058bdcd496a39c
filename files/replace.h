// Saving a pair of files without losing the old pair: both new files are
// written beside the old ones under temporary names and renamed into place
// only when both are complete. Also the read-only test the save makes first.
#pragma once

#include <string>

namespace tsm::files {

// Whether an existing file may not be written: its permission bits for the
// superuser (access() grants root everything), access() for anyone else, and
// a read-only file system for both. A missing file is not read-only.
bool IsReadOnlyFile(const std::string& path);

// The temporary name the companion file is written under before it is
// renamed into place.
std::string TemporaryCompanionName(const std::string& companion);

// A new file under a unique temporary name in the directory of `path`.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& path);
  ~TemporaryFile();  // removes the temporary file unless it was renamed
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool Ok() const { return fd_ >= 0; }
  const std::string& Name() const { return name_; }
  // Writes everything; false on a write error (disk full...).
  bool Write(const char* data, std::size_t length);
  // Closes the file (reporting a late write error) and gives it the mode of
  // the file it replaces, or 0644.
  bool Close();
  // After the file was renamed into place: nothing left to remove.
  void Forget();

 private:
  std::string target_;
  std::string name_;
  int fd_ = -1;
  bool closed_ = false;
};

// Moves the finished temporary data and companion files onto their final
// names. When the second rename fails the old data file is put back, so the
// old pair stays together. False when the pair could not be replaced.
bool ReplacePair(const std::string& newData, const std::string& data,
                 const std::string& newCompanion, const std::string& companion);

}  // namespace tsm::files
