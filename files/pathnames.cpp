#include "files/pathnames.h"

#include <cstring>

#include "shell/errors.h"

namespace tsm::files {

namespace {
constexpr const char* kSource = "filenamemanipulation";

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Index of the dot that starts the extension of the file-name part, or the
// length of the text when the file name has none.
std::size_t ExtensionDot(const char* text, std::size_t length) {
  for (std::size_t i = length; i > 0; --i) {
    const char c = text[i - 1];
    if (IsSeparator(c)) break;
    if (c == '.') return i - 1;
  }
  return length;
}
}  // namespace

bool ReplaceExtension(char* buffer, std::size_t size, const char* extension) {
  if (!buffer || size == 0 || !extension) {
    shell::ReportInternalError(shell::kStringInternalError, __LINE__, kSource);
    return false;
  }
  const std::size_t length = strnlen(buffer, size - 1);
  buffer[ExtensionDot(buffer, length)] = '\0';
  const std::size_t cut = std::strlen(buffer);
  if (cut + std::strlen(extension) + 1 > size) {
    shell::ReportInternalError(shell::kStringInternalError, __LINE__, kSource);
    return false;
  }
  std::memcpy(buffer + cut, extension, std::strlen(extension) + 1);
  return true;
}

bool ReplaceExtension(std::string& path, const char* extension, std::size_t size) {
  if (!extension || size == 0) {
    shell::ReportInternalError(shell::kStringInternalError, __LINE__, kSource);
    return false;
  }
  if (path.size() > size - 1) path.resize(size - 1);
  path.resize(ExtensionDot(path.data(), path.size()));
  if (path.size() + std::strlen(extension) + 1 > size) {
    shell::ReportInternalError(shell::kStringInternalError, __LINE__, kSource);
    return false;
  }
  path += extension;
  return true;
}

const char* FileNamePart(const char* path) {
  if (!path) return "";
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (IsSeparator(*p)) name = p + 1;
  return name;
}

std::string FileNamePart(const std::string& path) {
  const std::size_t pos = path.find_last_of("/\\");
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

const char* ExtensionPart(const char* path) {
  if (!path) return "";
  const char* dot = std::strrchr(path, '.');
  return dot ? dot + 1 : path + std::strlen(path);
}

std::string ExtensionPart(const std::string& path) {
  const std::size_t pos = path.rfind('.');
  return pos == std::string::npos ? std::string() : path.substr(pos + 1);
}

bool DirectoryPart(char* destination, const char* path, std::size_t size) {
  if (!destination || size == 0) return false;
  if (!path) path = "";
  std::size_t length = 0;
  for (std::size_t i = 0; path[i]; ++i)
    if (IsSeparator(path[i])) length = i + 1;
  if (length + 1 > size) {
    destination[0] = '\0';
    return false;
  }
  std::memcpy(destination, path, length);
  destination[length] = '\0';
  return true;
}

std::string DirectoryPart(const std::string& path) {
  const std::size_t pos = path.find_last_of("/\\");
  return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

}  // namespace tsm::files
