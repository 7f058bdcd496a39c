// The reader of drawing files (extension "dxb"), which Open and Add hand such
// files to. This version cannot read them yet: it says so and loads nothing.
#pragma once

#include <string>

namespace tsm::files {

inline constexpr const char* kDxbNotSupportedText =
    "Can not open file\n%s\nReading AutoCAD's DXB drawing files is not supported\nby this "
    "version of Tesmira.";
inline constexpr const char* kDxbNotSupportedCaption = "Error";

// Takes the path and the add flag like the data-file reader: a value >= 0
// after a file was read, negative otherwise (always, for now: -1).
int LoadDxbFile(const std::string& path, bool add);

}  // namespace tsm::files
