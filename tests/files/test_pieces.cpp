// The data file read piece by piece gives what the whole text gives, for
// every piece size down to one byte: numbers, CR LF and runs of separators
// cut between pieces, a last line without a line end, files shorter than a
// piece, fields longer than a piece.
#include "files/pieces.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/files/files_fixture.h"

namespace tsm::files {
namespace {

using curves::CurveFamily;
using curves::CurvePoint;
using testing::PointsOf;

// Same points, NaN equal to NaN.
bool SameCurves(const CurveFamily& a, const CurveFamily& b) {
  if (a.Count() != b.Count()) return false;
  for (std::uint32_t c = 0; c < a.Count(); ++c) {
    const std::vector<CurvePoint> p = PointsOf(a.Curve(c)), q = PointsOf(b.Curve(c));
    if (p.size() != q.size()) return false;
    for (std::size_t i = 0; i < p.size(); ++i) {
      auto same = [](float u, float v) { return u == v || (std::isnan(u) && std::isnan(v)); };
      if (!same(p[i].x, q[i].x) || !same(p[i].y, q[i].y)) return false;
    }
  }
  return true;
}

class PiecesTest : public ::testing::Test {
 protected:
  // The text through a file, in pieces of the given size.
  ReadStatus ReadInPieces(const std::string& text, std::size_t pieceSize, TextReader& reader,
                          bool firstLine = false, unsigned* numbers = nullptr) {
    const std::string path = dir.Write("data.dat", text);
    const int fd = ::open(path.c_str(), O_RDONLY);
    EXPECT_GE(fd, 0);
    TextPieces pieces(fd, pieceSize);
    if (firstLine) {
      EXPECT_TRUE(pieces.Fill());
      *numbers = CountNumbersInFirstLine(pieces.begin(), pieces.end());
    }
    const ReadStatus status = ReadPieces(pieces, reader);
    ::close(fd);
    return status;
  }

  tsm::testing::TempDir dir;
};

TEST_F(PiecesTest, ColumnsReadInPiecesOfAnySizeGiveWhatTheWholeTextGives) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::uint32_t> counts;
  };
  const Case cases[] = {
      {"separators of every kind, CR LF, a last line without a line end",
       "  1.25e-3 2\t10;20\r\n-3,4e+2\r\n\r\n5 6 \n7 -8.5", {4, 1}},
      {"a field that is no number, sorted rows",
       "1 abc\t2 3\r\n4 5\r\n6 7\r\n", {3, 1}},
      {"the text ends before the counts", "1 2 3 4\r\n5 6 7", {2, 2}},
      {"a line of blanks longer than many pieces",
       "1 2" + std::string(300, ' ') + "\r\n3 4\r\n", {2}},
      {"a field longer than a piece", "1 " + std::string(100, '7') + "\n2 3\n", {2}},
      {"inf, nan and a plus sign", "+1 inf\nnan -INFINITY\n", {2}},
  };
  for (const Case& k : cases) {
    CurveFamily whole;
    whole.SetCount(static_cast<std::uint32_t>(k.counts.size()));
    const ReadStatus expected = ReadColumns(k.text.data(), k.text.data() + k.text.size(), whole,
                                            0, k.counts, Scale{1e-3, 1});
    for (std::size_t piece = 1; piece <= k.text.size() + 2; ++piece) {
      CurveFamily f;
      f.SetCount(static_cast<std::uint32_t>(k.counts.size()));
      ColumnReader reader(f, 0, k.counts, Scale{1e-3, 1});
      EXPECT_EQ(ReadInPieces(k.text, piece, reader), expected) << k.what << ", pieces of " << piece;
      EXPECT_TRUE(SameCurves(f, whole)) << k.what << ", pieces of " << piece;
    }
  }
}

TEST_F(PiecesTest, RawNumbersReadInPiecesGiveWhatTheWholeTextGives) {
  const std::string texts[] = {
      "1 2 3 4 5\r\n6 7 8 9\r\n10 x\r\n",
      "0.5 1.5 2.5 3.5\n4.5 5.5 6.5 7.5",  // no line end at the end
      "1 2 3 4\n5 6 7\n",                   // a pair left unfinished
  };
  for (const std::string& text : texts) {
    const unsigned numbers = CountNumbersInFirstLine(text.data(), text.data() + text.size());
    CurveFamily whole;
    whole.SetCount(numbers / 2);
    ReadRaw(text.data(), text.data() + text.size(), whole, 0, numbers / 2, Scale{});
    // The first piece must hold the first line: from 512 bytes on it does
    // in any file; shorter pieces are for the pairs.
    for (std::size_t piece : {1u, 2u, 3u, 5u, 8u, 13u, 512u}) {
      CurveFamily f;
      f.SetCount(numbers / 2);
      RawReader reader(f, 0, numbers / 2, Scale{});
      ReadInPieces(text, piece, reader);
      EXPECT_TRUE(SameCurves(f, whole)) << text << ", pieces of " << piece;
    }
    CurveFamily g;
    unsigned counted = 0;
    RawReader unused(g, 0, 0, Scale{});
    ReadInPieces(text, 512, unused, true, &counted);
    EXPECT_EQ(counted, numbers) << text;
  }
}

TEST_F(PiecesTest, AShortFileIsOnePieceAndAnEmptyOneEndsAtOnce) {
  CurveFamily f;
  f.SetCount(1);
  ColumnReader reader(f, 0, {2}, Scale{});
  EXPECT_EQ(ReadInPieces("1 2\n3 4\n", kPieceSize, reader), ReadStatus::Ok);
  EXPECT_EQ(PointsOf(f.Curve(0)), (std::vector<CurvePoint>{{1, 2}, {3, 4}}));
  CurveFamily g;
  g.SetCount(1);
  ColumnReader empty(g, 0, {1}, Scale{});
  EXPECT_EQ(ReadInPieces("", 16, empty), ReadStatus::EndOfFile);
  EXPECT_EQ(g.Curve(0).Count(), 0u);
}

}  // namespace
}  // namespace tsm::files
