#include "plot/draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "plot/colors.h"
#include "plot/range.h"
#include "plot_fixture.h"

namespace tsm::plot {
namespace {

using Kind = CanvasCommand::Kind;
using testing::AddCurve;
using testing::PlotTest;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr Color kNavy = 0x800000;
constexpr Color kSilver = 0xC0C0C0;

// The canvas of the fixture: 1000 x 700 at 96 dpi (265 x 185 mm), text 8 x
// 16. Big ticks 30 * 700 / 1850 = 11 px, small 15 * 700 / 1850 = 5 px.
// Frame: left 6 * 8 = 48, bottom 700 - 16 - 22 = 662, width 1000 - 64 = 936,
// height 700 - 22 - 16 - 8 = 654.
constexpr int kLeft = 48, kBottom = 662, kWidth = 936, kHeight = 654;

class DrawTest : public PlotTest {
 protected:
  curves::CurveFamily& F() { return curves::CurrentFamily(); }
  std::vector<RecordedLine> CurveLines(const RecordingCanvas& c, Color color) {
    std::vector<RecordedLine> out;
    for (const RecordedLine& l : c.LinesOfColor(color))
      if (l.pen.width >= 1) out.push_back(l);  // curve pens are at least 1 pixel
    return out;
  }
};

TEST_F(DrawTest, EmptyFamilyOrEmptyAreaDrawsNothing) {
  RecordingCanvas canvas = MakeCanvas();
  EXPECT_EQ(DrawCurrent(canvas), kNothingDrawn);
  ASSERT_EQ(canvas.Commands().size(), 1u) << "only the white background";
  EXPECT_EQ(canvas.Commands()[0].kind, Kind::FillRect);
  EXPECT_EQ(canvas.Commands()[0].color, kWhite);

  AddCurve(F(), "a", {{0, 0}, {1, 1}});
  canvas.Clear();
  EXPECT_EQ(Draw(canvas, CanvasRect{0, 0, 0, 100}, F(), GetPlotView()), kNothingDrawn);
  EXPECT_TRUE(canvas.Commands().empty());
}

TEST_F(DrawTest, AutoScaleWithoutFinitePointsDrawsNothing) {
  AddCurve(F(), "a", {});
  AddCurve(F(), "b", {{kNaN, 1}, {kInf, 2}});
  RecordingCanvas canvas = MakeCanvas();
  EXPECT_EQ(DrawCurrent(canvas), kNothingDrawn);
}

TEST_F(DrawTest, FrameTicksAndViewFollowTheLayout) {
  AddCurve(F(), "a", {{0, 0}, {1, 1}});
  RecordingCanvas canvas = MakeCanvas();
  EXPECT_EQ(DrawCurrent(canvas), 1);

  const PlotView& v = GetPlotView();
  EXPECT_EQ(v.originX, kLeft);
  EXPECT_EQ(v.originY, kBottom);
  EXPECT_EQ(v.frameWidth, kWidth);
  EXPECT_EQ(v.frameHeight, kHeight);
  EXPECT_NEAR(v.xMin, 0, 1e-7);
  EXPECT_NEAR(v.xMax, 1, 1e-7);
  EXPECT_NEAR(v.xPerPixel, 1.0 / kWidth, 1e-9);
  EXPECT_TRUE(v.autoScale) << "drawing does not change the scaling mode";

  const std::vector<RecordedLine> navy = canvas.LinesOfColor(kNavy);
  ASSERT_GE(navy.size(), 4u);
  const int right = kLeft + kWidth, top = kBottom - kHeight;
  EXPECT_EQ(navy[0].from, (CanvasPoint{kLeft, kBottom}));
  EXPECT_EQ(navy[0].to, (CanvasPoint{right, kBottom}));
  EXPECT_EQ(navy[1].to, (CanvasPoint{right, top}));
  EXPECT_EQ(navy[2].to, (CanvasPoint{kLeft, top}));
  EXPECT_EQ(navy[3].to, (CanvasPoint{kLeft, kBottom}));
  // 99 ticks per axis on two edges each, 9 of them big; the first x tick is
  // small and points up from the bottom edge.
  EXPECT_EQ(navy.size(), 4u + 2 * 99 + 2 * 99);
  EXPECT_EQ(navy[4].from, (CanvasPoint{kLeft + kWidth / 100, kBottom}));
  EXPECT_EQ(navy[4].to, (CanvasPoint{kLeft + kWidth / 100, kBottom - 5}));
  EXPECT_EQ(navy[4 + 2 * 9].to, (CanvasPoint{kLeft + kWidth / 10, kBottom - 11}));

  // Nine dotted grid lines each way, kept clear of the big ticks.
  const std::vector<RecordedLine> grid = canvas.LinesOfColor(kSilver);
  ASSERT_EQ(grid.size(), 18u);
  EXPECT_EQ(grid[0].pen.style, kPenDot);
  EXPECT_EQ(grid[0].from, (CanvasPoint{kLeft + kWidth / 10, kBottom - 11}));
  EXPECT_EQ(grid[0].to, (CanvasPoint{kLeft + kWidth / 10, top + 11}));

  // The curves are clipped to the frame, its lines included.
  const auto clips = canvas.CommandsOf(Kind::SetClip);
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_EQ(clips[0].rect, (CanvasRect{kLeft, top, right + 1, kBottom + 1}));
}

TEST_F(DrawTest, LabelsCarryValuesAndUnitCaptions) {
  AddCurve(F(), "a", {{0, 0}, {1, 0.005f}});
  F().SetUnits("A", "V");
  RecordingCanvas canvas = MakeCanvas();
  DrawCurrent(canvas);
  const std::vector<std::string> texts = canvas.Texts();
  // x: nine values and the caption; y: eleven values from k = 0 and the
  // caption, scaled to millivolts.
  ASSERT_EQ(texts.size(), 10u + 11u);
  EXPECT_EQ(texts[0], "0.1");
  EXPECT_EQ(texts[8], "0.9");
  EXPECT_EQ(texts[9], "( A)");
  EXPECT_EQ(texts[10], "0");
  EXPECT_EQ(texts[11], "0.5");
  EXPECT_EQ(texts[19], "4.5");
  EXPECT_EQ(texts[20], "(mV)");

  const auto x1 = canvas.FindText("0.1");
  ASSERT_TRUE(x1);
  const int gx = kLeft + kWidth / 10, half = kWidth / 10 / 2;
  EXPECT_EQ(x1->rect, (CanvasRect{gx - half, kBottom + 11, gx + half, kBottom + 11 + 16}));
  EXPECT_EQ(x1->format, kTextCenter);
  const auto y0 = canvas.FindText("0");
  ASSERT_TRUE(y0);
  EXPECT_EQ(y0->rect, (CanvasRect{0, kBottom - 8, kLeft - 11, kBottom + 8}));
  EXPECT_EQ(y0->format, kTextRight);
  EXPECT_EQ(y0->font.height, -12) << "9 points at 96 dpi";
}

TEST_F(DrawTest, ALabelThatRoundsToAlmostZeroPrintsZero) {
  EXPECT_EQ(TickLabel(1e-17, 0.1, 1, true), "0");
  EXPECT_EQ(TickLabel(-1e-17, 0.1, 1, false), "0");
  EXPECT_EQ(TickLabel(0.06, 0.1, 1, true), "0.06") << "above half a division it stays";
  EXPECT_EQ(TickLabel(2.5e-3, 1e-3, 1e-3, true), "2.5");
  // Through a drawing: -0.3 .. 0.7 in floats puts about -1e-8 at the third line.
  AddCurve(F(), "a", {{-0.3f, 0}, {0.7f, 1}});
  RecordingCanvas canvas = MakeCanvas();
  DrawCurrent(canvas);
  EXPECT_EQ(canvas.Texts()[2], "0");
}

TEST_F(DrawTest, TwoGridDivisionsGiveOneGridLineAndTwoLabels) {
  GetPlotState().axes.gridX = 2;
  AddCurve(F(), "a", {{0, 0}, {1, 1}});
  RecordingCanvas canvas = MakeCanvas();
  DrawCurrent(canvas);
  int vertical = 0;
  for (const RecordedLine& l : canvas.LinesOfColor(kSilver)) vertical += l.from.x == l.to.x;
  EXPECT_EQ(vertical, 1);
  const std::vector<std::string> texts = canvas.Texts();
  ASSERT_EQ(texts.size(), 2u + 11u);
  EXPECT_EQ(texts[0], "0.5");
  EXPECT_EQ(texts[1], "( )");
}

TEST_F(DrawTest, ZeroWidthDataStillGetsAGrid) {
  AddCurve(F(), "a", {{5, 1}, {5, 2}});
  RecordingCanvas canvas = MakeCanvas();
  EXPECT_GE(DrawCurrent(canvas), 0);
  EXPECT_EQ(GetPlotView().xMin, 5.0f);
  EXPECT_EQ(GetPlotView().xMax, 5.0f);
  EXPECT_EQ(GetPlotView().xPerPixel, 1e-32);
  EXPECT_EQ(canvas.LinesOfColor(kSilver).size(), 18u);
  EXPECT_EQ(canvas.Texts()[0], "5");
}

TEST_F(DrawTest, PointsAllOutsideDrawNothing) {
  PlotView& v = GetPlotView();
  v.autoScale = false;
  AddCurve(F(), "a", {{2, 0.5f}, {3, 0.5f}, {-1, 2}});
  GetPlotState().styles[0].symbol = 2;
  RecordingCanvas canvas = MakeCanvas();
  DrawCurrent(canvas);
  EXPECT_TRUE(CurveLines(canvas, GetPlotState().styles[0].color).empty());
  EXPECT_TRUE(canvas.CommandsOf(Kind::Polygon).empty());
}

TEST_F(DrawTest, ASegmentFromOutsideIsDrawnUpToTheFrame) {
  GetPlotView().autoScale = false;  // 0 .. 1 on both axes
  AddCurve(F(), "a", {{-1, 0.5f}, {0.5f, 0.5f}, {0.5f, 3}, {0.75f, 4}});
  GetPlotState().styles[0].color = 0x0000FF;
  RecordingCanvas canvas = MakeCanvas();
  DrawCurrent(canvas);
  const int px = DataToPixelX(GetPlotView(), 0.5), py = DataToPixelY(GetPlotView(), 0.5);
  const std::vector<RecordedLine> lines = CurveLines(canvas, 0x0000FF);
  ASSERT_EQ(lines.size(), 2u);
  // In: from the frame's neighbourhood (the clip cuts the rest) to the point.
  EXPECT_EQ(lines[0].to, (CanvasPoint{px, py}));
  EXPECT_EQ(lines[0].from.y, py);
  EXPECT_LE(lines[0].from.x, kLeft);
  EXPECT_GE(lines[0].from.x, kLeft - 10);
  // Out: straight up, ending just beyond the top edge; nothing between the
  // two points outside.
  EXPECT_EQ(lines[1].from, (CanvasPoint{px, py}));
  EXPECT_EQ(lines[1].to.x, px);
  EXPECT_LE(lines[1].to.y, kBottom - kHeight);
  EXPECT_GE(lines[1].to.y, kBottom - kHeight - 10);
  // One circle, at the inside point only.
  const auto circles = canvas.CommandsOf(Kind::Ellipse);
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_EQ(circles[0].rect.left + circles[0].rect.right, 2 * px + 1);
}

TEST_F(DrawTest, NaNAndInfinitePointsAreSkipped) {
  AddCurve(F(), "a", {{0, 0}, {0.2f, 0.3f}, {kNaN, 5}, {0.6f, 0.4f}, {kInf, 1}, {1, 1}});
  RecordingCanvas canvas = MakeCanvas();
  ASSERT_EQ(DrawCurrent(canvas), 1);
  EXPECT_NEAR(GetPlotView().xMax, 1, 1e-6) << "the range ignores them";
  const PlotView& v = GetPlotView();
  const std::vector<RecordedLine> lines = CurveLines(canvas, GetPlotState().styles[0].color);
  // The ends lie on the range's edges, so they are outside: a line comes in
  // from the first and goes out to the last; the middle one joins the two
  // inside points across the skipped ones.
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].from, (CanvasPoint{DataToPixelX(v, 0.2f), DataToPixelY(v, 0.3f)}));
  EXPECT_EQ(lines[1].to, (CanvasPoint{DataToPixelX(v, 0.6f), DataToPixelY(v, 0.4f)}));
}

