// The drawing surface the plot paints on, free of any toolkit: pens, fonts,
// lines, ellipses, polygons, pixels, boxed text, text extents, the device's
// resolution, size and colour depth, clipping and exclusive-or drawing. gui/
// implements it over QPainter; RecordingCanvas records the calls for tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tsm::plot {

// Win32 COLORREF: 0x00BBGGRR.
using Color = std::uint32_t;
constexpr Color MakeRgb(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned RedOf(Color c) { return c & 0xFF; }
constexpr unsigned GreenOf(Color c) { return (c >> 8) & 0xFF; }
constexpr unsigned BlueOf(Color c) { return (c >> 16) & 0xFF; }

inline constexpr Color kBlack = 0x000000;
inline constexpr Color kWhite = 0xFFFFFF;

// Pen styles (the Win32 numbers).
inline constexpr int kPenSolid = 0;
inline constexpr int kPenDash = 1;
inline constexpr int kPenDot = 2;
inline constexpr int kPenDashDot = 3;
inline constexpr int kPenDashDotDot = 4;
inline constexpr int kPenNull = 5;  // draws no line
inline constexpr int kPenStyleCount = 6;

struct CanvasPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const CanvasPoint&, const CanvasPoint&) = default;
};

// A device rectangle; right and bottom lie just outside it (as in Win32).
struct CanvasRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const CanvasRect&, const CanvasRect&) = default;
};

// A pen in device units: width 0 is the thinnest line the device draws.
struct CanvasPen {
  int style = kPenSolid;
  int width = 0;
  Color color = kBlack;
  friend bool operator==(const CanvasPen&, const CanvasPen&) = default;
};

// A font in device units. A negative height is the character height (the
// em size) in pixels, a positive one the cell height, 0 the default size.
struct CanvasFont {
  std::string face = "Arial";
  int height = -12;
  bool italic = false;
  int weight = 0;  // 0 default, 400 normal, 700 bold
  bool underline = false;
  bool strikeOut = false;
  int charSet = 0;
  Color color = kBlack;  // the text colour
  friend bool operator==(const CanvasFont&, const CanvasFont&) = default;
};

struct TextSize {
  int cx = 0;
  int cy = 0;
};

// DrawText format bits. Text is always one line, drawn with a transparent
// background in the font's colour and clipped to its box.
inline constexpr unsigned kTextLeft = 0x0;
inline constexpr unsigned kTextCenter = 0x1;
inline constexpr unsigned kTextRight = 0x2;
inline constexpr unsigned kTextVCenter = 0x4;  // else the text sits at the box's top

class Canvas {
 public:
  virtual ~Canvas() = default;

  // --- the device
  virtual int Width() const = 0;   // pixels
  virtual int Height() const = 0;
  virtual int DpiX() const = 0;    // pixels per logical inch
  virtual int DpiY() const = 0;
  virtual int WidthMm() const = 0;  // physical size in millimetres
  virtual int HeightMm() const = 0;
  virtual int BitsPerPixel() const = 0;  // 1: a monochrome device

  // --- drawing state
  virtual void SetPen(const CanvasPen& pen) = 0;
  virtual void SetFont(const CanvasFont& font) = 0;
  // Drawing is limited to the rectangle until ClearClip.
  virtual void SetClip(const CanvasRect& rect) = 0;
  virtual void ClearClip() = 0;
  // Exclusive-or raster operation for lines (the rubber band): drawing the
  // same lines twice restores the picture.
  virtual void SetXorMode(bool on) = 0;

  // --- drawing
  virtual void MoveTo(int x, int y) = 0;
  // A line with the pen from the current position, which then moves there.
  virtual void LineTo(int x, int y) = 0;
  virtual CanvasPoint CurrentPosition() const = 0;
  // The outline of the ellipse inscribed in the rectangle (not filled).
  virtual void Ellipse(const CanvasRect& box) = 0;
  // The closed outline through the points (not filled).
  virtual void Polygon(const CanvasPoint* points, std::size_t count) = 0;
  virtual void SetPixel(int x, int y, Color color) = 0;
  virtual void FillRect(const CanvasRect& rect, Color color) = 0;
  // One line of text in the box, aligned by the format bits.
  virtual void DrawText(const std::string& text, const CanvasRect& box, unsigned format) = 0;
  // Width and height of the text in the current font.
  virtual TextSize TextExtent(const std::string& text) = 0;

  // --- batches with a default made of the calls above; a surface may do
  // them faster as long as the picture stays the same.
  // MoveTo(first), then LineTo every further point.
  virtual void Polyline(const CanvasPoint* points, std::size_t count);
  // DrawSymbol (symbols.h) at every position with the same symbol, size and pen.
  virtual void StampSymbols(int symbol, int size, const CanvasPen& pen,
                            const std::vector<CanvasPoint>& positions);

  // --- the plot tells where the drawing of each curve begins and ends, so
  // a vector surface can keep a curve's lines together (one path a curve).
  virtual void BeginCurve(std::size_t /*index*/) {}
  virtual void EndCurve() {}
};

// Win32 MulDiv: a * b / c rounded half away from zero, in 64 bits; -1 when
// c is 0 or the result does not fit an int.
int MulDiv(int a, int b, int c);

}  // namespace tsm::plot
