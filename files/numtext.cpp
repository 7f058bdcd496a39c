#include "files/numtext.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <system_error>

#include "platform/decimal.h"

namespace tsm::files {

namespace {

using U128 = unsigned __int128;

constexpr int kMaxPow5 = 48;

struct Powers {
  std::uint64_t ten[20];
  U128 five[kMaxPow5 + 1];
  constexpr Powers() : ten(), five() {
    ten[0] = 1;
    for (int i = 1; i < 20; ++i) ten[i] = ten[i - 1] * 10;
    five[0] = 1;
    for (int i = 1; i <= kMaxPow5; ++i) five[i] = five[i - 1] * 5;
  }
};
constexpr Powers kPowers;

inline std::uint64_t Pow10(int n) { return kPowers.ten[n]; }
inline U128 Pow5(int n) { return kPowers.five[n]; }

// The digit pairs "00" .. "99".
constexpr char kPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the n decimal digits of v (leading zeros included).
void Digits(char* out, std::uint64_t v, int n) {
  while (n >= 2) {
    const unsigned pair = static_cast<unsigned>(v % 100) * 2;
    v /= 100;
    n -= 2;
    out[n] = kPairs[pair];
    out[n + 1] = kPairs[pair + 1];
  }
  if (n == 1) out[0] = static_cast<char>('0' + v % 10);
}

// Where the fast path applies: a value a float holds exactly (the curves
// hold floats), of moderate size, printed with at most 17 digits. Within
// these bounds every intermediate fits 128 bits.
constexpr int kFastMaxPrecision = 17;
constexpr double kFastMin = 1e-20;
constexpr double kFastMax = 1e10;

// N = |x| * 10^(p-1-k) rounded half to even, for x = m * 2^e. Returns false
// when k was not the decimal exponent of |x| (the truncated quotient falls
// outside [10^(p-1), 10^p)), telling which way to correct it.
int Scaled(std::uint64_t m, int e, int p, int k, std::uint64_t* n) {
  const std::uint64_t low = Pow10(p - 1), high = Pow10(p);
  const int s = p - 1 - k;
  U128 q;
  bool up;
  if (s >= 0) {
    const U128 a = static_cast<U128>(m) * Pow5(s);
    const int shift = e + s;
    if (shift >= 0) {
      q = a << shift;
      up = false;
    } else {
      const int t = -shift;
      q = a >> t;
      const U128 rem = a & ((static_cast<U128>(1) << t) - 1);
      const U128 half = static_cast<U128>(1) << (t - 1);
      up = rem > half || (rem == half && (q & 1));
    }
  } else {
    const int u = -s;
    U128 num = m, den = Pow5(u);
    if (e - u >= 0)
      num <<= (e - u);
    else
      den <<= (u - e);
    q = num / den;
    const U128 rem2 = (num % den) * 2;
    up = rem2 > den || (rem2 == den && (q & 1));
  }
  if (q < low) return -1;
  if (q >= high) return 1;
  *n = static_cast<std::uint64_t>(q) + (up ? 1 : 0);
  return 0;
}

// "%.*g" of a float-exact value inside the fast bounds; the text's length
// (0: not converted).
std::size_t FastG(char* out, double value, int p) {
  // |x| = m * 2^e with the 24-bit significand of the float (a normal one:
  // the fast bounds exclude denormals).
  const float f = static_cast<float>(value);
  std::uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  const std::uint64_t m = (bits & 0x7FFFFFu) | 0x800000u;
  const int e = static_cast<int>((bits >> 23) & 0xFFu) - 150;
  // |x| lies in [2^(e+23), 2^(e+24)); floor(log10(2) * (e + 23)), taken in
  // integers (78913 / 2^18 ~ log10 2), is within one of its decimal exponent.
  int k = ((e + 23) * 78913) >> 18;
  std::uint64_t n = 0;
  int r = Scaled(m, e, p, k, &n);
  if (r != 0) {
    k += r;
    if (Scaled(m, e, p, k, &n) != 0) return 0;  // cannot happen; the slow path answers
  }
  if (n == Pow10(p)) {  // rounding carried into the next decade
    n = Pow10(p - 1);
    ++k;
  }
  // Copies below move whole blocks of fixed size (no library calls); the
  // digit buffer holds zeros after the digits, the output has room.
  char digits[48];
  std::memset(digits, '0', sizeof digits);
  Digits(digits, n, p);
  int nd = p;
  while (nd > 1 && digits[nd - 1] == '0') --nd;

  char* o = out;
  if (std::signbit(value)) *o++ = '-';
  if (k >= -4 && k < p) {
    if (k >= 0) {
      const int whole = k + 1;
      std::memcpy(o, digits, 24);  // digits past nd are zeros
      if (nd <= whole) {
        o += whole;
      } else {
        o[whole] = '.';
        std::memcpy(o + whole + 1, digits + whole, 24);
        o += nd + 1;
      }
    } else {
      o[0] = '0';
      o[1] = '.';
      std::memset(o + 2, '0', 4);
      std::memcpy(o + 2 + (-k - 1), digits, 24);
      o += 2 + (-k - 1) + nd;
    }
  } else {
    o[0] = digits[0];
    if (nd > 1) {
      o[1] = '.';
      std::memcpy(o + 2, digits + 1, 24);
      o += nd + 1;
    } else {
      o += 1;
    }
    *o++ = 'e';
    *o++ = k < 0 ? '-' : '+';
    const int ak = k < 0 ? -k : k;
    *o++ = static_cast<char>('0' + ak / 10);
    *o++ = static_cast<char>('0' + ak % 10);
  }
  return static_cast<std::size_t>(o - out);
}

}  // namespace

// The text is what printf's "%.*g" gives in the C locale: the exact binary
// value rounded half to even to the precision, the exponent of style e
// taken after rounding, trailing zeros removed, an exponent of at least two
// digits. Values a float holds exactly and of moderate size (every measured
// value) are converted here with integer arithmetic; the rest goes to
// std::to_chars, which is specified to give the same text ("inf", "-nan"
// included). Tests compare both with snprintf over many values.
char* FormatField(char* out, double value, int width, int precision) {
  char text[kMaxFieldText + 16];
  std::size_t length = 0;
  const double magnitude = std::fabs(value);
  if (precision >= 1 && precision <= kFastMaxPrecision && magnitude >= kFastMin &&
      magnitude < kFastMax && static_cast<double>(static_cast<float>(value)) == value) {
    length = FastG(text, value, precision);
  }
  if (length == 0) {
    const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::general,
                                 precision);
    length = r.ec == std::errc() ? static_cast<std::size_t>(r.ptr - text) : 0;
  }
  const std::size_t pad =
      width > 0 && length < static_cast<std::size_t>(width) ? width - length : 0;
  if (width <= 32) {
    // The usual widths: fixed-size moves, the extra bytes lie in the room
    // the caller gives.
    std::memset(out, ' ', 32);
    std::memcpy(out + pad, text, kMaxFieldText);
  } else {
    std::memset(out, ' ', pad);
    std::memcpy(out + pad, text, length);
  }
  return out + pad + length;
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
