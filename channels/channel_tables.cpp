#include "channels/channel_tables.h"

#include "channels/channel_dialogs.h"
#include "channels/virtual_channels.h"
#include "platform/dialog_buttons.h"
#include "shell/setupdlg.h"
#include "shell/stringex.h"

namespace tsm::channels {

using namespace tsm::platform;

namespace {
std::string Joined(const std::vector<std::string>& cells) {
  std::string text;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i) text += '\t';
    text += cells[i];
  }
  return text;
}

std::string G(float v) { return shell::FormatFloatG(v); }
}  // namespace

ChannelTable VirtualCurrentsTable() {
  ChannelTable t;
  t.title = "Virtual Currents";
  t.columns = {"N", "Description", "Type", "Card", "#", "R", "gain", "ext."};
  const auto all = AllCurrents();
  for (int i = 0; i < kCurrentCount; ++i) {
    const VirtualCurrent& c = all[i];
    t.rows.push_back({shell::Format("%d", i), c.comment,
                      c.kind < kCurrentKindCount ? kCurrentKindNames[c.kind] : "",
                      DacCardText(c.dacCard), shell::Format("%d", c.dacChannel), G(c.R),
                      G(c.adcGain), G(c.extGain)});
  }
  return t;
}

ChannelTable VirtualVoltagesTable() {
  ChannelTable t;
  t.title = "Virtual Voltages";
  t.columns = {"N", "Description", "Type", "Card", "#", "gain", "ext"};
  const auto all = AllVoltages();
  for (int i = 0; i < kVoltageCount; ++i) {
    const VirtualVoltage& v = all[i];
    t.rows.push_back({shell::Format("%d", i), v.comment,
                      v.kind < kVoltageKindCount ? kVoltageKindNames[v.kind] : "",
                      AdcCardText(v.adcCard), shell::Format("%u", v.adcChannel), G(v.adcGain),
                      G(v.extGain)});
  }
  return t;
}

ChannelTableDialog::ChannelTableDialog(Kind kind)
    : DialogModel(kChannelTableDialogId,
                  kind == Kind::Currents ? "Virtual Currents" : "Virtual Voltages"),
      kind_(kind) {
  table_ = kind == Kind::Currents ? VirtualCurrentsTable() : VirtualVoltagesTable();
  Control list;
  list.id = kIdTableList;
  list.kind = ControlKind::ListBox;
  list.headings = table_.columns;
  AddControl(list);
  AddOkButton(*this);
}

void ChannelTableDialog::Refresh() {
  table_ = kind_ == Kind::Currents ? VirtualCurrentsTable() : VirtualVoltagesTable();
  const int selected = CurrentItem(kIdTableList);
  std::vector<std::string> items;
  for (const auto& row : table_.rows) items.push_back(Joined(row));
  SetItems(kIdTableList, items);
  SetCurrentItem(kIdTableList, selected);
}

int ChannelTableDialog::OpenRow(int row) {
  if (row < 0 || row >= static_cast<int>(table_.rows.size())) return 0;
  const int result = kind_ == Kind::Currents ? RunCurrentDialog(nullptr, row)
                                             : RunVoltageDialog(nullptr, row);
  Refresh();
  return result;
}

void ChannelTableDialog::OnInit() { Refresh(); }

void ChannelTableDialog::OnCommand(int id, int code) {
  if (id == kIdTableList) {
    if (code == kNotifyDoubleClick) OpenRow(CurrentItem(kIdTableList));
    return;
  }
  DialogModel::OnCommand(id, code);
}

int ShowVirtualCurrentsTable(WindowHandle owner) {
  ChannelTableDialog dialog(ChannelTableDialog::Kind::Currents);
  return GetUi().RunModal(dialog, owner);
}

int ShowVirtualVoltagesTable(WindowHandle owner) {
  ChannelTableDialog dialog(ChannelTableDialog::Kind::Voltages);
  return GetUi().RunModal(dialog, owner);
}

}  // namespace tsm::channels
