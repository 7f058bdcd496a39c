#include "shell/phyunits.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/assert.h"
#include "shell/stringex.h"

namespace tsm::shell {

const UnitPrefix kUnitPrefixes[kPrefixCount] = {
    {"p", 1e-12}, {"n", 1e-9}, {"\xB5", 1e-6}, {"m", 1e-3}, {" ", 1.0},
    {"k", 1e3},   {"M", 1e6},  {"G", 1e9},     {"T", 1e12},
};

namespace {

constexpr const char* kSource = "phyunits";
// Beyond this a float mantissa has no more digits to show; it also keeps a
// careless caller from asking printf for a huge text.
constexpr int kMaxDecimals = 40;

struct Scaled {
  int flags = 0;
  int index = 4;     // into kUnitPrefixes
  float mantissa = 0;
};

Scaled Scale(float value) {
  Scaled s;
  const double a = std::fabs(static_cast<double>(value));
  int e = 0;
  if (std::isnan(a)) {
    e = 0;
  } else if (a < 1e-12) {
    e = kLowestExponent;
    if (a > 0) s.flags |= kBelowPrefixRange;
  } else {
    // Clamp in floating point first: log10 of an infinity has no int.
    double e3 = 3.0 * std::floor(std::log10(a) / 3.0);
    if (e3 > kHighestExponent) {
      e3 = kHighestExponent;
      s.flags |= kAbovePrefixRange;
    }
    e = static_cast<int>(e3);
  }
  s.index = (e - kLowestExponent) / 3;
  s.mantissa = static_cast<float>(static_cast<double>(value) / kUnitPrefixes[s.index].factor);
  return s;
}

int Emit(char* out, std::size_t length, int flags, int decimals, const Scaled& s,
         const char* unit) {
  const std::string text = Format("%+6.*f %s%s", decimals, static_cast<double>(s.mantissa),
                                  kUnitPrefixes[s.index].text, unit);
  if (!BoundedCopy(out, text.c_str(), length)) flags |= kOutputTruncated;
  return flags;
}

int FormatScaled(char* out, std::size_t length, float value, int sigDigits, const char* unit) {
  if (!unit) unit = "";
  const Scaled s = Scale(value);
  if (std::strlen(unit) > kMaxUnitLength) return s.flags | kUnitTooLong;
  const float m = std::fabs(s.mantissa);
  // sigDigits < 0: the fixed rule of three, two or one decimals.
  int decimals = sigDigits < 0 ? 3 : sigDigits - 1;
  if (m > 100)
    decimals -= 2;
  else if (m > 10)
    decimals -= 1;
  if (decimals < 0) decimals = 0;
  if (decimals > kMaxDecimals) decimals = kMaxDecimals;
  // A value that rounds to zero in the shown decimals is shown as "+0.000",
  // not as "-0.000" (a current at its zero code that came out a hair below).
  Scaled shown = s;
  if (std::fabs(static_cast<double>(shown.mantissa)) * std::pow(10.0, decimals) < 0.5)
    shown.mantissa = 0.0f;
  return Emit(out, length, s.flags, decimals, shown, unit);
}

}  // namespace

int FormatWithPrefix(char* out, std::size_t length, float value, const char* unit) {
  return FormatScaled(out, length, value, -1, unit);
}

int FormatWithSigDigits(char* out, std::size_t length, float value, unsigned SigDig,
                        const char* unit) {
  if (!TSM_ASSERT(SigDig>1, kSource)) SigDig = 2;
  if (SigDig > kMaxDecimals + 1) SigDig = kMaxDecimals + 1;
  return FormatScaled(out, length, value, static_cast<int>(SigDig), unit);
}

std::string FormatWithPrefix(float value, const std::string& unit, int* flags) {
  char buf[128];
  buf[0] = '\0';
  const int f = FormatWithPrefix(buf, sizeof buf, value, unit.c_str());
  if (flags) *flags = f;
  return buf;
}

std::string FormatWithSigDigits(float value, unsigned digits, const std::string& unit,
                                int* flags) {
  char buf[128];
  buf[0] = '\0';
  const int f = FormatWithSigDigits(buf, sizeof buf, value, digits, unit.c_str());
  if (flags) *flags = f;
  return buf;
}

int AxisPrefix(double value, double* factor, const char** prefix) {
  int index = 4;
  int result = 0;
  if (std::isnan(value)) {
    index = 4;
  } else if (value < 1e-12) {
    index = 0;
    result = -1;
  } else if (value >= 1e15) {
    index = kPrefixCount - 1;
    result = 1;
  } else {
    index = 0;
    // Compare with the table's own factors rather than a running product,
    // which drifts off the powers of ten.
    while (index < kPrefixCount - 1 && value >= kUnitPrefixes[index + 1].factor) ++index;
  }
  if (factor) *factor = kUnitPrefixes[index].factor;
  if (prefix) *prefix = kUnitPrefixes[index].text;
  return result;
}

double UnitMultiplier(char* unit) {
  if (!unit) return 1.0;
  for (const UnitPrefix& p : kUnitPrefixes) {
    const std::size_t n = std::strlen(p.text);
    if (std::strncmp(unit, p.text, n) == 0) {
      std::memmove(unit, unit + n, std::strlen(unit + n) + 1);
      return p.factor;
    }
  }
  return 1.0;
}

double UnitMultiplier(std::string& unit) {
  for (const UnitPrefix& p : kUnitPrefixes) {
    if (unit.compare(0, std::strlen(p.text), p.text) == 0) {
      unit.erase(0, std::strlen(p.text));
      return p.factor;
    }
  }
  return 1.0;
}

bool ParseWithPrefix(const std::string& text, const std::string& unit, double* value) {
  const char* begin = text.c_str();
  while (*begin == ' ' || *begin == '\t') ++begin;
  char* end = nullptr;
  const double number = std::strtod(begin, &end);
  if (end == begin || !std::isfinite(number)) return false;
  std::string rest(end);
  const std::size_t first = rest.find_first_not_of(" \t");
  const std::size_t last = rest.find_last_not_of(" \t");
  rest = first == std::string::npos ? std::string() : rest.substr(first, last - first + 1);
  if (unit.empty() || rest.size() < unit.size() ||
      rest.compare(rest.size() - unit.size(), unit.size(), unit) != 0)
    return false;
  const std::string prefix = rest.substr(0, rest.size() - unit.size());
  double factor = 0;
  if (prefix.empty()) factor = 1;
  else if (prefix == "u") factor = 1e-6;
  else
    for (const UnitPrefix& p : kUnitPrefixes)
      if (prefix == p.text && prefix != " ") factor = p.factor;
  if (factor == 0) return false;
  *value = number * factor;
  return true;
}

}  // namespace tsm::shell
