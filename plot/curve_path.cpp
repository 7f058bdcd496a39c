#include "plot/curve_path.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
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

// Where a vertex lies off the frame: far enough beyond one edge that a line
// between two vertices beyond the same edge never shows, whatever the pen.
enum Side : int { kNoSide = 0, kAbove = 1, kBelow = 2, kLeftOf = 4, kRightOf = 8 };
constexpr int kVertical = kAbove | kBelow;

struct Edges {
  int above, below, leftOf, rightOf;  // a vertex at or beyond lies off that edge
  int hubTop, hubBottom;              // the rows of the clipping box (off the frame)
  int SideOf(CanvasPoint p) const {
    if (p.y <= above) return kAbove;
    if (p.y >= below) return kBelow;
    if (p.x <= leftOf) return kLeftOf;
    if (p.x >= rightOf) return kRightOf;
    return kNoSide;
  }
};

// The lines of one curve as polylines, the vertices of one pixel column
// reduced to what shows. A curve arrives as lines from the pen's place
// (LineTo), lines that end where the curve leaves the frame (Exit) and
// places where it comes back (Enter); the frame was clipped to before, so
// the vertices lie within the clipping box.
//
// In one column, a run of connected vertices covers the rows from its
// lowest to its highest: it shrinks to its first, lowest, highest and last
// vertex in the order they came. A dense curve zoomed in leaves and enters
// the frame all the time, and a gap between leaving and coming back splits
// the run: each piece between two gaps touches the top or the bottom edge
// (it begins where the curve came in and ends where it left), so together
// the pieces touching the top cover the rows from the top down to their
// lowest row and those touching the bottom the rows from their highest
// down to the bottom. The column then needs at most: its first vertex, the
// far row of its group, the edge, (a break to the other edge,) the far row
// of the last vertex's group, the last vertex; and a spike from the edge
// for a group that holds neither. A line between two vertices off the same
// edge shows nothing, so a gap between two such vertices in different
// columns is bridged without a break. Spikes of the top and of the bottom
// are drawn at the end as one polyline each, joined along the edge. A whole
// column drawn by a thin solid pen is one pixel wide: such columns are
// filled at the end, side by side as rectangles, and the polyline just goes
// from the column's first vertex to its last.
class PathReducer {
 public:
  PathReducer(Canvas& canvas, bool everyPoint, const Edges& edges, const CanvasPen& pen)
      : canvas_(canvas),
        everyPoint_(everyPoint),
        edges_(edges),
        fillColumns_(pen.style == kPenSolid && pen.width <= 1),
        color_(pen.color) {
    points_.reserve(4096);
  }

