// A drawing surface that records every call instead of drawing, with device
// measures and text metrics the test chooses. Tests of the plot assert on
// the record: lines with their pens, texts with their boxes, symbols.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plot/canvas.h"

namespace tsm::plot {

struct CanvasCommand {
  enum class Kind {
    SetPen, SetFont, SetClip, ClearClip, SetXor, MoveTo, LineTo, Ellipse, Polygon,
    SetPixel, FillRect, DrawText,
  };
  Kind kind = Kind::MoveTo;
  CanvasPen pen;     // SetPen; the pen in use for LineTo, Ellipse, Polygon
  CanvasFont font;   // SetFont; the font in use for DrawText
  CanvasRect rect;   // SetClip, Ellipse, FillRect, DrawText
  std::vector<CanvasPoint> points;  // MoveTo/SetPixel: 1; LineTo: from, to; Polygon
  std::string text;  // DrawText
  unsigned format = 0;  // DrawText
  Color color = 0;   // SetPixel, FillRect
  bool xorMode = false;  // SetXor; whether LineTo was drawn with exclusive-or
};

struct RecordedLine {
  CanvasPoint from, to;
  CanvasPen pen;
  bool xorMode;
};

class RecordingCanvas : public Canvas {
 public:
  // A 96-dpi screen of the given size in pixels, 32 bits per pixel.
  RecordingCanvas(int width = 800, int height = 600);

  // --- device measures the test may change
  void SetDevice(int width, int height, int dpiX, int dpiY, int widthMm, int heightMm,
                 int bitsPerPixel);
  // Fixed text metrics: every character `charWidth` wide, lines `height`
  // high. Until set, they follow the font: width |h| * 55 / 100, height
  // |h| * 115 / 100 (at least 1 each).
  void SetTextMetrics(int charWidth, int height);

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int DpiX() const override { return dpiX_; }
  int DpiY() const override { return dpiY_; }
  int WidthMm() const override { return widthMm_; }
  int HeightMm() const override { return heightMm_; }
  int BitsPerPixel() const override { return bpp_; }

  void SetPen(const CanvasPen& pen) override;
  void SetFont(const CanvasFont& font) override;
  void SetClip(const CanvasRect& rect) override;
  void ClearClip() override;
  void SetXorMode(bool on) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  CanvasPoint CurrentPosition() const override { return pos_; }
  void Ellipse(const CanvasRect& box) override;
  void Polygon(const CanvasPoint* points, std::size_t count) override;
  void SetPixel(int x, int y, Color color) override;
  void FillRect(const CanvasRect& rect, Color color) override;
  void DrawText(const std::string& text, const CanvasRect& box, unsigned format) override;
  TextSize TextExtent(const std::string& text) override;

  // --- the record
  const std::vector<CanvasCommand>& Commands() const { return commands_; }
  std::vector<CanvasCommand> CommandsOf(CanvasCommand::Kind kind) const;
  std::vector<RecordedLine> Lines() const;
  // Lines drawn with a pen of this colour.
  std::vector<RecordedLine> LinesOfColor(Color color) const;
  std::vector<std::string> Texts() const;
  // The DrawText command with this text, if any.
  std::optional<CanvasCommand> FindText(const std::string& text) const;
  void Clear() { commands_.clear(); }

 private:
  void Add(CanvasCommand c);

  int width_, height_, dpiX_ = 96, dpiY_ = 96, widthMm_, heightMm_, bpp_ = 32;
  int fixedCharWidth_ = 0, fixedHeight_ = 0;
  CanvasPen pen_;
  CanvasFont font_;
  bool xor_ = false;
  CanvasPoint pos_;
  std::vector<CanvasCommand> commands_;
};

}  // namespace tsm::plot
