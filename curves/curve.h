// One x-y data set: a measured characteristic or the result of a computation
// on one. Points are pairs of 32-bit floats in base physical units, held in one
// owned block that moves with the record; only CopyFrom duplicates points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <type_traits>

#include "platform/assert.h"

namespace tsm::curves {

// One point, x first (8 bytes; data files and drawing code rely on the layout).
struct CurvePoint {
  float x;
  float y;
  friend bool operator==(const CurvePoint&, const CurvePoint&) = default;
};
static_assert(sizeof(CurvePoint) == 8, "a point is two packed 32-bit floats");
static_assert(std::is_trivially_copyable_v<CurvePoint>, "blocks move with memcpy and realloc");

// A rectangle in data coordinates. The corners may come in any order (a
// selection dragged leftwards or downwards); the operations normalise it and
// treat all four bounds as inclusive.
struct CurveRect {
  double x1 = 0.0;
  double x2 = 0.0;
  double y1 = 0.0;
  double y2 = 0.0;
};

// Result of the index searches when there is nothing to find (all bits set).
inline constexpr std::uint32_t kNoIndex = 0xFFFFFFFFu;
// Size of the name field including its NUL: names hold at most 127 characters.
inline constexpr std::size_t kCurveNameSize = 128;
// Failure flag of DeletePointsIn: storage could not be obtained. Deleting
// only shrinks the block, which never fails, so today the result is always 0;
// callers still test it.
inline constexpr unsigned kDeleteOutOfMemory = 1;

// Storage rules:
//  - Allocation never throws. An operation that cannot get its block reports
//    false and leaves the curve consistent: a failed growth keeps every point
//    it had; a failed CopyFrom leaves the curve empty (count and capacity 0,
//    no block). Shrinking never fails (the larger block is kept if need be).
//  - Append grows the block by max(8, capacity / 2) points, so a measurement
//    of n points costs amortised constant time per point; Reserve, SetSize and
//    RemoveRange size the block to exactly the requested count; Truncate
//    keeps it.
//  - Points between Count() and Capacity() are not part of the curve.
// Index and range violations are program errors reported with source "curve".
class Curve {
 public:
  Curve() = default;
  ~Curve();
  // Records move between family slots with their block; nothing is copied.
  Curve(Curve&& other) noexcept;
  Curve& operator=(Curve&& other) noexcept;
  // Copies are explicit (CopyFrom): a deep copy may fail for lack of memory.
  Curve(const Curve&) = delete;
  Curve& operator=(const Curve&) = delete;
  void Swap(Curve& other) noexcept;

  // --- storage
  // Fresh-record state: no points, parameter 0, name "", not marked. Meant
  // for records without storage; on one that has a block it reports the
  // program error and frees the block rather than leaking it.
  void Reset();
  // Frees the block, then Reset.
  void Empty();
  // Capacity becomes exactly n (0 frees the block); count becomes
  // min(count, n); new places hold (0, 0). False when a larger block could not
  // be obtained (the curve is then unchanged).
  bool Reserve(std::uint32_t n);
  // Reserve(n), then count = n; points beyond the old count are (0, 0).
  // False (curve unchanged) when the block could not be obtained.
  bool SetSize(std::uint32_t n);
  // Count becomes min(count, n); the block stays as it is. For a result
  // written over a long curve whose block the next copy or growth takes
  // anyway: giving the rest back page by page can cost as much as the
  // computation that wrote it.
  void Truncate(std::uint32_t n) { count_ = n < count_ ? n : count_; }
  // Stores (x, y) at index Count(). False (curve unchanged) when full and the
  // block could not grow.
  bool Append(float x, float y) {
    if (count_ == capacity_ && !Grow()) return false;
    points_[count_++] = CurvePoint{x, y};
    return true;
  }
  // Point index (< Count()), read and write.
  CurvePoint& Point(std::uint32_t index) {
    if (!TSM_ASSERT(index < count_, "curve")) return Sink();
    return points_[index];
  }
  const CurvePoint& Point(std::uint32_t index) const {
    if (!TSM_ASSERT(index < count_, "curve")) return Sink();
    return points_[index];
  }
  // Removes points first .. last (inclusive); the block is resized to fit.
  void RemoveRange(std::uint32_t first, std::uint32_t last);
  // Deep copy of points, parameter, name and mark; a no-op for this curve.
  // False when the block could not be obtained: this curve is then empty.
  bool CopyFrom(const Curve& other);
  // Every point becomes (x * sx, y * sy). Returns this curve; take a copy
  // with CopyFrom when one is wanted.
  Curve& Scale(float sx, float sy);

