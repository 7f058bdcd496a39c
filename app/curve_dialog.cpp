#include "app/curve_dialog.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "curves/state.h"
#include "math/pointwise_dialogs.h"
#include "platform/dialog_buttons.h"
#include "plot/gpen.h"
#include "plot/state.h"
#include "plot/style_dialog.h"
#include "resources/menu.h"
#include "shell/setupdlg.h"
#include "shell/stringex.h"

namespace tsm::app {

namespace {

using platform::Control;
using platform::ControlKind;

Control Make(int id, ControlKind kind, std::string text, std::string label = {}, int column = 0) {
  Control c;
  c.id = id;
  c.kind = kind;
  c.text = std::move(text);
  c.label = std::move(label);
  c.column = column;
  return c;
}

// The buttons beside the list that change it.
constexpr int kEditButtons[] = {kCurveApplyControl, kCurveUpControl,     kCurveDownControl,
                                kCurveFirstControl, kCurveLastControl,   kCurveDeleteControl,
                                kCurveStyleControl};

// A parameter as typed: a finite number and nothing after it.
std::optional<float> ParseParameter(const std::string& text) {
  const std::string t = shell::Trim(text);
  if (t.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (*end != '\0' || !std::isfinite(v) || std::fabs(v) > 3.4028234e38) return std::nullopt;
  return static_cast<float>(v);
}

}  // namespace

CurveDialog::CurveDialog(const curves::CurveFamily& family, Mode mode, const std::string& caption,
                         std::optional<std::uint32_t> highlighted)
    : DialogModel(kCurveDialogId, caption),
      mode_(mode),
      originalCount_(family.Count()),
      start_(highlighted),
      stylesBefore_(plot::GetPlotState().styles) {
  for (std::uint32_t i = 0; i < family.Count(); ++i) {
    const curves::Curve& c = family.Curve(i);
    entries_.push_back(Entry{i, c.Name(), c.Parameter(), c.IsMarked(), c.Count()});
  }
  const bool manage = mode_ == Mode::Manage;
  if (!manage)
    AddControl(Make(kCurvePromptControl, ControlKind::Static, math::kCurveListPrompt));
  AddControl(Make(kCurveListControl, ControlKind::ListBox, "", manage ? "&Curves:" : ""));
  if (manage) {
    Control name = Make(kCurveNameControl, ControlKind::Edit, "", "&Name:");
    name.textLimit = static_cast<int>(curves::kCurveNameSize - 1);
    AddControl(name);
    AddControl(Make(kCurveParameterControl, ControlKind::Edit, "", "&Parameter:"));
    AddControl(Make(kCurveMarkedControl, ControlKind::CheckBox, "Selected for &marking"));
    AddControl(Make(kCurveApplyControl, ControlKind::Button, "&Apply", {}, 1));
    AddControl(Make(kCurveUpControl, ControlKind::Button, "Move &up", {}, 1));
    AddControl(Make(kCurveDownControl, ControlKind::Button, "Move do&wn", {}, 1));
    AddControl(Make(kCurveFirstControl, ControlKind::Button, "Make &1st", {}, 1));
    AddControl(Make(kCurveLastControl, ControlKind::Button, "Make &last", {}, 1));
    AddControl(Make(kCurveDeleteControl, ControlKind::Button, "&Delete", {}, 1));
    AddControl(Make(kCurveStyleControl, ControlKind::Button, "&Style...", {}, 1));
  }
  platform::AddOkCancelButtons(*this);
}

std::string CurveDialog::ItemText(std::uint32_t position, const char* name, std::uint32_t points,
                                  float parameter, bool marked, const plot::CurveStyle& style) {
  const std::string line =
      style.lineStyle < static_cast<unsigned>(plot::kPenStyleCount)
          ? resources::PlainMenuText(plot::kPenStyleNames[style.lineStyle])
          : std::string("?");
  const std::string symbol = style.symbol < static_cast<unsigned>(plot::kSymbolCount)
                                 ? resources::PlainMenuText(plot::kSymbolNames[style.symbol])
                                 : std::string("?");
  return shell::Format("%s%u: %s  (%u points, parameter %s, %s line, %s, colour %u,%u,%u)",
                       marked ? "* " : "", position, name, points,
                       shell::FormatFloatG(parameter).c_str(), line.c_str(), symbol.c_str(),
                       plot::RedOf(style.color), plot::GreenOf(style.color),
                       plot::BlueOf(style.color));
}

void CurveDialog::OnInit() {
  Fill();
  int first = 0;
  if (start_) {
    for (std::size_t i = 0; i < entries_.size(); ++i)
      if (entries_[i].source == *start_) first = static_cast<int>(i);
  }
  Highlight(entries_.empty() ? -1 : first);
}

void CurveDialog::Fill() {
  const plot::CurveStyles& styles = plot::GetPlotState().styles;
  std::vector<std::string> items;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    items.push_back(ItemText(static_cast<std::uint32_t>(i), e.name.c_str(), e.points, e.parameter,
                             e.marked, styles[i % plot::kCurveStyleCount]));
  }
  const int current = CurrentItem(kCurveListControl);
  SetItems(kCurveListControl, items);
  SetCurrentItem(kCurveListControl, std::min(current, static_cast<int>(items.size()) - 1));
}

void CurveDialog::Highlight(int index) {
  SetCurrentItem(kCurveListControl, index);
  ShowEntry(index);
}

void CurveDialog::ShowEntry(int index) {
  shown_ = index;
  if (mode_ != Mode::Manage) return;
  const bool any = index >= 0 && index < static_cast<int>(entries_.size());
  const int last = static_cast<int>(entries_.size()) - 1;
  SetText(kCurveNameControl, any ? entries_[index].name : std::string());
  SetText(kCurveParameterControl, any ? shell::FormatFloatG(entries_[index].parameter) : std::string());
  SetCheck(kCurveMarkedControl, any && entries_[index].marked ? 1 : 0);
  for (int id : {kCurveNameControl, kCurveParameterControl, kCurveMarkedControl})
    Enable(id, any);
  for (int id : kEditButtons) Enable(id, any);
  Enable(kCurveUpControl, any && index > 0);
  Enable(kCurveFirstControl, any && index > 0);
  Enable(kCurveDownControl, any && index < last);
  Enable(kCurveLastControl, any && index < last);
}

bool CurveDialog::CommitEdits() {
  if (mode_ != Mode::Manage || shown_ < 0 || shown_ >= static_cast<int>(entries_.size()))
    return true;
  const std::optional<float> parameter = ParseParameter(GetText(kCurveParameterControl));
  if (!parameter) {
    platform::GetUi().MessageBeep(platform::MB_ICONHAND);
    SetFocus(kCurveParameterControl);
    SelectText(kCurveParameterControl, 0, -1);
    return false;
  }
  Entry& e = entries_[shown_];
  std::string name = GetText(kCurveNameControl);
  if (name.size() >= curves::kCurveNameSize) name.resize(curves::kCurveNameSize - 1);
  const bool marked = GetCheck(kCurveMarkedControl) == 1;
  if (name != e.name || *parameter != e.parameter || marked != e.marked) {
    e.name = name;
    e.parameter = *parameter;
    e.marked = marked;
    Fill();
  }
  return true;
}

void CurveDialog::Move(int to) {
  if (!CommitEdits()) return;
  const int from = shown_;
  if (from < 0 || to < 0 || to >= static_cast<int>(entries_.size()) || to == from) return;
  const Entry moved = entries_[from];
  entries_.erase(entries_.begin() + from);
  entries_.insert(entries_.begin() + to, moved);
  Fill();
  Highlight(to);
}

void CurveDialog::OnCommand(int id, int code) {
  const int last = static_cast<int>(entries_.size()) - 1;
  switch (id) {
    case kCurveListControl:
      if (code == kListSelChange) {
        const int now = CurrentItem(kCurveListControl);
        if (now == shown_) return;
        // The edits belong to the curve shown so far.
        if (!CommitEdits()) {
          SetCurrentItem(kCurveListControl, shown_);
          return;
        }
        ShowEntry(now);
      } else if (code == kListDoubleClick && mode_ == Mode::Choose) {
        Command(platform::IDOK, 0);
      }
      return;
    case kCurveApplyControl:
    case kCurveMarkedControl:
      CommitEdits();
      return;
    case kCurveUpControl: Move(shown_ - 1); return;
    case kCurveDownControl: Move(shown_ + 1); return;
    case kCurveFirstControl: Move(0); return;
    case kCurveLastControl: Move(last); return;
    case kCurveDeleteControl:
      if (shown_ < 0 || shown_ > last) return;
      entries_.erase(entries_.begin() + shown_);
      Fill();
      Highlight(std::min(shown_, last - 1));
      return;
    case kCurveStyleControl:
      // Styles belong to places in the list: the curve's place after OK.
      if (CommitEdits() && shown_ >= 0 &&
          plot::RunStyleDialog(nullptr, static_cast<std::uint32_t>(shown_)) == 1)
        Fill();
      return;
    case platform::IDOK: {
      if (!CommitEdits()) return;
      if (mode_ == Mode::Choose) {
        const int item = CurrentItem(kCurveListControl);
        if (item < 0 || item > last) {
          platform::GetUi().MessageBeep(platform::MB_ICONHAND);
          return;
        }
        chosen_ = entries_[item].source;
      }
      End(1);
      return;
    }
    case platform::IDCANCEL:
      plot::GetPlotState().styles = stylesBefore_;
      End(0);
      return;
    default:
      return;
  }
}

bool CurveDialog::Original() const {
  if (entries_.size() != originalCount_) return false;
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].source != i) return false;
  return true;
}

