// The headless back end of the Ui seam: records every call (kind, text,
// caption, type, answer) and answers from queues of scripted answers, else
// from documented defaults. Tests assert on the record; batch mode uses it
// with an echo of each message box to standard output. Thread-safe: the
// measurement worker may call it while a test inspects it.
#pragma once

#include <deque>
#include <map>
#include <mutex>

#include "platform/dialog.h"
#include "platform/ui.h"

namespace tsm::platform {

struct UiCall {
  enum class Kind {
    MessageBox, Beep, Sound, BusyBegin, BusyEnd, StatusText, OpenFile,
    SaveFile, ChooseFont, ChooseColor, TimerStart, TimerStop, Modal, Clipboard,
  };
  Kind kind;
  std::string text;     // message text, sound file, status text, chosen path
  std::string caption;  // message caption, dialog caption, chooser title
  unsigned type = 0;    // message-box type, beep type, timer period
  int answer = 0;       // button pressed, modal result, status part
  WindowHandle owner = nullptr;
};

// What a scripted modal dialog does before the headless back end presses
// OK: fill fields, press buttons, or end the dialog itself.
using DialogScript = std::function<void(DialogModel&)>;

class HeadlessUi : public Ui {
 public:
  // Defaults when no scripted answer is queued:
  //  - a message box answers with its default button (what Enter presses);
  //  - file, font and colour choosers are cancelled (error code 0);
  //  - a modal dialog is confirmed with OK (command 1), then Cancel (2) if
  //    still open, then ended with 0; a dialog that is Running() (it ends
  //    itself, as a measurement does) is waited for after each of them;
  //  - timers never fire by themselves (see FireTimers).
  int MessageBox(WindowHandle owner, const std::string& text,
                 const std::string& caption, unsigned type) override;
  void MessageBeep(unsigned type) override;
  void PlaySound(const std::string& file) override;
  void BeginBusyCursor() override;
  void EndBusyCursor() override;
  void SetStatusText(int part, const std::string& text) override;
  FileDialogResult GetOpenFileName(const FileDialogRequest& request) override;
  FileDialogResult GetSaveFileName(const FileDialogRequest& request) override;
  FontDialogResult ChooseFont(FontChoice& font) override;
  bool ChooseColor(std::uint32_t& color) override;
  TimerId StartTimer(unsigned milliseconds, bool periodic,
                     std::function<void()> callback) override;
  void StopTimer(TimerId id) override;
  int RunModal(DialogModel& dialog, WindowHandle owner) override;
  // Recorded (the text); the last text is kept as the clipboard's content.
  bool SetClipboardText(const std::string& text) override;

  // --- scripting
  void PushAnswer(int button);
  void PushFile(const FileDialogResult& result);
  void PushFile(const std::string& path) { PushFile(FileDialogResult{true, path, 0}); }
  void PushFont(const FontChoice& font);
  void PushColor(std::uint32_t color);
  void PushDialog(DialogScript script);
  // Makes StartTimer fail (returns 0), for the failure paths of timers.
  void SetTimersFail(bool fail);

  // --- inspection
  std::vector<UiCall> Calls() const;
  std::vector<UiCall> CallsOf(UiCall::Kind kind) const;
  std::vector<UiCall> MessageBoxes() const { return CallsOf(UiCall::Kind::MessageBox); }
  std::string StatusText(int part) const;
  int BusyDepth() const;
  std::string ClipboardText() const;
  size_t PendingAnswers() const;
  void Clear();  // forgets the record and every queued answer

  // Runs the callback of every live timer once (periodic ones stay live).
  void FireTimers();
  size_t LiveTimers() const;

  // Called for every message box after it is answered (batch-mode echo).
  void SetMessageBoxEcho(std::function<void(const UiCall&)> echo);

 private:
  void Record(UiCall call);

  mutable std::mutex mutex_;
  std::vector<UiCall> calls_;
  std::deque<int> answers_;
  std::deque<FileDialogResult> files_;
  std::deque<FontChoice> fonts_;
  std::deque<std::uint32_t> colors_;
  std::deque<DialogScript> dialogs_;
  std::map<int, std::string> status_;
  std::string clipboard_;
  int busy_ = 0;
  bool timersFail_ = false;
  TimerId nextTimer_ = 1;
  struct Timer {
    bool periodic;
    std::function<void()> callback;
  };
  std::map<TimerId, Timer> timers_;
  std::function<void(const UiCall&)> echo_;
};

// Installs a fresh HeadlessUi for the lifetime of a scope (test fixtures).
class ScopedHeadlessUi {
 public:
  ScopedHeadlessUi() { SetUi(&ui_); }
  ~ScopedHeadlessUi() { SetUi(nullptr); }
  HeadlessUi* operator->() { return &ui_; }
  HeadlessUi& operator*() { return ui_; }

 private:
  HeadlessUi ui_;
};

}  // namespace tsm::platform
