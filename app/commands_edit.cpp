// The Edit menu and the curve items of the context menu: Undo, Clear
// Screen, deleting curves and points, splitting a curve, the curve style.
#include "curves/state.h"
#include "curves/undo.h"
#include "plot/selection.h"
#include "plot/style_dialog.h"
#include "plot/view.h"
#include "app/commands.h"
#include "shell/errors.h"
#include "shell/settings.h"

namespace tsm::app {

namespace {

curves::CurveFamily& Family() { return curves::CurrentFamily(); }

bool UndoCommand() {
  if (!curves::Undo()) return false;
  // The family that comes back may hold what was never saved (a
  // measurement replaced by an opened file): ask again before it is lost.
  shell::SetDataSaved(false);
  Redraw();
  return true;
}

bool ClearScreen() {
  if (!curves::PrepareUndo()) return false;
  Family().Clear();
  plot::GetPlotView().autoScale = true;
  Redraw();
  return true;
}

bool DeleteSelectedCurves() {
  if (Family().CountMarked() == 0) return false;
  if (!curves::PrepareUndo()) return false;
  Family().RemoveMarked();
  DataChanged();
  return true;
}

bool SplitAtPoint() {
  const auto point = plot::SplitPoint();
  if (!point || Family().CountMarked() == 0) return false;
  const std::uint32_t curve = Family().GetMarkedCurveIndex(0);
  // The remembered point belongs to the curve the right click selected; a
  // curve picked otherwise may be shorter.
  if (point->point >= Family().Curve(curve).Count()) return false;
  if (!curves::PrepareUndo()) return false;
  if (!Family().SplitCurve(curve, point->point)) {
    // Nothing changed: the family had no room for the second half.
    curves::ShowOutOfMemory(Owner());
    return false;
  }
  DataChanged();
  return true;
}

bool DeletePointsInSelection() {
  if (plot::SelectionStateOf() != plot::kSelectionMade) return false;
  if (!curves::PrepareUndo()) return false;
  const curves::CurveRect rect = plot::SelectionDataRect(plot::GetPlotView());
  if (Family().DeletePointsIn(rect) != 0) {
    curves::UndoAfterOutOfMemory();
    Redraw();
    return false;
  }
  DataChanged();
  return true;
}

bool StyleOfSelectedCurve() {
  if (Family().CountMarked() == 0) return false;
  if (plot::RunStyleDialog(Owner(), Family().GetMarkedCurveIndex(0)) == 0) return false;
  Redraw();
  return true;
}

}  // namespace

void RegisterEditCommands(CommandRegistry& registry) {
  registry.Register(kCmdUndo, UndoCommand, [] { return curves::UndoAvailable(); });
  registry.Register(kCmdClearScreen, ClearScreen);
  registry.Register(kCmdDeleteCurves, DeleteSelectedCurves);
  registry.Register(kCmdSplitCurve, SplitAtPoint);
  registry.Register(kCmdDeletePointsIn, DeletePointsInSelection);
  registry.Register(kCmdStyle, StyleOfSelectedCurve);
}

}  // namespace tsm::app
