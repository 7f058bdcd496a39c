// The ordered set of curves shown together, with the picture information that
// describes them (title, units, designer, chip, circuit, comment, date and
// duration), the marking of curves for an operation and the family calculus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "curves/curve.h"

namespace tsm::curves {

// Sizes of the text fields including their NUL.
inline constexpr std::size_t kGraphNameSize = 64;
inline constexpr std::size_t kUnitSize = 16;
inline constexpr std::size_t kDesignerSize = 64;
inline constexpr std::size_t kChipNameSize = 64;
inline constexpr std::size_t kCircuitNameSize = 64;
inline constexpr std::size_t kCommentSize = 512;
// Time spent when not known.
inline constexpr float kTimeSpentUnknown = -1.0f;

// What the caller of DifferentiateX/DifferentiateY shows (information icon,
// default caption) when they return true.
inline constexpr const char* kCurvesDiscardedText =
    "Some curves consisted of 0 or 1 point only.\nThey have been discarded.";
// Shown by the family calculus when a renamed text had to be cut.
inline constexpr const char* kUnitsTooLongText = "The name of Y-units is too long.\nTruncated.";
inline constexpr const char* kPlotNameTooLongText = "The name of plot is too long.\nTruncated.";

// Curve records move between slots whole (their point blocks move with them):
// removing or reordering curves never copies points. Index and range
// violations are program errors reported with source "curvefam". Operations
// that need memory report false when it ran out, leaving the family
// consistent. Not copyable: use CopyFrom, which may end short.
class CurveFamily {
 public:
  CurveFamily();
  CurveFamily(CurveFamily&& other) noexcept;
  CurveFamily& operator=(CurveFamily&& other) noexcept;
  CurveFamily(const CurveFamily&) = delete;
  CurveFamily& operator=(const CurveFamily&) = delete;
  // Exchanges everything, curves and picture information (what Undo does).
  void Swap(CurveFamily& other) noexcept;

  // --- maintenance
  std::uint32_t Count() const { return static_cast<std::uint32_t>(curves_.size()); }
  // Destroys every curve and resets every field as for a new family.
  void Clear();
  // Removes curves n .. Count()-1, or adds empty curves up to n. False when
  // the slots could not be obtained (the family is then unchanged).
  bool SetCount(std::uint32_t n);
  // Curve index (< Count()).
  tsm::curves::Curve& Curve(std::uint32_t index);
  const tsm::curves::Curve& Curve(std::uint32_t index) const;
  // Removes and destroys curves first .. last (inclusive).
  void RemoveRange(std::uint32_t first, std::uint32_t last);
  // Takes the curve at `from` out and reinserts it at `to`.
  void MoveCurve(std::uint32_t from, std::uint32_t to);
  void SwapCurves(std::uint32_t a, std::uint32_t b);
  // Deep copy (a no-op for this family). When memory runs out the copy ends
  // with fewer curves than the source and the result is false.
  bool CopyFrom(const CurveFamily& other);
  // Copies date, time spent and every text, not the curves.
  void CopyInfo(const CurveFamily& other);
  // SetSize(n) on every curve; false when some curve could not be resized.
  bool SetAllSizes(std::uint32_t n);
  // Extremes over the non-empty curves; nullopt when there is none.
  std::optional<float> MinX() const;
  std::optional<float> MinY() const;
  std::optional<float> MaxX() const;
  std::optional<float> MaxY() const;
  // Exchanges x and y of every point and the x and y unit texts.
  void SwapXY();
  // Deletes the points inside the rectangle from every curve; a curve left
  // with no points is removed. Returns the OR of the curves' failure flags.
  unsigned DeletePointsIn(const CurveRect& rect);
  // Splits curve c at point p into "<name>#1" (points 0 .. p-1) and, in the
  // next slot, "<name>#2" (points p+1 .. end); point p goes to neither. Does
  // nothing when p is the first or the last point. False when memory ran out
  // (nothing changed) or after reporting a bad index.
  bool SplitCurve(std::uint32_t c, std::uint32_t p);

  // --- picture information; each setter returns false when it truncated
  const char* GraphName() const { return graphName_; }
  const char* UnitX() const { return unitX_; }
  const char* UnitY() const { return unitY_; }
  const char* Designer() const { return designer_; }
  const char* ChipName() const { return chipName_; }
  const char* CircuitName() const { return circuitName_; }
  // Free text, lines separated by "\r\n".
  const char* Comment() const { return comment_; }
  // Seconds since 1970-01-01 UTC when the last measurement ended; 0 unknown.
  std::uint32_t DateTime() const { return dateTime_; }
  // Seconds the last measurement took; kTimeSpentUnknown when not known.
  float TimeSpent() const { return timeSpent_; }

  bool SetGraphName(const char* text);
  bool SetUnitX(const char* text);
  bool SetUnitY(const char* text);
  bool SetDesigner(const char* text);
  bool SetChipName(const char* text);
  bool SetCircuitName(const char* text);
  bool SetComment(const char* text);
  bool AppendComment(const char* text);
  // The combined setters set every part and return true only if all fitted.
  bool SetUnits(const char* unitX, const char* unitY);
  bool SetInfo(const char* graphName, const char* unitX, const char* unitY,
               const char* designer);
  void SetDateTime(std::uint32_t seconds) { dateTime_ = seconds; }
  void SetTimeSpent(float seconds) { timeSpent_ = seconds; }

  // --- marking (the selection of curves an operation works on)
  void MarkAll();
  void UnmarkAll();
  // Marks exactly the curves with a point inside the rectangle; returns how
  // many were marked (the main window shows "%u curves selected").
  std::uint32_t MarkCurvesIn(const CurveRect& rect);
  std::uint32_t CountMarked() const;
  // Removes every marked curve, keeping the order of the rest.
  void RemoveMarked();
  // Index of the n-th marked curve (n from 0) in family order; reports a
  // program error and returns kNoIndex when fewer than n+1 are marked.
  std::uint32_t GetMarkedCurveIndex(std::uint32_t n) const;

  // --- family calculus ("Simple dy/dx (x)", "Simple dy/dx (y)", "Integrate")
  // Each curve becomes its simple derivative; curves of 0 or 1 point are
  // removed, and so is a curve whose points all share one x. Units become
  // "Y/X", the graph name "D[name,x]". True when a curve of 0 or 1 point was
  // discarded (the caller then shows kCurvesDiscardedText).
  bool DifferentiateX();
  // As DifferentiateX with the graph name "D[name,x](y)"; afterwards the x
  // units equal the new y units.
  bool DifferentiateY();
  // Each non-empty curve becomes its running trapezoid integral; units become
  // "Y*X", the graph name "Int[name,x]".
  void Integrate();

 private:
  // Differentiates every curve, removing those that end empty; true when a
  // curve of 0 or 1 point was among them.
  bool DifferentiateCurves();
  // Units := unitPattern(y units, x units), graph name := namePattern(graph
  // name); a truncation is told to the user with the given caption.
  void Rename(const char* caption, const char* unitPattern, const char* namePattern);
  void ResetInfo();

  std::uint32_t dateTime_ = 0;
  float timeSpent_ = kTimeSpentUnknown;
  char graphName_[kGraphNameSize];
  char unitX_[kUnitSize];
  char unitY_[kUnitSize];
  char designer_[kDesignerSize];
  char chipName_[kChipNameSize];
  char circuitName_[kCircuitNameSize];
  char comment_[kCommentSize];
  std::vector<tsm::curves::Curve> curves_;
};

inline void swap(CurveFamily& a, CurveFamily& b) noexcept { a.Swap(b); }

}  // namespace tsm::curves
