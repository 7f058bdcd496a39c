// The seven plot symbols drawn at data points, and the size rules that turn
// a symbol size in pixels into circle radius, diamond and triangle extents.
#pragma once

#include "plot/canvas.h"

namespace tsm::plot {

inline constexpr int kSymbolNone = 0;
inline constexpr int kSymbolCircle = 1;
inline constexpr int kSymbolSquare = 2;
inline constexpr int kSymbolDiamond = 3;
inline constexpr int kSymbolTriangleUp = 4;
inline constexpr int kSymbolTriangleDown = 5;
inline constexpr int kSymbolPixel = 6;
inline constexpr int kSymbolCount = 7;

// Draws the symbol centred on (x, y) with the pen; size 0 draws nothing. The
// canvas keeps its current position. An unknown symbol is a program error.
void DrawSymbol(Canvas& canvas, int x, int y, int symbol, int size, const CanvasPen& pen);

}  // namespace tsm::plot