TEST_F(DrawTest, StylesRepeatEveryFourteenCurves) {
  for (int c = 0; c < 15; ++c)
    AddCurve(F(), "c", {{0, static_cast<float>(c)}, {0.5f, c + 0.5f}, {1, static_cast<float>(c)}});
  AddCurve(F(), "frame", {{-1, -1}, {2, 16}});
  GetPlotState().styles[0].color = 0x123456;
  RecordingCanvas canvas = MakeCanvas();
  DrawCurrent(canvas);
  // The curve pens in drawing order: curve 14 takes style 0's colour.
  std::vector<Color> pens;
  for (const CanvasCommand& c : canvas.CommandsOf(Kind::SetPen))
    if (c.pen.width >= 1) pens.push_back(c.pen.color);
  ASSERT_GE(pens.size(), 15u);
  EXPECT_EQ(pens[0], 0x123456u);
  EXPECT_EQ(pens[1], RGB_Spectrum7(1, 14));
  EXPECT_EQ(pens[14], 0x123456u);
  EXPECT_EQ(&StyleOfCurve(14), &StyleOfCurve(0));
}

TEST_F(DrawTest, AZeroWidthPenStillDrawsOnePixelWideCurves) {
  GetPlotState().styles[0].lineWidth = 0;
  AddCurve(F(), "a", {{0, 0}, {0.5f, 0.5f}, {0.7f, 0.2f}, {1, 1}});
  RecordingCanvas canvas = MakeCanvas();
  DrawCurrent(canvas);
  const std::vector<RecordedLine> lines = CurveLines(canvas, GetPlotState().styles[0].color);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].pen.width, 1);
}

