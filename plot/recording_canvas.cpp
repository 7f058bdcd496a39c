#include "plot/recording_canvas.h"

#include <algorithm>
#include <cstdlib>

namespace tsm::plot {

using Kind = CanvasCommand::Kind;

namespace {
CanvasCommand Cmd(Kind kind) {
  CanvasCommand c;
  c.kind = kind;
  return c;
}

// Millimetres of a length in pixels at a resolution, rounded.
int Millimetres(int pixels, int dpi) { return dpi > 0 ? (pixels * 254 + dpi * 5) / (dpi * 10) : 0; }
}  // namespace

RecordingCanvas::RecordingCanvas(int width, int height)
    : width_(width), height_(height), widthMm_(Millimetres(width, 96)),
      heightMm_(Millimetres(height, 96)) {}

void RecordingCanvas::SetDevice(int width, int height, int dpiX, int dpiY, int widthMm,
                                int heightMm, int bitsPerPixel) {
  width_ = width;
  height_ = height;
  dpiX_ = dpiX;
  dpiY_ = dpiY;
  widthMm_ = widthMm;
  heightMm_ = heightMm;
  bpp_ = bitsPerPixel;
}

void RecordingCanvas::SetTextMetrics(int charWidth, int height) {
  fixedCharWidth_ = charWidth;
  fixedHeight_ = height;
}

void RecordingCanvas::Add(CanvasCommand c) {
  c.pen = pen_;
  c.font = font_;
  if (c.kind != Kind::SetXor) c.xorMode = xor_;
  commands_.push_back(std::move(c));
}

void RecordingCanvas::SetPen(const CanvasPen& pen) {
  pen_ = pen;
  Add(Cmd(Kind::SetPen));
}

void RecordingCanvas::SetFont(const CanvasFont& font) {
  font_ = font;
  Add(Cmd(Kind::SetFont));
}

void RecordingCanvas::SetClip(const CanvasRect& rect) {
  CanvasCommand c = Cmd(Kind::SetClip);
  c.rect = rect;
  Add(c);
}

void RecordingCanvas::ClearClip() { Add(Cmd(Kind::ClearClip)); }

void RecordingCanvas::SetXorMode(bool on) {
  xor_ = on;
  CanvasCommand c = Cmd(Kind::SetXor);
  c.xorMode = on;
  Add(c);
}

void RecordingCanvas::MoveTo(int x, int y) {
  pos_ = {x, y};
  CanvasCommand c = Cmd(Kind::MoveTo);
  c.points = {pos_};
  Add(c);
}

void RecordingCanvas::LineTo(int x, int y) {
  CanvasCommand c = Cmd(Kind::LineTo);
  c.points = {pos_, {x, y}};
  pos_ = {x, y};
  Add(c);
}

void RecordingCanvas::Ellipse(const CanvasRect& box) {
  CanvasCommand c = Cmd(Kind::Ellipse);
  c.rect = box;
  Add(c);
}

void RecordingCanvas::Polygon(const CanvasPoint* points, std::size_t count) {
  CanvasCommand c = Cmd(Kind::Polygon);
  c.points.assign(points, points + count);
  Add(c);
}

void RecordingCanvas::SetPixel(int x, int y, Color color) {
  CanvasCommand c = Cmd(Kind::SetPixel);
  c.points = {{x, y}};
  c.color = color;
  Add(c);
}

void RecordingCanvas::FillRect(const CanvasRect& rect, Color color) {
  CanvasCommand c = Cmd(Kind::FillRect);
  c.rect = rect;
  c.color = color;
  Add(c);
}

void RecordingCanvas::DrawText(const std::string& text, const CanvasRect& box, unsigned format) {
  CanvasCommand c = Cmd(Kind::DrawText);
  c.text = text;
  c.rect = box;
  c.format = format;
  Add(c);
}

TextSize RecordingCanvas::TextExtent(const std::string& text) {
  const int h = std::abs(font_.height);
  const int cw = fixedCharWidth_ > 0 ? fixedCharWidth_ : std::max(1, h * 55 / 100);
  const int ch = fixedHeight_ > 0 ? fixedHeight_ : std::max(1, h * 115 / 100);
  return TextSize{static_cast<int>(text.size()) * cw, ch};
}

std::vector<CanvasCommand> RecordingCanvas::CommandsOf(Kind kind) const {
  std::vector<CanvasCommand> out;
  for (const CanvasCommand& c : commands_)
    if (c.kind == kind) out.push_back(c);
  return out;
}

std::vector<RecordedLine> RecordingCanvas::Lines() const {
  std::vector<RecordedLine> out;
  for (const CanvasCommand& c : commands_)
    if (c.kind == Kind::LineTo) out.push_back({c.points[0], c.points[1], c.pen, c.xorMode});
  return out;
}

std::vector<RecordedLine> RecordingCanvas::LinesOfColor(Color color) const {
  std::vector<RecordedLine> out;
  for (const RecordedLine& l : Lines())
    if (l.pen.color == color) out.push_back(l);
  return out;
}

std::vector<std::string> RecordingCanvas::Texts() const {
  std::vector<std::string> out;
  for (const CanvasCommand& c : commands_)
    if (c.kind == Kind::DrawText) out.push_back(c.text);
  return out;
}

std::optional<CanvasCommand> RecordingCanvas::FindText(const std::string& text) const {
  for (const CanvasCommand& c : commands_)
    if (c.kind == Kind::DrawText && c.text == text) return c;
  return std::nullopt;
}

}  // namespace tsm::plot
