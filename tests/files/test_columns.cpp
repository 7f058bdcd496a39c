#include "files/columns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/files/files_fixture.h"

namespace tsm::files {
namespace {

using curves::CurveFamily;
using curves::CurvePoint;
using testing::AddCurve;
using testing::PointsOf;

std::string Pad(const char* number, int width = 12) {
  return std::string(width - std::strlen(number), ' ') + number;
}

CurveFamily ThreeAndOne() {
  CurveFamily f;
  AddCurve(f, "a", {{1, 2}, {3, 4}, {5, 6}});
  AddCurve(f, "b", {{7, 8}});
  return f;
}

TEST(Columns, SortedLayoutLeavesOutCurvesThatHaveNoPoint) {
  const std::string text = FormatRows(ThreeAndOne(), RowLayout{12, '\t', true});
  const std::string expected = Pad("1") + "\t" + Pad("2") + "\t" + Pad("7") + "\t" + Pad("8") +
                               "\r\n" + Pad("3") + "\t" + Pad("4") + "\t\r\n" + Pad("5") + "\t" +
                               Pad("6") + "\t\r\n";
  EXPECT_EQ(text, expected);
}

TEST(Columns, UnsortedLayoutFillsMissingPointsWithBlankFields) {
  const std::string text = FormatRows(ThreeAndOne(), RowLayout{12, '\t', false});
  const std::string blank = std::string(12, ' ') + "\t" + std::string(12, ' ');
  const std::string expected = Pad("1") + "\t" + Pad("2") + "\t" + Pad("7") + "\t" + Pad("8") +
                               "\r\n" + Pad("3") + "\t" + Pad("4") + "\t" + blank + "\r\n" +
                               Pad("5") + "\t" + Pad("6") + "\t" + blank + "\r\n";
  EXPECT_EQ(text, expected);
}

TEST(Columns, DelimiterWidthAndEmptyFamilies) {
  CurveFamily f;
  AddCurve(f, "a", {{0.001f, -2.5f}});
  EXPECT_EQ(FormatRows(f, RowLayout{6, ',', true}), " 0.001,  -2.5\r\n");
  EXPECT_EQ(FormatRows(CurveFamily{}, RowLayout{}), "");
  CurveFamily empties;
  empties.SetCount(2);
  EXPECT_EQ(FormatRows(empties, RowLayout{}), "");
}

TEST(Columns, ReaderFollowsTheCountsAndScales) {
  CurveFamily f;
  f.SetCount(2);
  // Mixed separators, LF and CR LF, a pair split by a comma and a semicolon.
  const std::string text = "1 2\t10;20\n3,4\r\n\r\n5 6\n";
  ASSERT_EQ(ReadColumns(text.data(), text.data() + text.size(), f, 0, {3, 1}, Scale{1e-3, 1}),
            ReadStatus::Ok);
  EXPECT_EQ(PointsOf(f.Curve(0)),
            (std::vector<CurvePoint>{{1e-3f, 2}, {3e-3f, 4}, {5e-3f, 6}}));
  EXPECT_EQ(PointsOf(f.Curve(1)), (std::vector<CurvePoint>{{10e-3f, 20}}));
}

TEST(Columns, AFieldThatIsNoNumberReadsAsNaNAndKeepsTheColumnsInStep) {
  CurveFamily f;
  f.SetCount(2);
  const std::string text = "1 abc 2 3\n4 5 x7 6\n";
  ASSERT_EQ(ReadColumns(text.data(), text.data() + text.size(), f, 0, {2, 2}, Scale{}),
            ReadStatus::Ok);
  EXPECT_EQ(f.Curve(0).Point(0).x, 1);
  EXPECT_TRUE(std::isnan(f.Curve(0).Point(0).y));
  EXPECT_EQ(f.Curve(1).Point(0).x, 2);
  EXPECT_TRUE(std::isnan(f.Curve(1).Point(1).x));
  EXPECT_EQ(f.Curve(1).Point(1).y, 6);
}

TEST(Columns, ReaderStopsAtTheEndKeepingWhatItRead) {
  CurveFamily f;
  f.SetCount(2);
  const std::string text = "1 2 3 4\n5 6 7";
  EXPECT_EQ(ReadColumns(text.data(), text.data() + text.size(), f, 0, {2, 2}, Scale{}),
            ReadStatus::EndOfFile);
  EXPECT_EQ(f.Curve(0).Count(), 2u);
  EXPECT_EQ(f.Curve(1).Count(), 1u);
  // A last number followed only by a line end is missing too.
  CurveFamily g;
  g.SetCount(1);
  const std::string cut = "1 2\n3 \r\n";
  EXPECT_EQ(ReadColumns(cut.data(), cut.data() + cut.size(), g, 0, {2}, Scale{}),
            ReadStatus::EndOfFile);
  EXPECT_EQ(g.Curve(0).Count(), 1u);
}

TEST(Columns, RawReaderCountsTheFirstLineAndReadsPairsUntilTheFirstFailure) {
  const std::string text = "1 2 3 4 5\n6 7 8 9\n10 x\n";
  EXPECT_EQ(CountNumbersInFirstLine(text.data(), text.data() + text.size()), 5u);
  CurveFamily f;
  f.SetCount(2);
  ASSERT_EQ(ReadRaw(text.data(), text.data() + text.size(), f, 0, 2, Scale{}), ReadStatus::Ok);
  // Pairs run on across lines: (1,2) (3,4) | (5,6) (7,8) | (9,10) then "x".
  EXPECT_EQ(PointsOf(f.Curve(0)), (std::vector<CurvePoint>{{1, 2}, {5, 6}, {9, 10}}));
  EXPECT_EQ(PointsOf(f.Curve(1)), (std::vector<CurvePoint>{{3, 4}, {7, 8}}));
  const std::string words = "time volts\n1 2\n";
  EXPECT_EQ(CountNumbersInFirstLine(words.data(), words.data() + words.size()), 0u);
}

}  // namespace
}  // namespace tsm::files