  // Starts a new polyline at p.
  void MoveTo(CanvasPoint p) {
    EndRun();
    Flush();
    points_.push_back(p);
    up_ = false;
    down_ = true;
    if (!everyPoint_) StartRun(p);
  }
  // A line from the pen's place to p, which becomes the pen's place.
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
      chainLo_ = p.y < chainLo_ ? p.y : chainLo_;
      chainHi_ = p.y > chainHi_ ? p.y : chainHi_;
      return;
    }
    EndRun();
    Push(p);
    StartRun(p);
  }
  // A line to e, where the curve leaves the frame: the pen lifts there.
  void Exit(CanvasPoint e) {
    LineTo(e);
    up_ = true;
  }
  // The curve comes back into the frame at s.
  void Enter(CanvasPoint s) {
    if (!down_ || !up_ || everyPoint_) {
      MoveTo(s);
      return;
    }
    up_ = false;
    const CanvasPoint e = last_;
    const int se = edges_.SideOf(e), ss = edges_.SideOf(s);
    if (se == kNoSide || ss == kNoSide) {
      MoveTo(s);
    } else if ((se & kVertical) && (ss & kVertical) && s.x == col_) {
      Gap(se, s, ss);
    } else if (se == ss) {
      LineTo(s);  // along the edge, off the frame
    } else if ((se & kVertical) && (ss & kVertical)) {
      LineTo({s.x, e.y});  // along e's edge to s's column, then a gap there
      Gap(se, s, ss);
    } else {
      MoveTo(s);
    }
  }
  void Finish() {
    EndRun();
    Flush();
    for (std::vector<CanvasPoint>& spikes : spikes_) {
      if (spikes.size() >= 2) canvas_.Polyline(spikes.data(), spikes.size());
      spikes.clear();
    }
    for (const auto& [from, to] : fullColumns_)
      canvas_.FillRect({from, edges_.hubTop, to + 1, edges_.hubBottom + 1}, color_);
    fullColumns_.clear();
    down_ = up_ = false;
  }

  // Whether the run in column x covers the whole column already: further
  // vertices there change nothing but which is the last.
  bool FullColumn(int x) const {
    return run_ && col_ == x && gapped_ && (full_ || topFar_ >= bottomFar_ - 1);
  }
  // The last vertex of such a column, and whether the pen lifted there.
  void SetLast(CanvasPoint last, bool up) {
    last_ = last;
    up_ = up;
  }

 private:
  void StartRun(CanvasPoint p) {
    run_ = true;
    col_ = p.x;
    n_ = 1;
    last_ = p;
    minY_ = maxY_ = p.y;
    minOrd_ = maxOrd_ = 0;
    gapped_ = false;
    chainLo_ = chainHi_ = p.y;
    chainFrom_ = edges_.SideOf(p) & kVertical;
  }
  // A gap in the column: the piece so far ended off edge `end`; a new one
  // begins at s, off edge `from`.
  void Gap(int end, CanvasPoint s, int from) {
    if (!gapped_) {
      gapped_ = true;
      full_ = false;
      firstGroup_ = end;
      topFar_ = INT32_MIN;
      bottomFar_ = INT32_MAX;
    }
    ClosePiece(chainFrom_ | end);
    chainFrom_ = from;
    chainLo_ = chainHi_ = s.y;
    last_ = s;
    ++n_;
  }
  void ClosePiece(int edges) {
    if ((edges & kVertical) == kVertical) full_ = true;
    if (edges & kAbove) topFar_ = std::max(topFar_, chainHi_);
    if (edges & kBelow) bottomFar_ = std::min(bottomFar_, chainLo_);
  }
  void EndRun() {
    if (!run_) return;
    run_ = false;
    if (gapped_) {
      EndGappedRun();
      return;
    }
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
  int Far(int group) const { return group == kAbove ? topFar_ : bottomFar_; }
  int Hub(int group) const { return group == kAbove ? edges_.hubTop : edges_.hubBottom; }
  void EndGappedRun() {
    const int lastSide = edges_.SideOf(last_) & kVertical;
    ClosePiece(chainFrom_ | lastSide);
    const int firstGroup = firstGroup_;
    const int lastGroup = chainFrom_ ? chainFrom_ : lastSide;
    if (full_ || topFar_ >= bottomFar_ - 1) {
      if (fillColumns_) {
        if (!fullColumns_.empty() && fullColumns_.back().second + 1 == col_)
          fullColumns_.back().second = col_;
        else
          fullColumns_.emplace_back(col_, col_);
        Push(last_);
        return;
      }
      // Edge to edge, from the edge nearer the first vertex when that draws
      // fewer pixels.
      const int first = points_.empty() ? last_.y : points_.back().y;
      const bool topFirst = (first - edges_.hubTop) + (edges_.hubBottom - last_.y) <=
                            (edges_.hubBottom - first) + (last_.y - edges_.hubTop);
      Push({col_, topFirst ? edges_.hubTop : edges_.hubBottom});
      Push({col_, topFirst ? edges_.hubBottom : edges_.hubTop});
      Push(last_);
      return;
    }
    Push({col_, Far(firstGroup)});
    Push({col_, Hub(firstGroup)});
    if (lastGroup != firstGroup) {
      Flush();
      points_.push_back({col_, Hub(lastGroup)});
      Push({col_, Far(lastGroup)});
      Push(last_);
      return;
    }
    Push(last_);
    const int other = kVertical & ~firstGroup;
    if (Far(other) != (other == kAbove ? INT32_MIN : INT32_MAX)) {
      std::vector<CanvasPoint>& spikes = spikes_[other == kAbove ? 0 : 1];
      spikes.push_back({col_, Hub(other)});
      spikes.push_back({col_, Far(other)});
      spikes.push_back({col_, Hub(other)});
    }
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
  const Edges edges_;
  const bool fillColumns_;
  const Color color_;
  std::vector<CanvasPoint> points_;
  std::vector<CanvasPoint> spikes_[2];  // off the top, off the bottom
  std::vector<std::pair<int, int>> fullColumns_;  // runs of whole columns, first and last
  bool down_ = false, up_ = false;      // a polyline was begun; the pen is lifted
  // The run of the present column.
  bool run_ = false;
  int col_ = 0, n_ = 0;
  CanvasPoint last_;
  int minY_ = 0, maxY_ = 0, minOrd_ = 0, maxOrd_ = 0;
  // Its gaps: the present piece's rows and the edge it began off, the
  // edge the first piece ended off, the far rows of the two groups.
  bool gapped_ = false, full_ = false;
  int chainLo_ = 0, chainHi_ = 0, chainFrom_ = 0, firstGroup_ = 0;
  int topFar_ = INT32_MIN, bottomFar_ = INT32_MAX;
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

// The run of inside points after point j in j's pixel column: where it
// ends and its extreme rows with their first indexes. With Marks, the rows
// its points visit are set in `rows`, one bit per row of the clipping box
// (bit topOffset - oy of a point; the caller reads and clears them). Kept
// apart from the caller so its loop runs in registers.
struct ColumnScan {
  int end;
  int loK, hiK;
};

template <bool Marks>
ColumnScan ScanColumn(const std::int32_t* cls, const int* ox, const int* oy, int j, int count,
                      int topOffset, std::uint64_t* rows) {
  const int col = ox[j];
  int lo = oy[j], hi = oy[j], loK = j, hiK = j;
  int k = j + 1;
  for (; k < count; ++k) {
    if (cls[k] != kInside || ox[k] != col) break;
    const int v = oy[k];
    if constexpr (Marks) {
      const auto r = static_cast<unsigned>(topOffset - v);
      rows[r >> 6] |= std::uint64_t{1} << (r & 63);
    }
    loK = v < lo ? k : loK;
    lo = v < lo ? v : lo;
    hiK = v > hi ? k : hiK;
    hi = v > hi ? v : hi;
  }
  return ColumnScan{k, loK, hiK};
}

// The points after j in j's pixel column, when that column is drawn whole
// already (or only symbols are drawn): up to the first point of another
// column, a skipped one, or an outside one whose row the edges do not hide
// (whose line would end in sight). Sets the row bits of its inside points
// (relative to the box's top row) and tells where the scan ended and its
// last inside point (-1: none). Branch-free but for the end, and kept apart
// from the caller so its loop runs in registers.
struct ColumnRest {
  int end;
  int lastInside;
};

ColumnRest ScanWholeColumn(const std::int32_t* cls, const int* ox, const int* oy, int j,
                           int count, int originY, bool lines, bool marks, const Edges& edges,
                           std::uint64_t* rows) {
  const int col = ox[j];
  int lastInside = -1;
  int k = j + 1;
  for (; k < count; ++k) {
    if (ox[k] != col || cls[k] == kSkipped) break;
    const bool in = cls[k] == kInside;
    const int row = originY - oy[k];
    if (!in && lines && row > edges.above && row < edges.below) break;
    lastInside = in ? k : lastInside;
    if (marks) {
      const unsigned r = in ? static_cast<unsigned>(row - edges.hubTop) : 0u;
      rows[r >> 6] |= std::uint64_t{in} << (r & 63);
    }
  }
  return ColumnRest{k, lastInside};
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
  const int halfPen = linePen.width > 1 ? (linePen.width + 1) / 2 : 0;
  const Edges edges{frame.Top() - 1 - halfPen, frame.bottom + 1 + halfPen,
                    frame.left - 1 - halfPen,  frame.Right() + 1 + halfPen,
                    static_cast<int>(by0),     static_cast<int>(by1)};
  // Pixel coordinates of a point as doubles (not saturated), so far-away
  // points keep their direction for the clipping.
  auto farX = [&](std::uint32_t i) { return map.originX + std::trunc(map.OffsetX(pts[i].x)); };
  auto farY = [&](std::uint32_t i) { return map.originY - std::trunc(map.OffsetY(pts[i].y)); };
  // Where the line between an inside point and an outside one crosses the
  // box: in the same pixel column (the usual case of a dense curve) the
  // outside point's row held to the box, else the clipped segment's end.
  auto clampRow = [&](int offsetY) {
    return std::clamp(map.originY - offsetY, edges.hubTop, edges.hubBottom);
  };
  auto crossing = [&](CanvasPoint in, std::uint32_t out, bool sameColumn, int outOffsetY,
                      CanvasPoint* at) {
    if (sameColumn) {
      *at = {in.x, clampRow(outOffsetY)};
      return true;
    }
    const double ax = farX(out), ay = farY(out);
    double t0, t1;
    if (!ClipSegment(ax, ay, in.x, in.y, bx0, by0, bx1, by1, &t0, &t1)) return false;
    *at = {static_cast<int>(std::lround(ax + t0 * (in.x - ax))),
           static_cast<int>(std::lround(ay + t0 * (in.y - ay)))};
    return true;
  };

  symbols.clear();
  if (marks) positions.Clear();
  if (lines) canvas.SetPen(linePen);
  PathReducer path(canvas, everyPoint, edges, linePen);
  // The rows of the clipping box in one column, one bit each, and the
  // symbols of those set in words from .. to - 1 at column x (the bits are
  // cleared as they are read).
  std::vector<std::uint64_t> columnRows(
      static_cast<std::size_t>((edges.hubBottom - edges.hubTop) / 64 + 1), 0);
  const int topOffset = map.originY - edges.hubTop;
  auto symbolsOfRows = [&](int x, std::size_t from, std::size_t to) {
    for (std::size_t w = from; w < to; ++w) {
      std::uint64_t bits = columnRows[w];
      columnRows[w] = 0;
      while (bits) {
        const int bit = __builtin_ctzll(bits);
        bits &= bits - 1;
        const CanvasPoint q{x, edges.hubTop + static_cast<int>(64 * w) + bit};
        if (positions.Insert(q)) symbols.push_back(q);
      }
    }
  };

  std::int32_t cls[kBlock];
  int ox[kBlock], oy[kBlock];
  bool havePrev = false, prevInside = false;
  std::uint32_t prev = 0;
  int prevOx = 0, prevOy = 0;
  for (std::uint32_t base = 0; base < n; base += kBlock) {
    const int count = static_cast<int>(std::min<std::uint32_t>(kBlock, n - base));
    MapBlock(pts + base, count, map, xMin, xMax, yMin, yMax, cls, ox, oy);
    for (int j = 0; j < count; ++j) {
      if (cls[j] == kSkipped) continue;
      if (cls[j] == kOutside && !(havePrev && prevInside)) {
        // Nothing is drawn from one outside point to the next: on to the
        // next inside point, the last outside one before it being where its
        // line comes from. (A zoomed-in view leaves most points outside.)
        int last = j, k = j + 1;
        for (; k < count && cls[k] != kInside; ++k) last = cls[k] == kOutside ? k : last;
        havePrev = true;
        prevInside = false;
        prev = base + static_cast<std::uint32_t>(last);
        prevOx = ox[last];
        prevOy = oy[last];
        j = k - 1;
        continue;
      }
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
            CanvasPoint entry;
            if (crossing(p, prev, prevOx == ox[j], prevOy, &entry))
              path.Enter(entry);
            else
              path.MoveTo(p);
            path.LineTo(p);
          }
        }
        if (!everyPoint) {
          // The inside points that follow in the same pixel column add
          // nothing to the picture but their extremes, their last point
          // and the rows their symbols land on.
          const ColumnScan scan =
              marks ? ScanColumn<true>(cls, ox, oy, j, count, topOffset, columnRows.data())
                    : ScanColumn<false>(cls, ox, oy, j, count, topOffset, nullptr);
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
              const auto top = static_cast<std::size_t>(topOffset - oy[scan.hiK]);
              const auto bottom = static_cast<std::size_t>(topOffset - oy[scan.loK]);
              symbolsOfRows(p.x, top >> 6, (bottom >> 6) + 1);
            }
            j = scan.end - 1;
          }
        }
      } else if (lines && havePrev && prevInside) {
        // To an outside point: the part of the line inside the box.
        if (ox[j] == prevOx) {
          path.Exit({map.originX + prevOx, clampRow(oy[j])});
        } else {
          const double ax = farX(prev), ay = farY(prev);
          const double qx = farX(i), qy = farY(i);
          double t0, t1;
          if (ClipSegment(ax, ay, qx, qy, bx0, by0, bx1, by1, &t0, &t1))
            path.Exit({static_cast<int>(std::lround(ax + t1 * (qx - ax))),
                       static_cast<int>(std::lround(ay + t1 * (qy - ay)))});
        }
      }
      if (!everyPoint && (marks || lines) && j + 1 < count && ox[j + 1] == ox[j] &&
          (!lines || path.FullColumn(map.originX + ox[j]))) {
        // The rest of a column drawn whole: its points change nothing but
        // the symbols and which vertex is the last; see ScanWholeColumn.
        const int x = map.originX + ox[j];
        const ColumnRest rest = ScanWholeColumn(cls, ox, oy, j, count, map.originY, lines,
                                                marks, edges, columnRows.data());
        if (lines) {
          if (rest.lastInside >= 0 && rest.lastInside == rest.end - 1)
            path.SetLast({x, map.originY - oy[rest.lastInside]}, false);
          else if (rest.lastInside >= 0)
            path.SetLast({x, clampRow(oy[rest.lastInside + 1])}, true);
          else if (cls[j] == kInside && rest.end > j + 1)
            path.SetLast({x, clampRow(oy[j + 1])}, true);
        }
        if (marks) symbolsOfRows(x, 0, columnRows.size());
        j = rest.end - 1;
      }
      havePrev = true;
      prevInside = cls[j] == kInside;
      prev = base + static_cast<std::uint32_t>(j);
      prevOx = ox[j];
      prevOy = oy[j];
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
