// Physical values with a decimal unit prefix: the status-bar read-out and
// tables ("+12.35 mV"), the prefix of a plot axis, and splitting a prefix off
// a unit text read from a data file. Texts are Windows-1252 (micro is 0xB5).
#pragma once

#include <cstddef>
#include <string>

namespace tsm::shell {

struct UnitPrefix {
  const char* text;
  double factor;
};
// p n µ m (blank) k M G T, each 1000 times the one before, from 1e-12.
inline constexpr int kPrefixCount = 9;
extern const UnitPrefix kUnitPrefixes[kPrefixCount];
inline constexpr int kLowestExponent = -12;
inline constexpr int kHighestExponent = 12;
inline constexpr std::size_t kMaxUnitLength = 25;

// Result flags of the formatting functions (combined).
inline constexpr int kBelowPrefixRange = 0x1;  // a nonzero value below 1e-12, shown with "p"
inline constexpr int kAbovePrefixRange = 0x2;  // 1e15 and more, shown with "T"
inline constexpr int kUnitTooLong = 0x4;       // unit over 25 characters: nothing written
inline constexpr int kOutputTruncated = 0x10;  // the text did not fit the buffer

// "%+6.3f %s%s" (two decimals when |mantissa| > 10, one when > 100) with the
// prefix of the value's power of 1000 and the unit: 0.012346 V gives
// "+12.35 mV", 123.4 V "+123.4  V" (the blank prefix sits before the unit).
int FormatWithPrefix(char* out, std::size_t length, float value, const char* unit);
// The same with digits - 1 decimals (digits - 2 above 10, digits - 3 above
// 100, never below 0). Fewer than 2 digits is a program error (2 are used).
int FormatWithSigDigits(char* out, std::size_t length, float value, unsigned SigDig,
                        const char* unit);
std::string FormatWithPrefix(float value, const std::string& unit, int* flags = nullptr);
std::string FormatWithSigDigits(float value, unsigned digits, const std::string& unit,
                                int* flags = nullptr);

// The prefix for an axis whose largest magnitude is value: the entry whose
// range [factor, 1000 * factor) holds it, "p" for anything smaller. Returns
// 0, -1 when value is below 1e-12, 1 when it is 1e15 or more: the table ends
// there, so such values get "T" and 1e12 (the label then shows numbers of
// 1000 and more rather than no prefix at all). NaN gets the blank prefix.
int AxisPrefix(double value, double* factor, const char** prefix);

// Reads a typed value with its unit: a decimal number, blanks, then the
// unit with or without a prefix ("1.5 mA", "-20 uA", "20 \xB5A", "2e-3A";
// "u" stands for micro, which keyboards lack). False for anything else,
// a bare number included.
bool ParseWithPrefix(const std::string& text, const std::string& unit, double* value);

// Removes a prefix found at the start of the unit text and returns its
// factor, or returns 1 and leaves the text as it is. The first match in table
// order wins: "mV" gives 1e-3 and "V", "min" 1e-3 and "in", " V" 1 and "V".
double UnitMultiplier(char* unit);
double UnitMultiplier(std::string& unit);

}  // namespace tsm::shell
