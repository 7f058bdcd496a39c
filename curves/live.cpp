#include "curves/live.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tsm::curves {

namespace {

struct LiveState {
  // Guards everything the worker and the painter both touch except the
  // counts themselves: the family pointer, the count array, the flags.
  std::mutex mutex;
  CurveFamily* family = nullptr;
  bool active = false;
  std::atomic<std::uint32_t> generation{0};
  std::uint32_t curves = 0;
  std::unique_ptr<std::atomic<std::uint32_t>[]> counts;  // published, per curve
  std::vector<std::uint32_t> sizes;                      // worker: the cut of Publish
  std::vector<unsigned char> infoChanged;
  std::string unitX, unitY;
  bool unitsSet = false, unitsChanged = false;

  // The painter's own: the snapshot and how much of each curve it holds.
  bool swapXY = false;
  CurveFamily snapshot;
  std::uint32_t snapshotGeneration = 0;
  bool snapshotValid = false;
  std::vector<std::uint32_t> copied;
};

LiveState& State() {
  static LiveState state;
  return state;
}

// The units the publisher set (else those copied from the family), x and y
// exchanged for a swapped picture.
void ApplyUnits(LiveState& s) {
  const std::string x = s.unitsSet ? s.unitX : std::string(s.snapshot.UnitX());
  const std::string y = s.unitsSet ? s.unitY : std::string(s.snapshot.UnitY());
  if (s.swapXY)
    s.snapshot.SetUnits(y.c_str(), x.c_str());
  else
    s.snapshot.SetUnits(x.c_str(), y.c_str());
  s.unitsChanged = false;
}

}  // namespace

LivePublisher::LivePublisher(CurveFamily& family) {
  LiveState& s = State();
  const std::uint32_t n = family.Count();
  std::lock_guard lock(s.mutex);
  s.family = &family;
  s.curves = n;
  s.counts = std::make_unique<std::atomic<std::uint32_t>[]>(n);
  for (std::uint32_t k = 0; k < n; ++k) s.counts[k].store(0, std::memory_order_relaxed);
  s.sizes.assign(n, 0);
  for (std::uint32_t k = 0; k < n; ++k) s.sizes[k] = family.Curve(k).Count();
  s.infoChanged.assign(n, 0);
  s.unitsSet = s.unitsChanged = false;
  s.active = true;
  s.generation.fetch_add(1, std::memory_order_release);
  active_ = true;
}

LivePublisher::~LivePublisher() { End(); }

void LivePublisher::Publish(std::uint32_t curve, std::uint32_t points) {
  LiveState& s = State();
  // Only this (the worker's) thread changes the array and the sizes, so no
  // lock is needed to read them here.
  if (!active_ || curve >= s.curves) return;
  points = std::min(points, s.sizes[curve]);
  std::atomic<std::uint32_t>& count = s.counts[curve];
  if (points > count.load(std::memory_order_relaxed))
    count.store(points, std::memory_order_release);
}

void LivePublisher::PublishAll(std::uint32_t points) {
  for (std::uint32_t k = 0; k < State().curves; ++k) Publish(k, points);
}

void LivePublisher::SetCurveInfo(std::uint32_t curve, const char* name, float parameter) {
  LiveState& s = State();
  std::lock_guard lock(s.mutex);
  if (!active_ || !s.family || curve >= s.curves) return;
  Curve& c = s.family->Curve(curve);
  c.SetName(name);
  c.SetParameter(parameter);
  s.infoChanged[curve] = 1;
}

void LivePublisher::SetUnits(const char* unitX, const char* unitY) {
  LiveState& s = State();
  std::lock_guard lock(s.mutex);
  if (!active_) return;
  s.unitX = unitX ? unitX : "";
  s.unitY = unitY ? unitY : "";
  s.unitsSet = s.unitsChanged = true;
}

void LivePublisher::End() {
  if (!active_) return;
  LiveState& s = State();
  // Taking the lock waits for a snapshot copy in progress; after it the
  // painter no longer reads the family.
  std::lock_guard lock(s.mutex);
  s.active = false;
  active_ = false;
}

bool UpdateLiveSnapshot() {
  LiveState& s = State();
  std::lock_guard lock(s.mutex);
  if (!s.active || !s.family) return false;
  bool changed = false;
  const std::uint32_t generation = s.generation.load(std::memory_order_relaxed);
  if (!s.snapshotValid || s.snapshotGeneration != generation) {
    s.snapshot.Clear();
    s.snapshot.CopyInfo(*s.family);
    if (!s.snapshot.SetCount(s.curves)) return false;
    for (std::uint32_t k = 0; k < s.curves; ++k) {
      const Curve& from = s.family->Curve(k);
      Curve& to = s.snapshot.Curve(k);
      to.SetName(from.Name());
      to.SetParameter(from.Parameter());
      to.Reserve(s.sizes[k]);  // a refusal only means the copy grows as it goes
    }
    s.copied.assign(s.curves, 0);
    s.snapshotGeneration = generation;
    s.snapshotValid = true;
    ApplyUnits(s);
    changed = true;
  }
  if (s.unitsChanged) {
    ApplyUnits(s);
    changed = true;
  }
  for (std::uint32_t k = 0; k < s.curves; ++k) {
    Curve& to = s.snapshot.Curve(k);
    if (s.infoChanged[k]) {
      const Curve& from = s.family->Curve(k);
      to.SetName(from.Name());
      to.SetParameter(from.Parameter());
      s.infoChanged[k] = 0;
      changed = true;
    }
    const std::uint32_t n = s.counts[k].load(std::memory_order_acquire);
    const CurvePoint* points = s.family->Curve(k).Data();
    for (std::uint32_t i = s.copied[k]; i < n; ++i) {
      const bool appended = s.swapXY ? to.Append(points[i].y, points[i].x)
                                     : to.Append(points[i].x, points[i].y);
      if (!appended) break;
      s.copied[k] = i + 1;
      changed = true;
    }
  }
  return changed;
}

CurveFamily* LiveSnapshot() {
  LiveState& s = State();
  if (!s.snapshotValid || s.snapshotGeneration != s.generation.load(std::memory_order_acquire))
    return nullptr;
  return &s.snapshot;
}

void ReleaseLiveSnapshot() {
  LiveState& s = State();
  std::lock_guard lock(s.mutex);
  s.snapshot.Clear();
  s.snapshotValid = false;
  s.copied.clear();
  if (!s.active) s.family = nullptr;
}

void SetLiveSnapshotSwapsXY(bool swap) {
  LiveState& s = State();
  std::lock_guard lock(s.mutex);
  s.swapXY = swap;
}

bool LiveActive() {
  LiveState& s = State();
  std::lock_guard lock(s.mutex);
  return s.active;
}

void ResetLiveState() {
  LiveState& s = State();
  std::lock_guard lock(s.mutex);
  s.family = nullptr;
  s.active = false;
  s.curves = 0;
  s.counts.reset();
  s.sizes.clear();
  s.infoChanged.clear();
  s.unitsSet = s.unitsChanged = false;
  s.swapXY = false;
  s.snapshot.Clear();
  s.snapshotValid = false;
  s.copied.clear();
}

}  // namespace tsm::curves
