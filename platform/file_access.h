// Files that people name, opened safely. A FIFO, a device or a directory
// given as a data, settings, calibration or script file would block in
// open(), never reach its end or read as nothing, so every reader opens
// through here and is refused anything but a regular file before it can
// block, and reads no more than a bound of its own. A safe save works in
// the directory of its target: the names it makes beside the target (the
// target's name and a short tag) are reached through that directory, so they
// work whatever the length of its path, and a name that would pass the
// file-name limit takes a short hashed form.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace tsm::platform {

enum class FileStatus { Ok, Missing, NotRegular, TooLarge, OutOfMemory, Failed };

// Opens the file for reading (close-on-exec). Anything that is not a regular
// file is refused without blocking: a FIFO is opened non-blocking and closed
// at once. -1 on failure, with the reason in *status; else the file's size,
// as the open file reports it, in *size.
int OpenRegularFile(const std::string& path, FileStatus* status = nullptr,
                    std::uint64_t* size = nullptr);
// The same as a stdio stream ("rb"); null on failure.
std::FILE* OpenRegularStream(const std::string& path, FileStatus* status = nullptr);
// Reads a regular file of at most `limit` bytes whole into text (which is
// replaced). A file longer than the limit, also one that grows past it while
// being read, is TooLarge and leaves text empty.
FileStatus ReadRegularFile(const std::string& path, std::size_t limit, std::string& text);

// stat() that also reaches a file whose whole path passes the system's path
// limit, through its directory. False when there is no such file.
bool StatPath(const std::string& path, struct stat* st);

// The directory of a path, open for the *at calls, and the last component
// of the path (the file's name in it).
class DirectoryOf {
 public:
  explicit DirectoryOf(const std::string& path);
  ~DirectoryOf();
  DirectoryOf(const DirectoryOf&) = delete;
  DirectoryOf& operator=(const DirectoryOf&) = delete;

  bool Ok() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  // The directory as given in the path ("." when the path has none).
  const std::string& Path() const { return directory_; }
  const std::string& Name() const { return name_; }
  // The path of another file of this directory.
  std::string PathOf(const std::string& name) const;

 private:
  std::string directory_;
  std::string name_;
  int fd_ = -1;
};

// The name of a file kept beside `name` (a temporary or leftover of a save):
// name + ".tsm-" + tag, or, when that could pass the file-name limit,
// ".tsm-" + 16 hexadecimal digits of a hash of name + "-" + tag. Tags are
// at most kMaxSiblingTag bytes.
inline constexpr std::size_t kMaxSiblingTag = 16;
std::string SiblingName(const std::string& name, const std::string& tag);
// Whether `entry` is SiblingName(name, six letters or digits): a name made
// by CreateUniqueSibling.
bool IsUniqueSibling(const std::string& entry, const std::string& name);
// Whether `entry` is `prefix` and six letters or digits (the unique part of
// CreateUniqueSibling and of mkstemp).
bool IsPrefixAndUnique(const std::string& entry, const std::string& prefix);
// Creates a new, empty file SiblingName(name, six random letters or digits)
// in the directory (mode 0600, like mkstemp) and opens it for writing. -1
// on failure; the name in *created.
int CreateUniqueSibling(int directoryFd, const std::string& name, std::string* created);

}  // namespace tsm::platform
