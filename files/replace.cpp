#include "files/replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace tsm::files {

bool IsReadOnlyFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  if (::access(path.c_str(), W_OK) != 0) return errno == EACCES || errno == EROFS || errno == EPERM;
  if (::geteuid() == 0) return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  return false;
}

std::string TemporaryCompanionName(const std::string& companion) {
  return companion + ".tsm-new";
}

TemporaryFile::TemporaryFile(const std::string& path) : target_(path) {
  std::vector<char> pattern(path.begin(), path.end());
  const char suffix[] = ".tsm-XXXXXX";
  pattern.insert(pattern.end(), suffix, suffix + sizeof suffix);
  fd_ = ::mkstemp(pattern.data());
  if (fd_ >= 0) name_ = pattern.data();
}

TemporaryFile::~TemporaryFile() {
  if (fd_ >= 0 && !closed_) ::close(fd_);
  if (!name_.empty()) ::unlink(name_.c_str());
}

void TemporaryFile::Forget() { name_.clear(); }

bool TemporaryFile::Write(const char* data, std::size_t length) {
  if (fd_ < 0 || closed_) return false;
  while (length > 0) {
    const ssize_t n = ::write(fd_, data, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

bool TemporaryFile::Close() {
  if (fd_ < 0 || closed_) return false;
  struct stat st {};
  const mode_t mode = ::stat(target_.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  ::fchmod(fd_, mode);
  closed_ = true;
  return ::close(fd_) == 0;
}

bool ReplacePair(const std::string& newData, const std::string& data,
                 const std::string& newCompanion, const std::string& companion) {
  // A second name for the old data file lets us undo the first rename.
  const std::string keep = data + ".tsm-old";
  struct stat st {};
  const bool hadOld = ::stat(data.c_str(), &st) == 0;
  ::unlink(keep.c_str());
  const bool kept = hadOld && ::link(data.c_str(), keep.c_str()) == 0;
  if (::rename(newData.c_str(), data.c_str()) != 0) {
    if (kept) ::unlink(keep.c_str());
    return false;
  }
  if (::rename(newCompanion.c_str(), companion.c_str()) != 0) {
    if (kept)
      ::rename(keep.c_str(), data.c_str());
    else if (!hadOld)
      ::unlink(data.c_str());
    // (A file system without hard links leaves the new data beside the old
    // companion file; the caller reports the failure.)
    return false;
  }
  if (kept) ::unlink(keep.c_str());
  return true;
}

}  // namespace tsm::files
