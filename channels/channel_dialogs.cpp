#include "channels/channel_dialogs.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "channels/virtual_channels.h"
#include "daq/cards.h"
#include "platform/decimal.h"
#include "platform/dialog_buttons.h"
#include "shell/errors.h"
#include "shell/setupdlg.h"
#include "shell/stringex.h"

namespace tsm::channels {

using namespace tsm::platform;

namespace {
Control Make(int id, ControlKind kind, std::string label, std::string tooltip = {}) {
  Control c;
  c.id = id;
  c.kind = kind;
  c.label = std::move(label);
  c.tooltip = std::move(tooltip);
  return c;
}

Control Combo(int id, std::string label, std::vector<std::string> items,
              std::string tooltip = {}) {
  Control c = Make(id, ControlKind::ComboBox, std::move(label), std::move(tooltip));
  c.items = std::move(items);
  return c;
}

Control Check(int id, std::string text) {
  Control c = Make(id, ControlKind::CheckBox, {});
  c.text = std::move(text);
  return c;
}

std::vector<std::string> DacCardItems() {
  std::vector<std::string> items;
  for (std::size_t i = 0; i < daq::DacCardCount(); ++i) items.push_back(DacCardText(i));
  return items;
}

std::vector<std::string> AdcCardItems() {
  std::vector<std::string> items;
  for (std::size_t i = 0; i < daq::AdcCardCount(); ++i) items.push_back(AdcCardText(i));
  return items;
}

std::string GainText(float gain) { return shell::FormatFloatG(gain); }

// The channels of an ADC card as list items, and the position of `channel`.
void FillAdcChannels(DialogModel& d, int id, const daq::AdcCard* card, int channel) {
  std::vector<std::string> items;
  int selected = -1;
  if (card) {
    for (unsigned n = 0; n < card->channels.Count(); ++n) {
      std::uint16_t ch = 0;
      card->channels.NthChannel(n, &ch);
      if (ch == channel) selected = static_cast<int>(n);
      items.push_back(shell::Format("%u", static_cast<unsigned>(ch)));
    }
  }
  d.SetItems(id, items);
  d.SetCurrentItem(id, selected);
}

void FillGains(DialogModel& d, int id, const daq::AdcCard* card, float gain) {
  std::vector<std::string> items;
  int selected = -1;
  if (card)
    for (std::size_t k = 0; k < card->gains.size(); ++k) {
      if (card->gains[k] == gain) selected = static_cast<int>(k);
      items.push_back(GainText(card->gains[k]));
    }
  d.SetItems(id, items);
  d.SetCurrentItem(id, selected);
}

// The channel chosen in an ADC channel list, or `fallback`.
int ChosenAdcChannel(const DialogModel& d, int id, const daq::AdcCard* card, int fallback) {
  const int item = d.CurrentItem(id);
  std::uint16_t ch = 0;
  if (card && item >= 0 && card->channels.NthChannel(static_cast<unsigned>(item), &ch)) return ch;
  return fallback;
}

float ChosenGain(const DialogModel& d, int id, const daq::AdcCard* card, float fallback) {
  const int item = d.CurrentItem(id);
  if (card && item >= 0 && static_cast<std::size_t>(item) < card->gains.size())
    return card->gains[item];
  return fallback;
}

// The card chosen in an ADC card list, or none.
const daq::AdcCard* ChosenAdcCard(const DialogModel& d, int cardId) {
  const int item = d.CurrentItem(cardId);
  return item >= 0 ? daq::AdcCardAt(item) : nullptr;
}

// The channel and gain lists that follow the chosen ADC card.
void FillAdcLists(DialogModel& d, int cardId, int channelId, int gainId, int channel,
                  float gain) {
  const daq::AdcCard* card = ChosenAdcCard(d, cardId);
  FillAdcChannels(d, channelId, card, channel);
  FillGains(d, gainId, card, gain);
}

// Card, channel and gain of a channel record (a current's monitor or a
// voltage) from its ADC lists. A list without a choice keeps the record's
// value, except the channel of a newly chosen card, which starts at 0.
template <typename Channel>
void ReadAdcLists(const DialogModel& d, int cardId, int channelId, int gainId, Channel& c) {
  const int adc = d.CurrentItem(cardId);
  if (adc < 0) return;
  const daq::AdcCard* card = daq::AdcCardAt(adc);
  c.adcChannel = static_cast<std::uint16_t>(
      ChosenAdcChannel(d, channelId, card, adc == c.adcCard ? c.adcChannel : 0));
  c.adcGain = ChosenGain(d, gainId, card, c.adcGain);
  c.adcCard = static_cast<std::uint16_t>(adc);
}

Control CommentEdit(int id) {
  Control c = Make(id, ControlKind::Edit, "Description:");
  c.textLimit = static_cast<int>(kCommentLength - 1);
  return c;
}

// A non-zero finite number filling the whole text (blanks around allowed).
bool ParseFactor(const std::string& text, float* out) {
  double v = 0;
  bool overflow = false;
  const std::size_t used = ReadDecimal(text.c_str(), &v, &overflow);
  if (used == 0 || overflow) return false;
  for (std::size_t i = used; i < text.size(); ++i)
    if (text[i] != ' ' && text[i] != '\t') return false;
  if (v == 0 || !std::isfinite(v) || std::fabs(v) > 3.4e38) return false;
  *out = static_cast<float>(v);
  return true;
}

// The setup dialogs' way with a bad field: beep, focus, whole text selected.
bool ReadFactor(DialogModel& d, int id, float* out) {
  if (ParseFactor(d.GetText(id), out)) return true;
  GetUi().MessageBeep(MB_ICONHAND);
  d.SetFocus(id);
  d.SelectText(id, 0, -1);
  return false;
}

}  // namespace

// --- current -----------------------------------------------------------------

CurrentDialog::CurrentDialog(int index)
    : DialogModel(kCurrentDialogId, shell::Format("Current#%d", index)), index_(index) {
  std::vector<std::string> roles(kCurrentKindNames, kCurrentKindNames + kCurrentKindCount);
  AddControl(Combo(kIdCurRole, "Type:", roles));
  AddControl(CommentEdit(kIdCurComment));
  AddControl(Combo(kIdCurDacCard, "D/A card:", DacCardItems(), kHintDacCard));
  AddControl(Combo(kIdCurDacChannel, "Channel:", {}, kHintDacChannel));
  AddControl(Make(kIdCurR, ControlKind::Edit, "R (Ohm):", kHintResistance));
  AddControl(Make(kIdCurExtGain, ControlKind::Edit, "ext. gain:", kHintCurrentExtGain));
  AddControl(Check(kIdCurMonitor, "Measure through the monitor A/D channel"));
  AddControl(Combo(kIdCurAdcCard, "Monitor A/D card:", AdcCardItems(), kHintAdcCard));
  AddControl(Combo(kIdCurAdcChannel, "Monitor channel:", {}, kHintAdcChannel));
  AddControl(Combo(kIdCurAdcGain, "Monitor gain:", {}, kHintMonitorGain));
  AddOkCancelButtons(*this);
}

void CurrentDialog::FillDacChannels(int channel) {
  const int item = CurrentItem(kIdCurDacCard);
  const daq::DacCard* card = item >= 0 ? daq::DacCardAt(item) : nullptr;
  std::vector<std::string> items;
  if (card)
    for (unsigned ch = 0; ch < card->channelCount; ++ch) items.push_back(shell::Format("%u", ch));
  SetItems(kIdCurDacChannel, items);
  SetCurrentItem(kIdCurDacChannel,
                 card && channel >= 0 && channel < card->channelCount ? channel : -1);
}

void CurrentDialog::FillMonitorLists(int channel, float gain) {
  FillAdcLists(*this, kIdCurAdcCard, kIdCurAdcChannel, kIdCurAdcGain, channel, gain);
}

void CurrentDialog::ApplyMonitorState() {
  const bool on = GetCheck(kIdCurMonitor) == 1;
  for (int id : {kIdCurAdcCard, kIdCurAdcChannel, kIdCurAdcGain}) Enable(id, on);
}

void CurrentDialog::OnInit() {
  const VirtualCurrent c = GetCurrent(index_);
  SetCurrentItem(kIdCurRole, c.kind);
  SetText(kIdCurComment, c.comment);
  SetCurrentItem(kIdCurDacCard, c.dacCard < daq::DacCardCount() ? c.dacCard : -1);
  FillDacChannels(c.dacChannel);
  SetText(kIdCurR, shell::FormatFloatG(c.R));
  SetText(kIdCurExtGain, shell::FormatFloatG(c.extGain));
  SetCheck(kIdCurMonitor, c.Monitored() ? 1 : 0);
  SetCurrentItem(kIdCurAdcCard, c.adcCard < daq::AdcCardCount() ? c.adcCard : -1);
  FillMonitorLists(c.adcChannel, c.adcGain);
  ApplyMonitorState();
}

bool CurrentDialog::Confirm() {
  VirtualCurrent c = GetCurrent(index_);
  float r = c.R, ext = c.extGain;
  if (!ReadFactor(*this, kIdCurR, &r) || !ReadFactor(*this, kIdCurExtGain, &ext)) return false;
  if (CurrentItem(kIdCurRole) >= 0) c.kind = static_cast<std::uint16_t>(CurrentItem(kIdCurRole));
  shell::BoundedCopy(c.comment, GetText(kIdCurComment).c_str(), kCommentLength);
  const int card = CurrentItem(kIdCurDacCard);
  if (card >= 0 && card != c.dacCard) {
    c.dacCard = static_cast<std::uint16_t>(card);
    c.dacChannel = -1;
  }
  if (CurrentItem(kIdCurDacChannel) >= 0)
    c.dacChannel = static_cast<std::int16_t>(CurrentItem(kIdCurDacChannel));
  c.R = r;
  c.extGain = ext;
  c.flags = static_cast<std::uint16_t>((c.flags & ~kMonitorFlag) |
                                       (GetCheck(kIdCurMonitor) == 1 ? kMonitorFlag : 0));
  ReadAdcLists(*this, kIdCurAdcCard, kIdCurAdcChannel, kIdCurAdcGain, c);
  SetCurrent(index_, c);
  RebindChangedCurrents();
  return true;
}

void CurrentDialog::OnCommand(int id, int code) {
  switch (id) {
    case kIdCurDacCard:
      FillDacChannels(-1);
      break;
    case kIdCurAdcCard:
      FillMonitorLists(-1, GetCurrent(index_).adcGain);
      break;
    case kIdCurMonitor:
      ApplyMonitorState();
      break;
    case IDOK:
      if (Confirm()) End(1);
      break;
    default:
      DialogModel::OnCommand(id, code);
  }
}

// --- voltage -----------------------------------------------------------------

VoltageDialog::VoltageDialog(int index)
    : DialogModel(kVoltageDialogId, shell::Format("Voltage#%d", index)), index_(index) {
  std::vector<std::string> roles(kVoltageKindNames, kVoltageKindNames + kVoltageKindCount);
  AddControl(Combo(kIdVolRole, "Type:", roles));
  AddControl(CommentEdit(kIdVolComment));
  AddControl(Combo(kIdVolAdcCard, "A/D card:", AdcCardItems(), kHintAdcCard));
  AddControl(Combo(kIdVolAdcChannel, "Channel:", {}, kHintAdcChannel));
  AddControl(Combo(kIdVolAdcGain, "gain:", {}));
  AddControl(Make(kIdVolExtGain, ControlKind::Edit, "ext. gain:", kHintVoltageExtGain));
  AddControl(Check(kIdVolNoAutoZero, "No AutoZero"));
  AddControl(PushButton(kIdVolCopyGain, "Set this gain for all voltages of this type"));
  AddControl(PushButton(kIdVolCopyExtGain, "Set this ext. gain for all voltages of this type"));
  AddOkCancelButtons(*this);
}

void VoltageDialog::FillCardLists(int channel, float gain) {
  FillAdcLists(*this, kIdVolAdcCard, kIdVolAdcChannel, kIdVolAdcGain, channel, gain);
}

bool VoltageDialog::SelectedGain(float* gain) const {
  const daq::AdcCard* card = ChosenAdcCard(*this, kIdVolAdcCard);
  const int g = CurrentItem(kIdVolAdcGain);
  if (!card || g < 0 || static_cast<std::size_t>(g) >= card->gains.size()) return false;
  *gain = card->gains[g];
  return true;
}

void VoltageDialog::OnInit() {
  const VirtualVoltage v = GetVoltage(index_);
  SetCurrentItem(kIdVolRole, v.kind);
  SetText(kIdVolComment, v.comment);
  SetCurrentItem(kIdVolAdcCard, v.adcCard < daq::AdcCardCount() ? v.adcCard : -1);
  FillCardLists(v.adcChannel, v.adcGain);
  SetText(kIdVolExtGain, shell::FormatFloatG(v.extGain));
  SetCheck(kIdVolNoAutoZero, v.noAutoZero ? 1 : 0);
}

void VoltageDialog::CopyGain() {
  float gain = 0;
  if (!SelectedGain(&gain)) {
    GetUi().MessageBeep(MB_ICONHAND);
    return;
  }
  const int kind = CurrentItem(kIdVolRole);
  bool skipped = false;
  for (int i = 0; i < kVoltageCount; ++i) {
    if (i == index_) continue;
    VirtualVoltage v = GetVoltage(i);
    if (v.kind != kind) continue;
    const daq::AdcCard* card = daq::AdcCardAt(v.adcCard);
    if (!card || !daq::IsGainInList(*card, gain)) {
      skipped = true;
      continue;
    }
    v.adcGain = gain;
    SetVoltage(i, v);
  }
  if (skipped)
    // No owner: the box goes above the active dialog (a model is no window).
    shell::ShowMessage(nullptr, kCopyGainFailedText, kCopyGainFailedCaption, MB_OK | MB_ICONHAND);
}

void VoltageDialog::CopyExtGain() {
  float ext = 0;
  if (!ReadFactor(*this, kIdVolExtGain, &ext)) return;
  const int kind = CurrentItem(kIdVolRole);
  for (int i = 0; i < kVoltageCount; ++i) {
    if (i == index_) continue;
    VirtualVoltage v = GetVoltage(i);
    if (v.kind != kind) continue;
    v.extGain = ext;
    SetVoltage(i, v);
  }
}

bool VoltageDialog::Confirm() {
  VirtualVoltage v = GetVoltage(index_);
  float ext = v.extGain;
  if (!ReadFactor(*this, kIdVolExtGain, &ext)) return false;
  if (CurrentItem(kIdVolRole) >= 0) v.kind = static_cast<std::uint16_t>(CurrentItem(kIdVolRole));
  shell::BoundedCopy(v.comment, GetText(kIdVolComment).c_str(), kCommentLength);
  ReadAdcLists(*this, kIdVolAdcCard, kIdVolAdcChannel, kIdVolAdcGain, v);
  v.extGain = ext;
  v.noAutoZero = GetCheck(kIdVolNoAutoZero) == 1 ? 1 : 0;
  SetVoltage(index_, v);
  return true;
}

void VoltageDialog::OnCommand(int id, int code) {
  switch (id) {
    case kIdVolAdcCard:
      FillCardLists(-1, GetVoltage(index_).adcGain);
      break;
    case kIdVolCopyGain:
      CopyGain();
      break;
    case kIdVolCopyExtGain:
      CopyExtGain();
      break;
    case IDOK:
      if (Confirm()) End(1);
      break;
    default:
      DialogModel::OnCommand(id, code);
  }
}

int RunCurrentDialog(WindowHandle owner, int index) {
  if (index < 0 || index >= kCurrentCount) return 0;
  CurrentDialog dialog(index);
  return GetUi().RunModal(dialog, owner) == 1 ? 1 : 0;
}

int RunVoltageDialog(WindowHandle owner, int index) {
  if (index < 0 || index >= kVoltageCount) return 0;
  VoltageDialog dialog(index);
  return GetUi().RunModal(dialog, owner) == 1 ? 1 : 0;
}

}  // namespace tsm::channels
