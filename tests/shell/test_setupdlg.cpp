// The setup-dialog framework: group load and save over a settings file, and
// the dialog model's filling, validation, buttons and dependencies.
#include "shell/setupdlg.h"

#include <cstring>

#include "platform/profile.h"
#include "shell/settings.h"
#include "tests/support/test_support.h"

namespace tsm::shell {
namespace {

using platform::ControlKind;
using platform::UiCall;

platform::Control Make(int id, ControlKind kind) {
  platform::Control c;
  c.id = id;
  c.kind = kind;
  return c;
}

// A small option group with one field of every kind.
struct Options {
  int offset = -5;
  unsigned points = 100;
  float step = 0.5f;
  char name[16] = "probe";
  unsigned useLimit = 1;
  unsigned method = 2;
  unsigned note = 7;  // shown but not stored
};

class SetupDlgTest : public testing::UiTest {
 protected:
  SetupDlgTest() {
    ResetSettingsState();
    platform::ProfileCacheClear();
    file = dir.File("tsm.ini");
    SetSettingsFileName(file);
    list.fields = {
        SignedField(1001, &o.offset, "Test", "Offset", -100, 100, "Offset"),
        UnsignedField(1002, &o.points, "Test", "Points", 2, 1000, "Points"),
        FloatField(1003, &o.step, "Test", "Step", 0.001, 10, "Step"),
        TextField(1004, o.name, sizeof o.name, "Test", "Name", "Name"),
        CheckField(1005, &o.useLimit, "Test", "UseLimit", "Use limit"),
        RadioField(1010, &o.method, "Test", "Method", {"First", "Second", "Third"}, "Method"),
        UnsignedField(1020, &o.note, "", "", 0, 10, "Note"),
    };
  }

  std::string Key(const char* key) {
    return platform::ReadProfileString("Test", key, "<none>", file);
  }

