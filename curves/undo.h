// One-level, whole-family undo: the copy taken before each command that
// changes the current family, and Undo, which exchanges the current and the
// undo family (so a second Undo restores the changed state).
#pragma once

#include <functional>

#include "curves/state.h"
#include "platform/ui.h"

namespace tsm::curves {

inline constexpr const char* kUndoMemoryQuestion =
    "Not enough memory to provide 'Undo'\nContinue Anyway?";
inline constexpr const char* kUndoCaption = "Undo";
inline constexpr const char* kOutOfMemoryText =
    "Can not complete operation due to insufficient \nor very fragmented memory";
inline constexpr const char* kOutOfMemoryCaption = "Error";

// Runs before every command that changes the current family. An empty
// current family leaves the undo state as it is. Otherwise the current
// family is deep-copied into the undo family and Undo becomes available. When
// the copy runs short of memory the partial copy is dropped, Undo becomes
// unavailable and the user is asked whether to go on without it; the result
// is false when the user declines (the command must not run).
bool PrepareUndo();
// Exchanges the current and the undo family. Does nothing and returns false
// while Undo is unavailable. The caller redraws.
bool Undo();
// Whether the "Undo" command has something to restore.
bool UndoAvailable();
// Observer of UndoAvailable() changes; the hook is called at once with the
// present state. An empty function removes it.
void SetUndoAvailableHook(UndoAvailableHook hook);
// For a command that ran out of memory after PrepareUndo: restores the
// family with Undo and tells the user the operation could not be completed.
void UndoAfterOutOfMemory();
// Tells the user the operation could not be completed for want of memory.
void ShowOutOfMemory(platform::WindowHandle owner);
// The end of a command that built its result apart: the undo copy, then
// `result` in place of the current family (it gets the old one). False when
// the user would not go on without Undo; nothing changed then.
bool ReplaceCurrentFamily(CurveFamily& result);

}  // namespace tsm::curves
