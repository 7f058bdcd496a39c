// The user-name dialog: one text field editing the name written into data
// files. The name comes from the command line and is not stored in the
// settings file.
#pragma once

#include "platform/ui.h"

namespace tsm::shell {

inline constexpr int kUserNameDialogId = 199;
inline constexpr int kUserNameControl = 1210;

// 1 after OK (the user name is changed), 0 after Cancel.
int RunUserNameDialog(platform::WindowHandle owner);

}  // namespace tsm::shell
