#include <cstring>

#include "channels/generator_control.h"
#include "daq/cards.h"
#include "daq/generator.h"
#include "tests/channels/channels_fixture.h"
#include "tests/daq/generator_fixture.h"

namespace tsm::testing {
namespace {

using namespace tsm::channels;
using daq::GetWaveformSettings;

class GeneratorControlTest : public ChannelsTest {
 protected:
  GeneratorControlTest() {
    daq::ResetWaveforms();
    ResetGeneratorControl();
  }
  ~GeneratorControlTest() override {
    daq::SetDriver(nullptr);
    daq::ResetWaveforms();
    ResetGeneratorControl();
  }
  void UseRecorder() { daq::SetDriver(&wfm); }
  static void Define(int n, const char* seq, float v0 = 0, float v1 = 1) {
    daq::WaveformDefinition& w = GetWaveformSettings().waveforms[n];
    std::strcpy(w.sequence, seq);
    w.value0 = v0;
    w.value1 = v1;
  }
  static std::int16_t Driver(std::size_t card, std::uint16_t code) {
    return daq::DriverCodeFromCode(*daq::DacCardAt(card), code);
  }

  WfmRecordingDriver wfm;
};

TEST_F(GeneratorControlTest, WaveformCurrentsAreListedByChannelAscending) {
  UseRecorder();
  wfm.scaleStatus = 0;  // 1 mV per code
  GetWaveformSettings().general.samplesPerLogUnit = 4;
  GetWaveformSettings().frequency = 50;
  Define(0, "1", 0, 0.5f);
  Define(2, "0", -0.25f, 1);
  DefineCurrent(0, kWaveForm0, 1, 1);      // waveform 0 on channel 1
  DefineCurrent(1, kWaveForm0 + 2, 1, 0);  // waveform 2 on channel 0
  ASSERT_EQ(StartWaveformGenerator(), 0);
  EXPECT_EQ(wfm.channels, (std::vector<std::int16_t>{0, 1}));
  EXPECT_EQ(wfm.wfmSlot, 4);
  ASSERT_EQ(wfm.codes.size(), 8u);  // 4 points x 2 channels
  const daq::DacCard& card = *daq::DacCardAt(1);
  const double half = (card.maxVoltage - card.minVoltage) / 2;
  EXPECT_EQ(wfm.codes[0], static_cast<std::int16_t>(-0.25 * half * 1000));  // channel 0
  EXPECT_EQ(wfm.codes[1], static_cast<std::int16_t>(0.5 * half * 1000));    // channel 1
  EXPECT_EQ(wfm.rate, 4 * 50.0);
  EXPECT_EQ(GeneratorCurrents(), (std::vector<int>{1, 0}));
  EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(GeneratorControlTest, WaveformCurrentsOnTwoCardsOrNoneAreRefused) {
  UseRecorder();
  Define(0, "0101");
  EXPECT_EQ(StartWaveformGenerator(), daq::kGeneratorNoCurrents);
  DefineCurrent(4, kWaveForm0, 0, 0);
  DefineCurrent(5, kWaveForm0, 2, 1);
  DefineCurrent(6, kWaveForm0, 1, -1);  // no channel: drives nothing
  EXPECT_EQ(StartWaveformGenerator(), daq::kGeneratorDifferentCards);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, kWfmNoCurrentsText);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].type & platform::MB_ICONMASK, platform::MB_ICONHAND);
  EXPECT_EQ(boxes[1].text, kWfmDifferentCardsText);
  EXPECT_EQ(boxes[1].caption, "Zentra limitation");
  EXPECT_EQ(boxes[1].type & platform::MB_ICONMASK, platform::MB_ICONHAND);
  EXPECT_EQ(wfm.wfmOps, 0);
}

TEST_F(GeneratorControlTest, EmptyWaveformIsTooShort) {
  UseRecorder();
  DefineCurrent(0, kWaveForm0 + 9, 0, 0);
  EXPECT_EQ(StartWaveformGenerator(), daq::kGeneratorTooShort);
  EXPECT_FALSE(daq::WaveformGeneratorRunning());
}

TEST_F(GeneratorControlTest, StopAtPointPutsTheCurrentBackWhereItWasBeforeTheStart) {
  // The built-in emulation: scaling fails, checks answer point 0.
  Define(0, "1", 0, 1);
  DefineCurrent(0, kWaveForm0, 1, 3);
  SetCurrentCode(0, 1000);
  ASSERT_EQ(PresentCode(0), 1000);
  ASSERT_EQ(StartWaveformGenerator(), 0);
  EXPECT_EQ(StopWaveformAtPoint(), 1);
  EXPECT_FALSE(daq::WaveformGeneratorRunning());
  EXPECT_EQ(PresentCode(0), 1000);
  EXPECT_EQ(daq::DefaultEmulatedDriver().Slot4Output(3), Driver(1, 1000));
  EXPECT_EQ(StopWaveformAtPoint(), 0);  // nothing runs any more
  EXPECT_TRUE(platform::HasAssertion(
      "!\"StopWaveformAtPoint() -- the generator is not running\"", "generator"));
}

