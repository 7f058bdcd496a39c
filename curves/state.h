// Process-wide curve data: the program's one current family, its one-level
// undo copy, whether the Undo command has something to restore, and the
// storage hook tests use to make allocations fail.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

#include "curves/curvefam.h"

namespace tsm::curves {

// Called with the byte size of every block the curve storage is about to
// obtain (point blocks, family slot arrays); true refuses the allocation as
// if memory had run out. Lets tests reach the out-of-memory paths.
using AllocationHook = std::function<bool(std::size_t bytes)>;
// Called whenever the availability of Undo changes (the main window enables
// or greys its "Undo" command).
using UndoAvailableHook = std::function<void(bool available)>;

struct CurvesState {
  CurveFamily current;
  CurveFamily undo;
  bool undoAvailable = false;
  UndoAvailableHook undoAvailableHook;
  AllocationHook allocationHook;
  // While a measurement worker fills the current family, the plot draws the
  // live snapshot (or the undo copy), so the UI thread never reads what the
  // worker writes.
  std::atomic<bool> plotShowsUndo{false};
};

CurvesState& GetCurvesState();
// Back to the start-up state: both families empty, Undo unavailable, no hooks.
void ResetCurvesState();

// The family that is drawn, measured into, processed and saved.
CurveFamily& CurrentFamily();
// The state before the last changing command.
CurveFamily& UndoFamily();
// The family the plot draws: the current one; while a measurement runs (see
// SetPlotShowsUndo) the snapshot of its live curves (curves/live.h) once
// there is one, else the undo copy. Read on the painting thread only.
CurveFamily& FamilyForPlot();
void SetPlotShowsUndo(bool showUndo);

void SetAllocationHook(AllocationHook hook);
// Whether the hook refuses a block of this size (storage code asks first).
bool AllocationRefused(std::size_t bytes);

}  // namespace tsm::curves