bool CurveDialog::ApplyTo(curves::CurveFamily& family) const {
  bool changed = !Original();
  if (changed) {
    // order[p] is the starting index of the curve now at place p.
    std::vector<std::uint32_t> order(family.Count());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    for (std::size_t p = 0; p < entries_.size(); ++p) {
      const auto at = std::find(order.begin() + static_cast<std::ptrdiff_t>(p), order.end(),
                                entries_[p].source);
      const auto from = static_cast<std::uint32_t>(at - order.begin());
      if (from != p) {
        family.MoveCurve(from, static_cast<std::uint32_t>(p));
        std::rotate(order.begin() + static_cast<std::ptrdiff_t>(p), at, at + 1);
      }
    }
    if (family.Count() > entries_.size())
      family.RemoveRange(static_cast<std::uint32_t>(entries_.size()), family.Count() - 1);
  }
  for (std::size_t p = 0; p < entries_.size(); ++p) {
    curves::Curve& c = family.Curve(static_cast<std::uint32_t>(p));
    const Entry& e = entries_[p];
    if (e.name != c.Name() || e.parameter != c.Parameter()) changed = true;
    c.SetName(e.name.c_str());
    c.SetParameter(e.parameter);
    if (e.marked) c.Mark();
    else c.Unmark();
  }
  return changed;
}

int RunCurveDialog(platform::WindowHandle owner, std::optional<std::uint32_t> highlighted) {
  curves::CurveFamily& family = curves::CurrentFamily();
  CurveDialog dialog(family, CurveDialog::Mode::Manage,
                     highlighted ? kCurvePropertiesCaption : kCurveManagementCaption, highlighted);
  if (platform::GetUi().RunModal(dialog, owner) != 1) return 0;
  return dialog.ApplyTo(family) ? 1 : 2;
}

std::optional<std::uint32_t> ChooseCurveToUse(platform::WindowHandle owner,
                                              const curves::CurveFamily& family) {
  CurveDialog dialog(family, CurveDialog::Mode::Choose, math::kCurveListCaption);
  if (platform::GetUi().RunModal(dialog, owner) != 1) return std::nullopt;
  return dialog.Chosen();
}

}  // namespace tsm::app
