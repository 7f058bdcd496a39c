#include "plot/curve_path.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "plot/range.h"
#include "plot/symbols.h"

namespace tsm::plot {

namespace {

// Liang-Barsky: the part of the segment a -> b inside the box, as the
// parameters t0 <= t1 along it; false when the segment misses the box.
bool ClipSegment(double ax, double ay, double bx, double by, double xmin, double ymin,
                 double xmax, double ymax, double* t0, double* t1) {
  double lo = 0, hi = 1;
  const double dx = bx - ax, dy = by - ay;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {ax - xmin, xmax - ax, ay - ymin, ymax - ay};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) lo = std::max(lo, t);
    else hi = std::min(hi, t);
    if (lo > hi) return false;
  }
  *t0 = lo;
  *t1 = hi;
  return true;
}

// The polyline of one curve, with the points of a pixel column reduced to
// its first, lowest, highest and last (in the order they came).
class ColumnReducer {
 public:
  ColumnReducer(Canvas& canvas, bool everyPoint) : canvas_(canvas), everyPoint_(everyPoint) {
    points_.reserve(4096);
  }

  // Starts a new polyline at p.
  void MoveTo(CanvasPoint p) {
    EndRun();
    Flush();
    points_.push_back(p);
    StartRun(p);
  }
  // A line from the current position to p, which then becomes current.
  void LineTo(CanvasPoint p) {
    if (everyPoint_) {
      points_.push_back(p);
      return;
    }
    if (run_ && p.x == col_) {
      // The common case of a dense curve, kept free of branches that noise
      // would make unpredictable.
      const int ord = n_++;
      last_ = p;
      const bool lower = p.y < minY_, higher = p.y > maxY_;
      minOrd_ = lower ? ord : minOrd_;
      minY_ = lower ? p.y : minY_;
      maxOrd_ = higher ? ord : maxOrd_;
      maxY_ = higher ? p.y : maxY_;
      return;
    }
    EndRun();
    Push(p);
    StartRun(p);
  }
  // A line to a point outside the frame: no column run continues from it.
  void LineToOutside(CanvasPoint p) {
    EndRun();
    Push(p);
  }
  void Finish() {
    EndRun();
    Flush();
  }

 private:
  void StartRun(CanvasPoint p) {
    run_ = true;
    col_ = p.x;
    n_ = 1;
    last_ = p;
    minY_ = maxY_ = p.y;
    minOrd_ = maxOrd_ = 0;
  }
  void EndRun() {
    if (!run_) return;
    run_ = false;
    if (n_ < 2) return;
    // The inner extremes in the order they came, then the last point.
    int a = minOrd_, b = maxOrd_;
    int ya = minY_, yb = maxY_;
    if (a > b) {
      std::swap(a, b);
      std::swap(ya, yb);
    }
    if (a > 0 && a < n_ - 1) Push({col_, ya});
    if (b > 0 && b < n_ - 1 && b != a) Push({col_, yb});
    Push(last_);
  }
  void Push(CanvasPoint p) {
    if (!points_.empty() && points_.back() == p) return;
    points_.push_back(p);
  }
  void Flush() {
    if (points_.size() >= 2) canvas_.Polyline(points_.data(), points_.size());
    points_.clear();
  }

  Canvas& canvas_;
  const bool everyPoint_;
  std::vector<CanvasPoint> points_;
  bool run_ = false;
  int col_ = 0, n_ = 0;
  CanvasPoint last_;
  int minY_ = 0, maxY_ = 0, minOrd_ = 0, maxOrd_ = 0;
};

// One bit per pixel position of the frame: a symbol is drawn once there.
// Bits run down the columns, so the rows a curve visits in one column share
// cache lines.
class PositionSet {
 public:
  PositionSet(const FrameLayout& frame) : left_(frame.left - 1), top_(frame.Top() - 1) {
    w_ = frame.width + 3;
    h_ = frame.height + 3;
    const long long bits = static_cast<long long>(w_) * h_;
    // A huge page falls back to skipping repeats of the same position only.
    if (bits > 0 && bits <= (1LL << 27)) words_.assign(static_cast<std::size_t>((bits + 63) / 64), 0);
  }
  void Clear() {
    std::fill(words_.begin(), words_.end(), 0);
    last_ = {INT32_MIN, INT32_MIN};
  }
  // True the first time a position is offered.
  bool Insert(CanvasPoint p) {
    if (p == last_) return false;
    last_ = p;
    const int x = p.x - left_, y = p.y - top_;
    if (words_.empty() || x < 0 || y < 0 || x >= w_ || y >= h_) return true;
    const std::size_t bit = static_cast<std::size_t>(x) * h_ + y;
    std::uint64_t& word = words_[bit >> 6];
    const std::uint64_t mask = std::uint64_t{1} << (bit & 63);
    if (word & mask) return false;
    word |= mask;
    return true;
  }

