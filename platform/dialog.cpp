#include "platform/dialog.h"

#include <algorithm>

namespace tsm::platform {

DialogModel::DialogModel(int resourceId, std::string caption)
    : resourceId_(resourceId), caption_(std::move(caption)) {}

DialogModel::~DialogModel() = default;

std::string DialogModel::Caption() const {
  std::lock_guard lock(mutex_);
  return caption_;
}

void DialogModel::SetCaption(const std::string& caption) {
  {
    std::lock_guard lock(mutex_);
    caption_ = caption;
  }
  Notify(0);
}

void DialogModel::SetColumnHeading(int column, const std::string& heading) {
  std::lock_guard lock(mutex_);
  if (heading.empty())
    columnHeadings_.erase(column);
  else
    columnHeadings_[column] = heading;
}

std::map<int, std::string> DialogModel::ColumnHeadings() const {
  std::lock_guard lock(mutex_);
  return columnHeadings_;
}

void DialogModel::SetPlacement(DialogPlacement placement) {
  std::lock_guard lock(mutex_);
  placement_ = placement;
}

DialogPlacement DialogModel::Placement() const {
  std::lock_guard lock(mutex_);
  return placement_;
}

void DialogModel::Init() {
  {
    std::lock_guard lock(mutex_);
    ended_ = false;
    result_ = 0;
  }
  OnInit();
}

void DialogModel::Command(int id, int code) {
  if (Ended()) return;
  OnCommand(id, code);
}

void DialogModel::Close() {
  if (Ended()) return;
  OnClose();
}

void DialogModel::End(int result) {
  {
    std::lock_guard lock(mutex_);
    ended_ = true;
    result_ = result;
  }
  endedCondition_.notify_all();
  Notify(0);
}

bool DialogModel::WaitForEnd(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  endedCondition_.wait_for(lock, timeout, [this] { return ended_; });
  return ended_;
}

bool DialogModel::Ended() const {
  std::lock_guard lock(mutex_);
  return ended_;
}

int DialogModel::Result() const {
  std::lock_guard lock(mutex_);
  return result_;
}

void DialogModel::OnCommand(int id, int /*code*/) {
  if (id == 1) End(1);
  if (id == 2) End(0);
}

void DialogModel::OnClose() { Command(2, 0); }

Control& DialogModel::AddControl(const Control& control) {
  std::lock_guard lock(mutex_);
  controls_.push_back(control);
  return controls_.back();
}

bool DialogModel::HasControl(int id) const {
  std::lock_guard lock(mutex_);
  return Find(id) != nullptr;
}

std::vector<Control> DialogModel::Controls() const {
  std::lock_guard lock(mutex_);
  return controls_;
}

std::optional<Control> DialogModel::GetControl(int id) const {
  std::lock_guard lock(mutex_);
  const Control* c = Find(id);
  if (!c) return std::nullopt;
  return *c;
}

Control* DialogModel::Find(int id) {
  for (auto& c : controls_)
    if (c.id == id) return &c;
  return nullptr;
}

const Control* DialogModel::Find(int id) const {
  for (const auto& c : controls_)
    if (c.id == id) return &c;
  return nullptr;
}

void DialogModel::Notify(int id) {
  std::function<void(int)> listener;
  {
    std::lock_guard lock(mutex_);
    listener = listener_;
  }
  if (listener) listener(id);
}

void DialogModel::SetChangeListener(std::function<void(int id)> listener) {
  std::lock_guard lock(mutex_);
  listener_ = std::move(listener);
}

std::string DialogModel::GetText(int id) const {
  std::lock_guard lock(mutex_);
  const Control* c = Find(id);
  return c ? c->text : std::string();
}

void DialogModel::SetText(int id, const std::string& text) {
  {
    std::lock_guard lock(mutex_);
    Control* c = Find(id);
    if (!c) return;
    c->text = (c->textLimit > 0 && static_cast<int>(text.size()) > c->textLimit)
                  ? text.substr(0, static_cast<size_t>(c->textLimit))
                  : text;
    c->selectionStart = c->selectionEnd = 0;
  }
  Notify(id);
}

int DialogModel::GetCheck(int id) const {
  std::lock_guard lock(mutex_);
  const Control* c = Find(id);
  return c ? c->check : 0;
}

void DialogModel::SetCheck(int id, int state) {
  {
    std::lock_guard lock(mutex_);
    Control* c = Find(id);
    if (!c) return;
    c->check = state;
  }
  Notify(id);
}

bool DialogModel::IsEnabled(int id) const {
  std::lock_guard lock(mutex_);
  const Control* c = Find(id);
  return c && c->enabled;
}

void DialogModel::Enable(int id, bool enabled) {
  {
    std::lock_guard lock(mutex_);
    Control* c = Find(id);
    if (!c || c->enabled == enabled) return;
    c->enabled = enabled;
  }
  Notify(id);
}

bool DialogModel::IsVisible(int id) const {
  std::lock_guard lock(mutex_);
  const Control* c = Find(id);
  return c && c->visible;
}

void DialogModel::Show(int id, bool visible) {
  {
    std::lock_guard lock(mutex_);
    Control* c = Find(id);
    if (!c || c->visible == visible) return;
    c->visible = visible;
  }
  Notify(id);
}

int DialogModel::Focus() const {
  std::lock_guard lock(mutex_);
  return focus_;
}

void DialogModel::SetFocus(int id) {
  {
    std::lock_guard lock(mutex_);
    focus_ = id;
  }
  Notify(id);
}

void DialogModel::SelectText(int id, int start, int end) {
  {
    std::lock_guard lock(mutex_);
    Control* c = Find(id);
    if (!c) return;
    const int size = static_cast<int>(c->text.size());
    c->selectionStart = std::clamp(start, 0, size);
    c->selectionEnd = end < 0 ? size : std::clamp(end, 0, size);
  }
  Notify(id);
}

std::pair<int, int> DialogModel::Selection(int id) const {
  std::lock_guard lock(mutex_);
  const Control* c = Find(id);
  if (!c) return {0, 0};
  return {c->selectionStart, c->selectionEnd};
}

void DialogModel::SetItems(int id, const std::vector<std::string>& items) {
  {
    std::lock_guard lock(mutex_);
    Control* c = Find(id);
    if (!c) return;
    c->items = items;
    if (c->currentItem >= static_cast<int>(items.size())) c->currentItem = -1;
  }
  Notify(id);
}

std::vector<std::string> DialogModel::Items(int id) const {
  std::lock_guard lock(mutex_);
  const Control* c = Find(id);
  return c ? c->items : std::vector<std::string>{};
}

int DialogModel::CurrentItem(int id) const {
  std::lock_guard lock(mutex_);
  const Control* c = Find(id);
  return c ? c->currentItem : -1;
}

void DialogModel::SetCurrentItem(int id, int index) {
  {
    std::lock_guard lock(mutex_);
    Control* c = Find(id);
    if (!c) return;
    c->currentItem = (index >= 0 && index < static_cast<int>(c->items.size())) ? index : -1;
  }
  Notify(id);
}

void DialogModel::SetScrollRange(int id, int minimum, int maximum) {
  {
    std::lock_guard lock(mutex_);
    Control* c = Find(id);
    if (!c) return;
    c->scrollMin = minimum;
    c->scrollMax = maximum;
    c->scrollPos = std::clamp(c->scrollPos, std::min(minimum, maximum), std::max(minimum, maximum));
  }
  Notify(id);
}

int DialogModel::ScrollPos(int id) const {
  std::lock_guard lock(mutex_);
  const Control* c = Find(id);
  return c ? c->scrollPos : 0;
}

void DialogModel::SetScrollPos(int id, int pos) {
  {
    std::lock_guard lock(mutex_);
    Control* c = Find(id);
    if (!c) return;
    c->scrollPos = std::clamp(pos, std::min(c->scrollMin, c->scrollMax),
                              std::max(c->scrollMin, c->scrollMax));
  }
  Notify(id);
}

std::vector<int> DialogModel::RadioGroupOf(int id) const {
  std::lock_guard lock(mutex_);
  // A group runs from a button flagged groupStart (or the first radio button
  // after a non-radio control) through the consecutive radio buttons after it.
  std::vector<int> group;
  bool found = false;
  for (size_t i = 0; i < controls_.size(); ++i) {
    const Control& c = controls_[i];
    const bool radio = c.kind == ControlKind::RadioButton;
    const bool starts = radio && (c.groupStart || i == 0 ||
                                  controls_[i - 1].kind != ControlKind::RadioButton);
    if (!radio || starts) {
      if (found) break;
      group.clear();
    }
    if (radio) {
      group.push_back(c.id);
      if (c.id == id) found = true;
    }
  }
  if (!found) group.clear();
  return group;
}

}  // namespace tsm::platform
