#include <gtest/gtest.h>

#include "platform/profile.h"
#include "plot/colors.h"
#include "plot/curve_styles.h"
#include "plot/gfont.h"
#include "plot/gpen.h"
#include "plot/symbols.h"
#include "plot_fixture.h"

namespace tsm::plot {
namespace {

using Kind = CanvasCommand::Kind;
using testing::PlotTest;

class StylesTest : public PlotTest {
 protected:
  tsm::testing::TempDir dir;
  std::string Ini(const std::string& content) { return dir.Write("tsm.ini", content); }
};

TEST_F(StylesTest, SpectrumRunsFromBlackThroughTheRainbow) {
  EXPECT_EQ(RGB_Spectrum7(0, 14), kBlack);
  EXPECT_EQ(RGB_Spectrum7(1, 14), MakeRgb(128, 0, 0));      // t = 128: zone 0
  EXPECT_EQ(RGB_Spectrum7(2, 14), MakeRgb(255, 0, 0));      // t = 256: zone 1 starts red
  EXPECT_EQ(RGB_Spectrum7(4, 14), MakeRgb(255, 255, 0));    // t = 512: yellow
  EXPECT_EQ(RGB_Spectrum7(6, 14), MakeRgb(0, 255, 0));      // green
  EXPECT_EQ(RGB_Spectrum7(8, 14), MakeRgb(0, 255, 255));    // cyan
  EXPECT_EQ(RGB_Spectrum7(10, 14), MakeRgb(0, 0, 255));     // blue
  EXPECT_EQ(RGB_Spectrum7(12, 14), MakeRgb(255, 0, 255));   // magenta
  EXPECT_EQ(RGB_Spectrum7(13, 14), MakeRgb(127, 0, 127));   // on towards black
  // The largest ramp does not overflow: its last colour is back at black.
  EXPECT_EQ(RGB_Spectrum7(0x1FFFFE, 0x1FFFFF), kBlack);
  EXPECT_EQ(RGB_Spectrum7(0x1FFFFF / 2, 0x1FFFFF), MakeRgb(0, 255, 127));  // t = 895
  EXPECT_FALSE(platform::HasAssertion("!\"RGB_Spectrum7() -- wrong color cube zone!\""));
  for (auto [i, n] : {std::pair{14, 14}, {-1, 14}, {0, 0}, {0, 0x200000}}) {
    platform::ClearAssertions();
    EXPECT_EQ(RGB_Spectrum7(i, n), kBlack);
    EXPECT_TRUE(platform::HasAssertion("!\"RGB_Spectrum7() -- wrong color cube zone!\"",
                                       "colorspectra"));
  }
}

TEST_F(StylesTest, CurveColorValues) {
  CurveStyle s;
  EXPECT_EQ(ApplyCurveColorValue(s, "255,0,0"), 3);
  EXPECT_EQ(s.color, MakeRgb(255, 0, 0));
  EXPECT_EQ(s.lineStyle, 0u);
  EXPECT_EQ(s.symbol, 1u);
  EXPECT_EQ(ApplyCurveColorValue(s, "255,0,0,7,9"), 5);
  EXPECT_EQ(s.lineStyle, 1u);
  EXPECT_EQ(s.symbol, 2u);
  // Bytes modulo 256; blanks before a number are allowed, before a comma not.
  EXPECT_EQ(ApplyCurveColorValue(s, " 257, 2,-1 ,4"), 3);
  EXPECT_EQ(s.color, MakeRgb(1, 2, 255));
  EXPECT_EQ(s.lineStyle, 1u) << "the fourth number was not read";
  // Fewer than three numbers change nothing.
  const CurveStyle before = s;
  EXPECT_EQ(ApplyCurveColorValue(s, "9,9"), 2);
  EXPECT_EQ(ApplyCurveColorValue(s, "red"), 0);
  EXPECT_EQ(ApplyCurveColorValue(s, ""), 0);
  EXPECT_EQ(s, before);
  EXPECT_EQ(CurveColorValue(s), "1,2,255,1,2");
}

TEST_F(StylesTest, GroupLoadsDefaultsThenEachStyleKeys) {
  GetPlotState().styles[5].symbol = 6;  // loading starts from the defaults
  const std::string file = Ini(
      "[Graphics]\r\nPenWidth=3\r\nGraphSymbolSize=7\r\nCurveColor[3]=255,0,0\r\n"
      "CurveColor[4]=10,20,30,7,9\r\nCurve[4].SymbolSize=12\r\nCurve[2].LineWidth=4\r\n"
      "Curve[6].LineWidth=100000\r\n");
  LoadCurveStyles(file);
  const CurveStyles& st = GetPlotState().styles;
  EXPECT_EQ(st[5].symbol, 1u);
  EXPECT_EQ(st[5].color, RGB_Spectrum7(5, 14));
  EXPECT_EQ(st[0].lineWidth, 3u);
  EXPECT_EQ(st[0].symbolSize, 7u);
  EXPECT_EQ(st[3].color, MakeRgb(255, 0, 0));
  EXPECT_EQ(st[3].lineStyle, 0u);
  EXPECT_EQ(st[4].lineStyle, 1u);
  EXPECT_EQ(st[4].symbol, 2u);
  EXPECT_EQ(st[4].symbolSize, 12u);
  EXPECT_EQ(st[2].lineWidth, 4u);
  EXPECT_EQ(st[6].lineWidth, 3u) << "an absurd width keeps the default";

  // Save and load again: the same styles; PenWidth is never written.
  const std::string out = dir.File("out.ini");
  SaveCurveStyles(out);
  const CurveStyles saved = st;
  GetPlotState().styles = DefaultCurveStyles();
  LoadCurveStyles(out);
  EXPECT_EQ(GetPlotState().styles, saved);
  EXPECT_EQ(platform::ReadProfileString("Graphics", "PenWidth", "absent", out), "absent");
  EXPECT_EQ(platform::ReadProfileString("Graphics", "CurveColor[4]", "", out), "10,20,30,1,2");
}

TEST_F(StylesTest, PenKeys) {
  const std::string file = Ini(
      "[Setup]\r\nAStyle=3\r\nAWidth=4\r\nAColor=0x00FF80\r\n"
      "BStyle=22\r\nBWidth=-2\r\nBColor=255\r\n"
      "CStyle=7\r\nDStyle=65539\r\n");
  GPen a{kPenSolid, 1, 0};
  LoadPen(a, "Setup", "A", file);
  EXPECT_EQ(a, (GPen{3, 4, 0x00FF80}));
  GPen b{kPenDot, 5, 0x123456};
  LoadPen(b, "Setup", "B", file);
  EXPECT_EQ(b, (GPen{kPenDot, 5, 255})) << "22 = 0x16: low bits 6, ignored; a negative width too";
  GPen c{kPenDash, 2, 7};
  LoadPen(c, "Setup", "C", file);
  EXPECT_EQ(c, (GPen{kPenDash, 2, 7})) << "style 7 is ignored, missing keys keep the values";
  GPen d;
  LoadPen(d, "Setup", "D", file);
  EXPECT_EQ(d.style, 3) << "0x10003: the low bits are a style";

  SavePen(GPen{2, 0, 0xC0C0C0}, "Setup", "Grid", dir.File("pen.ini"));
  EXPECT_EQ(platform::ReadProfileString("Setup", "GridColor", "", dir.File("pen.ini")), "0xC0C0C0");
  EXPECT_EQ(platform::ReadProfileString("Setup", "GridStyle", "", dir.File("pen.ini")), "2");
}

TEST_F(StylesTest, MissingFontKeysResetToTheDefaults) {
  GFont font;
  font.face = "Courier";
  font.size = 14;
  font.italic = true;
  font.weight = 700;
  font.color = 0x0000FF;
  const std::string file = Ini("[Setup]\r\nAxesCaptionFontName=Times\r\nAxesCaptionFontColor=0x10\r\n");
  LoadFont(font, "Setup", "AxesCaptionFont", file);
  EXPECT_EQ(font.face, "Times");
  EXPECT_EQ(font.size, 9) << "the missing size resets to 9, not to 14";
  EXPECT_FALSE(font.italic);
  EXPECT_EQ(font.weight, 0);
  EXPECT_EQ(font.color, 0x10u);

  font.size = 11;
  font.underline = true;
  SaveFont(font, "Setup", "F", dir.File("f.ini"));
  GFont back;
  back.size = 30;
  LoadFont(back, "Setup", "F", dir.File("f.ini"));
  EXPECT_EQ(back, font);
  // A size no device can show reads as missing.
  LoadFont(back, "Setup", "G", Ini("[Setup]\r\nGSize=100000\r\nGName=ThisNameIsFarTooLongForTheFaceField\r\n"));
  EXPECT_EQ(back.size, 9);
  EXPECT_EQ(back.face.size(), kFaceNameSize - 1);
}

TEST_F(StylesTest, FontAndPenSizesOnADevice) {
  RecordingCanvas canvas(1000, 700);  // 96 dpi, 265 mm wide
  GFont font;
  EXPECT_EQ(FontPixelHeight(font, &canvas), -12);
  canvas.SetDevice(4800, 6600, 600, 600, 203, 279, 1);
  EXPECT_EQ(FontPixelHeight(font, &canvas), -75);
  EXPECT_EQ(DeviceLengthX(canvas, 10), 24) << "1 mm at 600 dpi";
  EXPECT_EQ(DevicePen(canvas, GPen{kPenDash, 3, 0x00FF00}).color, kBlack);
  EXPECT_EQ(DevicePen(canvas, GPen{kPenDash, 3, 0x00FF00}, true).color, 0x00FF00u);
  // Without a device the screen answers, or GFontException says there is none.
  EXPECT_EQ(FontPixelHeight(font, nullptr), -12);
  SetScreenDpiProvider([] { return std::optional<int>(120); });
  EXPECT_EQ(FontPixelHeight(font, nullptr), -15);
  SetScreenDpiProvider([] { return std::optional<int>(); });
  try {
    FontPixelHeight(font, nullptr);
    FAIL() << "expected GFontException";
  } catch (const GFontException& e) {
    EXPECT_EQ(e.Code(), kNoScreenDevice);
  }
}

TEST_F(StylesTest, CurveAndSymbolPens) {
  RecordingCanvas canvas(1000, 700);
  CurveStyle s;
  s.lineWidth = 0;
  s.lineStyle = kPenDashDot;
  s.color = 0x00AA00;
  EXPECT_EQ(CurvePen(canvas, s), (CanvasPen{kPenDashDot, 1, 0x00AA00}));
  s.lineWidth = 10;  // 1 mm on a 265 mm wide 1000 pixel screen
  EXPECT_EQ(CurvePen(canvas, s).width, 4);
  EXPECT_EQ(SymbolPen(canvas, s), (CanvasPen{kPenSolid, 0, 0x00AA00}));
  s.symbolSize = 5;
  EXPECT_EQ(SymbolPixels(canvas, s), 2);
}

TEST_F(StylesTest, SymbolsAndTheirSizes) {
  RecordingCanvas canvas;
  const CanvasPen pen{kPenSolid, 0, 0xFF};
  canvas.MoveTo(7, 8);
  DrawSymbol(canvas, 100, 50, kSymbolCircle, 10, pen);
  DrawSymbol(canvas, 100, 50, kSymbolSquare, 10, pen);
  DrawSymbol(canvas, 100, 50, kSymbolDiamond, 10, pen);
  DrawSymbol(canvas, 100, 50, kSymbolTriangleUp, 10, pen);
  DrawSymbol(canvas, 100, 50, kSymbolTriangleDown, 10, pen);
  DrawSymbol(canvas, 100, 50, kSymbolPixel, 10, pen);
  DrawSymbol(canvas, 100, 50, kSymbolCircle, 0, pen);  // size 0: nothing
  DrawSymbol(canvas, 100, 50, kSymbolNone, 10, pen);
  EXPECT_EQ(canvas.CurrentPosition(), (CanvasPoint{7, 8})) << "the position is restored";

  const auto circles = canvas.CommandsOf(Kind::Ellipse);
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_EQ(circles[0].rect, (CanvasRect{89, 39, 112, 62})) << "radius 10 * 1128 / 1000 = 11";
  const auto polys = canvas.CommandsOf(Kind::Polygon);
  ASSERT_EQ(polys.size(), 4u);
  EXPECT_EQ(polys[0].points, (std::vector<CanvasPoint>{{90, 40}, {110, 40}, {110, 60}, {90, 60}}));
  EXPECT_EQ(polys[1].points, (std::vector<CanvasPoint>{{86, 50}, {100, 36}, {114, 50}, {100, 64}}));
  // a = 10 * 8774 / 5000 = 17, b = 15: apex up, base at y + a / 2.
  EXPECT_EQ(polys[2].points, (std::vector<CanvasPoint>{{100, 33}, {115, 58}, {85, 58}}));
  EXPECT_EQ(polys[3].points, (std::vector<CanvasPoint>{{100, 67}, {115, 42}, {85, 42}}));
  const auto pixels = canvas.CommandsOf(Kind::SetPixel);
  ASSERT_EQ(pixels.size(), 1u);
  EXPECT_EQ(pixels[0].color, 0xFFu);

  EXPECT_FALSE(platform::HasAssertion("!\"DrawSymbol() -- unknown symbol type\""));
  DrawSymbol(canvas, 1, 1, 7, 3, pen);
  EXPECT_TRUE(platform::HasAssertion("!\"DrawSymbol() -- unknown symbol type\""));
}

}  // namespace
}  // namespace tsm::plot
