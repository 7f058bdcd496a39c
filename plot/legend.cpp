#include "plot/legend.h"

#include <algorithm>

#include "plot/symbols.h"
#include "shell/stringex.h"

namespace tsm::plot {

void DrawStyleSample(Canvas& canvas, const CanvasRect& box, const CurveStyle& style,
                     bool enforceColor) {
  const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
  if (style.DrawsLines()) {
    canvas.SetPen(CurvePen(canvas, style, enforceColor));
    canvas.MoveTo(box.left, cy);
    canvas.LineTo(box.right, cy);
  }
  const int size = SymbolPixels(canvas, style);
  if (style.symbol != kSymbolNone && style.symbol < kSymbolCount && size > 0)
    DrawSymbol(canvas, cx, cy, static_cast<int>(style.symbol), size,
               SymbolPen(canvas, style, enforceColor));
}

LegendMetrics MeasureLegend(Canvas& canvas, const curves::CurveFamily& family,
                            const CurveStyles& styles, std::uint32_t rows) {
  LegendMetrics m;
  const TextSize zero = canvas.TextExtent("0");
  m.gap = std::max(1, zero.cx);
  m.sampleWidth = 4 * m.gap;
  m.rowHeight = std::max(1, zero.cy);
  int nameWidth = 0;
  rows = std::min(rows, family.Count());
  for (std::uint32_t i = 0; i < rows; ++i) {
    const CurveStyle& style = styles[i % kCurveStyleCount];
    // A large symbol makes its row taller, never shorter than the text.
    m.rowHeight = std::max(m.rowHeight, 2 * SymbolPixels(canvas, style) + 3);
    nameWidth = std::max(nameWidth, canvas.TextExtent(family.Curve(i).Name()).cx);
  }
  m.width = m.sampleWidth + m.gap + nameWidth;
  m.height = static_cast<int>(rows) * m.rowHeight;
  return m;
}

int DrawLegendRows(Canvas& canvas, int left, int top, const curves::CurveFamily& family,
                   const CurveStyles& styles, std::uint32_t first, std::uint32_t count,
                   const LegendMetrics& m, bool enforceColor) {
  int y = top;
  const std::uint32_t end = std::min(family.Count(), first + count);
  for (std::uint32_t i = first; i < end; ++i) {
    const CanvasRect sample{left, y, left + m.sampleWidth, y + m.rowHeight};
    DrawStyleSample(canvas, sample, styles[i % kCurveStyleCount], enforceColor);
    const int textLeft = sample.right + m.gap;
    canvas.DrawText(family.Curve(i).Name(),
                    CanvasRect{textLeft, y, std::max(textLeft + 1, canvas.Width()),
                               y + m.rowHeight},
                    kTextLeft | kTextVCenter);
    y += m.rowHeight;
  }
  return y;
}

void DrawLegendInFrame(Canvas& canvas, const FrameLayout& frame,
                       const curves::CurveFamily& family, const CurveStyles& styles,
                       bool enforceColor) {
  const std::uint32_t n = family.Count();
  if (n == 0) return;
  const LegendMetrics m = MeasureLegend(canvas, family, styles, n);
  // The rows that fit inside the frame with a gap all round; when some are
  // left out, the last row place says how many.
  const int room = frame.height - 2 * m.gap;
  std::uint32_t rows = n;
  if (room < m.rowHeight) return;
  if (static_cast<long long>(n) * m.rowHeight > room) {
    rows = static_cast<std::uint32_t>(room / m.rowHeight);
    rows = rows > 0 ? rows - 1 : 0;
  }
  const std::string more =
      rows < n ? shell::Format(kLegendMoreFormat, static_cast<unsigned>(n - rows)) : std::string();
  int width = m.width;
  if (!more.empty()) width = std::max(width, canvas.TextExtent(more).cx);
  width = std::min(width, frame.width - 2 * m.gap);
  const int height = static_cast<int>(rows + (more.empty() ? 0 : 1)) * m.rowHeight;
  const int right = frame.Right() - m.gap;
  const int left = right - width;
  const int top = frame.Top() + m.gap;
  const CanvasRect box{left - m.gap / 2, top - m.gap / 2, right + m.gap / 2 + 1,
                       top + height + m.gap / 2 + 1};
  canvas.FillRect(box, kWhite);
  canvas.SetPen(CanvasPen{kPenSolid, 0, kBlack});
  canvas.MoveTo(box.left, box.top);
  canvas.LineTo(box.right - 1, box.top);
  canvas.LineTo(box.right - 1, box.bottom - 1);
  canvas.LineTo(box.left, box.bottom - 1);
  canvas.LineTo(box.left, box.top);
  canvas.SetClip(box);
  const int y = DrawLegendRows(canvas, left, top, family, styles, 0, rows, m, enforceColor);
  if (!more.empty())
    canvas.DrawText(more, CanvasRect{left, y, right, y + m.rowHeight}, kTextLeft | kTextVCenter);
  canvas.ClearClip();
}

}  // namespace tsm::plot