 private:
  int left_, top_, w_ = 0, h_ = 0;
  std::vector<std::uint64_t> words_;
  CanvasPoint last_{INT32_MIN, INT32_MIN};
};

// Point classes of the mapping pass.
// (32 bits wide like the floats they come from, which keeps the vector
// code of the mapping pass simple.)
constexpr std::int32_t kSkipped = 0;  // NaN or infinite
constexpr std::int32_t kInside = 1;   // strictly inside the range
constexpr std::int32_t kOutside = 2;
constexpr int kBlock = 2048;
constexpr double kOffsetLimit = kPixelLimit;

// The mapping pass over a block of points: class and truncated offsets from
// the origin (saturated), in branch-free loops the compiler vectorises (with
// AVX2 where the processor has it: four doubles at a time instead of two).
// Not under the sanitizers: the clones' resolver runs during relocation,
// before their run-time is ready, and instrumented it crashes the program
// before main.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && \
    !defined(__SANITIZE_THREAD__) && !defined(__SANITIZE_ADDRESS__)
__attribute__((target_clones("avx2", "default")))
#endif
void MapBlock(const curves::CurvePoint* pts, int count, const PixelMapper& map, float xMin,
              float xMax, float yMin, float yMax, std::int32_t* cls, int* ox, int* oy) {
  const double x0 = map.xMin, y0 = map.yMin, sx = map.xScale, sy = map.yScale;
  for (int j = 0; j < count; ++j) {
    const float x = pts[j].x, y = pts[j].y;
    // x - x is 0 exactly for finite x, NaN for NaN and infinities.
    const int finite = ((x - x) == 0.0f) & ((y - y) == 0.0f);
    const int inside = (xMin < x) & (x < xMax) & (yMin < y) & (y < yMax);
    cls[j] = finite * (kOutside - inside);  // kInside when inside
  }
  for (int j = 0; j < count; ++j) {
    // A NaN offset fails the first test and becomes the lower limit; its
    // point is skipped anyway.
    double fx = (static_cast<double>(pts[j].x) - x0) * sx;
    double fy = (static_cast<double>(pts[j].y) - y0) * sy;
    fx = fx > -kOffsetLimit ? fx : -kOffsetLimit;
    fy = fy > -kOffsetLimit ? fy : -kOffsetLimit;
    fx = fx < kOffsetLimit ? fx : kOffsetLimit;
    fy = fy < kOffsetLimit ? fy : kOffsetLimit;
    ox[j] = static_cast<int>(fx);
    oy[j] = static_cast<int>(fy);
  }
}

// The run of inside points after point j in j's pixel column whose rows lie
// within 32 of j's (a point further away ends the run, and the caller takes
// it on its own): where it ends, its extreme rows with their first indexes,
// and the rows it visits as bits (bit 32 is j's row). Kept apart from the
// caller so its loop runs in registers.
struct ColumnScan {
  int end;
  int loK, hiK;
  std::uint64_t rows;
};

ColumnScan ScanColumn(const std::int32_t* cls, const int* ox, const int* oy, int j, int count) {
  const int col = ox[j], first = oy[j];
  int lo = first, hi = first, loK = j, hiK = j;
  std::uint64_t rows = std::uint64_t{1} << 32;
  int k = j + 1;
  for (; k < count; ++k) {
    if (cls[k] != kInside || ox[k] != col) break;
    const int v = oy[k];
    const unsigned d = static_cast<unsigned>(v - first + 32);
    if (d >= 64) break;
    rows |= std::uint64_t{1} << d;
    loK = v < lo ? k : loK;
    lo = v < lo ? v : lo;
    hiK = v > hi ? k : hiK;
    hi = v > hi ? v : hi;
  }
  return ColumnScan{k, loK, hiK, rows};
}

