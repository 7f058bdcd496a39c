#include "files/wholefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace tsm::files {

bool ReadWholeFile(const std::string& path, FileText& text) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok) {
    const std::size_t size = static_cast<std::size_t>(st.st_size);
    text.bytes.reset(new (std::nothrow) char[size + 1]);
    ok = text.bytes != nullptr;
    std::size_t done = 0;
    while (ok && done < size) {
      const ssize_t n = ::read(fd, text.bytes.get() + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) ok = false;
      if (n <= 0) break;  // (0: the file shrank meanwhile; take what is there)
      done += static_cast<std::size_t>(n);
    }
    if (ok) {
      text.size = done;
      text.bytes[done] = '\0';
    }
  }
  ::close(fd);
  return ok;
}

}  // namespace tsm::files
