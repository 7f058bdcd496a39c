// The 24-slot registry: order, distinct operations, timing texts, busy
// cursor, one file write for a whole save; and the settings commands.
#include "app/options_registry.h"

#include <set>

#include "app/settings_commands.h"
#include "channels/averaging.h"
#include "math/junction_options.h"
#include "math/options.h"
#include "measure/calibration_options.h"
#include "shell/setupdlg.h"
#include "tests/app/app_fixture.h"

namespace tsm::app {
namespace {

using platform::UiCall;
using shell::OptionGroupId;
using testing::AppTest;

TEST(OptionsRegistry, SlotsAreDistinctOperationsInTheRegistryOrder) {
  std::set<OptionsFn> all;
  for (std::size_t i = 0; i < kOptionSlots; ++i) {
    EXPECT_NE(LoadOptionsFnsList[i], SaveOptionsFnsList[i]);
    all.insert(LoadOptionsFnsList[i]);
    all.insert(SaveOptionsFnsList[i]);
  }
  EXPECT_EQ(all.size(), 2 * kOptionSlots);
  EXPECT_EQ(kOptionSlotGroups[0], OptionGroupId::AxesGrid);
  EXPECT_EQ(kOptionSlotGroups[19], OptionGroupId::AutoZero);
  EXPECT_EQ(kOptionSlotGroups[22], OptionGroupId::IVC);  // slot 23
  EXPECT_EQ(kOptionSlotGroups[23], OptionGroupId::Junction);
}

TEST_F(AppTest, LoadAndSaveAllRunEverySlotInOrderThenTheGroupsWithoutSlot) {
  std::vector<std::string> calls;
  for (int i = 0; i < static_cast<int>(OptionGroupId::Count); ++i) {
    const auto id = static_cast<OptionGroupId>(i);
    const std::string name = std::to_string(i);
    shell::RegisterOptionGroup(
        id, {name,
             [&calls, name](const std::string& f) { calls.push_back("L" + name + f); return 1; },
             [&calls, name](const std::string& f) { calls.push_back("S" + name + f); return 1; }});
  }
  EXPECT_EQ(LoadAllSettings("x"), 1);
  ASSERT_EQ(calls.size(), kOptionSlots + 1);
  for (std::size_t i = 0; i < kOptionSlots; ++i)
    EXPECT_EQ(calls[i], "L" + std::to_string(static_cast<int>(kOptionSlotGroups[i])) + "x");
  // The voltage calibration's settings persist like the others, after slot 24.
  EXPECT_EQ(calls[kOptionSlots],
            "L" + std::to_string(static_cast<int>(OptionGroupId::Calibrator)) + "x");
  EXPECT_EQ(ui->StatusText(0).rfind("Time spent to load all settings: ", 0), 0u);
  EXPECT_EQ(ui->StatusText(0).substr(ui->StatusText(0).size() - 4), " sec");
  EXPECT_EQ(ui->BusyDepth(), 0);
  EXPECT_EQ(ui->CallsOf(UiCall::Kind::BusyBegin).size(), 1u);

  calls.clear();
  EXPECT_EQ(SaveAllSettings("y"), 1);
  ASSERT_EQ(calls.size(), kOptionSlots + 1);
  EXPECT_EQ(calls[22], "S" + std::to_string(static_cast<int>(OptionGroupId::IVC)) + "y");
  EXPECT_EQ(calls[kOptionSlots],
            "S" + std::to_string(static_cast<int>(OptionGroupId::Calibrator)) + "y");
  const std::string status = ui->StatusText(0);
  EXPECT_EQ(status.rfind("Time spent to save all settings: ", 0), 0u);
  EXPECT_EQ(status.substr(status.size() - 10), " sec (INI)");
}

// The real groups: slots 5, 9 and 24 share the section "Math", and the
// calibrator's group follows slot 24; a save and a load bring back every
// value, whichever group wrote its section last.
TEST_F(AppTest, EveryGroupRoundTripsThroughSaveAndLoadAll) {
  struct Defaults {
    Defaults() { Reset(); }
    ~Defaults() { Reset(); }
    static void Reset() {
      math::ResetMathOptions();
      math::ResetJunctionOptions();
      channels::ResetAveraging();
      measure::ResetCalibratorOptions();
    }
  } defaults;
  RegisterOptionGroups();
  math::GetMathOptions().derivePoints = 9;
  math::GetMathOptions().deriveDiscardDir = 2;
  channels::GetAveragingSettings().voltageSamples = 7;
  math::GetJunctionOptions().icCriterion = 2.5e-4f;
  math::GetJunctionOptions().rnMethod = math::kRnChord;
  math::GetJunctionOptions().selfFieldFactor = -0.125f;
  measure::GetCalibratorOptions().firstStep = -1234;
  const std::string ini = dir.File("all.ini");
  ASSERT_EQ(SaveAllSettings(ini), 1);

  Defaults::Reset();
  ASSERT_EQ(LoadAllSettings(ini), 1);
  EXPECT_EQ(math::GetMathOptions().derivePoints, 9u);
  EXPECT_EQ(math::GetMathOptions().deriveDiscardDir, 2u);
  EXPECT_EQ(channels::GetAveragingSettings().voltageSamples, 7u);
  EXPECT_EQ(math::GetJunctionOptions().icCriterion, 2.5e-4f);
  EXPECT_EQ(math::GetJunctionOptions().rnMethod, math::kRnChord);
  EXPECT_EQ(math::GetJunctionOptions().selfFieldFactor, -0.125f);
  EXPECT_EQ(measure::GetCalibratorOptions().firstStep, -1234);
}

TEST_F(AppTest, UnregisteredGroupsAreEmpty) {
  EXPECT_FALSE(shell::IsOptionGroupRegistered(OptionGroupId::Trigger));
  EXPECT_EQ(shell::LoadOptionGroup(OptionGroupId::Trigger, dir.File("t.ini")), 1);
  EXPECT_EQ(shell::SaveOptionGroup(OptionGroupId::Trigger, dir.File("t.ini")), 1);
  EXPECT_FALSE(std::filesystem::exists(dir.File("t.ini")));
  SaveAllSettings(dir.File("t.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir.File("t.ini")));
}

// A field-list group in one slot, for the commands below.
struct TestGroup {
  unsigned level = 3;
  shell::FieldList list;
  TestGroup() {
    list.fields = {shell::UnsignedField(1, &level, "Trigger", "Level1", 0, 100, "Level")};
    shell::RegisterOptionGroup(OptionGroupId::Trigger, shell::FieldListGroup("Trigger", list));
  }
};

TEST_F(AppTest, LoadOptionsAdoptsTheChosenFileAndMovesTheWindow) {
  TestGroup group;
  shell::SetSettingsFileName(dir.File("tsm.ini"));
  const std::string other = dir.Write(
      "other.ini", "[Trigger]\r\nLevel1=42\r\n[Setup]\r\nWindowPositionLeft=7\r\n");
  ui->PushFile(other);
  EXPECT_TRUE(HandleSettingsCommand(kCmdLoadOptions, window));
  EXPECT_EQ(shell::SettingsFileName(), other);
  EXPECT_EQ(group.level, 42u);
  EXPECT_EQ(window.rect.left, 7);
  EXPECT_EQ(window.invalidates, 1);
  const auto opens = ui->CallsOf(UiCall::Kind::OpenFile);
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].type, platform::OFN_PATHMUSTEXIST | platform::OFN_FILEMUSTEXIST);
  // The chooser starts at the present settings file.
  const platform::FileDialogRequest request = SettingsFileRequest(false);
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].description, "Tesmira configuration  (*.ini)");
  EXPECT_EQ(request.filters[0].pattern, "*.ini");
  EXPECT_EQ(request.defaultExtension, "ini");
  EXPECT_EQ(request.initialFile, other);
}

