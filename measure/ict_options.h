// Settings of Ic(T) (section "Math", slot 13): the search settings of Ic(H)
// under the Ic(T) keys (the same variables, so both key sets always hold
// the last value loaded or edited through either group), the smallest
// temperature change between two points and the AutoZero per point. Edited
// in "Ic(T) Options", which also shows the statistics of the last search run.
#pragma once

#include <string>

#include "platform/ui.h"
#include "shell/setupdlg.h"
#include "shell/texttable.h"

namespace tsm::measure {

struct IcTOptions {
  float minDeltaT = 0.01f;               // "Ic(T)MinDeltaT", K
  bool autoZeroSweep1ForEachT = false;   // "Ic(T)AutoZeroSweep1forEachH"
};

IcTOptions& GetIcTOptions();
void ResetIcTOptions();

inline constexpr const char* kIcTOptionsCaption = "Ic(T) Options";
inline constexpr int kIcTOptionsDialogId = 5350;
inline constexpr int kIdIcTMinDeltaT = 5351;
inline constexpr int kIdIcTAutoZero = 5352;

// The key an Ic(H) search key is stored under in the Ic(T) group.
std::string IcTKey(const std::string& icHKey);

// The group's fields (also the dialog's).
shell::FieldList& IcTGroupFields();
// 1 after OK, 0 after Cancel.
int RunIcTOptionsDialog(platform::WindowHandle owner);
// Title "Ic(T) Options".
shell::InfoTable IcTInfoTable();

}  // namespace tsm::measure
