// The plot drawn through the Qt canvas into an offscreen image: the same
// family drawn on the recording surface with the image's measures gives the
// same frame, labels and view, and the image has the frame and the curves
// where the record says; the fast path looks like drawing every point; the
// rubber band erases itself; the Cursors window follows the pointer.
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "curves/state.h"
#include "gui/cursors_window.h"
#include "gui/qt_canvas.h"
#include "plot/draw.h"
#include "plot/range.h"
#include "plot/recording_canvas.h"
#include "plot/selection.h"
#include "plot/state.h"
#include "plot/symbols.h"
#include "tests/gui/qt_test_app.h"
#include "tests/support/test_support.h"

namespace tsm::gui {
namespace {

using plot::CanvasRect;
using plot::Color;
using plot::RecordingCanvas;
using testing::QtApp;

constexpr int kW = 800, kH = 600;

QRgb Rgb(Color c) { return qRgb(plot::RedOf(c), plot::GreenOf(c), plot::BlueOf(c)); }

class PlotRenderTest : public tsm::testing::UiTest {
 protected:
  PlotRenderTest() {
    QtApp();
    plot::ResetPlotState();
    curves::ResetCurvesState();
  }
  ~PlotRenderTest() override {
    plot::ResetPlotState();
    curves::ResetCurvesState();
  }

  // Three curves: a parabola in mV over mA, a line with squares, and a
  // sine that runs out of the range at both ends.
  static void FillFamily(curves::CurveFamily& f) {
    f.SetCount(3);
    f.SetUnits("A", "V");
    for (int i = 0; i <= 200; ++i) {
      const float x = -2e-3f + 4e-3f * i / 200;
      f.Curve(0).Append(x, 1e6f * x * x);
      f.Curve(1).Append(x, 1.5f + 200 * x);
      f.Curve(2).Append(x, 2.5f + 2.5f * std::sin(x * 2500));
    }
    f.Curve(2).Append(1e-3f, 10);  // far above: the line leaves the frame
  }

  // Draws into a white image with the Qt canvas; returns Draw's result.
  static int DrawImage(QImage& image, const curves::CurveFamily& f, plot::PlotView& view,
                       const plot::DrawOptions& options = {}) {
    QPainter painter(&image);
    QtCanvas canvas(painter, image);
    return plot::Draw(canvas, CanvasRect{0, 0, image.width(), image.height()}, f, view, options);
  }
};

TEST_F(PlotRenderTest, QtImageAndRecordMatch) {
  plot::GetPlotState().styles[1].symbol = 2;
  plot::GetPlotState().styles[2].symbol = 0;
  curves::CurveFamily& f = curves::CurrentFamily();
  FillFamily(f);

  QImage image(kW, kH, QImage::Format_RGB32);
  image.fill(Qt::black);
  plot::PlotView qtView;
  ASSERT_EQ(DrawImage(image, f, qtView), 3);

  // The record, with the image's measures and font metrics.
  int charWidth = 0, textHeight = 0;
  {
    QPainter painter(&image);
    QtCanvas canvas(painter, image);
    EXPECT_EQ(canvas.BitsPerPixel(), 32);
    canvas.SetFont(plot::DeviceFont(plot::GetPlotState().axes.captionFont, &canvas));
    const plot::TextSize zero = canvas.TextExtent("0");
    charWidth = zero.cx;
    textHeight = zero.cy;
  }
  RecordingCanvas record(kW, kH);
  record.SetDevice(kW, kH, image.logicalDpiX(), image.logicalDpiY(), image.widthMM(),
                   image.heightMM(), 32);
  record.SetTextMetrics(charWidth, textHeight);
  plot::PlotView recordView;
  ASSERT_EQ(plot::Draw(record, CanvasRect{0, 0, kW, kH}, f, recordView), 3);

  EXPECT_EQ(qtView.originX, recordView.originX);
  EXPECT_EQ(qtView.originY, recordView.originY);
  EXPECT_EQ(qtView.frameWidth, recordView.frameWidth);
  EXPECT_EQ(qtView.frameHeight, recordView.frameHeight);
  EXPECT_EQ(qtView.xMin, recordView.xMin);
  EXPECT_EQ(qtView.yMax, recordView.yMax);
  const std::vector<std::string> texts = record.Texts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[9], "(mA)");
  EXPECT_EQ(texts.back(), "( V)");

  // The image was filled white, the frame is navy at its corners.
  const int left = qtView.originX, bottom = qtView.originY;
  const int right = left + qtView.frameWidth, top = bottom - qtView.frameHeight;
  EXPECT_EQ(image.pixel(2, 2), qRgb(255, 255, 255));
  for (auto [x, y] : {std::pair{left, bottom}, {right, bottom}, {right, top}, {left, top}})
    EXPECT_EQ(image.pixel(x, y), Rgb(0x800000)) << x << "," << y;

