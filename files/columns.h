// The column text of a data file: one row per point index, a field pair (x,
// y) per curve, and the two readers of it (the column reader steered by the
// point counts of the companion file, and the raw reader for a data file
// without one). Pure text work over a curve family; files are fileio's job.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "curves/curvefam.h"

namespace tsm::files {

struct RowLayout {
  int width = 12;         // field width W; numbers have W - 4 significant digits
  char delimiter = '\t';  // between the two fields of a pair and after a pair
  // Curves are ordered by point count: a curve without point r contributes
  // nothing to row r (only the delimiter after it). Otherwise it contributes
  // W blanks, the delimiter and W blanks.
  bool sorted = true;
};

// Receives the text in pieces; false stops the writing (a write error).
using TextSink = std::function<bool(const char* text, std::size_t length)>;

// Writes every row of the family (nothing when it has no curves); rows end
// with "\r\n". False when the sink refused a piece.
bool WriteRows(const curves::CurveFamily& family, const RowLayout& layout, const TextSink& sink);
// The whole text, for tests and small families.
std::string FormatRows(const curves::CurveFamily& family, const RowLayout& layout);

enum class ReadStatus {
  Ok,
  EndOfFile,    // the text ended before every claimed point was read
  OutOfMemory,  // a curve could not grow
};

// Scales applied to every value read (unit prefixes of the companion file).
struct Scale {
  double x = 1.0;
  double y = 1.0;
};

// A reader of the column text fed piece by piece, so a data file of any
// size is read through a buffer of bounded size (files/pieces.h). Feed
// reads the fields that lie wholly in the piece and returns where it
// stopped; the caller keeps the text from there on and feeds it again with
// what follows. A piece ends just after a separator (CompleteUpTo tells
// where), unless it is the last: then no number is cut in two, and a pair
// begun but not finished in one piece is read again from its start with the
// next.
class TextReader {
 public:
  virtual ~TextReader() = default;
  // `last`: the text ends at end (the end of the file).
  virtual const char* Feed(const char* text, const char* end, bool last) = 0;
  // The end of the part of [text, end) a piece may hold: just after its
  // last separator; nullptr when it holds none.
  virtual const char* CompleteUpTo(const char* text, const char* end) const = 0;
  // Every point asked for was read, or the reading stopped.
  bool Finished() const { return finished_; }
  ReadStatus Status() const { return status_; }

 protected:
  void Finish(ReadStatus status) {
    finished_ = true;
    status_ = status;
  }

 private:
  bool finished_ = false;
  ReadStatus status_ = ReadStatus::Ok;
};

// Reads the points of the curves first .. first + counts.size() - 1 of the
// family, curve first + i having counts[i] points, row by row: before x the
// reader skips newlines, carriage returns, blanks, tabs, commas and
// semicolons, before y blanks, tabs, commas and semicolons. A field that is
// not a number is passed over and gives NaN. The curves grow as points are
// read, so a claimed count larger than the text holds costs no memory; on
// EndOfFile they keep the points read so far.
class ColumnReader : public TextReader {
 public:
  ColumnReader(curves::CurveFamily& family, std::uint32_t first,
               std::vector<std::uint32_t> counts, Scale scale);
  const char* Feed(const char* text, const char* end, bool last) override;
  const char* CompleteUpTo(const char* text, const char* end) const override;

 private:
  curves::CurveFamily& family_;
  const std::uint32_t first_;
  const std::vector<std::uint32_t> counts_;
  const Scale scale_;
  std::uint32_t rows_ = 0;
  std::uint32_t row_ = 0, curve_ = 0;  // the next pair to read
};

// The raw reader: pairs of white-space separated numbers, one pair per
// curve and row, for `curves` curves from `first` on; the first number that
// cannot be read ends the reading (the row it is in stays incomplete).
class RawReader : public TextReader {
 public:
  RawReader(curves::CurveFamily& family, std::uint32_t first, std::uint32_t curves, Scale scale);
  const char* Feed(const char* text, const char* end, bool last) override;
  const char* CompleteUpTo(const char* text, const char* end) const override;

 private:
  curves::CurveFamily& family_;
  const std::uint32_t first_, curves_;
  const Scale scale_;
  std::uint32_t curve_ = 0;  // of the next pair
};

// Both readers over one whole text.
ReadStatus ReadColumns(const char* text, const char* end, curves::CurveFamily& family,
                       std::uint32_t first, const std::vector<std::uint32_t>& counts,
                       Scale scale);
ReadStatus ReadRaw(const char* text, const char* end, curves::CurveFamily& family,
                   std::uint32_t first, std::uint32_t curves, Scale scale);

// Numbers (separated by white space) at the start of the first line of the
// text, looking at no more than its first 511 characters.
inline constexpr std::size_t kFirstLineLimit = 511;
unsigned CountNumbersInFirstLine(const char* text, const char* end);

}  // namespace tsm::files
