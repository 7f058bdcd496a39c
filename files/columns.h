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

// Reads the points of the curves first .. first + counts.size() - 1 of the
// family, curve first + i having counts[i] points, row by row: before x the
// reader skips newlines, carriage returns, blanks, tabs, commas and
// semicolons, before y blanks, tabs, commas and semicolons. A field that is
// not a number is passed over and gives NaN. The curves grow as points are
// read, so a claimed count larger than the text holds costs no memory; on
// EndOfFile they keep the points read so far.
ReadStatus ReadColumns(const char* text, const char* end, curves::CurveFamily& family,
                       std::uint32_t first, const std::vector<std::uint32_t>& counts,
                       Scale scale);

// Numbers (separated by white space) at the start of the first line of the
// text, looking at no more than its first 511 characters.
unsigned CountNumbersInFirstLine(const char* text, const char* end);
// The raw reader: pairs of white-space separated numbers, one pair per curve
// and row, for `curves` curves from `first` on; the first number that cannot
// be read ends the reading (the row it is in stays incomplete).
ReadStatus ReadRaw(const char* text, const char* end, curves::CurveFamily& family,
                   std::uint32_t first, std::uint32_t curves, Scale scale);

}  // namespace tsm::files