TEST_F(AppTest, CancelledOrFailedChoosersChangeNothing) {
  TestGroup group;
  shell::SetSettingsFileName(dir.File("tsm.ini"));
  HandleSettingsCommand(kCmdLoadOptions, window);  // plain cancel
  EXPECT_TRUE(ui->MessageBoxes().empty());
  ui->PushFile(platform::FileDialogResult{false, "", 2});
  HandleSettingsCommand(kCmdSaveOptionsAs, window);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "CommDlg");
  EXPECT_EQ(ui->MessageBoxes()[0].text,
            "Failure initializing CD.  Possibly\n\r do to insufficient memory.");
  // A path too long for the name field would name another file.
  ui->PushFile("/" + std::string(300, 'a') + ".ini");
  HandleSettingsCommand(kCmdLoadOptions, window);
  EXPECT_EQ(ui->MessageBoxes().back().text, "Buffer passed to CD too small to accomodate string");
  EXPECT_EQ(shell::SettingsFileName(), dir.File("tsm.ini"));
  EXPECT_TRUE(window.moves.empty());
  EXPECT_EQ(group.level, 3u);
}

TEST_F(AppTest, SaveOptionsAsWritesTheGroupsAndThePositionToTheNewFile) {
  TestGroup group;
  group.level = 17;
  shell::SetSettingsFileName(dir.File("tsm.ini"));
  const std::string target = dir.File("as.ini");
  ui->PushFile(target);
  HandleSettingsCommand(kCmdSaveOptionsAs, window);
  EXPECT_EQ(ui->CallsOf(UiCall::Kind::SaveFile)[0].type,
            platform::OFN_OVERWRITEPROMPT | platform::OFN_PATHMUSTEXIST);
  EXPECT_EQ(shell::SettingsFileName(), target);
  EXPECT_EQ(platform::ReadProfileString("Trigger", "Level1", "", target), "17");
  EXPECT_EQ(platform::ReadProfileString("Setup", "WindowPositionRight", "", target), "900");
  group.level = 18;
  HandleSettingsCommand(kCmdSaveOptions, window);
  EXPECT_EQ(platform::ReadProfileString("Trigger", "Level1", "", target), "18");
  EXPECT_FALSE(std::filesystem::exists(dir.File("tsm.ini")));
}

}  // namespace
}  // namespace tsm::app
