// The 14 curve styles cycled over the curves of the family (colour, line
// style, symbol, line width, symbol size), their option group in section
// "Graphics" and the device pens a style gives.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "plot/canvas.h"

namespace tsm::plot {

inline constexpr std::size_t kCurveStyleCount = 14;
inline constexpr const char* kGraphicsSection = "Graphics";
inline constexpr const char* kPenWidthKey = "PenWidth";
inline constexpr const char* kGraphSymbolSizeKey = "GraphSymbolSize";
inline constexpr const char* kCurveColorKey = "CurveColor[%u]";
inline constexpr const char* kCurveSymbolSizeKey = "Curve[%u].SymbolSize";
inline constexpr const char* kCurveLineWidthKey = "Curve[%u].LineWidth";
inline constexpr int kDefaultPenWidth = 1;
inline constexpr int kDefaultSymbolSize = 5;
// Widths and sizes above this (tenths of a millimetre) are refused.
inline constexpr unsigned kMaxStyleLength = 100;

struct CurveStyle {
  Color color = kBlack;
  unsigned lineStyle = kPenSolid;  // 0..5
  unsigned symbol = 1;             // 0..6
  unsigned lineWidth = kDefaultPenWidth;    // tenths of a millimetre
  unsigned symbolSize = kDefaultSymbolSize;  // tenths of a millimetre
  bool DrawsLines() const { return lineStyle != kPenNull; }
  friend bool operator==(const CurveStyle&, const CurveStyle&) = default;
};

using CurveStyles = std::array<CurveStyle, kCurveStyleCount>;

// The styles before any settings are read: colour RGB_Spectrum7(i, 14),
// solid line, circles, the given width and symbol size.
CurveStyles DefaultCurveStyles(unsigned lineWidth = kDefaultPenWidth,
                               unsigned symbolSize = kDefaultSymbolSize);
// The style of curve i (styles repeat every 14 curves).
const CurveStyle& StyleOfCurve(std::size_t curveIndex);

// The option group: loading starts from DefaultCurveStyles with "PenWidth"
// and "GraphSymbolSize" (never written), then every style's keys override.
int LoadCurveStyles(const std::string& file);
int SaveCurveStyles(const std::string& file);

// Applies one "CurveColor[%u]" value, read as "%d,%d,%d,%d,%d": three
// numbers set the colour (each byte modulo 256), a fourth the line style
// modulo 6, a fifth the symbol modulo 7. Returns how many numbers were read.
int ApplyCurveColorValue(CurveStyle& style, const char* value);
// The value written for a style: "%u,%u,%u,%u,%u" red, green, blue, line
// style, symbol.
std::string CurveColorValue(const CurveStyle& style);

// The pen of the style's lines: width at least 1 pixel; the pen of its
// symbols: solid and thinnest. Black on a monochrome device unless colour
// is enforced.
CanvasPen CurvePen(const Canvas& canvas, const CurveStyle& style, bool enforceColor = false);
CanvasPen SymbolPen(const Canvas& canvas, const CurveStyle& style, bool enforceColor = false);
int SymbolPixels(const Canvas& canvas, const CurveStyle& style);

}  // namespace tsm::plot
