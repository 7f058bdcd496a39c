#include "shell/asktext.h"

#include <cstring>

#include "platform/assert.h"
#include "platform/dialog_buttons.h"
#include "shell/stringex.h"

namespace tsm::shell {

using namespace tsm::platform;

AskTextDialog::AskTextDialog(const std::string& caption, const std::string& prompt,
                             const std::string& initial, std::size_t length)
    : DialogModel(kAskTextDialogId, caption), initial_(initial), length_(length) {
  Control label;
  label.id = kAskTextPrompt;
  label.kind = ControlKind::Static;
  label.text = prompt;
  AddControl(label);
  Control edit;
  edit.id = kAskTextEdit;
  edit.kind = ControlKind::Edit;
  edit.textLimit = length_ > 0 ? static_cast<int>(length_ - 1) : 0;
  AddControl(edit);
  AddOkCancelButtons(*this);
}

void AskTextDialog::OnInit() {
  SetText(kAskTextEdit, initial_);
  SetFocus(kAskTextEdit);
  SelectText(kAskTextEdit, 0, -1);
}

void AskTextDialog::OnCommand(int id, int code) {
  if (id == IDOK) {
    answer_ = GetText(kAskTextEdit);
    if (length_ > 0 && answer_.size() > length_ - 1) answer_.resize(length_ - 1);
  }
  DialogModel::OnCommand(id, code);
}

int AskText(WindowHandle owner, const std::string& caption, const std::string& prompt,
            char* buffer, std::size_t length) {
  if (!TSM_ASSERT(buffer != nullptr && length > 0, "asktext")) return 0;
  AskTextDialog dialog(caption, prompt, std::string(buffer, strnlen(buffer, length - 1)), length);
  if (GetUi().RunModal(dialog, owner) != 1) return 0;
  BoundedCopy(buffer, dialog.Answer().c_str(), length);
  return 1;
}

int AskText(WindowHandle owner, const std::string& caption, const std::string& prompt,
            std::string& text, std::size_t length) {
  if (!TSM_ASSERT(length > 0, "asktext")) return 0;
  AskTextDialog dialog(caption, prompt, text, length);
  if (GetUi().RunModal(dialog, owner) != 1) return 0;
  BoundedAssign(text, dialog.Answer(), length);
  return 1;
}

}  // namespace tsm::shell
