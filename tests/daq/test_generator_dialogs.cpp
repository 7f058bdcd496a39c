#include <cstring>

#include "daq/generator.h"
#include "daq/waveform_options.h"
#include "platform/profile.h"
#include "shell/optiongroups.h"
#include "shell/settings.h"
#include "tests/support/test_support.h"

namespace tsm::testing {
namespace {

using namespace tsm::daq;
using platform::DialogModel;

class WaveformDialogTest : public UiTest {
 protected:
  WaveformDialogTest() {
    ResetWaveforms();
    shell::ResetSettingsState();
    platform::ProfileCacheClear();
    ini = dir.File("tsm.ini");
    shell::SetSettingsFileName(ini);
  }
  ~WaveformDialogTest() override {
    ResetWaveforms();
    shell::ResetSettingsState();
    shell::ResetOptionGroups();
  }
  static WaveformDefinition& W(int n) { return GetWaveformSettings().waveforms[n]; }

  TempDir dir;
  std::string ini;
};

TEST_F(WaveformDialogTest, RefusedSymbolKeepsTheDialogOpenWithTheFocusInTheSequence) {
  bool refused = false;
  ui->PushDialog([&](DialogModel& d) {
    EXPECT_EQ(d.Caption(), "Program WaveForm 3");
    d.SetText(kIdSequence, "01x1");
    d.SetFocus(kIdValue1);
    d.Command(platform::IDOK);
    refused = !d.Ended() && d.Focus() == kIdSequence && d.Selection(kIdSequence).first == 2;
    d.SetText(kIdSequence, "0123456789_/\\-T~SCsc|!R");
    d.SetText(kIdValue0, "-0.25");
    d.Command(platform::IDOK);
  });
  EXPECT_EQ(RunSequenceDialog(3, nullptr), 1);
  EXPECT_TRUE(refused);
  EXPECT_STREQ(W(3).sequence, "0123456789_/\\-T~SCsc|!R");
  EXPECT_EQ(W(3).value0, -0.25f);
  EXPECT_EQ(RunSequenceDialog(16, nullptr), 0);
}

TEST_F(WaveformDialogTest, SaveWritesRealsWithSixDecimalsAndLoadRereads) {
  ui->PushDialog([&](DialogModel& d) {
    d.SetText(kIdSequence, "0T1");
    d.SetText(kIdValue1, "0.5");
    d.SetText(kIdStretch, "2");
    d.SetCheck(kIdProlong, 1);
    d.Command(shell::kSetupSave);
    EXPECT_FALSE(d.Ended());
    d.Command(platform::IDCANCEL);
  });
  EXPECT_EQ(RunSequenceDialog(5, nullptr), 0);
  EXPECT_STREQ(W(5).sequence, "");  // Save leaves the memory alone
  const std::string text = TempDir::Read(ini);
  EXPECT_NE(text.find("Seq5=0T1"), std::string::npos);
  EXPECT_NE(text.find("0-Value5=0.000000"), std::string::npos);
  EXPECT_NE(text.find("1-Value5=0.500000"), std::string::npos);
  EXPECT_NE(text.find("Stretch5=2.000000"), std::string::npos);
  EXPECT_NE(text.find("Prolong5=1"), std::string::npos);

  ui->PushDialog([&](DialogModel& d) {
    d.SetText(kIdSequence, "111");
    d.Command(shell::kSetupLoad);
    EXPECT_EQ(d.GetText(kIdSequence), "0T1");
    EXPECT_EQ(d.GetCheck(kIdProlong), 1);
    d.Command(platform::IDOK);
  });
  EXPECT_EQ(RunSequenceDialog(5, nullptr), 1);
  EXPECT_STREQ(W(5).sequence, "0T1");
  EXPECT_EQ(W(5).stretch, 2.0f);
}

TEST_F(WaveformDialogTest, SaveRefusesABadSequenceAndWritesNothing) {
  ui->PushDialog([&](DialogModel& d) {
    d.SetText(kIdSequence, "0A");
    d.Command(shell::kSetupSave);
    EXPECT_EQ(d.Focus(), kIdSequence);
    d.Command(platform::IDCANCEL);
  });
  RunSequenceDialog(0, nullptr);
  EXPECT_EQ(TempDir::Read(ini), "");
}

TEST_F(WaveformDialogTest, GroupsRoundTripAndRefuseValuesOutOfRange) {
  RegisterWaveformOptionGroups();
  std::strcpy(W(15).sequence, "S~");
  W(15).value1 = 0.75f;
  GetWaveformSettings().general.samplesPerLogUnit = 64;
  GetWaveformSettings().general.xAxis = kXAxisLogicUnits;
  GetWaveformSettings().frequency = 2500;
  for (auto id : {shell::OptionGroupId::WaveformSequences, shell::OptionGroupId::WaveformGeneral,
                  shell::OptionGroupId::Generator})
    EXPECT_EQ(shell::SaveOptionGroup(id, ini), 1);
  ResetWaveforms();
  platform::WritePrivateProfileStringA(kWaveformSection, "NumberOfCycles", "129", ini.c_str());
  for (auto id : {shell::OptionGroupId::WaveformSequences, shell::OptionGroupId::WaveformGeneral,
                  shell::OptionGroupId::Generator})
    EXPECT_EQ(shell::LoadOptionGroup(id, ini), 1);
  EXPECT_STREQ(W(15).sequence, "S~");
  EXPECT_EQ(W(15).value1, 0.75f);
  EXPECT_EQ(GetWaveformSettings().general.samplesPerLogUnit, 64u);
  EXPECT_EQ(GetWaveformSettings().general.xAxis, kXAxisLogicUnits);
  EXPECT_EQ(GetWaveformSettings().general.numberOfCycles, 1u);  // 129 is out of range
  EXPECT_EQ(GetWaveformSettings().frequency, 2500.0f);

  const shell::InfoTable table = WaveformGeneralInfoTable();
  EXPECT_EQ(table.title, "Waveform. General Options");
  ASSERT_NE(table.Find("Number of samples (clock ticks) in one logic unit"), nullptr);
  EXPECT_EQ(table.Find("Number of samples (clock ticks) in one logic unit")->values[0], "64");
}

TEST_F(WaveformDialogTest, GeneratorDialogRefusesANegativeFrequency) {
  ui->PushDialog([&](DialogModel& d) {
    EXPECT_EQ(d.Caption(), "Generator");
    d.SetText(kIdFrequency, "-1");
    d.Command(platform::IDOK);
    EXPECT_FALSE(d.Ended());
    d.SetText(kIdFrequency, "1000");
    d.Command(platform::IDOK);
  });
  EXPECT_EQ(RunGeneratorDialog(nullptr), 1);
  EXPECT_EQ(GetWaveformSettings().frequency, 1000.0f);
}

}  // namespace
}  // namespace tsm::testing
