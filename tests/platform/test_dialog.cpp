#include "platform/dialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/headless_ui.h"

namespace tsm::platform {
namespace {

Control Radio(int id, bool start = false) {
  Control c;
  c.id = id;
  c.kind = ControlKind::RadioButton;
  c.groupStart = start;
  return c;
}

TEST(DialogModel, RadioGroupsEndAtANewGroupOrAnotherControl) {
  DialogModel d(1, "x");
  d.AddControl(Radio(10, true));
  d.AddControl(Radio(11));
  d.AddControl(Radio(20, true));
  d.AddControl(Radio(21));
  Control edit;
  edit.id = 30;
  edit.kind = ControlKind::Edit;
  d.AddControl(edit);
  d.AddControl(Radio(40));
  EXPECT_EQ(d.RadioGroupOf(11), (std::vector<int>{10, 11}));
  EXPECT_EQ(d.RadioGroupOf(20), (std::vector<int>{20, 21}));
  EXPECT_EQ(d.RadioGroupOf(40), (std::vector<int>{40}));
  EXPECT_TRUE(d.RadioGroupOf(30).empty());
}

TEST(DialogModel, DefaultCommandsEndWithOkAndCancel) {
  DialogModel a(1, "x");
  a.Init();
  a.Command(1);
  EXPECT_TRUE(a.Ended());
  EXPECT_EQ(a.Result(), 1);
  DialogModel b(1, "x");
  b.Init();
  b.Close();
  EXPECT_TRUE(b.Ended());
  EXPECT_EQ(b.Result(), 0);
}

TEST(DialogModel, TextLimitAndSelection) {
  DialogModel d(1, "x");
  Control e;
  e.id = 5;
  e.kind = ControlKind::Edit;
  e.textLimit = 4;
  d.AddControl(e);
  d.SetText(5, "abcdef");
  EXPECT_EQ(d.GetText(5), "abcd");
  d.SelectText(5, 0, -1);
  EXPECT_EQ(d.Selection(5), (std::pair<int, int>{0, 4}));
  EXPECT_EQ(d.GetText(99), "");
}

}  // namespace
}  // namespace tsm::platform

namespace tsm::platform {
namespace {

// A dialog whose OK starts work on another thread that ends the dialog, as a
// measurement does; the headless back end must wait for it, not press Cancel.
class WorkingDialog : public DialogModel {
 public:
  WorkingDialog() : DialogModel(7, "work") {}
  ~WorkingDialog() override {
    if (worker_.joinable()) worker_.join();
  }
  bool Running() const override { return running_.load(); }
  bool cancelled = false;

 protected:
  void OnCommand(int id, int) override {
    if (id == IDOK && !running_) {
      running_ = true;
      worker_ = std::thread([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        End(42);  // the worker ends the dialog, then goes away
        running_ = false;
      });
    } else if (id == IDCANCEL) {
      cancelled = true;
      End(0);
    }
  }

 private:
  std::atomic<bool> running_{false};
  std::thread worker_;
};

TEST(HeadlessModal, WaitsForADialogThatEndsItself) {
  HeadlessUi ui;
  WorkingDialog dialog;
  EXPECT_EQ(ui.RunModal(dialog, nullptr), 42);
  EXPECT_FALSE(dialog.cancelled);
}

}  // namespace
}  // namespace tsm::platform