  // Every point a curve line starts from inside the frame shows that curve's
  // colour (or a later curve's, drawn over it), at the point or beside it:
  // lines leave out their last pixel, as they always did, and Qt's joints
  // may give a sharp turn's pixel to its neighbour.
  int checked = 0, matched = 0;
  for (const plot::RecordedLine& l : record.Lines()) {
    if (l.pen.width < 1 || l.xorMode) continue;
    const plot::CanvasPoint p = l.from;
    if (p.x <= left || p.x >= right || p.y <= top || p.y >= bottom) continue;
    ++checked;
    bool ok = false;
    for (int dy = -1; dy <= 1 && !ok; ++dy)
      for (int dx = -1; dx <= 1 && !ok; ++dx) {
        const QRgb pixel = image.pixel(p.x + dx, p.y + dy);
        ok = pixel == Rgb(l.pen.color);
        for (int c = 0; c < 3 && !ok; ++c) ok = pixel == Rgb(plot::GetPlotState().styles[c].color);
      }
    matched += ok;
  }
  EXPECT_GT(checked, 100);
  EXPECT_EQ(matched, checked);
  // The labels were drawn: dark pixels in the box of the x caption.
  const auto caption = record.FindText("(mA)");
  ASSERT_TRUE(caption);
  int ink = 0;
  for (int y = caption->rect.top; y < std::min(caption->rect.bottom, kH); ++y)
    for (int x = caption->rect.left; x < std::min(caption->rect.right, kW); ++x)
      ink += qGray(image.pixel(x, y)) < 128;
  EXPECT_GT(ink, 10);

  const std::string png = "plot_render.png";
  EXPECT_TRUE(image.save(QString::fromStdString(png)));
  std::printf("picture saved as %s\n", png.c_str());
}

TEST_F(PlotRenderTest, TheFastPathLooksLikeDrawingEveryPoint) {
  // 200000 noisy points: about 250 per pixel column.
  curves::CurveFamily& f = curves::CurrentFamily();
  f.SetCount(2);
  std::uint32_t seed = 7;
  auto noise = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
  };
  for (int i = 0; i < 200000; ++i) {
    const float x = i / 200000.0f;
    f.Curve(0).Append(x, std::sin(6 * x) + 0.02f * noise());
    f.Curve(1).Append(x, 0.5f + 0.3f * std::cos(20 * x) + 0.005f * noise());
  }
  f.Curve(1).Append(2, 3);  // and out of the frame
  plot::GetPlotState().styles[1].lineStyle = plot::kPenDash;

  QImage fast(kW, kH, QImage::Format_RGB32), every(kW, kH, QImage::Format_RGB32);
  plot::PlotView v1, v2;
  DrawImage(fast, f, v1);
  plot::DrawOptions all;
  all.everyPoint = true;
  DrawImage(every, f, v2, all);
  int differ = 0, inked = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      differ += fast.pixel(x, y) != every.pixel(x, y);
      inked += every.pixel(x, y) != qRgb(255, 255, 255);
    }
  std::printf("pixels that differ: %d of %d drawn\n", differ, inked);
  EXPECT_LT(differ, inked / 100) << "under 1 % of the drawn pixels";
  fast.save("plot_fast.png");
  every.save("plot_every.png");
}

TEST_F(PlotRenderTest, ZoomedInTheFastPathStillLooksLikeDrawingEveryPoint) {
  // Zoomed in on noisy curves: the noise is three frames high, so the lines
  // leave and enter the frame hundreds of times a pixel column (thin pen);
  // a sparser one leaves a column partly bare (wide pen).
  curves::CurrentFamily().SetCount(2);
  std::uint32_t seed = 5;
  auto noise = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
  };
  for (int i = 0; i < 200000; ++i) {
    const float x = i / 200000.0f;
    curves::CurrentFamily().Curve(0).Append(x, 0.5f + 0.2f * std::sin(6 * x) + 1.5f * noise());
    if (i % 50 == 0) curves::CurrentFamily().Curve(1).Append(x, 0.3f * x + 0.6f * noise());
  }
  plot::GetPlotState().styles[0].symbol = 0;
  plot::GetPlotState().styles[1].symbol = 0;
  plot::GetPlotState().styles[1].lineWidth = 8;  // tenths of a millimetre: 3 pixels

  QImage fast(kW, kH, QImage::Format_RGB32), every(kW, kH, QImage::Format_RGB32);
  plot::PlotView v1, v2;
  v1.autoScale = v2.autoScale = false;  // 0 .. 1 on both axes
  DrawImage(fast, curves::CurrentFamily(), v1);
  plot::DrawOptions all;
  all.everyPoint = true;
  DrawImage(every, curves::CurrentFamily(), v2, all);
  int differ = 0, inked = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      differ += fast.pixel(x, y) != every.pixel(x, y);
      inked += every.pixel(x, y) != qRgb(255, 255, 255);
    }
  std::printf("zoomed: pixels that differ: %d of %d drawn\n", differ, inked);
  EXPECT_GT(inked, kW * kH / 4);
  EXPECT_LT(differ, inked / 100) << "under 1 % of the drawn pixels";
  fast.save("plot_zoomed_fast.png");
  every.save("plot_zoomed_every.png");
}

