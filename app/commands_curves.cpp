// Curve management (159, Ctrl+M), the properties of the first selected
// curve (222, and a double click on the plot), and "Make &1st" (227) and
// "Make &last" (228) of the context menu. Each takes the undo copy first.
#include "curves/state.h"
#include "curves/undo.h"
#include "app/commands.h"
#include "app/curve_dialog.h"

namespace tsm::app {

namespace {

curves::CurveFamily& Family() { return curves::CurrentFamily(); }

// After the dialog: changed data are unsaved; marks and styles only redraw.
bool AfterDialog(int result) {
  if (result == 0) return false;
  if (result == 1) DataChanged();
  else Redraw();
  return true;
}

bool FirstMarked(std::uint32_t& index) {
  if (Family().CountMarked() == 0) return false;
  index = Family().GetMarkedCurveIndex(0);
  return true;
}

bool MoveFirstMarked(bool toFront) {
  std::uint32_t index = 0;
  if (!FirstMarked(index) || !curves::PrepareUndo()) return false;
  Family().MoveCurve(index, toFront ? 0 : Family().Count() - 1);
  DataChanged();
  return true;
}

}  // namespace

bool OpenCurveProperties(std::uint32_t curve) {
  if (curve >= Family().Count()) return false;
  return AfterDialog(RunCurveDialog(Owner(), curve));
}

void RegisterCurveCommands(CommandRegistry& registry) {
  registry.Register(kCmdCurveManagement, [] {
    if (!curves::PrepareUndo()) return false;
    return AfterDialog(RunCurveDialog(Owner(), std::nullopt));
  });
  registry.Register(kCmdCurveProperties, [] {
    std::uint32_t index = 0;
    if (!FirstMarked(index) || !curves::PrepareUndo()) return false;
    return OpenCurveProperties(index);
  });
  registry.Register(kCmdMakeFirst, [] { return MoveFirstMarked(true); });
  registry.Register(kCmdMakeLast, [] { return MoveFirstMarked(false); });
}

}  // namespace tsm::app
