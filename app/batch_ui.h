// The Ui of batch mode: the headless back end, answered from the script.
// The script's answers for message boxes, file choosers and dialogs wait
// in queues of their own, so batch mode can tell which were never used and
// take back the file of a command that did not open its chooser. Every
// message box and dialog is echoed to the output with the answer given.
#pragma once

#include <deque>
#include <mutex>
#include <ostream>

#include "platform/headless_ui.h"

namespace tsm::app {

class BatchUi : public platform::HeadlessUi {
 public:
  explicit BatchUi(std::ostream& out) : out_(out) {}

  void QueueAnswer(int button);
  void QueueFile(const platform::FileDialogResult& result);
  void QueueDialog(platform::DialogScript script);
  // Takes back the file queued last (its command did not ask for it).
  void DropLastFile();
  std::size_t UnusedAnswers() const;
  std::size_t UnusedFiles() const;
  std::size_t UnusedDialogs() const;
  // Writes a line of the script's own ("echo") among the echoed boxes.
  void Echo(const std::string& line);

  int MessageBox(platform::WindowHandle owner, const std::string& text, const std::string& caption,
                 unsigned type) override;
  platform::FileDialogResult GetOpenFileName(const platform::FileDialogRequest& request) override;
  platform::FileDialogResult GetSaveFileName(const platform::FileDialogRequest& request) override;
  int RunModal(platform::DialogModel& dialog, platform::WindowHandle owner) override;

  // "message [Caption] text -> Answer": line breaks of the text written
  // as "\n" so each box is one line.
  static std::string EchoLine(const std::string& caption, const std::string& text,
                              const std::string& answer, bool scripted);

 private:
  // Moves the next scripted file into the base's queue.
  bool PrepareFile();

  std::ostream& out_;
  mutable std::mutex mutex_;
  std::mutex boxMutex_;  // one message box at a time, scripted answer and all
  std::deque<int> answers_;
  std::deque<platform::FileDialogResult> files_;
  std::deque<platform::DialogScript> dialogs_;
};

}  // namespace tsm::app
