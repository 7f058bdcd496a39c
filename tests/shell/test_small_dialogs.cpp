// The ask-text dialog, the user-name dialog and the settings state they use.
#include "shell/asktext.h"
#include "shell/settings.h"
#include "shell/username_dialog.h"
#include "tests/support/test_support.h"

namespace tsm::shell {
namespace {

class SmallDialogTest : public testing::UiTest {
 protected:
  SmallDialogTest() { ResetSettingsState(); }
  ~SmallDialogTest() override { ResetSettingsState(); }
};

TEST_F(SmallDialogTest, AskTextCopiesOnOkAndLeavesTheBufferOnCancel) {
  char buffer[8] = "old";
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.ResourceId(), kAskTextDialogId);
    EXPECT_EQ(d.Caption(), "Curve name");
    EXPECT_EQ(d.GetText(kAskTextPrompt), "Name of the new curve:");
    EXPECT_EQ(d.GetText(kAskTextEdit), "old");
    d.SetText(kAskTextEdit, "a much longer name");
  });
  EXPECT_EQ(AskText(nullptr, "Curve name", "Name of the new curve:", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "a much ");  // the field holds length - 1 bytes
  ui->PushDialog([](platform::DialogModel& d) {
    d.SetText(kAskTextEdit, "other");
    d.Command(platform::IDCANCEL);
  });
  EXPECT_EQ(AskText(nullptr, "Curve name", "Name:", buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "a much ");
}

TEST_F(SmallDialogTest, UserNameDialogEditsTheNameOnOkOnly) {
  EXPECT_EQ(UserName(), "anonymous");
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.ResourceId(), kUserNameDialogId);
    EXPECT_EQ(d.GetText(kUserNameControl), "anonymous");
    EXPECT_FALSE(d.HasControl(2000));  // the name is not stored
    d.SetText(kUserNameControl, std::string(100, 'n'));
  });
  EXPECT_EQ(RunUserNameDialog(nullptr), 1);
  EXPECT_EQ(UserName(), std::string(63, 'n'));
  ui->PushDialog([](platform::DialogModel& d) {
    d.SetText(kUserNameControl, "somebody");
    d.Command(platform::IDCANCEL);
  });
  EXPECT_EQ(RunUserNameDialog(nullptr), 0);
  EXPECT_EQ(UserName(), std::string(63, 'n'));
}

TEST(SettingsState, FileNameDefaultsBesideTheProgramAndRefusesCutPaths) {
  ResetSettingsState();
  SetProgramDirectory("/opt/tesmira/");
  EXPECT_EQ(SettingsFileName(), "/opt/tesmira/tsm.ini");
  EXPECT_TRUE(SetSettingsFileName("/tmp/x.ini"));
  EXPECT_EQ(SettingsFileName(), "/tmp/x.ini");
  EXPECT_FALSE(SetSettingsFileName(std::string(300, 'a')));
  EXPECT_EQ(SettingsFileName(), "/tmp/x.ini");
  EXPECT_EQ(DirectoryOf("C:\\tsm\\bin/tesmira"), "C:\\tsm\\bin/");
  EXPECT_EQ(DirectoryOf("C:\\tsm\\tesmira.exe"), "C:\\tsm\\");
  EXPECT_EQ(DirectoryOf("tesmira"), "");
  ResetSettingsState();
}

}  // namespace
}  // namespace tsm::shell
