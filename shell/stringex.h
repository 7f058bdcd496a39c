// Bounded text routines for the fixed-size, NUL-terminated text fields used
// throughout the program. The size passed includes the terminator; a false
// result tells that the text was truncated (the destination is always
// terminated).
#pragma once

#include <cstddef>
#include <string>

namespace tsm::shell {

// Copies src into dst[size]. Returns true when the whole source fitted.
bool BoundedCopy(char* dst, const char* src, std::size_t size);
// Appends src to the text already in dst[size] (size is the whole buffer).
bool BoundedAppend(char* dst, const char* src, std::size_t size);
// Number of replacements of `from` by `to` in the text.
int ReplaceChar(char* text, char from, char to);
int ReplaceChar(std::string& text, char from, char to);
// 1 + the number of carriage returns.
int CountLines(const char* text);

// The same rules for a std::string holding at most size - 1 characters.
bool BoundedAssign(std::string& dst, const std::string& src, std::size_t size);
bool BoundedAppend(std::string& dst, const std::string& src, std::size_t size);

// The text without the blanks, tabs and line ends at its ends.
std::string Trim(const std::string& text);

// printf into a std::string (no length limit).
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tsm::shell
