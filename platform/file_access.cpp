#include "platform/file_access.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <new>

namespace tsm::platform {

namespace {

constexpr std::size_t kNameMax = 255;  // bytes of one path component (NAME_MAX)

// Only "/" separates directories for the system: a backslash is a character
// of a Linux file name.
std::size_t LastSlash(const std::string& path) { return path.rfind('/'); }

// The directory of a path as given: "." without a slash, "/" for a file of
// the root.
std::string DirectoryPart(const std::string& path) {
  const std::size_t slash = LastSlash(path);
  if (slash == std::string::npos) return std::string(1, '.');
  return slash == 0 ? std::string(1, '/') : path.substr(0, slash);
}

FileStatus StatusOfErrno(int error) {
  return error == ENOENT || error == ENOTDIR ? FileStatus::Missing : FileStatus::Failed;
}

// open() that also reaches a file whose whole path passes PATH_MAX.
int OpenPath(const std::string& path, int flags) {
  if (path.size() < PATH_MAX) return ::open(path.c_str(), flags);
  DirectoryOf dir(path);
  if (!dir.Ok()) return -1;
  return ::openat(dir.Fd(), dir.Name().c_str(), flags);
}

void Set(FileStatus* out, FileStatus value) {
  if (out) *out = value;
}

std::uint64_t Fnv1a(const std::string& text) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

bool IsLetterOrDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr std::size_t kUniqueLength = 6;

}  // namespace

bool StatPath(const std::string& path, struct stat* st) {
  if (path.size() < PATH_MAX) return ::stat(path.c_str(), st) == 0;
  DirectoryOf dir(path);
  return dir.Ok() && ::fstatat(dir.Fd(), dir.Name().c_str(), st, 0) == 0;
}

int OpenRegularFile(const std::string& path, FileStatus* status, std::uint64_t* size) {
  struct stat st {};
  // Looked at before opening: opening a FIFO for reading waits for a writer,
  // and opening some devices has effects of its own.
  if (!StatPath(path, &st)) {
    Set(status, StatusOfErrno(errno));
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    Set(status, FileStatus::NotRegular);
    return -1;
  }
  // Non-blocking, in case the name was given to a FIFO meanwhile.
  const int fd = OpenPath(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    Set(status, StatusOfErrno(errno));
    return -1;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    Set(status, FileStatus::NotRegular);
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  Set(status, FileStatus::Ok);
  if (size) *size = static_cast<std::uint64_t>(st.st_size);
  return fd;
}

std::FILE* OpenRegularStream(const std::string& path, FileStatus* status) {
  const int fd = OpenRegularFile(path, status);
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "rb");
  if (!f) {
    ::close(fd);
    Set(status, FileStatus::Failed);
  }
  return f;
}

FileStatus ReadRegularFile(const std::string& path, std::size_t limit, std::string& text) {
  text.clear();
  FileStatus status = FileStatus::Ok;
  std::uint64_t size = 0;
  const int fd = OpenRegularFile(path, &status, &size);
  if (fd < 0) return status;
  if (size > limit) status = FileStatus::TooLarge;
  if (status == FileStatus::Ok) {
    try {
      // One byte more than the limit shows a file that grew past it.
      text.resize(static_cast<std::size_t>(size) + 1);
    } catch (const std::bad_alloc&) {
      status = FileStatus::OutOfMemory;
    }
  }
  std::size_t done = 0;
  while (status == FileStatus::Ok) {
    if (done == text.size()) {
      if (done > limit) {
        status = FileStatus::TooLarge;
        break;
      }
      try {
        text.resize(std::min(limit + 1, done + done / 2 + 4096));
      } catch (const std::bad_alloc&) {
        status = FileStatus::OutOfMemory;
        break;
      }
    }
    const ssize_t n = ::read(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) status = FileStatus::Failed;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (status == FileStatus::Ok && done > limit) status = FileStatus::TooLarge;
  if (status == FileStatus::Ok)
    text.resize(done);
  else
    text = std::string();
  return status;
}

DirectoryOf::DirectoryOf(const std::string& path)
    : directory_(DirectoryPart(path)), name_(path.substr(LastSlash(path) + 1)) {
  fd_ = ::open(directory_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

DirectoryOf::~DirectoryOf() {
  if (fd_ >= 0) ::close(fd_);
}

std::string DirectoryOf::PathOf(const std::string& name) const {
  return directory_ == "/" ? "/" + name : directory_ + "/" + name;
}

std::string SiblingName(const std::string& name, const std::string& tag) {
  if (name.size() + 5 + kMaxSiblingTag <= kNameMax) return name + ".tsm-" + tag;
  static const char digits[] = "0123456789abcdef";
  std::string hashed = ".tsm-";
  const std::uint64_t h = Fnv1a(name);
  for (int shift = 60; shift >= 0; shift -= 4) hashed += digits[(h >> shift) & 15];
  return hashed + "-" + tag;
}

bool IsUniqueSibling(const std::string& entry, const std::string& name) {
  return IsPrefixAndUnique(entry, SiblingName(name, ""));
}

bool IsPrefixAndUnique(const std::string& entry, const std::string& prefix) {
  if (entry.size() != prefix.size() + kUniqueLength || !entry.starts_with(prefix)) return false;
  for (std::size_t i = prefix.size(); i < entry.size(); ++i)
    if (!IsLetterOrDigit(entry[i])) return false;
  return true;
}

int CreateUniqueSibling(int directoryFd, const std::string& name, std::string* created) {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::atomic<std::uint64_t> counter{0};
  std::uint64_t x = static_cast<std::uint64_t>(
                        std::chrono::steady_clock::now().time_since_epoch().count()) ^
                    (static_cast<std::uint64_t>(::getpid()) << 32) ^
                    (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string tag;
    for (std::size_t i = 0; i < kUniqueLength; ++i) {
      // xorshift64: only unpredictable enough to avoid collisions; O_EXCL
      // makes the name safe.
      x ^= x << 13;
      x ^= x >> 7;
      x ^= x << 17;
      tag += letters[x % (sizeof letters - 1)];
    }
    const std::string candidate = SiblingName(name, tag);
    const int fd = ::openat(directoryFd, candidate.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      if (created) *created = candidate;
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

}  // namespace tsm::platform
