// Splitting and changing file paths: the companion file of a data file (the
// same path with another extension), the file-name, extension and directory
// parts. Both "/" and "\\" separate directories.
#pragma once

#include <cstddef>
#include <string>

namespace tsm::files {

// Cuts the text at the last dot of its file-name part (a dot in a directory
// name does not count) and appends the extension, given with its dot
// (".ini"). When the result would not fit buffer[size] an internal error is
// reported, the text stays cut and the result is false.
bool ReplaceExtension(char* buffer, std::size_t size, const char* extension);
// The same on a string bounded to size - 1 characters (a path field of 260).
bool ReplaceExtension(std::string& path, const char* extension, std::size_t size = 260);
// The part after the last "/" or "\\" (the whole text when there is none).
const char* FileNamePart(const char* path);
std::string FileNamePart(const std::string& path);
// The part after the last dot anywhere in the text ("" when there is none).
const char* ExtensionPart(const char* path);
std::string ExtensionPart(const std::string& path);
// Copies the text up to and including its last "/" or "\\" into
// destination[size] ("" when there is none). False when it does not fit.
bool DirectoryPart(char* destination, const char* path, std::size_t size);
std::string DirectoryPart(const std::string& path);

}  // namespace tsm::files
