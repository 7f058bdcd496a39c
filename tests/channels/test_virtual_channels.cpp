#include <cmath>
#include <map>

#include "channels/virtual_channels_settings.h"
#include "platform/profile.h"
#include "tests/channels/channels_fixture.h"

namespace tsm::testing {
namespace {

using namespace tsm::channels;

TEST_F(ChannelsTest, FileWithoutTheSectionsGivesDisconnectedChannels) {
  // Something else was defined before: the load still yields the defaults.
  DefineCurrent(3, kConstant, 1, 2, 47.0f);
  DefineVoltage(5, kPositive, 1, 3, 10.0f);
  SetVoltageZero(5, VoltageZero{0.5, 12});
  const std::string file = dir.Write("tsm.ini", "[Setup]\r\nGridX=1\r\n");
  EXPECT_EQ(LoadVirtualChannels(file), 1);
  for (int i = 0; i < kCurrentCount; ++i) {
    const VirtualCurrent c = GetCurrent(i);
    EXPECT_EQ(c.kind, kDisconnected);
    EXPECT_EQ(c.dacChannel, -1);
    EXPECT_EQ(c.adcGain, 1.0f);
    EXPECT_EQ(c.extGain, 1.0f);
    EXPECT_EQ(c.R, 1.0f);
  }
  for (int i = 0; i < kVoltageCount; ++i) {
    const VirtualVoltage v = GetVoltage(i);
    EXPECT_EQ(v.kind, kNotConnected);
    EXPECT_EQ(v.adcGain, 1.0f);
    EXPECT_EQ(v.extGain, 1.0f);
  }
  EXPECT_EQ(GetVoltageZero(5).bits, 0);
  EXPECT_EQ(FirstDefinedCurrent(), -1);
}

TEST_F(ChannelsTest, SaveWritesEveryRecordAndLoadsItBack) {
  VirtualCurrent c;
  c.kind = kMinusSweep1;
  c.dacCard = 1;
  c.dacChannel = 4;
  std::snprintf(c.comment, sizeof c.comment, "bias of junction J1");
  c.adcCard = 1;
  c.adcChannel = 9;
  c.adcGain = 0.5f;
  c.extGain = 1e-6f;
  c.R = 10000.0f;
  c.flags = kMonitorFlag;
  SetCurrent(31, c);
  DefineVoltage(127, kNegative, 1, 15, 100.0f);

  const std::string file = dir.File("tsm.ini");
  EXPECT_EQ(SaveVirtualChannels(file), 1);
  const std::string text = TempDir::Read(file);
  EXPECT_NE(text.find("VirtCurr[000].DACChan=-1"), std::string::npos);
  EXPECT_NE(text.find("VirtCurr[031].extGain=1E-06"), std::string::npos);
  EXPECT_NE(text.find("VirtVolt[127].NoAutoZero=0"), std::string::npos);
  EXPECT_NE(text.find("VirtVolt[064].kind=0"), std::string::npos);

  ResetVirtualChannels();
  LoadVirtualChannels(file);
  const VirtualCurrent back = GetCurrent(31);
  EXPECT_EQ(back.kind, kMinusSweep1);
  EXPECT_EQ(back.dacCard, 1);
  EXPECT_EQ(back.dacChannel, 4);
  EXPECT_STREQ(back.comment, "bias of junction J1");
  EXPECT_EQ(back.adcChannel, 9);
  EXPECT_FLOAT_EQ(back.extGain, 1e-6f);
  EXPECT_FLOAT_EQ(back.R, 10000.0f);
  EXPECT_TRUE(back.Monitored());
  EXPECT_EQ(GetVoltage(127).kind, kNegative);
  EXPECT_FLOAT_EQ(GetVoltage(127).adcGain, 100.0f);
  // The loaded current sits on the 12-bit card: bound to that card's zero.
  EXPECT_EQ(PresentCode(31), 2048);
}

TEST_F(ChannelsTest, HostileValuesInTheFileAreNotTakenAsRoles) {
  const std::string file = dir.Write(
      "tsm.ini",
      "[Virtual Currents]\r\nVirtCurr[000].kind=999\r\nVirtCurr[001].DACChan=70000\r\n"
      "VirtCurr[002].R=1e999\r\n[Virtual Voltages]\r\nVirtVolt[000].kind=-4\r\n");
  LoadVirtualChannels(file);
  EXPECT_EQ(GetCurrent(0).kind, kDisconnected);
  EXPECT_EQ(GetCurrent(1).dacChannel, -1);
  EXPECT_EQ(GetCurrent(2).R, 1.0f);
  EXPECT_EQ(GetVoltage(0).kind, kNotConnected);
}

// Writes per DAC channel of slot 3, as program codes.
std::map<int, std::vector<int>> WritesBySlot3Channel(ScriptedDriver& d) {
  std::map<int, std::vector<int>> out;
  for (auto [slot, channel, code] : d.writes)
    if (slot == 3) out[channel].push_back(static_cast<std::uint16_t>(code + 32768));
  return out;
}

TEST_F(ChannelsTest, PlusSweepToMaximumDrivesMinusSweepToMinimumInBoundedSteps) {
  UseScriptedDriver();
  GetMeasurementOptions().delays.maxDacStep = 1000;
  DefineCurrent(0, kPlusSweep1, 0, 0);
  DefineCurrent(1, kConstant, 0, 1);
  DefineCurrent(2, kMinusSweep1, 0, 1);
  DefineCurrent(3, kMinusSweep1, 1, 5);  // a 12-bit card: the same fraction of its range
  SetCurrentCode(0, 65535);
  EXPECT_EQ(PresentCode(0), 65535);
  EXPECT_EQ(PresentCode(2), 0);
  EXPECT_EQ(PresentCode(3), 0);
  EXPECT_EQ(PresentCode(1), 32768);  // not of the group: left alone

  auto writes = WritesBySlot3Channel(driver);
  for (int ch : {0, 1}) {
    int previous = 32768;
    ASSERT_FALSE(writes[ch].empty());
    for (int code : writes[ch]) {
      EXPECT_LE(std::abs(code - previous), 1000);
      previous = code;
    }
  }
  EXPECT_EQ(writes[0].back(), 65535);
  EXPECT_EQ(writes[1].back(), 0);
  // Both moved in the same passes: the writes alternate.
  EXPECT_EQ(writes[0].size(), writes[1].size());

  // The way back: the minus current is the leader now.
  SetCurrentCode(2, 40000);
  EXPECT_EQ(PresentCode(2), 40000);
  EXPECT_EQ(PresentCode(0), 65535 - 40000);
}

TEST_F(ChannelsTest, CodesAreClampedAndBadIndicesDoNothing) {
  UseScriptedDriver();
  DefineCurrent(4, kConstant, 1, 0);  // 12-bit 0..4095
  SetCurrentCode(4, 60000);
  EXPECT_EQ(PresentCode(4), 4095);
  driver.writes.clear();
  SetCurrentCode(32, 100);
  SetCurrentCode(-1, 100);
  DefineCurrent(5, kConstant, 9, 0);  // a card this system does not have
  SetCurrentCode(5, 100);
  EXPECT_TRUE(driver.writes.empty());

  SetCurrentNormalised(4, -2.0);
  EXPECT_EQ(PresentCode(4), 0);
  SetCurrentNormalised(4, 0.0);
  EXPECT_EQ(PresentCode(4), 2047);
  SetCurrentNormalised(4, 1.0);
  EXPECT_EQ(PresentCode(4), 4095);
}

TEST_F(ChannelsTest, AmperesOfBadOrUndefinedCurrentsBeepAndAreZero) {
  EXPECT_EQ(CurrentAmperes(32), 0.0);
  EXPECT_EQ(CurrentAmperes(7), 0.0);  // defined nowhere
  EXPECT_EQ(Beeps(), 2u);
}

TEST_F(ChannelsTest, CurrentFromCodeIgnoresExternalGainAndSubtractsZeroShift) {
  VirtualCurrent c;
  c.kind = kConstant;
  c.dacCard = 1;  // -5 .. 4.99755859375 V over 0..4095
  c.dacChannel = 0;
  c.R = 1000.0f;
  c.extGain = 50.0f;
  SetCurrent(0, c);
  RebindChangedCurrents();
  SetCurrentCode(0, 4095);
  EXPECT_NEAR(CurrentAmperes(0), 4.99755859375 / 1000.0, 1e-12);
  SetCurrentZeroShift(0, 0.001f);
  EXPECT_NEAR(CurrentAmperes(0), 4.99755859375 / 1000.0 - 0.001, 1e-9);
  EXPECT_EQ(TA_IStatus(), kStatusNoMonitor);
}

TEST_F(ChannelsTest, DecibelGainTwentyDividesByTen) {
  daq::AdcCard card = *daq::AdcCardAt(0);
  card.logGains = true;
  card.gains = {0.0f, 20.0f, 40.0f};
  ASSERT_TRUE(daq::AddAdcCard(card));  // ADC card 2
  DefineVoltage(0, kPositive, 2, 0, 20.0f);
  DefineVoltage(1, kPositive, 2, 0, 0.0f);
  DefineVoltage(2, kPositive, 0, 0, 20.0f);  // linear card: a factor of 20
  const double reading = 40000.0;
  EXPECT_NEAR(ReadingToVolts(0, reading) * 10.0, ReadingToVolts(1, reading), 1e-12);
  EXPECT_NEAR(ReadingToVolts(2, reading) * 20.0, ReadingToVolts(1, reading), 1e-12);
  // Card ends: the minimum and maximum readings are the card's voltages.
  EXPECT_DOUBLE_EQ(ReadingToVolts(1, card.minReading), card.minVoltage);
  EXPECT_DOUBLE_EQ(ReadingToVolts(1, card.maxReading), card.maxVoltage);
}

TEST_F(ChannelsTest, QueriesAndMirror) {
  DefineCurrent(2, kTrigger, 0, 0);
  DefineCurrent(4, kMinusSweep2, 1, 1);
  DefineCurrent(6, kWaveForm0 + 3, 1, 2);
  DefineCurrent(9, kWaveForm0 + 11, 1, 3);
  DefineCurrent(11, kPlusSweep1, 0, 0);
  EXPECT_EQ(FirstDefinedCurrent(), 2);
  EXPECT_EQ(DefinedCurrentCount(), 5);
  EXPECT_EQ(Sweep1CurrentCount(), 1);
  EXPECT_EQ(FirstSweep2Current(), 4);
  EXPECT_EQ(FirstTriggerCurrent(), 2);
  EXPECT_EQ(WaveformCurrents(), (std::vector<int>{6, 9}));
  EXPECT_EQ(HighestWaveformNumber(), 11);
  EXPECT_TRUE(IsWaveformCurrent(9));
  EXPECT_FALSE(IsWaveformCurrent(11));
  EXPECT_EQ(MirrorNormalised(4, 1000), 64535u);
  EXPECT_EQ(MirrorNormalised(11, 1000), 1000u);
  EXPECT_EQ(MirrorCardCode(4, 1000), 3095);
}

}  // namespace
}  // namespace tsm::testing
