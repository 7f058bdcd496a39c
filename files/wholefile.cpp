#include "files/wholefile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <new>

namespace tsm::files {

platform::FileStatus ReadWholeFile(const std::string& path, FileText& text) {
  platform::FileStatus status = platform::FileStatus::Ok;
  std::uint64_t fileSize = 0;
  const int fd = platform::OpenRegularFile(path, &status, &fileSize);
  if (fd < 0) return status;
  const std::size_t size = static_cast<std::size_t>(fileSize);
  text.bytes.reset(new (std::nothrow) char[size + 1]);
  if (!text.bytes) status = platform::FileStatus::OutOfMemory;
  std::size_t done = 0;
  while (status == platform::FileStatus::Ok && done < size) {
    const ssize_t n = ::read(fd, text.bytes.get() + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) status = platform::FileStatus::Failed;
    if (n <= 0) break;  // (0: the file shrank meanwhile; take what is there)
    done += static_cast<std::size_t>(n);
  }
  if (status == platform::FileStatus::Ok) {
    text.size = done;
    text.bytes[done] = '\0';
  }
  ::close(fd);
  return status;
}

}  // namespace tsm::files
