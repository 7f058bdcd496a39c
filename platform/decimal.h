// Reading decimal numbers the way the program's settings, option files and
// command lines write them: independent of the C locale (a desktop session
// may run with a decimal comma), and without the hexadecimal, "inf" and
// "nan" forms the C library would also accept.
#pragma once

#include <cstddef>

namespace tsm::platform {

// Reads the leading decimal floating-point number of text: blanks and tabs,
// an optional sign, digits with an optional point and fraction (at least one
// digit), an optional exponent (e or E, optional sign, digits). Returns the
// number of characters used, 0 when the text has no leading number (value is
// then 0). A number beyond the range of double gives +-HUGE_VAL and sets
// *overflow; an underflow gives 0 or a denormal and is no overflow.
std::size_t ReadDecimal(const char* text, double* value, bool* overflow = nullptr);

}  // namespace tsm::platform
