#include "curves/curvefam.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <utility>

#include "curves/state.h"
#include "platform/assert.h"
#include "shell/stringex.h"

namespace tsm::curves {

namespace {

constexpr const char* kSource = "curvefam";
constexpr float kLargest = std::numeric_limits<float>::max();

// Target of a failed Curve() call, so callers never touch a wild address.
tsm::curves::Curve& SinkCurve() {
  thread_local tsm::curves::Curve sink;
  sink.Empty();
  return sink;
}

template <typename Of, typename Better>
std::optional<float> FamilyExtreme(const std::vector<tsm::curves::Curve>& curves, Of of,
                                   float start, Better better) {
  bool found = false;
  float best = start;
  for (const auto& c : curves)
    if (const std::optional<float> v = of(c)) {
      found = true;
      if (better(*v, best)) best = *v;
    }
  if (!found) return std::nullopt;
  return best;
}

}  // namespace

CurveFamily::CurveFamily() { ResetInfo(); }

CurveFamily::CurveFamily(CurveFamily&& other) noexcept : CurveFamily() { Swap(other); }

CurveFamily& CurveFamily::operator=(CurveFamily&& other) noexcept {
  if (this != &other) {
    CurveFamily taken(std::move(other));
    Swap(taken);
  }
  return *this;
}

void CurveFamily::Swap(CurveFamily& other) noexcept {
  std::swap(dateTime_, other.dateTime_);
  std::swap(timeSpent_, other.timeSpent_);
  std::swap(graphName_, other.graphName_);
  std::swap(unitX_, other.unitX_);
  std::swap(unitY_, other.unitY_);
  std::swap(designer_, other.designer_);
  std::swap(chipName_, other.chipName_);
  std::swap(circuitName_, other.circuitName_);
  std::swap(comment_, other.comment_);
  curves_.swap(other.curves_);
}

void CurveFamily::ResetInfo() {
  dateTime_ = 0;
  timeSpent_ = kTimeSpentUnknown;
  graphName_[0] = '\0';
  unitX_[0] = '\0';
  unitY_[0] = '\0';
  designer_[0] = '\0';
  chipName_[0] = '\0';
  circuitName_[0] = '\0';
  comment_[0] = '\0';
}

void CurveFamily::Clear() {
  std::vector<tsm::curves::Curve>().swap(curves_);
  ResetInfo();
}

bool CurveFamily::SetCount(std::uint32_t n) {
  const std::uint32_t count = Count();
  if (n < count) {
    curves_.erase(curves_.begin() + n, curves_.end());
    if (n == 0) std::vector<tsm::curves::Curve>().swap(curves_);
    return true;
  }
  if (n == count) return true;
  if (n > curves_.capacity()) {
    // Room for some more curves, so that a measurement adding its curves one
    // by one does not move every record each time; exactly n if that fails.
    const std::size_t roomy = std::max<std::size_t>(n, curves_.capacity() * 3 / 2);
    bool grown = false;
    for (const std::size_t slots : {roomy, static_cast<std::size_t>(n)}) {
      if (AllocationRefused(slots * sizeof(tsm::curves::Curve))) continue;
      try {
        curves_.reserve(slots);
        grown = true;
        break;
      } catch (const std::bad_alloc&) {
      }
    }
    if (!grown) return false;
  }
  curves_.resize(n);  // within capacity: cannot throw
  return true;
}

tsm::curves::Curve& CurveFamily::Curve(std::uint32_t index) {
  if (!TSM_ASSERT(index < Count(), kSource)) return SinkCurve();
  return curves_[index];
}

const tsm::curves::Curve& CurveFamily::Curve(std::uint32_t index) const {
  if (!TSM_ASSERT(index < Count(), kSource)) return SinkCurve();
  return curves_[index];
}

void CurveFamily::RemoveRange(std::uint32_t first, std::uint32_t last) {
  const std::uint32_t count = Count();
  if (!TSM_ASSERT(count > 0, kSource) || !TSM_ASSERT(first < count, kSource) ||
      !TSM_ASSERT(last < count, kSource) || !TSM_ASSERT(last >= first, kSource))
    return;
  curves_.erase(curves_.begin() + first, curves_.begin() + last + 1);
  if (curves_.empty()) std::vector<tsm::curves::Curve>().swap(curves_);
}

void CurveFamily::MoveCurve(std::uint32_t from, std::uint32_t to) {
  const std::uint32_t count = Count();
  if (!TSM_ASSERT(from < count, kSource) || !TSM_ASSERT(to < count, kSource)) return;
  const auto at = curves_.begin();
  if (from < to)
    std::rotate(at + from, at + from + 1, at + to + 1);
  else if (from > to)
    std::rotate(at + to, at + from, at + from + 1);
}

void CurveFamily::SwapCurves(std::uint32_t a, std::uint32_t b) {
  const std::uint32_t count = Count();
  if (!TSM_ASSERT(a < count, kSource) || !TSM_ASSERT(b < count, kSource)) return;
  curves_[a].Swap(curves_[b]);
}

bool CurveFamily::CopyFrom(const CurveFamily& other) {
  if (&other == this) return true;
  // The slots and point blocks already here are reused where their sizes
  // match: fresh memory costs a page fault every 4 KB, and the undo family is
  // usually overwritten with a family of the same shape. Surplus curves go
  // first, so the copy never needs more memory than a copy into a cleared
  // family would.
  if (other.Count() < Count()) SetCount(other.Count());
  if (!SetCount(other.Count())) Clear();
  CopyInfo(other);
  if (Count() != other.Count()) return false;
  for (std::uint32_t i = 0; i < other.Count(); ++i)
    if (!curves_[i].CopyFrom(other.curves_[i])) {
      // End short: the caller tells an incomplete copy by its count.
      SetCount(i);
      return false;
    }
  return true;
}

void CurveFamily::CopyInfo(const CurveFamily& other) {
  if (&other == this) return;
  dateTime_ = other.dateTime_;
  timeSpent_ = other.timeSpent_;
  std::memcpy(graphName_, other.graphName_, sizeof graphName_);
  std::memcpy(unitX_, other.unitX_, sizeof unitX_);
  std::memcpy(unitY_, other.unitY_, sizeof unitY_);
  std::memcpy(designer_, other.designer_, sizeof designer_);
  std::memcpy(chipName_, other.chipName_, sizeof chipName_);
  std::memcpy(circuitName_, other.circuitName_, sizeof circuitName_);
  std::memcpy(comment_, other.comment_, sizeof comment_);
}

bool CurveFamily::SetAllSizes(std::uint32_t n) {
  bool all = true;
  for (auto& c : curves_) all = c.SetSize(n) && all;
  return all;
}

std::optional<float> CurveFamily::MinX() const {
  return FamilyExtreme(curves_, [](const tsm::curves::Curve& c) { return c.MinX(); }, kLargest,
                       std::less<float>());
}
std::optional<float> CurveFamily::MinY() const {
  return FamilyExtreme(curves_, [](const tsm::curves::Curve& c) { return c.MinY(); }, kLargest,
                       std::less<float>());
}
std::optional<float> CurveFamily::MaxX() const {
  return FamilyExtreme(curves_, [](const tsm::curves::Curve& c) { return c.MaxX(); }, -kLargest,
                       std::greater<float>());
}
std::optional<float> CurveFamily::MaxY() const {
  return FamilyExtreme(curves_, [](const tsm::curves::Curve& c) { return c.MaxY(); }, -kLargest,
                       std::greater<float>());
}

void CurveFamily::SwapXY() {
  for (auto& c : curves_)
    for (CurvePoint& p : c.Points()) std::swap(p.x, p.y);
  std::swap(unitX_, unitY_);
}

unsigned CurveFamily::DeletePointsIn(const CurveRect& rect) {
  unsigned flags = 0;
  for (std::uint32_t i = 0; i < Count();) {
    flags |= curves_[i].DeletePointsIn(rect);
    if (curves_[i].Count() == 0)
      RemoveRange(i, i);  // the next curve takes this index
    else
      ++i;
  }
  return flags;
}

bool CurveFamily::SplitCurve(std::uint32_t c, std::uint32_t p) {
  if (!TSM_ASSERT(c < Count(), kSource)) return false;
  const std::uint32_t n = curves_[c].Count();
  if (!TSM_ASSERT(p < n, kSource)) return false;
  if (p == 0 || p == n - 1) return true;

  // The second half is built aside first, so that running out of memory
  // leaves the family exactly as it was.
  tsm::curves::Curve second;
  if (!second.SetSize(n - p - 1)) return false;
  {
    const tsm::curves::Curve& whole = curves_[c];
    std::memcpy(second.Data(), whole.Data() + p + 1, (n - p - 1) * sizeof(CurvePoint));
    second.SetParameter(whole.Parameter());
    second.SetName(whole.Name());
    if (whole.IsMarked()) second.Mark();
  }
  if (!SetCount(Count() + 1)) return false;
  curves_.back() = std::move(second);
  MoveCurve(Count() - 1, c + 1);

  curves_[c].SetSize(p);  // shrinking: cannot fail
  curves_[c].AppendName("#1");
  curves_[c + 1].AppendName("#2");
  return true;
}

bool CurveFamily::SetGraphName(const char* text) {
  return shell::BoundedCopy(graphName_, text, kGraphNameSize);
}
bool CurveFamily::SetUnitX(const char* text) { return shell::BoundedCopy(unitX_, text, kUnitSize); }
bool CurveFamily::SetUnitY(const char* text) { return shell::BoundedCopy(unitY_, text, kUnitSize); }
bool CurveFamily::SetDesigner(const char* text) {
  return shell::BoundedCopy(designer_, text, kDesignerSize);
}
bool CurveFamily::SetChipName(const char* text) {
  return shell::BoundedCopy(chipName_, text, kChipNameSize);
}
bool CurveFamily::SetCircuitName(const char* text) {
  return shell::BoundedCopy(circuitName_, text, kCircuitNameSize);
}
bool CurveFamily::SetComment(const char* text) {
  return shell::BoundedCopy(comment_, text, kCommentSize);
}
bool CurveFamily::AppendComment(const char* text) {
  return shell::BoundedAppend(comment_, text, kCommentSize);
}

bool CurveFamily::SetUnits(const char* unitX, const char* unitY) {
  const bool x = SetUnitX(unitX);
  const bool y = SetUnitY(unitY);
  return x && y;
}

bool CurveFamily::SetInfo(const char* graphName, const char* unitX, const char* unitY,
                          const char* designer) {
  const bool name = SetGraphName(graphName);
  const bool units = SetUnits(unitX, unitY);
  const bool who = SetDesigner(designer);
  return name && units && who;
}

void CurveFamily::MarkAll() {
  for (auto& c : curves_) c.Mark();
}

void CurveFamily::UnmarkAll() {
  for (auto& c : curves_) c.Unmark();
}

std::uint32_t CurveFamily::MarkCurvesIn(const CurveRect& rect) {
  std::uint32_t marked = 0;
  for (auto& c : curves_) {
    c.Unmark();
    if (c.HasPointIn(rect)) {
      c.Mark();
      ++marked;
    }
  }
  return marked;
}

std::uint32_t CurveFamily::CountMarked() const {
  return static_cast<std::uint32_t>(
      std::count_if(curves_.begin(), curves_.end(),
                    [](const tsm::curves::Curve& c) { return c.IsMarked(); }));
}

void CurveFamily::RemoveMarked() {
  std::erase_if(curves_, [](const tsm::curves::Curve& c) { return c.IsMarked(); });
  if (curves_.empty()) std::vector<tsm::curves::Curve>().swap(curves_);
}

std::uint32_t CurveFamily::GetMarkedCurveIndex(std::uint32_t n) const {
  const std::uint32_t marked = CountMarked();
  if (!TSM_ASSERT(n < marked, kSource)) return kNoIndex;
  for (std::uint32_t i = 0; i < Count(); ++i)
    if (curves_[i].IsMarked() && n-- == 0) return i;
  return kNoIndex;  // not reached: n < marked
}

}  // namespace tsm::curves