  testing::TempDir dir;
  std::string file;
  Options o;
  FieldList list;
};

TEST_F(SetupDlgTest, SaveWritesEveryStoredFieldWithItsKindsFormat) {
  o.step = 0.001f;
  SaveGroup(list, file);
  EXPECT_EQ(Key("Offset"), "-5");
  EXPECT_EQ(Key("Points"), "100");
  EXPECT_EQ(Key("Step"), "0.001");
  EXPECT_EQ(Key("Name"), "probe");
  EXPECT_EQ(Key("UseLimit"), "1");
  EXPECT_EQ(Key("Method"), "2");
  EXPECT_EQ(Key("Note"), "<none>");
  double tiny = 0.000001;
  FieldList one;
  one.fields = {FloatField(1, &tiny, "Test", "Tiny", kNoMinimum, kNoMaximum, "")};
  SaveGroup(one, file);
  EXPECT_EQ(Key("Tiny"), "1E-06");
}

TEST_F(SetupDlgTest, MissingKeysKeepTheValuesLoadedEarlier) {
  // Loading an empty file right after start keeps the factory defaults...
  LoadGroup(list, dir.File("empty.ini"));
  EXPECT_EQ(o.offset, -5);
  EXPECT_EQ(o.points, 100u);
  EXPECT_STREQ(o.name, "probe");
  // ...and after other values were loaded it keeps those.
  dir.Write("a.ini", "[Test]\r\nOffset=7\r\nPoints=250\r\nStep=2.5\r\nName=chip\r\nMethod=0\r\n");
  EXPECT_EQ(LoadGroup(list, dir.File("a.ini")), 7);
  dir.Write("b.ini", "[Test]\r\nPoints=300\r\n");
  LoadGroup(list, dir.File("b.ini"));
  EXPECT_EQ(o.offset, 7);
  EXPECT_EQ(o.points, 300u);
  EXPECT_FLOAT_EQ(o.step, 2.5f);
  EXPECT_STREQ(o.name, "chip");
  EXPECT_EQ(o.method, 0u);
}

TEST_F(SetupDlgTest, FloatKeysFollowTheQuestionMarkRule) {
  dir.Write("q.ini", "[Test]\r\nStep=?1.5\r\n");
  LoadGroup(list, dir.File("q.ini"));
  EXPECT_FLOAT_EQ(o.step, 0.5f);
  // Letters only read as 0; 0 is outside this field's limits, so a second
  // field without limits shows the reading itself.
  float free = 3;
  FieldList one;
  one.fields = {FloatField(1, &free, "Test", "Step", kNoMinimum, kNoMaximum, "")};
  dir.Write("l.ini", "[Test]\r\nStep=abc\r\n");
  LoadGroup(one, dir.File("l.ini"));
  EXPECT_EQ(free, 0.0f);
}

TEST_F(SetupDlgTest, StoredValuesTheFieldWouldRefuseAreIgnored) {
  dir.Write("bad.ini",
            "[Test]\r\nPoints=1\r\nOffset=1000\r\nStep=1e300\r\nMethod=9\r\nUseLimit=5\r\n"
            "Name=a-name-much-longer-than-the-buffer\r\n");
  LoadGroup(list, dir.File("bad.ini"));
  EXPECT_EQ(o.points, 100u);
  EXPECT_EQ(o.offset, -5);
  EXPECT_FLOAT_EQ(o.step, 0.5f);
  EXPECT_EQ(o.method, 2u);
  EXPECT_EQ(o.useLimit, 1u);
  EXPECT_STREQ(o.name, "a-name-much-lon");  // cut to the buffer
  std::int16_t small = 3;
  FieldList one;
  one.fields = {SignedField(1, &small, "Test", "Offset", kNoMinimum, kNoMaximum, "")};
  LoadGroup(one, dir.File("bad.ini"));
  EXPECT_EQ(small, 1000);
  dir.Write("big.ini", "[Test]\r\nOffset=40000\r\n");
  LoadGroup(one, dir.File("big.ini"));
  EXPECT_EQ(small, 1000);  // does not fit a 16-bit variable
}

TEST_F(SetupDlgTest, BuiltDialogHasTheFieldsControlsAndTheFourButtons) {
  list.extraControls.push_back(ButtonControl(1500, "&Font..."));
  SetupDialog dlg(300, "Options", list);
  dlg.Init();
  ASSERT_TRUE(dlg.GetControl(1001));
  EXPECT_EQ(dlg.GetControl(1001)->kind, ControlKind::Edit);
  EXPECT_EQ(dlg.GetControl(1001)->label, "Offset");
  EXPECT_EQ(dlg.GetControl(1004)->textLimit, 15);
  EXPECT_EQ(dlg.GetControl(1005)->kind, ControlKind::CheckBox);
  EXPECT_EQ(dlg.GetControl(1005)->text, "Use limit");
  EXPECT_EQ(dlg.RadioGroupOf(1011), (std::vector<int>{1010, 1011, 1012}));
  EXPECT_EQ(dlg.GetText(1003), "0.5");
  EXPECT_EQ(dlg.GetText(1001), "-5");
  EXPECT_EQ(dlg.GetText(1004), "probe");
  EXPECT_EQ(dlg.GetCheck(1005), 1);
  EXPECT_EQ(dlg.GetCheck(1012), 1);
  EXPECT_EQ(dlg.GetCheck(1010), 0);
  // Extra controls come after the fields, the dialog's buttons last.
  const auto controls = dlg.Controls();
  std::vector<int> tail;
  for (std::size_t i = controls.size() - 5; i < controls.size(); ++i) tail.push_back(controls[i].id);
  EXPECT_EQ(tail, (std::vector<int>{1500, 1, 2, kSetupSave, kSetupLoad}));
  EXPECT_EQ(dlg.GetText(kSetupSave), "&Save");
  EXPECT_EQ(dlg.GetText(kSetupLoad), "&Load");

  // A list without stored fields gets no Save and Load.
  FieldList unstored;
  unstored.fields = {list.fields.back()};
  SetupDialog plain(301, "Note", unstored);
  plain.Init();
  EXPECT_TRUE(plain.HasControl(1));
  EXPECT_FALSE(plain.HasControl(kSetupSave));
}

TEST_F(SetupDlgTest, OkValidatesLimitsAndCopiesEveryValue) {
  SetupDialog dlg(300, "Options", list);
  dlg.Init();
  for (const char* bad : {"1", "1001", "abc", "", "-3", "12x"}) {
    dlg.SetText(1002, bad);
    dlg.Command(1);
    EXPECT_FALSE(dlg.Ended()) << bad;
  }
  EXPECT_EQ(o.points, 100u);
  for (const char* good : {"2", " 1000 "}) {
    SetupDialog again(300, "Options", list);
    again.Init();
    again.SetText(1002, good);
    again.SetText(1003, "2.25 V");  // a leading number is enough for a real
    again.SetText(1004, "wafer 3");
    again.SetCheck(1005, 0);
    again.SetCheck(1012, 0);
    again.SetCheck(1010, 1);
    again.Command(1);
    ASSERT_TRUE(again.Ended()) << good;
    EXPECT_EQ(again.Result(), 1);
  }
  EXPECT_EQ(o.points, 1000u);
  EXPECT_FLOAT_EQ(o.step, 2.25f);
  EXPECT_STREQ(o.name, "wafer 3");
  EXPECT_EQ(o.useLimit, 0u);
  EXPECT_EQ(o.method, 0u);
}

TEST_F(SetupDlgTest, ReversedLimitsAcceptTheIntervalBetweenThem) {
  int v = 0;
  FieldList one;
  one.fields = {SignedField(1, &v, "", "", 100, -100, "v")};
  for (const auto& [text, ok] : std::vector<std::pair<std::string, bool>>{
           {"-100", true}, {"100", true}, {"0", true}, {"-101", false}, {"101", false}}) {
    SetupDialog dlg(1, "v", one, SetupDialog::Layout::Build);
    dlg.Init();
    dlg.SetText(1, text);
    dlg.Command(platform::IDOK);
    EXPECT_EQ(dlg.Ended(), ok) << text;
  }
}

TEST_F(SetupDlgTest, FloatLimitsCompareAsTheVariableHoldsThem) {
  float v = 1;
  FieldList one;
  one.fields = {FloatField(1, &v, "", "", 0.1, 0.3, "v")};
  SetupDialog dlg(1, "v", one);
  dlg.Init();
  dlg.SetText(1, "0.1");
  dlg.Command(platform::IDOK);
  EXPECT_TRUE(dlg.Ended());
  EXPECT_FLOAT_EQ(v, 0.1f);
  SetupDialog nan(1, "v", one);
  nan.Init();
  nan.SetText(1, "nan");
  nan.Command(platform::IDOK);
  EXPECT_FALSE(nan.Ended());
}

TEST_F(SetupDlgTest, FirstBadFieldBeepsTakesFocusAndSelectsItsText) {
  SetupDialog dlg(300, "Options", list);
  dlg.Init();
  ui->Clear();
  dlg.SetText(1001, "500");   // out of range, first in list order
  dlg.SetText(1002, "0");     // also bad, but never reached
  dlg.Command(1);
  EXPECT_FALSE(dlg.Ended());
  const auto beeps = ui->CallsOf(UiCall::Kind::Beep);
  ASSERT_EQ(beeps.size(), 1u);
  EXPECT_EQ(beeps[0].type, platform::MB_ICONHAND);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  EXPECT_EQ(dlg.Focus(), 1001);
  EXPECT_EQ(dlg.Selection(1001), (std::pair<int, int>{0, 3}));
}

TEST_F(SetupDlgTest, DisabledStaticOrMissingControlsKeepTheirVariables) {
  list.dependencies = {{kRuleEnableIfChecked, 1005, {1002}}};
  SetupDialog dlg(300, "Options", list);
  dlg.Init();
  dlg.SetText(1002, "555");  // typed while enabled...
  dlg.SetCheck(1005, 0);     // ...then the master disables it
  dlg.Command(1005);
  EXPECT_FALSE(dlg.IsEnabled(1002));
  dlg.Command(1);
  ASSERT_TRUE(dlg.Ended());
  EXPECT_EQ(o.points, 100u);

  // Caller layout: 1001 is a static text, the other fields have no control.
  SetupDialog custom(300, "Options", list, SetupDialog::Layout::Caller);
  custom.AddControl(TextControl(1001, "77"));
  custom.AddControl(Make(1010, ControlKind::RadioButton));
  custom.Init();
  custom.SetText(1001, "77");
  custom.Command(1);
  ASSERT_TRUE(custom.Ended());
  EXPECT_EQ(o.offset, -5);
  EXPECT_EQ(o.method, 1u);  // one button, none checked: the group's size
}

TEST_F(SetupDlgTest, LoadThenCancelChangesNoVariable) {
  dir.Write("tsm.ini", "[Test]\r\nOffset=9\r\nPoints=321\r\nName=loaded\r\nMethod=1\r\n");
  platform::ProfileCacheClear();
  SetupDialog dlg(300, "Options", list);
  dlg.Init();
  dlg.SetText(1020, "4");
  dlg.Command(kSetupLoad);
  EXPECT_EQ(dlg.GetText(1001), "9");
  EXPECT_EQ(dlg.GetText(1002), "321");
  EXPECT_EQ(dlg.GetText(1004), "loaded");
  EXPECT_EQ(dlg.GetCheck(1011), 1);
  EXPECT_EQ(dlg.GetText(1020), "4");  // not stored: left as typed
  EXPECT_EQ(o.points, 100u);
  dlg.Command(2);
  ASSERT_TRUE(dlg.Ended());
  EXPECT_EQ(dlg.Result(), 0);
  EXPECT_EQ(o.offset, -5);
  EXPECT_EQ(o.points, 100u);
  EXPECT_STREQ(o.name, "probe");
  EXPECT_EQ(o.method, 2u);
}

TEST_F(SetupDlgTest, SaveWritesTheDialogsValuesButNothingWhenAFieldIsBad) {
  SetupDialog dlg(300, "Options", list);
  dlg.Init();
  dlg.SetText(1001, "12");
  dlg.SetText(1002, "5000");
  dlg.Command(kSetupSave);
  EXPECT_FALSE(std::filesystem::exists(file));
  dlg.SetText(1002, "640");
  dlg.Command(kSetupSave);
  EXPECT_FALSE(dlg.Ended());
  EXPECT_EQ(Key("Offset"), "12");
  EXPECT_EQ(Key("Points"), "640");
  EXPECT_EQ(o.points, 100u);  // the variables wait for OK
}

TEST_F(SetupDlgTest, RuleFourHidesSlavesWhileTheMasterIsUnchecked) {
  list.dependencies = {{kRuleShowIfChecked, 1005, {1001, 1003}}, {kRuleEnableIfChecked, 0, {1002}}};
  o.useLimit = 0;
  SetupDialog dlg(300, "Options", list);
  dlg.Init();
  EXPECT_FALSE(dlg.IsVisible(1001));
  EXPECT_FALSE(dlg.IsVisible(1003));
  EXPECT_TRUE(dlg.IsEnabled(1002));  // master id 0: skipped
  dlg.SetCheck(1005, 1);
  dlg.Command(1005, 0x300);  // a notification other than 0 does not re-apply
  EXPECT_FALSE(dlg.IsVisible(1001));
  dlg.Command(1005);
  EXPECT_TRUE(dlg.IsVisible(1001));
  EXPECT_TRUE(dlg.IsVisible(1003));
}

TEST(SetupDlgRules, TableOfActions) {
  const int unchecked = 0, checked = 1, indeterminate = 2;
  EXPECT_EQ(DependencyAction(0, unchecked), kActionDisable);
  EXPECT_EQ(DependencyAction(0, indeterminate), kActionDisable);
  EXPECT_EQ(DependencyAction(0, checked), kActionEnable);
  EXPECT_EQ(DependencyAction(1, indeterminate), kActionEnable);
  EXPECT_EQ(DependencyAction(1, checked), kActionDisable);
  EXPECT_EQ(DependencyAction(3, unchecked), kActionEnable);
  EXPECT_EQ(DependencyAction(5, unchecked), kActionShow);
  EXPECT_EQ(DependencyAction(5, checked), kActionHide);
  for (int rule = 2; rule <= 5; ++rule) EXPECT_EQ(DependencyAction(rule, indeterminate), kActionInvalid);
  EXPECT_EQ(DependencyAction(6, checked), kActionInvalid);
}

TEST_F(SetupDlgTest, InvalidMasterStatesAreProgramErrors) {
  list.dependencies = {{kRuleShowIfChecked, 1005, {1001}}};
  SetupDialog dlg(300, "Options", list);
  dlg.Init();
  dlg.SetCheck(1005, 2);  // rule 4 has no indeterminate state
  dlg.Command(1005);
  EXPECT_TRUE(platform::HasAssertion(
      "!\"ProcessMasterSlaveDependences() -- unknown action\"", "setupdlg"));
  dlg.SetCheck(1005, 7);
  dlg.Command(1005);
  EXPECT_TRUE(platform::HasAssertion(
      "!\"ProcessMasterSlaveDependences() -- unknown master-control state\"", "setupdlg"));
}

TEST_F(SetupDlgTest, MissingRadioButtonEndsTheDialogWithTheMessage) {
  SetupDialog dlg(300, "Options", list, SetupDialog::Layout::Caller);
  dlg.AddControl(Make(1001, ControlKind::Edit));
  EXPECT_EQ(ui->RunModal(dlg, nullptr), 0);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "Can not find radio button with specified ID\nContact developper and describe what "
            "were you doing.");
  EXPECT_EQ(boxes[0].caption, "SetupDlg failure");
  EXPECT_EQ(boxes[0].type & platform::MB_ICONMASK, platform::MB_ICONHAND);
  EXPECT_EQ(o.method, 2u);
}

TEST_F(SetupDlgTest, HookSeesTheStartAndEveryCommandFirst) {
  std::vector<std::pair<int, int>> seen;
  list.hook = [&](SetupDialog& dlg, int id, int code) {
    seen.emplace_back(id, code);
    if (id == kHookStart) dlg.SetText(1020, "3");
    return id == 1;  // swallows OK
  };
  SetupDialog dlg(300, "Options", list);
  dlg.Init();
  EXPECT_EQ(dlg.GetText(1020), "3");
  dlg.Command(1);
  EXPECT_FALSE(dlg.Ended());
  dlg.Close();
  EXPECT_TRUE(dlg.Ended());
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 0}}));
}

TEST_F(SetupDlgTest, RunSetupDialogReportsOkAndCancel) {
  ui->PushDialog([](platform::DialogModel& d) { d.SetText(1002, "42"); });
  EXPECT_EQ(RunSetupDialog(300, nullptr, list, "Options"), 1);
  EXPECT_EQ(o.points, 42u);
  ui->PushDialog([](platform::DialogModel& d) {
    d.SetText(1002, "43");
    d.Command(platform::IDCANCEL);
  });
  EXPECT_EQ(RunSetupDialog(300, nullptr, list, "Options"), 0);
  EXPECT_EQ(o.points, 42u);
}

TEST_F(SetupDlgTest, FieldListGroupRunsTheGenericLoadAndSave) {
  const OptionGroup group = FieldListGroup("Test", list);
  o.points = 77;
  EXPECT_EQ(group.save(file), 1);
  o.points = 5;
  EXPECT_EQ(group.load(file), 1);
  EXPECT_EQ(o.points, 77u);
}

}  // namespace
}  // namespace tsm::shell
