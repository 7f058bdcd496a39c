#include "curves/undo.h"

#include <utility>

#include "platform/ui.h"
#include "shell/errors.h"

namespace tsm::curves {

namespace {

void SetUndoAvailable(bool available) {
  CurvesState& s = GetCurvesState();
  if (s.undoAvailable == available) return;
  s.undoAvailable = available;
  if (s.undoAvailableHook) s.undoAvailableHook(available);
}

}  // namespace

bool PrepareUndo() {
  CurvesState& s = GetCurvesState();
  if (s.current.Count() == 0) return true;
  if (s.undo.CopyFrom(s.current)) {
    SetUndoAvailable(true);
    return true;
  }
  // A short copy must never be offered as the state to go back to: Undo
  // would replace the user's curves by a part of them. Dropping it also
  // returns its memory to the command that is about to run.
  s.undo.Clear();
  SetUndoAvailable(false);
  const int answer = shell::ShowMessage(shell::MainWindow(), kUndoMemoryQuestion, kUndoCaption,
                                        platform::MB_YESNO | platform::MB_ICONQUESTION);
  return answer == platform::IDYES;
}

bool Undo() {
  CurvesState& s = GetCurvesState();
  if (!s.undoAvailable) return false;
  s.current.Swap(s.undo);
  return true;
}

bool UndoAvailable() { return GetCurvesState().undoAvailable; }

void SetUndoAvailableHook(UndoAvailableHook hook) {
  CurvesState& s = GetCurvesState();
  s.undoAvailableHook = std::move(hook);
  if (s.undoAvailableHook) s.undoAvailableHook(s.undoAvailable);
}

void UndoAfterOutOfMemory() {
  Undo();
  ShowOutOfMemory(shell::MainWindow());
}

void ShowOutOfMemory(platform::WindowHandle owner) {
  shell::ShowMessage(owner, kOutOfMemoryText, kOutOfMemoryCaption,
                     platform::MB_OK | platform::MB_ICONHAND);
}

bool ReplaceCurrentFamily(CurveFamily& result) {
  if (!PrepareUndo()) return false;
  CurrentFamily().Swap(result);
  return true;
}

}  // namespace tsm::curves
