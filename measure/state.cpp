#include "measure/state.h"

#include <utility>

#include "channels/virtual_channels.h"

namespace tsm::measure {

namespace {
SweepRange MakeRange(std::uint32_t start, std::uint32_t stop, std::uint32_t step,
                     CurrentFinder finder) {
  SweepRange r;
  r.start = start;
  r.stop = stop;
  r.step = step;
  r.finder = finder;
  return r;
}
}  // namespace

SweepRange InitialRange(RangeId id) {
  switch (id) {
    case RangeId::SharedVI: return MakeRange(0, 65535, 128, channels::FirstSweep1Current);
    case RangeId::IcH: return MakeRange(0, 65535, 128, channels::FirstSweep2Current);
    case RangeId::IVFSweep2: return MakeRange(32768, 36864, 129, channels::FirstSweep2Current);
    case RangeId::VdcIac: return MakeRange(32768, 65535, 127, channels::FirstSweep1Current);
    case RangeId::IcTPoints:
    case RangeId::VTPoints:
    case RangeId::VtimePoints: return MakeRange(0, 9999, 1, nullptr);
    case RangeId::None:
    case RangeId::Count: break;
  }
  return SweepRange{};
}

MeasureState& GetMeasureState() {
  static MeasureState state;
  static const bool initialised = [] {
    for (std::size_t i = 0; i < kRangeCount; ++i)
      state.ranges[i] = InitialRange(static_cast<RangeId>(i));
    return true;
  }();
  (void)initialised;
  return state;
}

void SetLivePlotHook(std::function<void()> hook) {
  GetMeasureState().livePlotChanged = std::move(hook);
}

void ResetMeasureState() {
  MeasureState& s = GetMeasureState();
  s.stopFlag.store(0);
  s.dialog.store(nullptr);
  s.description.store(nullptr);
  s.points1.store(0);
  s.points2.store(0);
  s.autoZeroBeforeStart = false;
  s.firstCurrentRow.store(0);
  s.firstVoltageRow.store(0);
  s.showPhaseMessage = false;
  s.createLogFile = false;
  s.livePlotChanged = nullptr;
  for (std::size_t i = 0; i < kRangeCount; ++i) s.ranges[i] = InitialRange(static_cast<RangeId>(i));
}

SweepRange* Range(RangeId id) {
  if (id == RangeId::None || id == RangeId::Count) return nullptr;
  return &GetMeasureState().ranges[static_cast<std::size_t>(id)];
}

bool StopRequested() { return GetMeasureState().stopFlag.load(std::memory_order_acquire) != 0; }
void RequestStop() { GetMeasureState().stopFlag.store(1, std::memory_order_release); }
void ClearStop() { GetMeasureState().stopFlag.store(0, std::memory_order_release); }

}  // namespace tsm::measure