TEST_F(DrawTest, DensePointsOfOneColumnShrinkToTheirExtremes) {
  // 200 points in one pixel column, going up and down, then one further right.
  curves::Curve& c = AddCurve(F(), "a", {{0, 0}, {1, 1}});
  c.Empty();
  c.Append(0, 0);
  for (int i = 0; i < 200; ++i) c.Append(0.5f, 0.3f + 0.002f * (i % 50));
  c.Append(0.7f, 0.5f);
  c.Append(1, 1);
  GetPlotState().styles[0].symbol = 0;
  RecordingCanvas canvas = MakeCanvas();
  DrawCurrent(canvas);
  const PlotView& v = GetPlotView();
  const std::vector<RecordedLine> lines = CurveLines(canvas, GetPlotState().styles[0].color);
  const int col = DataToPixelX(v, 0.5f);
  // In from (0, 0) on the edge; then the column: its first point is its
  // lowest, its highest is also its last; on to the next column; out to
  // (1, 1) on the edge.
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1].from, (CanvasPoint{col, DataToPixelY(v, 0.3f)}));
  EXPECT_EQ(lines[1].to, (CanvasPoint{col, DataToPixelY(v, 0.3f + 0.002f * 49)}));
  EXPECT_EQ(lines[2].to, (CanvasPoint{DataToPixelX(v, 0.7f), DataToPixelY(v, 0.5f)}));

  // Drawing every point gives the same ends, point by point.
  canvas.Clear();
  DrawOptions every;
  every.everyPoint = true;
  Draw(canvas, CanvasRect{0, 0, 1000, 700}, F(), GetPlotView(), every);
  EXPECT_EQ(CurveLines(canvas, GetPlotState().styles[0].color).size(), 202u);
}

