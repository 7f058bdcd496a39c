#include "platform/decimal.h"

#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tsm::platform {

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One "C" locale for the life of the process; strtod_l then reads a point
// whatever LC_NUMERIC the front end installed.
locale_t CLocale() {
  static const locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}
}  // namespace

std::size_t ReadDecimal(const char* text, double* value, bool* overflow) {
  double dummy = 0;
  if (!value) value = &dummy;
  *value = 0;
  if (overflow) *overflow = false;
  if (!text) return 0;
  std::size_t i = 0;
  while (text[i] == ' ' || text[i] == '\t') ++i;
  const std::size_t start = i;
  if (text[i] == '+' || text[i] == '-') ++i;
  std::size_t digits = 0;
  while (IsDigit(text[i])) ++i, ++digits;
  if (text[i] == '.') {
    ++i;
    while (IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (text[i] == 'e' || text[i] == 'E') {
    std::size_t j = i + 1;
    if (text[j] == '+' || text[j] == '-') ++j;
    if (IsDigit(text[j])) {
      while (IsDigit(text[j])) ++j;
      i = j;
    }
  }
  // The span is a plain decimal number now, so strtod_l cannot wander into
  // the forms we refuse.
  const std::string span(text + start, i - start);
  errno = 0;
  const double v = ::strtod_l(span.c_str(), nullptr, CLocale());
  if (errno == ERANGE && std::isinf(v) && overflow) *overflow = true;
  *value = v;
  return i;
}

}  // namespace tsm::platform