TEST_F(PlotRenderTest, SymbolsStampedIntoAnImageAreThoseThePainterDraws) {
  // Into an image the stamps are written straight into its pixels: whole
  // ones without a test per pixel, those the clip cuts pixel by pixel. The
  // painter draws the same points into a pixmap; the pictures must agree,
  // at every edge of the clip, in the corners and beyond them.
  constexpr int w = 120, h = 90;
  const plot::CanvasRect clip{17, 11, 101, 77};
  std::vector<plot::CanvasPoint> positions;
  for (int y = clip.top - 9; y <= clip.bottom + 9; y += 3)
    for (int x = clip.left - 9; x <= clip.right + 9; x += 3)
      if (x < clip.left + 12 || x > clip.right - 12 || y < clip.top + 12 || y > clip.bottom - 12)
        positions.push_back({x, y});
  positions.push_back({w / 2, h / 2});
  positions.push_back({-50, h / 2});  // wholly outside the image
  plot::CanvasPen pen;
  pen.color = 0x2080C0;
  for (int symbol = plot::kSymbolCircle; symbol < plot::kSymbolCount; ++symbol) {
    for (int size : {1, 4}) {
      QImage image(w, h, QImage::Format_RGB32);
      image.fill(Qt::white);
      QPixmap pixmap(w, h);
      pixmap.fill(Qt::white);
      {
        QPainter painter(&image);
        QtCanvas canvas(painter, image);
        canvas.SetClip(clip);
        canvas.StampSymbols(symbol, size, pen, positions);
      }
      {
        QPainter painter(&pixmap);
        QtCanvas canvas(painter, pixmap);
        canvas.SetClip(clip);
        canvas.StampSymbols(symbol, size, pen, positions);
      }
      const QImage painted = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
      int differ = 0, inked = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          differ += image.pixel(x, y) != painted.pixel(x, y);
          inked += image.pixel(x, y) != qRgb(255, 255, 255);
        }
      EXPECT_EQ(differ, 0) << "symbol " << symbol << " size " << size;
      EXPECT_GT(inked, 100) << "symbol " << symbol << " size " << size;
    }
  }
}

TEST_F(PlotRenderTest, TheRubberBandErasesItselfAndMonochromeImagesAreOneBit) {
  curves::CurveFamily& f = curves::CurrentFamily();
  FillFamily(f);
  QImage image(kW, kH, QImage::Format_RGB32);
  plot::PlotView view;
  DrawImage(image, f, view);
  const QImage before = image.copy();
  {
    QPainter painter(&image);
    QtCanvas canvas(painter, image);
    plot::DrawRubberBand(canvas, CanvasRect{100, 100, 300, 250});
  }
  EXPECT_NE(image, before);
  {
    QPainter painter(&image);
    QtCanvas canvas(painter, image);
    plot::DrawRubberBand(canvas, CanvasRect{300, 250, 100, 100});
  }
  EXPECT_EQ(image, before);

  QImage mono(200, 100, QImage::Format_Mono);
  QPainter painter(&mono);
  QtCanvas canvas(painter, mono);
  EXPECT_EQ(canvas.BitsPerPixel(), 1);
}

TEST_F(PlotRenderTest, CursorsWindowFollowsThePointerAndUnchecksOnClose) {
  curves::CurveFamily& f = curves::CurrentFamily();
  FillFamily(f);
  QImage image(kW, kH, QImage::Format_RGB32);
  DrawImage(image, f, plot::GetPlotView());

  int closed = 0;
  ASSERT_TRUE(ToggleCursorsWindowView(nullptr, [&closed] { ++closed; }));
  CursorsWindowView* view = OpenCursorsWindowView();
  ASSERT_NE(view, nullptr);
  plot::OnMouseMove(400, 300);
  EXPECT_EQ(view->PointerLabel()->text(), QStringLiteral("Cursor 1:(400,300)"));
  EXPECT_TRUE(view->PointLabel()->text().startsWith(QStringLiteral("Cursor 2:(")));
  EXPECT_EQ(view->CurveList()->count(), 3);
  EXPECT_TRUE(view->ValueLabel()->text().contains(QStringLiteral("mA")));
  view->CurveList()->setCurrentRow(2);
  EXPECT_EQ(view->Model().CurrentItem(plot::kCursorCurveList), 2);

  f.Clear();
  RefreshCursorsWindowView();
  EXPECT_EQ(view->CurveList()->count(), 0);

  view->close();  // the close box
  QApplication::processEvents();
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(OpenCursorsWindowView(), nullptr);
  EXPECT_TRUE(ToggleCursorsWindowView(nullptr));
  EXPECT_FALSE(ToggleCursorsWindowView(nullptr));
  QApplication::processEvents();
}

}  // namespace
}  // namespace tsm::gui