// The pixels of the frame (its edges included) that the curve of this
// colour covers: its lines, each with both its ends as a thin pen draws
// them, and its filled rectangles.
std::vector<bool> CoveredPixels(const RecordingCanvas& canvas, Color color) {
  std::vector<bool> covered(static_cast<std::size_t>(kWidth + 1) * (kHeight + 1));
  auto mark = [&](int x, int y) {
    const int fx = x - kLeft, fy = y - (kBottom - kHeight);
    if (fx >= 0 && fx <= kWidth && fy >= 0 && fy <= kHeight)
      covered[static_cast<std::size_t>(fy) * (kWidth + 1) + fx] = true;
  };
  for (const RecordedLine& l : canvas.LinesOfColor(color)) {
    if (l.pen.width < 1) continue;
    int x = l.from.x, y = l.from.y;
    const int dx = std::abs(l.to.x - x), dy = -std::abs(l.to.y - y);
    const int sx = x < l.to.x ? 1 : -1, sy = y < l.to.y ? 1 : -1;
    for (int err = dx + dy;;) {
      mark(x, y);
      if (x == l.to.x && y == l.to.y) break;
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y += sy;
      }
    }
  }
  for (const CanvasCommand& c : canvas.CommandsOf(Kind::FillRect)) {
    if (c.color != color) continue;
    for (int y = c.rect.top; y < c.rect.bottom; ++y)
      for (int x = c.rect.left; x < c.rect.right; ++x) mark(x, y);
  }
  return covered;
}

