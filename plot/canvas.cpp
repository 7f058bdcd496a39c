#include "plot/canvas.h"

#include <climits>
#include <cstdlib>

#include "plot/symbols.h"

namespace tsm::plot {

void Canvas::Polyline(const CanvasPoint* points, std::size_t count) {
  if (count == 0) return;
  MoveTo(points[0].x, points[0].y);
  for (std::size_t i = 1; i < count; ++i) LineTo(points[i].x, points[i].y);
}

void Canvas::StampSymbols(int symbol, int size, const CanvasPen& pen,
                          const std::vector<CanvasPoint>& positions) {
  for (const CanvasPoint& p : positions) DrawSymbol(*this, p.x, p.y, symbol, size, pen);
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const long long num = static_cast<long long>(a) * b;
  const long long den = c;
  const bool negative = (num < 0) != (den < 0);
  const long long an = std::llabs(num), ad = std::llabs(den);
  long long q = (an + ad / 2) / ad;
  if (negative) q = -q;
  if (q > INT_MAX || q < INT_MIN) return -1;
  return static_cast<int>(q);
}

}  // namespace tsm::plot
