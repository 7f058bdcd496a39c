#include "shell/username_dialog.h"

#include <string>

#include "shell/settings.h"
#include "shell/setupdlg.h"

namespace tsm::shell {

int RunUserNameDialog(platform::WindowHandle owner) {
  // The dialog edits a copy; the shared name changes only on OK, so a
  // worker writing a file header never sees a half-edited name.
  std::string name = UserName();
  FieldList list;
  list.fields.push_back(TextField(kUserNameControl, &name, kUserNameLength, "", "", "User name:"));
  const int result = RunSetupDialog(kUserNameDialogId, owner, list, "User Name");
  if (result == 1) SetUserName(name);
  return result;
}

}  // namespace tsm::shell
