#include "plot/symbols.h"

#include "platform/assert.h"

namespace tsm::plot {

namespace {
constexpr const char* kSource = "drawa";
}

void DrawSymbol(Canvas& canvas, int x, int y, int symbol, int size, const CanvasPen& pen) {
  if (size == 0) return;
  const CanvasPoint saved = canvas.CurrentPosition();
  switch (symbol) {
    case kSymbolNone:
      break;
    case kSymbolCircle: {
      canvas.SetPen(pen);
      const int r = size * 1128 / 1000;
      // Right and bottom lie outside the box, so the circle is centred.
      canvas.Ellipse(CanvasRect{x - r, y - r, x + r + 1, y + r + 1});
      break;
    }
    case kSymbolSquare: {
      canvas.SetPen(pen);
      const CanvasPoint pts[4] = {
          {x - size, y - size}, {x + size, y - size}, {x + size, y + size}, {x - size, y + size}};
      canvas.Polygon(pts, 4);
      break;
    }
    case kSymbolDiamond: {
      canvas.SetPen(pen);
      const int d = size * 7071 / 5000;
      const CanvasPoint pts[4] = {{x - d, y}, {x, y - d}, {x + d, y}, {x, y + d}};
      canvas.Polygon(pts, 4);
      break;
    }
    case kSymbolTriangleUp:
    case kSymbolTriangleDown: {
      canvas.SetPen(pen);
      const int a = size * 8774 / 5000;
      const int b = size * 7598 / 5000;
      const int s = symbol == kSymbolTriangleUp ? 1 : -1;
      const CanvasPoint pts[3] = {{x, y - s * a}, {x + b, y + s * (a / 2)}, {x - b, y + s * (a / 2)}};
      canvas.Polygon(pts, 3);
      break;
    }
    case kSymbolPixel:
      canvas.SetPixel(x, y, pen.color);
      break;
    default:
      TSM_ASSERT(!"DrawSymbol() -- unknown symbol type", kSource);
      break;
  }
  canvas.MoveTo(saved.x, saved.y);
}

}  // namespace tsm::plot