TEST_F(GeneratorControlTest, StopAtPointStepsEveryCurrentBackFromTheStoppingCode) {
  UseRecorder();
  GetMeasurementOptions().delays.maxDacStep = 1000;
  GetWaveformSettings().general.samplesPerLogUnit = 2;
  Define(0, "01", -1.5f, 1.5f);  // beyond the card: its minimum and maximum codes
  Define(1, "10", -1.5f, 1.5f);
  DefineCurrent(0, kWaveForm0, 1, 1);
  DefineCurrent(1, kWaveForm0 + 1, 1, 0);
  SetCurrentCode(0, 2048);
  SetCurrentCode(1, 2500);
  ASSERT_EQ(StartWaveformGenerator(), 0);
  wfm.writes.clear();
  wfm.pointsAnswer = 2;  // "1" on channel 1 (current 0), "0" on channel 0 (current 1)
  ASSERT_EQ(StopWaveformAtPoint(), 1);
  // Channel 1 from 4095 down to 2048, channel 0 from 0 up to 2500, in the
  // same passes, never more than 1000 codes at a time.
  const std::vector<std::tuple<int, int, int>> expected{
      {4, 0, Driver(1, 1000)}, {4, 1, Driver(1, 3095)}, {4, 0, Driver(1, 2000)},
      {4, 1, Driver(1, 2095)}, {4, 0, Driver(1, 2500)}, {4, 1, Driver(1, 2048)}};
  EXPECT_EQ(wfm.writes, expected);
  EXPECT_EQ(PresentCode(0), 2048);
  EXPECT_EQ(PresentCode(1), 2500);
}

TEST_F(GeneratorControlTest, FailingClearKeepsTheCurrentsWhereTheOutputIs) {
  UseRecorder();
  Define(0, "0110");
  DefineCurrent(0, kWaveForm0, 1, 1);
  ASSERT_EQ(StartWaveformGenerator(), 0);
  wfm.clearStatus = -3;
  wfm.writes.clear();
  EXPECT_EQ(StopWaveformAtPoint(), 0);
  EXPECT_TRUE(daq::WaveformGeneratorRunning());
  EXPECT_TRUE(wfm.writes.empty());
  EXPECT_EQ(GeneratorCurrents(), (std::vector<int>{0}));
}

TEST_F(GeneratorControlTest, FastSweepPlaysTheRangeThereAndBackOnEverySweep1Current) {
  UseRecorder();
  DefineCurrent(0, kPlusSweep1, 1, 2);
  DefineCurrent(1, kMinusSweep1, 1, 0);
  const GeneratorRange range{0, 65535, 16384, true};
  ASSERT_EQ(StartFastSweepGenerator(range, 10.0), 0);
  EXPECT_EQ(wfm.channels, (std::vector<std::int16_t>{0, 2}));
  // Normalised 0, 16384, 32768, 49152, then 65535, 49151, 32767, 16383;
  // on the 12-bit card these are the codes below (65536 div 4096 = 16).
  const std::uint16_t card[8] = {0, 1024, 2048, 3072, 4095, 3071, 2047, 1023};
  ASSERT_EQ(wfm.codes.size(), 16u);
  for (int j = 0; j < 8; ++j) {
    EXPECT_EQ(wfm.codes[2 * j + 1], Driver(1, card[j])) << j;                         // "+"
    EXPECT_EQ(wfm.codes[2 * j], Driver(1, static_cast<std::uint16_t>(4095 - card[j]))) << j;  // "-"
  }
  EXPECT_EQ(wfm.rate, 80.0);  // 8 points, 10 sweeps a second
}

TEST_F(GeneratorControlTest, FastSweepInOneDirectionAndItsRefusals) {
  UseRecorder();
  DefineCurrent(0, kPlusSweep1, 0, 0);
  ASSERT_EQ(StartFastSweepGenerator(GeneratorRange{60000, 0, 20000, false}, 1.0), 0);
  // 60000, 40000, 20000, 0 on the 16-bit card.
  EXPECT_EQ(wfm.codes, (std::vector<std::int16_t>{Driver(0, 60000), Driver(0, 40000),
                                                  Driver(0, 20000), Driver(0, 0)}));
  EXPECT_EQ(StartFastSweepGenerator(GeneratorRange{5, 5, 1, false}, 1.0),
            daq::kGeneratorTooShort);

  DefineCurrent(3, kMinusSweep1, 2, 0);
  EXPECT_EQ(StartFastSweepGenerator(GeneratorRange{}, 1.0), daq::kGeneratorDifferentCards);
  DefineCurrent(0, kDisconnected, 0, 0);
  DefineCurrent(3, kDisconnected, 0, 0);
  EXPECT_EQ(StartFastSweepGenerator(GeneratorRange{}, 1.0), daq::kGeneratorNoCurrents);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, kSweepDifferentCardsText);
  EXPECT_EQ(boxes[0].caption, "Zentra limitation");
  EXPECT_EQ(boxes[1].text, kSweepNoCurrentsText);
  EXPECT_EQ(boxes[1].caption, "Error");
}

TEST_F(GeneratorControlTest, SweepRectangleHasOnePeriodAtTheSamplingRate) {
  UseRecorder();
  DefineCurrent(0, kPlusSweep1, 0, 0);
  ASSERT_EQ(StartSweepWaveform(GeneratorRange{16000, 48000, 1, true}, 100, 1000,
                               kSweepRectangle),
            0);
  ASSERT_EQ(wfm.codes.size(), 10u);
  for (int j = 0; j < 10; ++j)
    EXPECT_EQ(wfm.codes[j], Driver(0, j < 5 ? 16000 : 48000)) << j;
  EXPECT_EQ(wfm.rate, 1000.0);
  EXPECT_EQ(StartSweepWaveform(GeneratorRange{}, 0, 1000, kSweepSine), daq::kGeneratorTooShort);
}

}  // namespace
}  // namespace tsm::testing
