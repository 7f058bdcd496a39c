// Dialogs rendered for a look rather than for use: a Ui that shows every
// modal dialog a piece of code opens with the program's dialog view,
// offscreen, hands it to a callback (a picture, a layout check) and then
// cancels it; and the layout check itself. The user guide's pictures
// (tools/pictures.cpp) and the test of every dialog (tests/gui) use both.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/headless_ui.h"

namespace tsm::gui {

class DialogView;

class PictureUi : public platform::HeadlessUi {
 public:
  using Seen = std::function<void(platform::DialogModel& model, DialogView& view)>;
  explicit PictureUi(Seen seen) : seen_(std::move(seen)) {}

  // Starts the dialog, shows it, calls the callback, then closes it as the
  // close box would (and ends it with 0 if it stays open). Returns its result.
  int RunModal(platform::DialogModel& dialog, platform::WindowHandle owner) override;
  int DialogsSeen() const { return seen_count_; }

 private:
  Seen seen_;
  int seen_count_ = 0;
};

// What is wrong with the layout of a shown dialog, one line each: a visible
// control whose text is cut or wider than the control, two visible controls
// that overlap, a dialog larger than kMaxDialogWidth x kMaxDialogHeight.
std::vector<std::string> LayoutProblems(const DialogView& view);

}  // namespace tsm::gui
