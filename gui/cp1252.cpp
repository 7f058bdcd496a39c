#include "gui/cp1252.h"

namespace tsm::gui {

namespace {
// Characters of the bytes 0x80..0x9F; 0 marks the five bytes the code page
// leaves undefined (they map to the C1 control of the same number).
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The byte of a character, or -1 when the code page has none.
int ByteOf(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  if (c >= 0x80 && c <= 0x9F) return kHigh[c - 0x80] == 0 ? c : -1;
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == c) return 0x80 + i;
  if (c == 0x03BC) return 0xB5;  // Greek small mu typed for "micro"
  return -1;
}
}  // namespace

QString FromCp1252(const std::string& text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (unsigned char b : text) {
    if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0)
      out.append(QChar(kHigh[b - 0x80]));
    else
      out.append(QChar(static_cast<char16_t>(b)));
  }
  return out;
}

std::string ToCp1252(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (QChar c : text) {
    const int b = ByteOf(c.unicode());
    out.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return out;
}

bool FitsCp1252(const QString& text) {
  for (QChar c : text)
    if (ByteOf(c.unicode()) < 0) return false;
  return true;
}

}  // namespace tsm::gui
