// What the measurement dialog's source files share and nobody else needs:
// the control constructor and the parsing of the numbers typed into its
// fields. Not part of the dialog's interface (measure_dialog.h is).
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/dialog.h"
#include "shell/stringex.h"

namespace tsm::measure::dialog_detail {

inline constexpr const char* kSource = "cvc";

inline platform::Control Make(int id, platform::ControlKind kind, std::string text, int column) {
  platform::Control c;
  c.id = id;
  c.kind = kind;
  c.text = std::move(text);
  c.column = column;
  return c;
}

// A decimal number of the whole text, or false.
inline bool ParseUnsigned(const std::string& text, std::uint32_t* value) {
  const char* s = text.c_str();
  while (*s == ' ' || *s == '\t') ++s;
  if (*s < '0' || *s > '9') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(s, &end, 10);
  while (*end == ' ' || *end == '\t') ++end;
  if (*end != '\0' || errno == ERANGE || v > 0xFFFFFFFFull) return false;
  *value = static_cast<std::uint32_t>(v);
  return true;
}

inline std::string U(std::uint32_t v) { return shell::Format("%u", static_cast<unsigned>(v)); }

}  // namespace tsm::measure::dialog_detail
