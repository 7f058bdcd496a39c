// The channel dialogs, the overview tables and the measurement option groups.
#include "channels/channel_dialogs.h"
#include "channels/channel_tables.h"
#include "channels/register_groups.h"
#include "shell/optiongroups.h"
#include "tests/channels/channels_fixture.h"

namespace tsm::testing {
namespace {

using namespace tsm::channels;
using platform::DialogModel;

TEST_F(ChannelsTest, CurrentDialogShowsTheCardListsAndStoresTheChoice) {
  DefineCurrent(2, kConstant, 0, 1, 47.0f);
  ui->PushDialog([](DialogModel& d) {
    EXPECT_EQ(d.Caption(), "Current#2");
    EXPECT_EQ(d.Items(kIdCurDacCard),
              (std::vector<std::string>{"3:39", "4:15", "7:31234"}));
    EXPECT_EQ(d.Items(kIdCurDacChannel).size(), 2u);
    EXPECT_EQ(d.CurrentItem(kIdCurDacChannel), 1);
    EXPECT_EQ(d.GetControl(kIdCurDacCard)->tooltip, "Choose the  D/A Conv. device or board");
    EXPECT_EQ(d.GetText(kIdCurR), "47");
    EXPECT_FALSE(d.IsEnabled(kIdCurAdcGain));  // no monitor
    d.SetCurrentItem(kIdCurDacCard, 1);
    d.Command(kIdCurDacCard, kNotifySelChange);
    EXPECT_EQ(d.Items(kIdCurDacChannel).size(), 6u);
    d.SetCurrentItem(kIdCurDacChannel, 5);
    d.SetCurrentItem(kIdCurRole, kMinusSweep2);
    d.SetText(kIdCurR, "0");  // refused: the dialog stays open
    d.Command(platform::IDOK);
    EXPECT_FALSE(d.Ended());
    EXPECT_EQ(d.Focus(), kIdCurR);
    d.SetText(kIdCurR, "1E3");
    d.Command(platform::IDOK);
  });
  EXPECT_EQ(RunCurrentDialog(nullptr, 2), 1);
  const VirtualCurrent c = GetCurrent(2);
  EXPECT_EQ(c.dacCard, 1);
  EXPECT_EQ(c.dacChannel, 5);
  EXPECT_EQ(c.kind, kMinusSweep2);
  EXPECT_EQ(c.R, 1000.0f);
  EXPECT_EQ(PresentCode(2), 2048);  // bound to the new card's zero
}

TEST_F(ChannelsTest, CopyingAGainSkipsCardsThatDoNotHaveIt) {
  daq::AdcCard card = *daq::AdcCardAt(1);
  card.gains = {1.0f, 10.0f};
  ASSERT_TRUE(daq::AddAdcCard(card));  // card 2 lacks the gain 100
  DefineVoltage(0, kPositive, 0, 0, 1.0f);
  DefineVoltage(1, kPositive, 1, 1, 1.0f);
  DefineVoltage(2, kPositive, 2, 2, 1.0f);
  DefineVoltage(3, kNegative, 0, 3, 1.0f);
  ui->PushDialog([](DialogModel& d) {
    const auto gains = d.Items(kIdVolAdcGain);
    const auto at = std::find(gains.begin(), gains.end(), "100");
    ASSERT_NE(at, gains.end());
    d.SetCurrentItem(kIdVolAdcGain, static_cast<int>(at - gains.begin()));
    d.Command(kIdVolCopyGain);
    d.SetText(kIdVolExtGain, "5");
    d.Command(kIdVolCopyExtGain);
    d.Command(platform::IDCANCEL);
  });
  RunVoltageDialog(nullptr, 0);
  EXPECT_EQ(GetVoltage(1).adcGain, 100.0f);
  EXPECT_EQ(GetVoltage(2).adcGain, 1.0f);  // still the old value
  EXPECT_EQ(GetVoltage(3).adcGain, 1.0f);  // another kind
  EXPECT_EQ(GetVoltage(0).adcGain, 1.0f);  // cancelled
  EXPECT_EQ(GetVoltage(2).extGain, 5.0f);  // copied without a check
  EXPECT_EQ(GetVoltage(3).extGain, 1.0f);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Operation did not succeed completely");
  EXPECT_EQ(ui->MessageBoxes()[0].text, kCopyGainFailedText);
}

TEST_F(ChannelsTest, TablesListEveryRecordAndOpenTheDialogOfARow) {
  DefineCurrent(1, kPlusSweep1, 0, 0, 1000.0f);
  const ChannelTable t = VirtualCurrentsTable();
  EXPECT_EQ(t.columns,
            (std::vector<std::string>{"N", "Description", "Type", "Card", "#", "R", "gain", "ext."}));
  ASSERT_EQ(t.rows.size(), 32u);
  EXPECT_EQ(t.rows[1], (std::vector<std::string>{"1", "", "+Sweep 1", "3:39", "0", "1000", "1",
                                                 "1"}));
  EXPECT_EQ(VirtualVoltagesTable().rows.size(), 128u);
  EXPECT_EQ(VirtualVoltagesTable().columns.back(), "ext");

  ui->PushDialog([](DialogModel& table) {
    table.SetCurrentItem(kIdTableList, 4);
    table.Command(kIdTableList, kNotifyDoubleClick);  // opens Voltage#4 (scripted below)
    EXPECT_EQ(table.Items(kIdTableList)[4].find("4\t\tPositive"), 0u);
    table.Command(platform::IDOK);
  });
  ui->PushDialog([](DialogModel& d) {
    EXPECT_EQ(d.Caption(), "Voltage#4");
    d.SetCurrentItem(kIdVolRole, kPositive);
  });
  ShowVirtualVoltagesTable(nullptr);
  EXPECT_EQ(GetVoltage(4).kind, kPositive);
}

TEST_F(ChannelsTest, MissingSettingsFileGivesTheMeasurementDefaults) {
  shell::ResetOptionGroups();
  RegisterOptionGroups();
  GetMeasurementOptions().delays.interactionTime = 7;
  GetMeasurementOptions().general.rescalePlotAfterMeasurement = false;
  ResetMeasurementOptions();
  const std::string missing = dir.File("missing.ini");
  for (auto id : {shell::OptionGroupId::Delays, shell::OptionGroupId::GeneralMeasurement,
                  shell::OptionGroupId::Trigger, shell::OptionGroupId::Averaging,
                  shell::OptionGroupId::AutoZero, shell::OptionGroupId::VirtualChannels}) {
    EXPECT_TRUE(shell::IsOptionGroupRegistered(id));
    shell::LoadOptionGroup(id, missing);
  }
  const MeasurementOptions& o = GetMeasurementOptions();
  EXPECT_EQ(o.delays.interactionTime, 500u);
  EXPECT_EQ(o.delays.maxDacStep, 256u);
  EXPECT_TRUE(o.general.rescalePlotAfterMeasurement);
  EXPECT_EQ(o.trigger.level2, 1.0f);
  EXPECT_EQ(GetAutoZeroSettings().extraAveraging, 10u);

  // Saved and loaded back through the registry.
  GetMeasurementOptions().delays.systemDecayTime = 4000000000u;
  GetMeasurementOptions().trigger.level1 = -0.5f;
  const std::string file = dir.File("tsm.ini");
  for (auto id : {shell::OptionGroupId::Delays, shell::OptionGroupId::Trigger})
    shell::SaveOptionGroup(id, file);
  ResetMeasurementOptions();
  shell::LoadOptionGroup(shell::OptionGroupId::Delays, file);
  shell::LoadOptionGroup(shell::OptionGroupId::Trigger, file);
  EXPECT_EQ(GetMeasurementOptions().delays.systemDecayTime, 4000000000u);
  EXPECT_EQ(GetMeasurementOptions().trigger.level1, -0.5f);
  shell::ResetOptionGroups();
}

TEST_F(ChannelsTest, PrimitiveGeneratorStepOutsideItsRangeIsRefused) {
  ui->PushDialog([](DialogModel& d) {
    EXPECT_EQ(d.Caption(), "Delays Options");
    d.SetText(kIdPrimitiveStep, "1025");
    d.Command(platform::IDOK);
    EXPECT_FALSE(d.Ended());
    d.SetText(kIdPrimitiveStep, "0");
    d.Command(platform::IDOK);
    EXPECT_FALSE(d.Ended());
    d.SetText(kIdPrimitiveStep, "1024");
    d.SetText(kIdDelayAfterJump, "4294967295");
    d.Command(platform::IDOK);
    EXPECT_TRUE(d.Ended());
  });
  EXPECT_EQ(RunDelaysDialog(nullptr), 1);
  EXPECT_EQ(GetMeasurementOptions().delays.primitiveGeneratorStep, 1024u);
  EXPECT_EQ(GetMeasurementOptions().delays.delayAfterJumpToStart, 4294967295u);
}

TEST_F(ChannelsTest, TriggerDialogAndLevels) {
  ui->PushDialog([](DialogModel& d) {
    EXPECT_EQ(d.Caption(), "Trigger Options");
    EXPECT_EQ(d.GetText(kIdTriggerText), kTriggerDescription);
    d.SetText(kIdLevel1, "-1.5");
    d.Command(platform::IDOK);
    EXPECT_FALSE(d.Ended());
    d.SetText(kIdLevel1, "-1");
  });
  EXPECT_EQ(RunTriggerDialog(nullptr), 1);
  EXPECT_EQ(GetMeasurementOptions().trigger.level1, -1.0f);
  EXPECT_EQ(TriggerLevelCode(-1.0f, 0, 4095), 0);
  EXPECT_EQ(TriggerLevelCode(1.0f, 0, 4095), 4095);
  EXPECT_EQ(TriggerLevelCode(1.0f, 0, 65535), 65535);
  EXPECT_EQ(TriggerLevelCode(0.0f, 0, 65535), 32767);
}

TEST_F(ChannelsTest, SummariesOfTheMeasurementOptions) {
  EXPECT_EQ(GeneralMeasurementInfoTable().rows[0].values[0], "in each point");
  GetMeasurementOptions().general.currentMeasureMethod = 1;
  EXPECT_EQ(GeneralMeasurementInfoTable().rows[0].values[0], "only on the edges");
  GetMeasurementOptions().delays.delayBeforeVoltage = 12;
  const shell::InfoTable d = DelaysInfoTable();
  EXPECT_EQ(d.title, "Delays");
  ASSERT_NE(d.Find("Delay after multiplexing  (ms)"), nullptr);
  EXPECT_EQ(d.Find("Delay after multiplexing  (ms)")->values[0], "12");
  EXPECT_EQ(d.Find("Stop After Each Curve?")->values[0], "No");
  GetMeasurementOptions().trigger.level1 = 0.25f;
  EXPECT_EQ(TriggerInfoTable().Find("Level 1")->values[0], "0.25");
  EXPECT_EQ(AutoZeroInfoTable().title, "AutoZero Options");
  EXPECT_EQ(AutoZeroInfoTable().Find("Extra Averaging")->values[0], "10");
}

}  // namespace
}  // namespace tsm::testing
