#include "curves/state.h"

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
}

CurveFamily& CurrentFamily() { return GetCurvesState().current; }
CurveFamily& UndoFamily() { return GetCurvesState().undo; }

void SetAllocationHook(AllocationHook hook) { GetCurvesState().allocationHook = std::move(hook); }

bool AllocationRefused(std::size_t bytes) {
  const AllocationHook& hook = GetCurvesState().allocationHook;
  return hook && hook(bytes);
}

}  // namespace tsm::curves
