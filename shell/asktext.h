// The small dialog that asks the user for one line of text: a caption, a
// prompt and an edit field preset with the caller's text.
#pragma once

#include <cstddef>
#include <string>

#include "platform/dialog.h"
#include "platform/ui.h"

namespace tsm::shell {

inline constexpr int kAskTextDialogId = 229;
inline constexpr int kAskTextPrompt = 12345;
inline constexpr int kAskTextEdit = 12346;

// The model: OK ends with 1 and keeps the edit's text in Answer().
class AskTextDialog : public platform::DialogModel {
 public:
  // length: bytes of the caller's buffer, terminator included.
  AskTextDialog(const std::string& caption, const std::string& prompt,
                const std::string& initial, std::size_t length);
  const std::string& Answer() const { return answer_; }

 protected:
  void OnInit() override;
  void OnCommand(int id, int code) override;

 private:
  std::string initial_;
  std::size_t length_;
  std::string answer_;
};

// OK copies the field into buffer[length] and returns 1; Cancel returns 0
// and leaves the buffer as it was.
int AskText(platform::WindowHandle owner, const std::string& caption,
            const std::string& prompt, char* buffer, std::size_t length);
int AskText(platform::WindowHandle owner, const std::string& caption,
            const std::string& prompt, std::string& text, std::size_t length);

}  // namespace tsm::shell
