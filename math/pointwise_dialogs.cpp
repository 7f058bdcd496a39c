#include "math/pointwise_dialogs.h"

#include <string>

#include "platform/dialog_buttons.h"
#include "shell/setupdlg.h"

namespace tsm::math {

using platform::Control;
using platform::ControlKind;
using platform::GetUi;
using shell::FieldList;
using shell::FloatField;
using shell::SetupDialog;

namespace {

Control MakeControl(int id, ControlKind kind, const std::string& text, const std::string& label) {
  Control c;
  c.id = id;
  c.kind = kind;
  c.text = text;
  c.label = label;
  return c;
}

}  // namespace

std::optional<ShiftValues> RunShiftDialog(platform::WindowHandle owner) {
  ShiftValues v;
  FieldList list;
  list.fields = {
      FloatField(kShiftXControl, &v.dx, "", "", shell::kNoMinimum, shell::kNoMaximum, kShiftXLabel),
      FloatField(kShiftYControl, &v.dy, "", "", shell::kNoMinimum, shell::kNoMaximum, kShiftYLabel),
  };
  if (shell::RunSetupDialog(kShiftDialogId, owner, list, kShiftCaption) != 1) return std::nullopt;
  return v;
}

std::optional<ScaleValues> RunScaleDialog(platform::WindowHandle owner) {
  ScaleValues v;
  FieldList list;
  list.fields = {
      FloatField(kScaleXMultiplyControl, &v.multiplyX, "", "", -kMultiplyLimit, kMultiplyLimit,
                 kMultiplyLabel),
      FloatField(kScaleXDivideControl, &v.divideX, "", "", kDivideMinimum, kDivideMaximum,
                 kDivideLabel),
      FloatField(kScaleYMultiplyControl, &v.multiplyY, "", "", -kMultiplyLimit, kMultiplyLimit,
                 kMultiplyLabel),
      FloatField(kScaleYDivideControl, &v.divideY, "", "", kDivideMinimum, kDivideMaximum,
                 kDivideLabel),
  };
  SetupDialog dialog(kScaleDialogId, kScaleCaption, list, SetupDialog::Layout::Caller);
  for (int axis = 0; axis < 2; ++axis) {
    Control frame = MakeControl(axis == 0 ? kScaleXFrame : kScaleYFrame, ControlKind::GroupBox,
                                axis == 0 ? kScaleXGroup : kScaleYGroup, "");
    frame.frameCount = 2;
    dialog.AddControl(frame);
    for (int k = 0; k < 2; ++k) {
      const shell::Field& f = list.fields[axis * 2 + k];
      dialog.AddControl(MakeControl(f.controlId, ControlKind::Edit, "", f.label));
    }
  }
  platform::AddOkCancelButtons(dialog);
  if (GetUi().RunModal(dialog, owner) != 1) return std::nullopt;
  return v;
}

std::optional<AbsValues> RunAbsDialog(platform::WindowHandle owner) {
  AbsValues v;
  FieldList list;
  list.fields = {
      shell::CheckField(kAbsXControl, &v.x, "", "", kAbsXLabel),
      shell::CheckField(kAbsYControl, &v.y, "", "", kAbsYLabel),
  };
  SetupDialog dialog(kAbsDialogId, kAbsCaption, list, SetupDialog::Layout::Caller);
  dialog.AddControl(MakeControl(kAbsTextControl, ControlKind::Static, kAbsText, ""));
  dialog.AddControl(MakeControl(kAbsXControl, ControlKind::CheckBox, kAbsXLabel, ""));
  dialog.AddControl(MakeControl(kAbsYControl, ControlKind::CheckBox, kAbsYLabel, ""));
  platform::AddOkCancelButtons(dialog);
  if (GetUi().RunModal(dialog, owner) != 1) return std::nullopt;
  return v;
}

// --- the curve list ----------------------------------------------------------

CurveListDialog::CurveListDialog(const curves::CurveFamily& family, const char* caption,
                                 const char* prompt)
    : DialogModel(kCurveListDialogId, caption), count_(family.Count()) {
  AddControl(MakeControl(kCurveListPromptControl, ControlKind::Static, prompt, ""));
  Control list = MakeControl(kCurveListControl, ControlKind::ListBox, "", "");
  for (std::uint32_t i = 0; i < count_; ++i)
    list.items.push_back(std::to_string(i) + ": " + family.Curve(i).Name());
  list.currentItem = count_ > 0 ? 0 : -1;
  AddControl(list);
  platform::AddOkCancelButtons(*this);
}

bool CurveListDialog::Choose() {
  const int item = CurrentItem(kCurveListControl);
  if (item < 0 || static_cast<std::uint32_t>(item) >= count_) {
    GetUi().MessageBeep(platform::MB_ICONHAND);
    return false;
  }
  chosen_ = static_cast<std::uint32_t>(item);
  End(1);
  return true;
}

void CurveListDialog::OnCommand(int id, int code) {
  if (id == platform::IDOK || (id == kCurveListControl && code == kListDoubleClick)) {
    Choose();
    return;
  }
  if (id == platform::IDCANCEL) End(0);
}

std::optional<std::uint32_t> ChooseCurve(platform::WindowHandle owner,
                                         const curves::CurveFamily& family) {
  CurveListDialog dialog(family, kCurveListCaption, kCurveListPrompt);
  if (GetUi().RunModal(dialog, owner) != 1) return std::nullopt;
  return dialog.Chosen();
}

}  // namespace tsm::math
