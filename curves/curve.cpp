#include "curves/curve.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <utility>

#include "curves/state.h"
#include "shell/stringex.h"

namespace tsm::curves {

namespace {

constexpr const char* kSource = "curve";
// Extremes start from the largest finite float so that a curve of NaNs or
// infinities still reports a finite extreme, as stored files expect.
constexpr float kLargest = std::numeric_limits<float>::max();

std::size_t BytesOf(std::uint32_t n) { return static_cast<std::size_t>(n) * sizeof(CurvePoint); }

void Normalise(double& low, double& high) {
  if (low > high) std::swap(low, high);
}

bool Inside(const CurvePoint& p, const CurveRect& r) {
  const double x = p.x;
  const double y = p.y;
  return r.x1 <= x && x <= r.x2 && r.y1 <= y && y <= r.y2;
}

CurveRect Normalised(CurveRect r) {
  Normalise(r.x1, r.x2);
  Normalise(r.y1, r.y2);
  return r;
}

template <typename Better>
std::optional<float> Extreme(std::span<const CurvePoint> points, float CurvePoint::*field,
                             float start, Better better) {
  if (points.empty()) return std::nullopt;
  float best = start;
  for (const CurvePoint& p : points)
    if (better(p.*field, best)) best = p.*field;
  return best;
}

}  // namespace

Curve::~Curve() { std::free(points_); }

Curve::Curve(Curve&& other) noexcept { Swap(other); }

Curve& Curve::operator=(Curve&& other) noexcept {
  if (this != &other) {
    Curve taken(std::move(other));
    Swap(taken);  // the old block leaves with `taken`
  }
  return *this;
}

void Curve::Swap(Curve& other) noexcept {
  std::swap(count_, other.count_);
  std::swap(parameter_, other.parameter_);
  std::swap(name_, other.name_);
  std::swap(capacity_, other.capacity_);
  std::swap(points_, other.points_);
  std::swap(marked_, other.marked_);
}

void Curve::Reset() {
  if (!TSM_ASSERT(points_ == nullptr, kSource)) std::free(points_);
  count_ = 0;
  parameter_ = 0.0f;
  name_[0] = '\0';
  capacity_ = 0;
  points_ = nullptr;
  marked_ = 0;
}

void Curve::Empty() {
  std::free(points_);
  points_ = nullptr;
  Reset();
}

bool Curve::Reblock(std::uint32_t n) {
  if (n > capacity_) {
    if (AllocationRefused(BytesOf(n))) return false;
    void* block = std::realloc(points_, BytesOf(n));
    if (!block) return false;
    points_ = static_cast<CurvePoint*>(block);
    std::memset(points_ + capacity_, 0, BytesOf(n - capacity_));
    capacity_ = n;
  } else if (n < capacity_) {
    // A refused shrink keeps the larger block: it still holds every point.
    if (void* block = std::realloc(points_, BytesOf(n))) {
      points_ = static_cast<CurvePoint*>(block);
      capacity_ = n;
    }
  }
  return true;
}

bool Curve::Reserve(std::uint32_t n) {
  if (n == 0) {
    std::free(points_);
    points_ = nullptr;
    capacity_ = 0;
    count_ = 0;
    return true;
  }
  if (!Reblock(n)) return false;
  count_ = std::min(count_, n);
  return true;
}

bool Curve::SetSize(std::uint32_t n) {
  const std::uint32_t old = count_;
  if (!Reserve(n)) return false;
  // Places past the old count may hold leftovers when a shrink kept the block.
  if (n > old) std::memset(points_ + old, 0, BytesOf(n - old));
  count_ = n;
  return true;
}

bool Curve::Grow() {
  // Growing by half the capacity (at least 8 points) keeps a long
  // measurement's appends amortised constant time; a fixed step would copy
  // the whole curve every 8 points.
  const std::uint64_t step = std::max<std::uint64_t>(8, capacity_ / 2);
  const std::uint64_t limit = std::numeric_limits<std::uint32_t>::max();
  const std::uint64_t wanted = std::min<std::uint64_t>(capacity_ + step, limit);
  if (wanted <= capacity_) return false;
  return Reblock(static_cast<std::uint32_t>(wanted));
}

CurvePoint& Curve::Sink() {
  thread_local CurvePoint sink;
  sink = CurvePoint{};
  return sink;
}

void Curve::RemoveRange(std::uint32_t first, std::uint32_t last) {
  const std::uint32_t count = count_;
  if (!TSM_ASSERT(first < count, kSource) || !TSM_ASSERT(last < count, kSource) ||
      !TSM_ASSERT(last >= first, kSource))
    return;
  std::memmove(points_ + first, points_ + last + 1, BytesOf(count - last - 1));
  SetSize(count - (last - first + 1));  // shrinking: cannot fail
}

bool Curve::CopyFrom(const Curve& other) {
  if (&other == this) return true;
  const std::uint32_t n = other.count_;
  if (n == 0 || capacity_ != n) {
    Empty();
    if (n > 0) {
      // Straight into a fresh block: zeroing it first would double the cost
      // of the undo copy of a large family.
      if (AllocationRefused(BytesOf(n))) return false;
      points_ = static_cast<CurvePoint*>(std::malloc(BytesOf(n)));
      if (!points_) return false;
      capacity_ = n;
    }
  }
  // A block of exactly the right size is reused (the undo copy is mostly
  // taken over one of the same shape); the result is the same either way.
  if (n > 0) std::memcpy(points_, other.points_, BytesOf(n));
  count_ = n;
  parameter_ = other.parameter_;
  shell::BoundedCopy(name_, other.name_, kCurveNameSize);
  marked_ = other.marked_;
  return true;
}

Curve& Curve::Scale(float sx, float sy) {
  for (CurvePoint& p : Points()) {
    p.x *= sx;
    p.y *= sy;
  }
  return *this;
}

std::optional<float> Curve::MaxX() const {
  return Extreme(Points(), &CurvePoint::x, -kLargest, std::greater<float>());
}
std::optional<float> Curve::MaxY() const {
  return Extreme(Points(), &CurvePoint::y, -kLargest, std::greater<float>());
}
std::optional<float> Curve::MinX() const {
  return Extreme(Points(), &CurvePoint::x, kLargest, std::less<float>());
}
std::optional<float> Curve::MinY() const {
  return Extreme(Points(), &CurvePoint::y, kLargest, std::less<float>());
}

namespace {

// Shared body of the index searches; `better` is strict, so a later equal
// value never replaces the best one.
template <typename Better>
std::uint32_t IndexOfExtreme(std::span<const CurvePoint> points, std::uint32_t from,
                             std::uint32_t to, float CurvePoint::*field, float start,
                             Better better) {
  const auto count = static_cast<std::uint32_t>(points.size());
  if (!TSM_ASSERT(count > 0, kSource) || !TSM_ASSERT(from < count, kSource)) return kNoIndex;
  to = std::min(to, count);
  if (!TSM_ASSERT(to > from, kSource)) return kNoIndex;
  float best = start;
  std::uint32_t index = from;
  for (std::uint32_t i = from; i < to; ++i)
    if (better(points[i].*field, best)) {
      best = points[i].*field;
      index = i;
    }
  return index;
}

}  // namespace

std::uint32_t Curve::IndexOfMaxX(std::uint32_t from, std::uint32_t to) const {
  return IndexOfExtreme(Points(), from, to, &CurvePoint::x, -kLargest, std::greater<float>());
}
std::uint32_t Curve::IndexOfMaxY(std::uint32_t from, std::uint32_t to) const {
  return IndexOfExtreme(Points(), from, to, &CurvePoint::y, -kLargest, std::greater<float>());
}
std::uint32_t Curve::IndexOfMinX(std::uint32_t from, std::uint32_t to) const {
  return IndexOfExtreme(Points(), from, to, &CurvePoint::x, kLargest, std::less<float>());
}
std::uint32_t Curve::IndexOfMinY(std::uint32_t from, std::uint32_t to) const {
  return IndexOfExtreme(Points(), from, to, &CurvePoint::y, kLargest, std::less<float>());
}

bool Curve::SetName(const char* text) { return shell::BoundedCopy(name_, text, kCurveNameSize); }

bool Curve::AppendName(const char* text) {
  return shell::BoundedAppend(name_, text, kCurveNameSize);
}

bool Curve::HasPointIn(const CurveRect& rect) const {
  const CurveRect r = Normalised(rect);
  return std::any_of(Points().begin(), Points().end(),
                     [&r](const CurvePoint& p) { return Inside(p, r); });
}

unsigned Curve::DeletePointsIn(const CurveRect& rect) {
  // One compacting pass removes every run inside the rectangle; the result
  // equals removing the runs one by one, without moving the tail per run.
  const CurveRect r = Normalised(rect);
  std::uint32_t kept = 0;
  for (std::uint32_t i = 0; i < count_; ++i)
    if (!Inside(points_[i], r)) points_[kept++] = points_[i];
  if (kept < count_) SetSize(kept);  // shrinking: cannot fail
  return 0;
}

}  // namespace tsm::curves
