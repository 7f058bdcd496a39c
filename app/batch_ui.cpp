#include "app/batch_ui.h"

#include "app/batch_script.h"

namespace tsm::app {

using namespace tsm::platform;

void BatchUi::QueueAnswer(int button) {
  std::lock_guard lock(mutex_);
  answers_.push_back(button);
}

void BatchUi::QueueFile(const FileDialogResult& result) {
  std::lock_guard lock(mutex_);
  files_.push_back(result);
}

void BatchUi::QueueDialog(DialogScript script) {
  std::lock_guard lock(mutex_);
  dialogs_.push_back(std::move(script));
}

void BatchUi::DropLastFile() {
  std::lock_guard lock(mutex_);
  if (!files_.empty()) files_.pop_back();
}

std::size_t BatchUi::UnusedAnswers() const {
  std::lock_guard lock(mutex_);
  return answers_.size();
}

std::size_t BatchUi::UnusedFiles() const {
  std::lock_guard lock(mutex_);
  return files_.size();
}

std::size_t BatchUi::UnusedDialogs() const {
  std::lock_guard lock(mutex_);
  return dialogs_.size();
}

void BatchUi::Echo(const std::string& line) {
  std::lock_guard lock(mutex_);
  out_ << line << '\n';
  out_.flush();
}

std::string BatchUi::EchoLine(const std::string& caption, const std::string& text,
                              const std::string& answer, bool scripted) {
  std::string line = "message [" + caption + "] ";
  for (char c : text) {
    if (c == '\n') line += "\\n";
    else if (c == '\r') line += "\\r";
    else line.push_back(c);
  }
  line += " -> " + answer;
  if (!scripted) line += " (default)";
  return line;
}

int BatchUi::MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                        unsigned type) {
  std::lock_guard box(boxMutex_);
  bool scripted = false;
  {
    std::lock_guard lock(mutex_);
    if (!answers_.empty()) {
      HeadlessUi::PushAnswer(answers_.front());
      answers_.pop_front();
      scripted = true;
    }
  }
  const int answer = HeadlessUi::MessageBox(owner, text, caption, type);
  {
    std::lock_guard lock(mutex_);
    out_ << EchoLine(caption, text, NameOfAnswer(answer), scripted) << '\n';
    out_.flush();
  }
  return answer;
}

bool BatchUi::PrepareFile() {
  std::lock_guard lock(mutex_);
  if (files_.empty()) return false;
  HeadlessUi::PushFile(files_.front());
  files_.pop_front();
  return true;
}

FileDialogResult BatchUi::GetOpenFileName(const FileDialogRequest& request) {
  std::lock_guard box(boxMutex_);
  PrepareFile();
  return HeadlessUi::GetOpenFileName(request);
}

FileDialogResult BatchUi::GetSaveFileName(const FileDialogRequest& request) {
  std::lock_guard box(boxMutex_);
  PrepareFile();
  return HeadlessUi::GetSaveFileName(request);
}

int BatchUi::RunModal(DialogModel& dialog, WindowHandle owner) {
  {
    std::lock_guard lock(mutex_);
    if (!dialogs_.empty()) {
      HeadlessUi::PushDialog(std::move(dialogs_.front()));
      dialogs_.pop_front();
    }
  }
  const int result = HeadlessUi::RunModal(dialog, owner);
  {
    std::lock_guard lock(mutex_);
    out_ << "dialog " << dialog.ResourceId() << " [" << dialog.Caption() << "] -> " << result
         << '\n';
    out_.flush();
  }
  return result;
}

}  // namespace tsm::app
