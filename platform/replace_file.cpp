#include "platform/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_access.h"

namespace tsm::platform {

bool ReplaceFileContents(const std::string& path, const std::string& data) {
  // Through the directory: the temporary name is longer than the file's, and
  // a path near the system's limit would not hold it.
  DirectoryOf dir(path);
  if (!dir.Ok()) return false;
  struct stat old {};
  const bool exists = ::fstatat(dir.Fd(), dir.Name().c_str(), &old, 0) == 0;
  if (exists && ::faccessat(dir.Fd(), dir.Name().c_str(), W_OK, 0) != 0) return false;
  std::string name;
  const int fd = CreateUniqueSibling(dir.Fd(), dir.Name(), &name);
  if (fd < 0) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
    } else {
      done += static_cast<std::size_t>(n);
    }
  }
  if (ok) ::fchmod(fd, exists ? (old.st_mode & 07777) : 0644);
  if (::close(fd) != 0) ok = false;
  if (ok && ::renameat(dir.Fd(), name.c_str(), dir.Fd(), dir.Name().c_str()) != 0) ok = false;
  if (!ok) ::unlinkat(dir.Fd(), name.c_str(), 0);
  return ok;
}

}  // namespace tsm::platform
