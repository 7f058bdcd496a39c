#include "files/numtext.h"

#include <charconv>
#include <cstring>
#include <string>
#include <system_error>

#include "platform/decimal.h"

namespace tsm::files {

// std::to_chars with the general format and a precision is specified to
// give what printf's "%.*g" gives in the C locale (the same rounding of the
// exact binary value, trailing zeros removed, exponent of at least two
// digits, "inf", "-nan"), so only the padding is ours. Tests compare it with
// snprintf over many values.
char* FormatField(char* out, double value, int width, int precision) {
  char text[kMaxFieldText];
  const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::general,
                               precision);
  const std::size_t length = r.ec == std::errc() ? static_cast<std::size_t>(r.ptr - text) : 0;
  if (width > 0 && length < static_cast<std::size_t>(width)) {
    const std::size_t pad = static_cast<std::size_t>(width) - length;
    std::memset(out, ' ', pad);
    out += pad;
  }
  std::memcpy(out, text, length);
  return out + length;
}

const char* ParseNumber(const char* text, const char* end, double* value) {
  if (text >= end) return nullptr;
  const char* start = text;
  // from_chars takes no plus sign; scanf, which wrote older readers, did.
  if (*start == '+') {
    if (end - start < 2 || *(start + 1) == '-' || *(start + 1) == '+') return nullptr;
    ++start;
  }
  double v = 0;
  const auto r = std::from_chars(start, end, v, std::chars_format::general);
  if (r.ec == std::errc()) {
    *value = v;
    return r.ptr;
  }
  if (r.ec == std::errc::result_out_of_range) {
    // Rare: let the settings reader give +-HUGE_VAL, 0 or a denormal.
    const std::string number(text, r.ptr);
    platform::ReadDecimal(number.c_str(), value);
    return r.ptr;
  }
  return nullptr;
}

}  // namespace tsm::files