TEST_F(DrawTest, ZoomedDenseCurvesCoverThePixelsEveryPointCovers) {
  // The view is 0 .. 1 on both axes; the curves run far out of it above and
  // below, in and out of the frame many times a pixel column.
  GetPlotView().autoScale = false;
  GetPlotState().styles[0].symbol = 0;
  std::uint32_t seed = 99;
  auto noise = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
  };
  struct Case {
    const char* what;
    int points;
    float spread;  // noise amplitude in frame heights
    float x0, x1;
  };
  const Case cases[] = {
      // Hundreds of points a column, every column covered from edge to edge.
      {"dense band", 60000, 1.5f, 0.0f, 1.0f},
      // Three points a column: columns partly covered, from the top, from
      // the bottom or both, first and last point in different groups.
      {"sparse band", 3000, 0.8f, 0.0f, 1.0f},
      // Leaving through the left and right edges as well, with points just
      // beyond the range's edges (within the clipping box).
      {"wide band", 20000, 0.52f, -0.2f, 1.2f},
  };
  const Color color = GetPlotState().styles[0].color;
  auto compare = [&](const std::string& what) {
    RecordingCanvas fast = MakeCanvas(), every = MakeCanvas();
    DrawCurrent(fast);
    DrawOptions all;
    all.everyPoint = true;
    Draw(every, CanvasRect{0, 0, 1000, 700}, F(), GetPlotView(), all);
    const std::vector<RecordedLine> fastLines = CurveLines(fast, color);
    const std::vector<RecordedLine> everyLines = CurveLines(every, color);
    EXPECT_TRUE(CoveredPixels(fast, color) == CoveredPixels(every, color)) << what;
    // Few polylines: a break only where a column's first and last vertex
    // lie in different groups.
    EXPECT_LT(fast.CommandsOf(Kind::MoveTo).size(), 2u * kWidth) << what;
    return std::pair{fastLines.size(), everyLines.size()};
  };
  for (const Case& k : cases) {
    curves::ResetCurvesState();
    curves::Curve& c = AddCurve(F(), "a", {});
    for (int i = 0; i < k.points; ++i) {
      const float x = k.x0 + (k.x1 - k.x0) * static_cast<float>(i) / k.points;
      c.Append(x, 0.5f + 0.3f * std::sin(9 * x) + k.spread * noise());
      if (i % 997 == 0) c.Append(kNaN, 0.5f);
    }
    const auto [fastCount, everyCount] = compare(k.what);
    if (k.points == 60000) {
      EXPECT_LT(fastCount * 10, everyCount) << fastCount << " lines of " << everyCount;
    }
  }
  // And one column by hand, in and out through both edges: its first and
  // last point hang from the top with a piece from the bottom between them
  // (drawn apart, from the bottom edge); first from the top and last from
  // the bottom (a break); pieces that meet (the whole column).
  const std::vector<float> columns[] = {
      {0.8f, 2, -1, 0.1f, 0.3f, -1, 2, 0.7f},
      {0.8f, 2, -1, 0.1f},
      {0.8f, 2, 0.3f, -1, 0.4f, 0.6f, 2},
  };
  for (const std::vector<float>& ys : columns) {
    curves::ResetCurvesState();
    curves::Curve& c = AddCurve(F(), "a", {{0.3f, 0.5f}});
    for (float y : ys) c.Append(0.5f, y);
    c.Append(0.7f, 0.5f);
    compare("column of " + std::to_string(ys.size()));
  }
}

