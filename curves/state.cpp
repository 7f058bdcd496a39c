#include "curves/state.h"

#include "curves/live.h"

#include <utility>

namespace tsm::curves {

CurvesState& GetCurvesState() {
  static CurvesState state;
  return state;
}

void ResetCurvesState() {
  CurvesState& s = GetCurvesState();
  s.current.Clear();
  s.undo.Clear();
  s.undoAvailable = false;
  s.undoAvailableHook = nullptr;
  s.allocationHook = nullptr;
  s.plotShowsUndo = false;
  ResetLiveState();
}

CurveFamily& CurrentFamily() { return GetCurvesState().current; }
CurveFamily& UndoFamily() { return GetCurvesState().undo; }

CurveFamily& FamilyForPlot() {
  CurvesState& s = GetCurvesState();
  if (!s.plotShowsUndo.load(std::memory_order_acquire)) return s.current;
  // While a measurement runs: the points it has published, once the
  // painter has copied them, else the state before the measurement.
  if (CurveFamily* live = LiveSnapshot()) return *live;
  return s.undo;
}

void SetPlotShowsUndo(bool showUndo) {
  GetCurvesState().plotShowsUndo.store(showUndo, std::memory_order_release);
}

void SetAllocationHook(AllocationHook hook) { GetCurvesState().allocationHook = std::move(hook); }

bool AllocationRefused(std::size_t bytes) {
  const AllocationHook& hook = GetCurvesState().allocationHook;
  return hook && hook(bytes);
}

}  // namespace tsm::curves