void DrawOneCurve(Canvas& canvas, const curves::Curve& curve, const PlotView& view,
                  const FrameLayout& frame, const CurveStyle& style, const DrawOptions& options,
                  PositionSet& positions, std::vector<CanvasPoint>& symbols) {
  const bool enforceColor = options.enforceColor;
  const bool everyPoint = options.everyPoint;
  const std::uint32_t n = curve.Count();
  if (n == 0) return;
  const curves::CurvePoint* pts = curve.Data();
  const float xMin = view.xMin, xMax = view.xMax, yMin = view.yMin, yMax = view.yMax;
  const PixelMapper map(view);

  const bool lines = style.DrawsLines();
  const int symbolSize = SymbolPixels(canvas, style);
  const bool marks = style.symbol != kSymbolNone && symbolSize > 0;
  const CanvasPen linePen = CurvePen(canvas, style, enforceColor);

  // Lines that leave the frame are cut at a box a little larger than the
  // frame: the canvas clip cuts the rest, wide pens included.
  const double margin = 2.0 + linePen.width;
  const double bx0 = frame.left - margin, bx1 = frame.Right() + margin;
  const double by0 = frame.Top() - margin, by1 = frame.bottom + margin;
  // Pixel coordinates of a point as doubles (not saturated), so far-away
  // points keep their direction for the clipping.
  auto farX = [&](std::uint32_t i) { return map.originX + std::trunc(map.OffsetX(pts[i].x)); };
  auto farY = [&](std::uint32_t i) { return map.originY - std::trunc(map.OffsetY(pts[i].y)); };

  symbols.clear();
  if (marks) positions.Clear();
  if (lines) canvas.SetPen(linePen);
  ColumnReducer path(canvas, everyPoint);

  std::int32_t cls[kBlock];
  int ox[kBlock], oy[kBlock];
  bool havePrev = false, prevInside = false;
  std::uint32_t prev = 0;
  for (std::uint32_t base = 0; base < n; base += kBlock) {
    const int count = static_cast<int>(std::min<std::uint32_t>(kBlock, n - base));
    MapBlock(pts + base, count, map, xMin, xMax, yMin, yMax, cls, ox, oy);
    for (int j = 0; j < count; ++j) {
      if (cls[j] == kSkipped) continue;
      const std::uint32_t i = base + static_cast<std::uint32_t>(j);
      const bool inside = cls[j] == kInside;
      if (inside) {
        const CanvasPoint p{map.originX + ox[j], map.originY - oy[j]};
        if (marks && (everyPoint || positions.Insert(p))) symbols.push_back(p);
        if (lines) {
          if (!havePrev) {
            path.MoveTo(p);
          } else if (prevInside) {
            path.LineTo(p);
          } else {
            // From an outside point: the part of the line inside the box.
            const double ax = farX(prev), ay = farY(prev);
            double t0, t1;
            if (ClipSegment(ax, ay, p.x, p.y, bx0, by0, bx1, by1, &t0, &t1))
              path.MoveTo({static_cast<int>(std::lround(ax + t0 * (p.x - ax))),
                           static_cast<int>(std::lround(ay + t0 * (p.y - ay)))});
            else
              path.MoveTo(p);
            path.LineTo(p);
          }
        }
        if (!everyPoint) {
          // The inside points that follow in the same pixel column add
          // nothing to the picture but their extremes, their last point
          // and the rows their symbols land on.
          const ColumnScan scan = ScanColumn(cls, ox, oy, j, count);
          if (scan.end > j + 1) {
            if (lines) {
              int order[3] = {scan.loK, scan.hiK, scan.end - 1};
              std::sort(order, order + 3);
              int done = j;
              for (int o : order) {
                if (o == done) continue;
                path.LineTo({p.x, map.originY - oy[o]});
                done = o;
              }
            }
            if (marks) {
              std::uint64_t rows = scan.rows & ~(std::uint64_t{1} << 32);  // row of j: in already
              while (rows) {
                const int bit = __builtin_ctzll(rows);
                rows &= rows - 1;
                const CanvasPoint q{p.x, map.originY - (oy[j] + bit - 32)};
                if (positions.Insert(q)) symbols.push_back(q);
              }
            }
            j = scan.end - 1;
          }
          havePrev = true;
          prevInside = true;
          prev = base + static_cast<std::uint32_t>(j);
          continue;
        }
      } else if (lines && havePrev && prevInside) {
        const double ax = farX(prev), ay = farY(prev);
        const double qx = farX(i), qy = farY(i);
        double t0, t1;
        if (ClipSegment(ax, ay, qx, qy, bx0, by0, bx1, by1, &t0, &t1))
          path.LineToOutside({static_cast<int>(std::lround(ax + t1 * (qx - ax))),
                              static_cast<int>(std::lround(ay + t1 * (qy - ay)))});
      }
      havePrev = true;
      prevInside = inside;
      prev = i;
    }
  }
  path.Finish();
  if (symbols.empty()) return;
  const CanvasPen symbolPen = SymbolPen(canvas, style, enforceColor);
  if (everyPoint) {
    for (const CanvasPoint& p : symbols)
      DrawSymbol(canvas, p.x, p.y, static_cast<int>(style.symbol), symbolSize, symbolPen);
  } else {
    canvas.StampSymbols(static_cast<int>(style.symbol), symbolSize, symbolPen, symbols);
  }
}

}  // namespace

void DrawCurves(Canvas& canvas, const curves::CurveFamily& family, const PlotView& view,
                const FrameLayout& frame, const CurveStyles& styles, const DrawOptions& options) {
  PositionSet positions(frame);
  std::vector<CanvasPoint> symbols;
  for (std::uint32_t c = 0; c < family.Count(); ++c) {
    canvas.BeginCurve(c);
    DrawOneCurve(canvas, family.Curve(c), view, frame, styles[c % kCurveStyleCount], options,
                 positions, symbols);
    canvas.EndCurve();
  }
}

}  // namespace tsm::plot
