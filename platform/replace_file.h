// Writing a whole file without losing the old one: the text goes into a new
// file beside it, which is renamed into place only when it is complete, so a
// failure (disk full, a killed process) leaves the previous file intact.
#pragma once

#include <string>

namespace tsm::platform {

// Replaces (or creates) the file with the data. The new file keeps the old
// one's permission bits (0644 for a new file). False when the file may not
// be written or any step failed; the old file is then unchanged and no
// temporary file is left behind.
bool ReplaceFileContents(const std::string& path, const std::string& data);

}  // namespace tsm::platform
