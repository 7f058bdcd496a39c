#include "shell/stringex.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "platform/assert.h"

namespace tsm::shell {

namespace {
constexpr const char* kSource = "stringex";
}

bool BoundedCopy(char* dst, const char* src, std::size_t size) {
  if (!TSM_ASSERT(dst != nullptr, kSource) || !TSM_ASSERT(src != nullptr, kSource) ||
      !TSM_ASSERT(size != 0, kSource))
    return false;
  for (std::size_t i = 0; i < size; ++i) {
    if (i == size - 1) {
      dst[i] = '\0';
      return src[i] == '\0';
    }
    dst[i] = src[i];
    if (src[i] == '\0') return true;
  }
  return true;
}

bool BoundedAppend(char* dst, const char* src, std::size_t size) {
  if (!TSM_ASSERT(dst != nullptr, kSource) || !TSM_ASSERT(src != nullptr, kSource) ||
      !TSM_ASSERT(size != 0, kSource))
    return false;
  std::size_t len = 0;
  while (len < size && dst[len] != '\0') ++len;
  if (len == size) {  // not terminated within the buffer: terminate it
    dst[size - 1] = '\0';
    return src[0] == '\0';
  }
  return BoundedCopy(dst + len, src, size - len);
}

int ReplaceChar(char* text, char from, char to) {
  if (!text) return 0;
  int n = 0;
  for (; *text; ++text)
    if (*text == from) {
      *text = to;
      ++n;
    }
  return n;
}

int ReplaceChar(std::string& text, char from, char to) {
  int n = 0;
  for (char& c : text)
    if (c == from) {
      c = to;
      ++n;
    }
  return n;
}

int CountLines(const char* text) {
  int n = 1;
  if (text)
    for (; *text; ++text)
      if (*text == '\r') ++n;
  return n;
}

bool BoundedAssign(std::string& dst, const std::string& src, std::size_t size) {
  if (!TSM_ASSERT(size != 0, kSource)) return false;
  if (src.size() <= size - 1) {
    dst = src;
    return true;
  }
  dst.assign(src, 0, size - 1);
  return false;
}

bool BoundedAppend(std::string& dst, const std::string& src, std::size_t size) {
  if (!TSM_ASSERT(size != 0, kSource)) return false;
  if (dst.size() >= size - 1) {
    dst.resize(size - 1);
    return src.empty();
  }
  const std::size_t room = size - 1 - dst.size();
  if (src.size() <= room) {
    dst += src;
    return true;
  }
  dst.append(src, 0, room);
  return false;
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<std::size_t>(n));
    std::vsnprintf(out.data(), out.size() + 1, format, args);
  }
  va_end(args);
  return out;
}

std::string Trim(const std::string& text) {
  const char* const blanks = " \t\r\n";
  const auto first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace tsm::shell
