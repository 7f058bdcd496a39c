// Number text of the data files: the fixed-width fields the writer produces
// (exactly what printf's "%*.*g" gives, but several times faster) and the
// number reader of the loader (decimal numbers, "inf" and "nan", locale-free).
#pragma once

#include <cstddef>

namespace tsm::files {

// The longest field FormatField writes for widths up to 32 and precisions up
// to 28 ("-" + 28 digits + "." + "e-308"), with room to spare.
inline constexpr std::size_t kMaxFieldText = 48;

// Writes value as "%*.*g" with the width and precision (1 .. 28) would, right
// aligned with blanks, and returns the end of the text (not terminated).
// out must have room for width + kMaxFieldText characters (the characters
// after the text may be overwritten).
char* FormatField(char* out, double value, int width, int precision);

// Reads one number at text (nothing skipped before it): an optional sign,
// digits with an optional point and fraction, an optional exponent; or
// "inf", "infinity", "nan" in any case. Values beyond the range of double
// read as +-infinity, values below it as 0 or a denormal. Returns the end of
// the number, or nullptr when text does not start with one.
const char* ParseNumber(const char* text, const char* end, double* value);

}  // namespace tsm::files
