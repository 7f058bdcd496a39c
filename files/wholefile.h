// A file read into memory at once, for the readers that parse a whole file
// (data files, drawing files). The buffer is as large as the file really is,
// never what its contents claim.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/file_access.h"

namespace tsm::files {

// The whole file, followed by a NUL that is not part of it.
struct FileText {
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;
  const char* begin() const { return bytes.get(); }
  const char* end() const { return bytes.get() + size; }
};

// Ok, or why the file cannot be read: no such file or no regular file (a
// FIFO would block, a device never end), too little memory for it (the
// program's out-of-memory handler is not asked: the reader fails with its
// own message), a read error. The buffer is not cleared first: it is read
// over.
platform::FileStatus ReadWholeFile(const std::string& path, FileText& text);

}  // namespace tsm::files