// The centres of the symbols (ellipses) drawn in this pen colour, each once.
std::vector<CanvasPoint> SymbolCentres(const RecordingCanvas& canvas, Color color) {
  std::vector<CanvasPoint> centres;
  for (const CanvasCommand& c : canvas.CommandsOf(Kind::Ellipse))
    if (c.pen.color == color)
      centres.push_back({(c.rect.left + c.rect.right) / 2, (c.rect.top + c.rect.bottom) / 2});
  std::sort(centres.begin(), centres.end(), [](CanvasPoint a, CanvasPoint b) {
    return a.x != b.x ? a.x < b.x : a.y < b.y;
  });
  centres.erase(std::unique(centres.begin(), centres.end()), centres.end());
  return centres;
}

TEST_F(DrawTest, ColumnsSpreadOverManyRowsKeepEverySymbolAndTheirExtremes) {
  // Noise hundreds of rows high inside the frame (a zoom on a noisy
  // record): the points of one column jump far up and down from one to the
  // next, yet every row a point lands on gets its symbol and the column's
  // line reaches its lowest and highest point.
  GetPlotView().autoScale = false;  // 0 .. 1 on both axes
  const Color color = GetPlotState().styles[0].color;
  std::uint32_t seed = 7;
  auto noise = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
  };
  auto compare = [&](const char* what, std::size_t fewest) {
    RecordingCanvas fast = MakeCanvas(), every = MakeCanvas();
    DrawCurrent(fast);
    DrawOptions all;
    all.everyPoint = true;
    Draw(every, CanvasRect{0, 0, 1000, 700}, F(), GetPlotView(), all);
    const std::vector<CanvasPoint> symbols = SymbolCentres(every, color);
    EXPECT_GE(symbols.size(), fewest) << what;
    EXPECT_TRUE(SymbolCentres(fast, color) == symbols) << what;
    EXPECT_EQ(fast.CommandsOf(Kind::Ellipse).size(), symbols.size()) << what << ": once each";
    EXPECT_TRUE(CoveredPixels(fast, color) == CoveredPixels(every, color)) << what;
  };
  struct Case {
    const char* what;
    int points;
    float spread;  // noise amplitude in frame heights
  };
  for (const Case& k : {Case{"a dense band", 30000, 0.45f}, Case{"a sparse band", 3000, 0.3f},
                        Case{"a band leaving the frame", 20000, 0.7f}}) {
    curves::ResetCurvesState();
    curves::Curve& c = AddCurve(F(), "a", {});
    for (int i = 0; i < k.points; ++i) {
      const float x = 0.02f + 0.96f * static_cast<float>(i) / k.points;
      c.Append(x, 0.5f + 0.1f * std::sin(7 * x) + k.spread * noise());
    }
    compare(k.what, 1000);
  }
  // One column by hand: near rows then far ones both ways, the extremes
  // neither first nor last.
  curves::ResetCurvesState();
  AddCurve(F(), "a", {{0.3f, 0.5f},  {0.5f, 0.5f},  {0.5f, 0.52f}, {0.5f, 0.9f},
                      {0.5f, 0.51f}, {0.5f, 0.05f}, {0.5f, 0.6f},  {0.7f, 0.4f}});
  compare("one column", 8);
}

TEST_F(DrawTest, SymbolsAreDrawnOncePerPosition) {
  curves::Curve& c = AddCurve(F(), "a", {{0, 0}, {1, 1}});
  for (int i = 0; i < 100; ++i) c.Append(0.5f, 0.5f);
  for (int i = 0; i < 100; ++i) c.Append(0.25f, 0.5f);
  c.Append(0.5f, 0.5f);
  RecordingCanvas canvas = MakeCanvas();
  DrawCurrent(canvas);
  EXPECT_EQ(canvas.CommandsOf(Kind::Ellipse).size(), 2u);
}

TEST_F(DrawTest, TheViewRangeIsUsedUnlessAutoScaleOrAnotherDevice) {
  AddCurve(F(), "a", {{0, 0}, {10, 10}});
  PlotView& v = GetPlotView();
  v.autoScale = false;
  v.xMin = 2;
  v.xMax = 4;
  RecordingCanvas canvas = MakeCanvas();
  DrawCurrent(canvas);
  EXPECT_NEAR(v.xMin, 2, 1e-6);
  EXPECT_NEAR(v.xMax, 4, 1e-6);
  // A printer page always takes the data's range and is not filled white.
  PlotView page = v;
  canvas.Clear();
  DrawOptions print;
  print.target = DrawTarget::OtherDevice;
  Draw(canvas, CanvasRect{0, 0, 1000, 700}, F(), page, print);
  EXPECT_NEAR(page.xMax, 10, 1e-6);
  EXPECT_TRUE(canvas.CommandsOf(Kind::FillRect).empty());
  // A view that holds no usable range (a bad data file) falls back to the data.
  v.xMin = kNaN;
  canvas.Clear();
  DrawCurrent(canvas);
  EXPECT_NEAR(v.xMin, 0, 1e-6);
  EXPECT_NEAR(v.xMax, 10, 1e-6);
}

