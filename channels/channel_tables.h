// The two overview tables of the Options menu, "Virtual &Currents" (command
// 148) and "Virtual &Voltages" (command 147): one row of texts per record;
// a double click on a row opens that record's dialog. The table is a dialog
// model: a list box whose items are rows of tab-separated cells under its
// column headings, which a renderer shows as a table.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/ui.h"

namespace tsm::channels {

inline constexpr int kCmdVirtualVoltages = 147;
inline constexpr int kCmdVirtualCurrents = 148;

struct ChannelTable {
  std::string title;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;  // row i is record i
};

// "N", "Description", "Type", "Card", "#", "R", "gain", "ext."
ChannelTable VirtualCurrentsTable();
// "N", "Description", "Type", "Card", "#", "gain", "ext"
ChannelTable VirtualVoltagesTable();

inline constexpr int kChannelTableDialogId = 3500;
inline constexpr int kIdTableList = 3501;
// A double click in a list (the Win32 LBN_DBLCLK code).
inline constexpr int kNotifyDoubleClick = 2;

class ChannelTableDialog : public platform::DialogModel {
 public:
  enum class Kind { Currents, Voltages };
  explicit ChannelTableDialog(Kind kind);

  Kind TableKind() const { return kind_; }
  const ChannelTable& Table() const { return table_; }
  // Runs the record dialog of a row and refreshes the rows after it; returns
  // the record dialog's result (0 for a row that does not exist).
  int OpenRow(int row);
  void Refresh();

 protected:
  void OnInit() override;
  void OnCommand(int id, int code) override;

 private:
  Kind kind_;
  ChannelTable table_;
};

// The menu commands: run the table modally.
int ShowVirtualCurrentsTable(platform::WindowHandle owner);
int ShowVirtualVoltagesTable(platform::WindowHandle owner);

}  // namespace tsm::channels
