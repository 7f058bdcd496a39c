#include "files/columns.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <utility>

#include "files/numtext.h"

namespace tsm::files {

using curves::Curve;
using curves::CurveFamily;

// --- writing ---------------------------------------------------------------

namespace {

// Collects the text in a block and hands it to the sink when full, so a
// family of millions of points costs a few hundred writes.
class Output {
 public:
  explicit Output(const TextSink& sink) : sink_(sink), block_(kBlock) {}

  // Room for at least n more characters.
  char* Reserve(std::size_t n) {
    if (static_cast<std::size_t>(block_.data() + block_.size() - at_) < n) Flush();
    return at_;
  }
  void Advance(char* to) { at_ = to; }
  bool Flush() {
    if (ok_ && at_ > block_.data())
      ok_ = sink_(block_.data(), static_cast<std::size_t>(at_ - block_.data()));
    at_ = block_.data();
    return ok_;
  }
  bool Ok() const { return ok_; }

 private:
  static constexpr std::size_t kBlock = 1 << 18;
  const TextSink& sink_;
  std::vector<char> block_;
  char* at_ = block_.data();
  bool ok_ = true;
};

}  // namespace

bool WriteRows(const CurveFamily& family, const RowLayout& layout, const TextSink& sink) {
  const std::uint32_t n = family.Count();
  if (n == 0) return true;
  std::uint32_t rows = 0;
  for (std::uint32_t q = 0; q < n; ++q) rows = std::max(rows, family.Curve(q).Count());
  const int width = std::clamp(layout.width, 1, 64);
  const int precision = std::clamp(width - 4, 1, 60);
  const std::size_t pair = 2 * (static_cast<std::size_t>(width) + kMaxFieldText) + 4;
  const char delimiter = layout.delimiter;

  Output out(sink);
  for (std::uint32_t r = 0; r < rows && out.Ok(); ++r) {
    for (std::uint32_t q = 0; q < n; ++q) {
      const Curve& c = family.Curve(q);
      char* p = out.Reserve(pair);
      if (r < c.Count()) {
        const curves::CurvePoint& point = c.Data()[r];
        p = FormatField(p, point.x, width, precision);
        *p++ = delimiter;
        p = FormatField(p, point.y, width, precision);
      } else if (!layout.sorted) {
        std::memset(p, ' ', static_cast<std::size_t>(width));
        p += width;
        *p++ = delimiter;
        std::memset(p, ' ', static_cast<std::size_t>(width));
        p += width;
      }
      if (q + 1 < n) {
        *p++ = delimiter;
      } else {
        *p++ = '\r';
        *p++ = '\n';
      }
      out.Advance(p);
    }
  }
  return out.Flush();
}

std::string FormatRows(const CurveFamily& family, const RowLayout& layout) {
  std::string text;
  WriteRows(family, layout, [&](const char* piece, std::size_t length) {
    text.append(piece, length);
    return true;
  });
  return text;
}

// --- reading ---------------------------------------------------------------

namespace {

enum : unsigned char { kBeforeX = 1, kBeforeY = 2, kSpace = 4, kFieldEnd = 8 };

constexpr std::array<unsigned char, 256> MakeClasses() {
  std::array<unsigned char, 256> t{};
  for (unsigned char c : {'\n', '\r', ' ', '\t', ',', ';'}) t[c] |= kBeforeX | kFieldEnd;
  for (unsigned char c : {' ', '\t', ',', ';'}) t[c] |= kBeforeY;
  for (unsigned char c : {' ', '\t', '\n', '\r', '\v', '\f'}) t[c] |= kSpace;
  return t;
}
constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

inline bool Is(char c, unsigned char cls) {
  return (kClasses[static_cast<unsigned char>(c)] & cls) != 0;
}

inline const char* Skip(const char* p, const char* end, unsigned char cls) {
  while (p < end && Is(*p, cls)) ++p;
  return p;
}

// One field of the column reader: white space first (as scanf's number
// conversion did), then the number. A field that is no number is passed over
// up to the next separator and reads as NaN. nullptr at the end of the text.
inline const char* ReadField(const char* p, const char* end, double* value) {
  p = Skip(p, end, kSpace);
  if (p == end) return nullptr;
  if (const char* after = ParseNumber(p, end, value)) return after;
  *value = std::numeric_limits<double>::quiet_NaN();
  while (p < end && !Is(*p, kFieldEnd)) ++p;
  return p;
}

inline float Scaled(double v, double factor) { return static_cast<float>(v * factor); }

// The last character of the set in [text, end), plus one; nullptr if none.
const char* AfterLast(const char* text, const char* end, unsigned char cls) {
  for (const char* p = end; p > text; --p)
    if (Is(p[-1], cls)) return p;
  return nullptr;
}

}  // namespace

ColumnReader::ColumnReader(CurveFamily& family, std::uint32_t first,
                           std::vector<std::uint32_t> counts, Scale scale)
    : family_(family), first_(first), counts_(std::move(counts)), scale_(scale) {
  for (std::uint32_t c : counts_) rows_ = std::max(rows_, c);
  if (rows_ == 0) Finish(ReadStatus::Ok);
}

// A field ends at one of the separators before x (a field that is no number
// is passed over up to one of them), so after the last of them no field of
// the piece is cut.
const char* ColumnReader::CompleteUpTo(const char* text, const char* end) const {
  return AfterLast(text, end, kFieldEnd);
}

const char* ColumnReader::Feed(const char* text, const char* end, bool last) {
  if (Finished()) return text;
  const std::uint32_t n = static_cast<std::uint32_t>(counts_.size());
  const char* p = text;
  for (; row_ < rows_; ++row_, curve_ = 0) {
    for (; curve_ < n; ++curve_) {
      if (counts_[curve_] <= row_) continue;
      const char* pair = p;
      double x = 0, y = 0;
      p = Skip(p, end, kBeforeX);
      if (p == end || !(p = ReadField(p, end, &x))) {
        if (last) Finish(ReadStatus::EndOfFile);
        return pair;
      }
      p = Skip(p, end, kBeforeY);
      if (p == end || !(p = ReadField(p, end, &y))) {
        if (last) Finish(ReadStatus::EndOfFile);
        return pair;
      }
      if (!family_.Curve(first_ + curve_).Append(Scaled(x, scale_.x), Scaled(y, scale_.y))) {
        Finish(ReadStatus::OutOfMemory);
        return p;
      }
    }
  }
  Finish(ReadStatus::Ok);
  return p;
}

ReadStatus ReadColumns(const char* text, const char* end, CurveFamily& family,
                       std::uint32_t first, const std::vector<std::uint32_t>& counts,
                       Scale scale) {
  ColumnReader reader(family, first, counts, scale);
  reader.Feed(text, end, true);
  return reader.Status();
}

namespace {

// A white-space separated number of the raw reader, or nullptr.
inline const char* ReadRawNumber(const char* p, const char* end, double* value) {
  p = Skip(p, end, kSpace);
  return ParseNumber(p, end, value);
}

}  // namespace

unsigned CountNumbersInFirstLine(const char* text, const char* end) {
  const char* lineEnd = text;
  const char* limit = text + std::min<std::size_t>(kFirstLineLimit, end - text);
  while (lineEnd < limit && *lineEnd != '\n') ++lineEnd;
  unsigned count = 0;
  const char* p = text;
  double v;
  while ((p = ReadRawNumber(p, lineEnd, &v)) != nullptr) ++count;
  return count;
}

RawReader::RawReader(CurveFamily& family, std::uint32_t first, std::uint32_t curves, Scale scale)
    : family_(family), first_(first), curves_(curves), scale_(scale) {
  if (curves_ == 0) Finish(ReadStatus::Ok);
}

// Numbers are separated by white space: none is cut after the last of it.
const char* RawReader::CompleteUpTo(const char* text, const char* end) const {
  return AfterLast(text, end, kSpace);
}

const char* RawReader::Feed(const char* text, const char* end, bool last) {
  if (Finished()) return text;
  const char* p = text;
  for (;; curve_ = (curve_ + 1) % curves_) {
    const char* pair = p;
    double x = 0, y = 0;
    const char* afterX = ReadRawNumber(p, end, &x);
    const char* q = afterX ? ReadRawNumber(afterX, end, &y) : nullptr;
    if (!q) {
      // Short of a number: the end of the reading, unless the piece ended
      // where the number would have begun.
      if (!last && Skip(afterX ? afterX : pair, end, kSpace) == end) return pair;
      Finish(ReadStatus::Ok);
      return pair;
    }
    p = q;
    if (!family_.Curve(first_ + curve_).Append(Scaled(x, scale_.x), Scaled(y, scale_.y))) {
      Finish(ReadStatus::OutOfMemory);
      return p;
    }
  }
}

ReadStatus ReadRaw(const char* text, const char* end, CurveFamily& family, std::uint32_t first,
                   std::uint32_t curves, Scale scale) {
  RawReader reader(family, first, curves, scale);
  reader.Feed(text, end, true);
  return reader.Status();
}

}  // namespace tsm::files