  // --- fast access for drawing and file code: Count() points at Data().
  std::uint32_t Count() const { return count_; }
  std::uint32_t Capacity() const { return capacity_; }
  CurvePoint* Data() { return points_; }
  const CurvePoint* Data() const { return points_; }
  std::span<CurvePoint> Points() { return {points_, count_}; }
  std::span<const CurvePoint> Points() const { return {points_, count_}; }

  // --- extremes over the whole curve; nullopt for an empty curve. The
  // search starts from -/+3.4028235e38, so NaN points are never the result.
  std::optional<float> MaxX() const;
  std::optional<float> MaxY() const;
  std::optional<float> MinX() const;
  std::optional<float> MinY() const;
  // Index of the extreme among points from .. to-1 (to is clipped to
  // Count()); the first of equal extremes wins. Requires Count() > 0,
  // from < Count() and to > from, else reports and returns kNoIndex.
  std::uint32_t IndexOfMaxX(std::uint32_t from, std::uint32_t to) const;
  std::uint32_t IndexOfMaxY(std::uint32_t from, std::uint32_t to) const;
  std::uint32_t IndexOfMinX(std::uint32_t from, std::uint32_t to) const;
  std::uint32_t IndexOfMinY(std::uint32_t from, std::uint32_t to) const;

  // --- name, parameter, mark
  // Bounded to 127 characters; false when the text was truncated.
  bool SetName(const char* text);
  bool AppendName(const char* text);
  const char* Name() const { return name_; }
  // The quantity held fixed while the curve was taken (0 when not used).
  float Parameter() const { return parameter_; }
  void SetParameter(float value) { parameter_ = value; }
  void Mark() { marked_ = 1; }
  void Unmark() { marked_ = 0; }
  bool IsMarked() const { return marked_ != 0; }

  // --- rectangles (normalised, bounds inclusive)
  bool HasPointIn(const CurveRect& rect) const;
  // Removes every point inside the rectangle, keeping the order of the rest.
  // Returns failure flags, 0 on success.
  unsigned DeletePointsIn(const CurveRect& rect);

  // --- calculus steps of the family operations
  // Merges runs of equal x into their mean y, then replaces the k merged
  // points by the k-1 difference quotients at the interval midpoints. Fewer
  // than 2 merged points empty the curve (name and parameter included).
  void DifferentiateSimple();
  // Running trapezoid integral of y over x, starting at 0; x is unchanged.
  void IntegrateTrapezoid();

 private:
  bool Grow();
  // Makes the block hold exactly n > 0 points (a refused shrink keeps the
  // larger block). False when a larger block could not be obtained.
  bool Reblock(std::uint32_t n);
  // Target of a failed Point() call, so callers never touch a wild address.
  static CurvePoint& Sink();

  std::uint32_t count_ = 0;
  float parameter_ = 0.0f;
  char name_[kCurveNameSize] = {};
  std::uint32_t capacity_ = 0;
  CurvePoint* points_ = nullptr;
  std::uint16_t marked_ = 0;
};

inline void swap(Curve& a, Curve& b) noexcept { a.Swap(b); }

}  // namespace tsm::curves
