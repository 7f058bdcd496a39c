// The push buttons of a dialog model and the closing row most small dialogs
// end with: a default "&OK" and, where the dialog can be left unchanged,
// "&Cancel".
#pragma once

#include <string>
#include <utility>

#include "platform/dialog.h"
#include "platform/ui.h"

namespace tsm::platform {

inline Control PushButton(int id, std::string text, bool isDefault = false) {
  Control c;
  c.id = id;
  c.kind = ControlKind::Button;
  c.text = std::move(text);
  c.defaultButton = isDefault;
  return c;
}

// A text box the user reads and copies from, not edits: a table, whose
// columns line up in a fixed-pitch font.
inline Control ReadOnlyTable(int id, std::string text) {
  Control c;
  c.id = id;
  c.kind = ControlKind::Edit;
  c.text = std::move(text);
  c.multiline = true;
  c.readOnly = true;
  c.fixedPitch = true;
  return c;
}

inline void AddOkButton(DialogModel& d) { d.AddControl(PushButton(IDOK, "&OK", true)); }

inline void AddOkCancelButtons(DialogModel& d) {
  AddOkButton(d);
  d.AddControl(PushButton(IDCANCEL, "&Cancel"));
}

}  // namespace tsm::platform