TEST_F(DrawTest, ATinyWindowKeepsTheView) {
  AddCurve(F(), "a", {{0, 0}, {1, 1}});
  const PlotView before = GetPlotView();
  RecordingCanvas canvas = MakeCanvas();
  EXPECT_EQ(Draw(canvas, CanvasRect{0, 0, 40, 30}, F(), GetPlotView()), 0);
  EXPECT_EQ(GetPlotView().originX, before.originX);
  EXPECT_EQ(GetPlotView().frameWidth, before.frameWidth);
}

TEST_F(DrawTest, AMonochromeDeviceDrawsInBlack) {
  AddCurve(F(), "a", {{0, 0}, {0.5f, 0.7f}, {1, 1}});
  GetPlotState().styles[0].color = 0x00FF00;
  RecordingCanvas canvas = MakeCanvas();
  canvas.SetDevice(1000, 700, 96, 96, 265, 185, 1);
  DrawCurrent(canvas);
  for (const CanvasCommand& c : canvas.CommandsOf(Kind::SetPen)) EXPECT_EQ(c.pen.color, kBlack);
  for (const CanvasCommand& c : canvas.CommandsOf(Kind::DrawText)) EXPECT_EQ(c.font.color, kBlack);
  // Unless colour is enforced.
  canvas.Clear();
  DrawOptions colour;
  colour.enforceColor = true;
  Draw(canvas, CanvasRect{0, 0, 1000, 700}, F(), GetPlotView(), colour);
  EXPECT_FALSE(canvas.LinesOfColor(0x00FF00).empty());
}

TEST_F(DrawTest, CardReportAndRubberBand) {
  RecordingCanvas canvas = MakeCanvas();
  DrawCardReport(canvas, CanvasRect{0, 0, 1000, 700}, "DAC cards: 0\r\nADC cards: 1");
  const auto texts = canvas.CommandsOf(Kind::DrawText);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "DAC cards: 0");
  EXPECT_EQ(texts[1].text, "ADC cards: 1");
  EXPECT_EQ(texts[0].font.color, kCardReportColor);
  EXPECT_GT(texts[1].rect.top, texts[0].rect.top);

  // 8 pixels a character: 24 characters beside the margin of one. A long
  // line breaks after commas or at blanks and goes on indented; a word
  // longer than the line stays whole.
  canvas.Clear();
  DrawCardReport(canvas, CanvasRect{0, 0, 200, 700},
                 "  ADC: 8 channels, Reading=[0, 32768, 65535]\nshort\n" + std::string(30, 'x'));
  std::vector<std::string> lines;
  for (const auto& t : canvas.CommandsOf(Kind::DrawText)) lines.push_back(t.text);
  EXPECT_EQ(lines, (std::vector<std::string>{"  ADC: 8 channels,", "      Reading=[0, 32768,",
                                             "      65535]", "short", std::string(30, 'x')}));

  canvas.Clear();
  DrawRubberBand(canvas, CanvasRect{30, 40, 10, 20});
  const std::vector<RecordedLine> band = canvas.Lines();
  ASSERT_EQ(band.size(), 8u);
  for (const RecordedLine& l : band) {
    EXPECT_TRUE(l.xorMode);
    EXPECT_EQ(l.pen.style, kPenDot);
  }
  EXPECT_EQ(band[0].pen.color, kWhite);
  EXPECT_EQ(band[4].pen.color, 0x800000u);
  EXPECT_EQ(band[0].from, (CanvasPoint{10, 20}));
  EXPECT_EQ(band[1].to, (CanvasPoint{30, 40}));
}

}  // namespace
}  // namespace tsm::plot
