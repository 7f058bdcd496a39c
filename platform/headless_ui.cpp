#include "platform/headless_ui.h"

namespace tsm::platform {

void HeadlessUi::Record(UiCall call) {
  std::lock_guard lock(mutex_);
  calls_.push_back(std::move(call));
}

int HeadlessUi::MessageBox(WindowHandle owner, const std::string& text,
                           const std::string& caption, unsigned type) {
  UiCall call{UiCall::Kind::MessageBox, text, caption, type, 0, owner};
  std::function<void(const UiCall&)> echo;
  {
    std::lock_guard lock(mutex_);
    if (!answers_.empty()) {
      call.answer = answers_.front();
      answers_.pop_front();
    } else {
      call.answer = DefaultButtonOf(type);
    }
    calls_.push_back(call);
    echo = echo_;
  }
  if (echo) echo(call);
  return call.answer;
}

void HeadlessUi::MessageBeep(unsigned type) {
  Record({UiCall::Kind::Beep, {}, {}, type, 0, nullptr});
}

void HeadlessUi::PlaySound(const std::string& file) {
  Record({UiCall::Kind::Sound, file, {}, 0, 0, nullptr});
}

void HeadlessUi::BeginBusyCursor() {
  std::lock_guard lock(mutex_);
  ++busy_;
  calls_.push_back({UiCall::Kind::BusyBegin, {}, {}, 0, busy_, nullptr});
}

void HeadlessUi::EndBusyCursor() {
  std::lock_guard lock(mutex_);
  if (busy_ > 0) --busy_;
  calls_.push_back({UiCall::Kind::BusyEnd, {}, {}, 0, busy_, nullptr});
}

void HeadlessUi::SetStatusText(int part, const std::string& text) {
  std::lock_guard lock(mutex_);
  status_[part] = text;
  calls_.push_back({UiCall::Kind::StatusText, text, {}, 0, part, nullptr});
}

FileDialogResult HeadlessUi::GetOpenFileName(const FileDialogRequest& request) {
  std::lock_guard lock(mutex_);
  FileDialogResult result;
  if (!files_.empty()) {
    result = files_.front();
    files_.pop_front();
  }
  calls_.push_back({UiCall::Kind::OpenFile, result.path, request.title, request.flags,
                    result.ok ? IDOK : IDCANCEL, nullptr});
  return result;
}

FileDialogResult HeadlessUi::GetSaveFileName(const FileDialogRequest& request) {
  std::lock_guard lock(mutex_);
  FileDialogResult result;
  if (!files_.empty()) {
    result = files_.front();
    files_.pop_front();
  }
  calls_.push_back({UiCall::Kind::SaveFile, result.path, request.title, request.flags,
                    result.ok ? IDOK : IDCANCEL, nullptr});
  return result;
}

FontDialogResult HeadlessUi::ChooseFont(FontChoice& font) {
  std::lock_guard lock(mutex_);
  FontDialogResult result;
  if (!fonts_.empty()) {
    font = fonts_.front();
    fonts_.pop_front();
    result.ok = true;
  }
  calls_.push_back({UiCall::Kind::ChooseFont, font.face, {}, 0, result.ok ? IDOK : IDCANCEL,
                    nullptr});
  return result;
}

bool HeadlessUi::ChooseColor(std::uint32_t& color) {
  std::lock_guard lock(mutex_);
  bool ok = false;
  if (!colors_.empty()) {
    color = colors_.front();
    colors_.pop_front();
    ok = true;
  }
  calls_.push_back({UiCall::Kind::ChooseColor, {}, {}, color, ok ? IDOK : IDCANCEL, nullptr});
  return ok;
}

TimerId HeadlessUi::StartTimer(unsigned milliseconds, bool periodic,
                               std::function<void()> callback) {
  std::lock_guard lock(mutex_);
  TimerId id = 0;
  if (!timersFail_) {
    id = nextTimer_++;
    timers_[id] = Timer{periodic, std::move(callback)};
  }
  calls_.push_back({UiCall::Kind::TimerStart, {}, {}, milliseconds, static_cast<int>(id), nullptr});
  return id;
}

void HeadlessUi::StopTimer(TimerId id) {
  std::lock_guard lock(mutex_);
  timers_.erase(id);
  calls_.push_back({UiCall::Kind::TimerStop, {}, {}, 0, static_cast<int>(id), nullptr});
}

int HeadlessUi::RunModal(DialogModel& dialog, WindowHandle owner) {
  DialogScript script;
  {
    std::lock_guard lock(mutex_);
    if (!dialogs_.empty()) {
      script = std::move(dialogs_.front());
      dialogs_.pop_front();
    }
  }
  dialog.Init();
  if (!dialog.Ended() && script) script(dialog);
  if (!dialog.Ended()) dialog.Command(IDOK, 0);
  // A dialog that works on its own (a running measurement) ends itself.
  if (!dialog.Ended() && dialog.Running()) dialog.WaitForEnd();
  if (!dialog.Ended()) dialog.Command(IDCANCEL, 0);
  if (!dialog.Ended() && dialog.Running()) dialog.WaitForEnd();
  if (!dialog.Ended()) dialog.End(0);
  const int result = dialog.Result();
  Record({UiCall::Kind::Modal, std::to_string(dialog.ResourceId()), dialog.Caption(), 0, result,
          owner});
  return result;
}

void HeadlessUi::PushAnswer(int button) {
  std::lock_guard lock(mutex_);
  answers_.push_back(button);
}

void HeadlessUi::PushFile(const FileDialogResult& result) {
  std::lock_guard lock(mutex_);
  files_.push_back(result);
}

void HeadlessUi::PushFont(const FontChoice& font) {
  std::lock_guard lock(mutex_);
  fonts_.push_back(font);
}

void HeadlessUi::PushColor(std::uint32_t color) {
  std::lock_guard lock(mutex_);
  colors_.push_back(color);
}

void HeadlessUi::PushDialog(DialogScript script) {
  std::lock_guard lock(mutex_);
  dialogs_.push_back(std::move(script));
}

void HeadlessUi::SetTimersFail(bool fail) {
  std::lock_guard lock(mutex_);
  timersFail_ = fail;
}

std::vector<UiCall> HeadlessUi::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<UiCall> HeadlessUi::CallsOf(UiCall::Kind kind) const {
  std::lock_guard lock(mutex_);
  std::vector<UiCall> out;
  for (const auto& c : calls_)
    if (c.kind == kind) out.push_back(c);
  return out;
}

std::string HeadlessUi::StatusText(int part) const {
  std::lock_guard lock(mutex_);
  auto it = status_.find(part);
  return it == status_.end() ? std::string() : it->second;
}

int HeadlessUi::BusyDepth() const {
  std::lock_guard lock(mutex_);
  return busy_;
}

bool HeadlessUi::SetClipboardText(const std::string& text) {
  std::lock_guard lock(mutex_);
  clipboard_ = text;
  calls_.push_back({UiCall::Kind::Clipboard, text, "", 0, 0, nullptr});
  return true;
}

std::string HeadlessUi::ClipboardText() const {
  std::lock_guard lock(mutex_);
  return clipboard_;
}

size_t HeadlessUi::PendingAnswers() const {
  std::lock_guard lock(mutex_);
  return answers_.size();
}

void HeadlessUi::Clear() {
  std::lock_guard lock(mutex_);
  calls_.clear();
  answers_.clear();
  files_.clear();
  fonts_.clear();
  colors_.clear();
  dialogs_.clear();
  status_.clear();
  clipboard_.clear();
}

void HeadlessUi::FireTimers() {
  std::vector<std::pair<TimerId, Timer>> due;
  {
    std::lock_guard lock(mutex_);
    for (auto& [id, timer] : timers_) due.emplace_back(id, timer);
    for (auto& [id, timer] : due)
      if (!timer.periodic) timers_.erase(id);
  }
  for (auto& [id, timer] : due)
    if (timer.callback) timer.callback();
}

size_t HeadlessUi::LiveTimers() const {
  std::lock_guard lock(mutex_);
  return timers_.size();
}

void HeadlessUi::SetMessageBoxEcho(std::function<void(const UiCall&)> echo) {
  std::lock_guard lock(mutex_);
  echo_ = std::move(echo);
}

}  // namespace tsm::platform
