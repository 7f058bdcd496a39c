// A file read into memory at once, for the readers that parse a whole file
// (data files, drawing files). The buffer is as large as the file really is,
// never what its contents claim.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace tsm::files {

// The whole file, followed by a NUL that is not part of it.
struct FileText {
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;
  const char* begin() const { return bytes.get(); }
  const char* end() const { return bytes.get() + size; }
};

// False when the file cannot be opened or read (or is no regular file: a
// device would never end). The buffer is not cleared first: it is read over.
bool ReadWholeFile(const std::string& path, FileText& text);

}  // namespace tsm::files
