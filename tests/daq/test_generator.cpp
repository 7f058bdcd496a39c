#include <cstring>

#include "daq/cards.h"
#include "daq/generator.h"
#include "tests/daq/daq_fixture.h"
#include "tests/daq/generator_fixture.h"

namespace tsm::testing {
namespace {

using namespace tsm::daq;

class GeneratorTest : public DaqTest {
 protected:
  GeneratorTest() {
    ResetWaveforms();
    platform::SetAssertionEcho(false);
    EXPECT_EQ(Detect(dir), 0);
    SetDriver(&driver);
  }
  ~GeneratorTest() override {
    SetDriver(nullptr);
    ResetWaveforms();
    platform::SetAssertionEcho(true);
  }

  static WaveformDefinition& Define(int n, const char* seq, float v0 = 0, float v1 = 1,
                                    int prolong = 0, float stretch = 1) {
    WaveformDefinition& w = GetWaveformSettings().waveforms[n];
    std::strcpy(w.sequence, seq);
    w.value0 = v0;
    w.value1 = v1;
    w.prolong = prolong;
    w.stretch = stretch;
    return w;
  }
  static void SamplesPerUnit(unsigned s) { GetWaveformSettings().general.samplesPerLogUnit = s; }

  // An output of waveform 0 on channel 0 of DAC card 0 (slot 3), started.
  DriverStatus StartOne(const char* seq) {
    Define(0, seq, 0, 1);
    GeneratorOutput out;
    out.cardIndex = 0;
    out.channels = {0};
    EXPECT_EQ(RenderWaveforms({0}, out), 0);
    out.updateRate = 400;
    return StartGeneratorOutput(std::move(out));
  }

  TempDir dir;
  WfmRecordingDriver driver;
};

TEST_F(GeneratorTest, ZeroOneWithFourSamplesStaysLowAfterTheEndUnlessProlonged) {
  SamplesPerUnit(4);
  Define(0, "01", -0.5f, 0.75f, 0);
  for (std::uint32_t i = 0; i < 4; ++i) EXPECT_EQ(WaveformValue(0, i), -0.5) << i;
  for (std::uint32_t i = 4; i < 8; ++i) EXPECT_EQ(WaveformValue(0, i), 0.75) << i;
  for (std::uint32_t i = 8; i < 16; ++i) EXPECT_EQ(WaveformValue(0, i), -0.5) << i;

  GetWaveformSettings().waveforms[0].prolong = 1;
  for (std::uint32_t i = 8; i < 12; ++i) EXPECT_EQ(WaveformValue(0, i), -0.5) << i;
  for (std::uint32_t i = 12; i < 16; ++i) EXPECT_EQ(WaveformValue(0, i), 0.75) << i;
  EXPECT_EQ(WaveformValue(0, 4000000005u), 0.75);  // far on, still cyclic
}

TEST_F(GeneratorTest, TriangleWithFourSamplesPeaksInTheMiddle) {
  SamplesPerUnit(4);
  Define(0, "T", 0.2f, 1.0f);
  const double v0 = 0.2f, v1 = 1.0f;
  EXPECT_NEAR(WaveformValue(0, 0), v0, 1e-12);
  EXPECT_NEAR(WaveformValue(0, 1), (v0 + v1) / 2, 1e-12);
  EXPECT_NEAR(WaveformValue(0, 2), v1, 1e-12);
  EXPECT_NEAR(WaveformValue(0, 3), (v0 + v1) / 2, 1e-12);
}

TEST_F(GeneratorTest, PulseSymbolsUseIntegerQuartersAndEighths) {
  SamplesPerUnit(8);
  Define(0, "|!", 0, 1, 1);
  // "|": 2 <= x <= 6; "!": 3 <= x <= 5.
  const double bar[8] = {0, 0, 1, 1, 1, 1, 1, 0};
  const double bang[8] = {0, 0, 0, 1, 1, 1, 0, 0};
  for (std::uint32_t x = 0; x < 8; ++x) {
    EXPECT_EQ(WaveformValue(0, x), bar[x]) << x;
    EXPECT_EQ(WaveformValue(0, 8 + x), bang[x]) << x;
  }
}

TEST_F(GeneratorTest, LevelsRampsAndWaves) {
  SamplesPerUnit(4);
  Define(0, "4-/\\SCsc_", 1, 3);
  EXPECT_EQ(WaveformValue(0, 0), 1.5);   // "4": V0 + (V1 - V0) / 4
  EXPECT_EQ(WaveformValue(0, 4), 2.0);   // "-"
  EXPECT_EQ(WaveformValue(0, 9), 1.5);   // "/" at x = 1
  EXPECT_EQ(WaveformValue(0, 13), 2.5);  // "\" at x = 1
  EXPECT_NEAR(WaveformValue(0, 17), 3.0, 1e-12);  // "S": sin(pi/2)
  EXPECT_NEAR(WaveformValue(0, 20), 3.0, 1e-12);  // "C": cos(0)
  EXPECT_NEAR(WaveformValue(0, 26), 3.0, 1e-12);  // "s": sin(pi/2)
  EXPECT_NEAR(WaveformValue(0, 30), 2.0, 1e-12);  // "c": cos(pi/2)
  EXPECT_EQ(WaveformValue(0, 32), 1.0);           // "_"
}

TEST_F(GeneratorTest, RandomSymbolStaysBetweenTheValues) {
  SamplesPerUnit(64);
  Define(0, "R", -1, 1);
  bool varies = false;
  const double first = WaveformValue(0, 0);
  for (std::uint32_t i = 0; i < 64; ++i) {
    const double v = WaveformValue(0, i);
    EXPECT_GE(v, -1.0);
    EXPECT_LE(v, 1.0);
    varies = varies || v != first;
  }
  EXPECT_TRUE(varies);
}

TEST_F(GeneratorTest, TinyStretchDoesNotDivideByZero) {
  SamplesPerUnit(4);
  Define(0, "01", 0, 1, 1, 0.1f);  // S = int(0.4) = 0 would divide by zero
  EXPECT_EQ(WaveformValue(0, 0), 0.0);
  EXPECT_EQ(WaveformValue(0, 1), 1.0);
}

TEST_F(GeneratorTest, LengthIsStretchedAndRounded) {
  Define(0, "0101", 0, 1, 0, 1.4f);
  Define(1, "", 0, 1);
  Define(2, "01", 0, 1, 0, -3);
  EXPECT_EQ(WaveformLength(0), 6u);  // 5.6
  EXPECT_EQ(WaveformLength(1), 0u);
  EXPECT_EQ(WaveformLength(2), 0u);
  EXPECT_EQ(WaveformLength(16), 0u);
  EXPECT_EQ(WaveformValue(16, 0), 0.0);
  EXPECT_EQ(WaveformValue(1, 5), 0.0);  // empty: V0
}

TEST_F(GeneratorTest, RenderInterleavesChannelsAndScalesHalfTheSpan) {
  SamplesPerUnit(2);
  Define(0, "01");
  Define(3, "1", -1, -1);
  driver.scaleStatus = 0;
  GeneratorOutput out;
  out.cardIndex = 0;  // slot 3: -10 .. 9.9997 V
  out.channels = {0, 1};
  ASSERT_EQ(RenderWaveforms({0, 3}, out), 0);
  EXPECT_EQ(out.points, 4u);  // longest length 2 x 2 samples
  const double half = (DacCardAt(0)->maxVoltage - DacCardAt(0)->minVoltage) / 2;
  ASSERT_EQ(driver.scaleVolts.size(), 8u);
  EXPECT_EQ(driver.scaleVolts[0], 0.0);
  EXPECT_EQ(driver.scaleVolts[1], -half);
  EXPECT_EQ(driver.scaleVolts[4], half);
  EXPECT_EQ(driver.scaleVolts[5], -half);
  EXPECT_EQ(out.codes[4], static_cast<std::int16_t>(half * 1000));
}

TEST_F(GeneratorTest, CodesComeFromTheCardWhenTheDriverCannotScale) {
  SamplesPerUnit(2);
  Define(0, "0-1", -1.5f, 1.5f, 0);
  GeneratorOutput out;
  out.cardIndex = 0;
  out.channels = {0};
  ASSERT_EQ(RenderWaveforms({0}, out), 0);
  EXPECT_EQ(driver.scaleCalls, 1);
  EXPECT_EQ(out.codes[0], -32768);  // below the card's range: its minimum
  EXPECT_EQ(out.codes[2], 0);       // 0 V
  EXPECT_EQ(out.codes[4], 32767);   // above: its maximum
}

TEST_F(GeneratorTest, ShortOrHugeBuffersAreRefusedBeforeTheDriver) {
  SamplesPerUnit(2);
  Define(0, "1");
  GeneratorOutput out;
  out.cardIndex = 0;
  out.channels = {0};
  EXPECT_EQ(RenderWaveforms({0}, out), kGeneratorTooShort);  // P = 2

  SamplesPerUnit(4096);
  Define(0, "010101010101010101010101010101010101010101010101010101010101010", 0, 1, 0, 1e6f);
  EXPECT_EQ(RenderWaveforms({0}, out), kGeneratorNoMemory);
  EXPECT_EQ(driver.scaleCalls, 0);
  EXPECT_TRUE(out.codes.empty());
}

TEST_F(GeneratorTest, StartPlaysForEverAtTheRateAndOwnsTheBuffer) {
  ASSERT_EQ(StartOne("0110"), 0);
  EXPECT_TRUE(WaveformGeneratorRunning());
  EXPECT_EQ(driver.wfmSlot, 3);
  EXPECT_EQ(driver.wfmIterations, 0u);
  EXPECT_EQ(driver.rate, 400.0);
  EXPECT_EQ(driver.codes.size(), 64u);
  EXPECT_EQ(RunningOutput().codes, driver.codes);
  EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(GeneratorTest, RefusedStartKeepsNothingAndIsReported) {
  driver.wfmStatus = -10;
  EXPECT_EQ(StartOne("0110"), -10);
  EXPECT_FALSE(WaveformGeneratorRunning());
  EXPECT_TRUE(RunningOutput().codes.empty());
  const auto boxes = ui->MessageBoxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_NE(boxes.back().text.find("WFM_Op()"), std::string::npos);
}

TEST_F(GeneratorTest, FailingClearKeepsTheGeneratorRunning) {
  ASSERT_EQ(StartOne("01"), 0);
  driver.clearStatus = -5;
  EXPECT_EQ(StopWaveformGenerator(), -5);
  EXPECT_TRUE(WaveformGeneratorRunning());
  EXPECT_FALSE(RunningOutput().codes.empty());
  driver.clearStatus = 0;
  EXPECT_EQ(StopWaveformGenerator(), 0);
  EXPECT_FALSE(WaveformGeneratorRunning());
  EXPECT_EQ(driver.controls, (std::vector<std::int16_t>{kWfmClear, kWfmClear}));
}

TEST_F(GeneratorTest, PauseAndResumeOnlyWhileRunning) {
  EXPECT_EQ(PauseWaveformGenerator(), 0);
  EXPECT_EQ(ResumeWaveformGenerator(), 0);
  EXPECT_TRUE(driver.controls.empty());
  ASSERT_EQ(StartOne("01"), 0);
  PauseWaveformGenerator();
  EXPECT_TRUE(WaveformGeneratorPaused());
  ResumeWaveformGenerator();
  EXPECT_FALSE(WaveformGeneratorPaused());
  EXPECT_EQ(driver.controls, (std::vector<std::int16_t>{kWfmPause, kWfmResume}));
}

TEST_F(GeneratorTest, RampBringsEveryCodeToZeroInSteps) {
  driver.scaleStatus = 0;  // 1 mV per code
  SamplesPerUnit(2);
  Define(0, "10", 0, 0.07f);  // 0.07 of half the span of slot 3: 699 codes
  GeneratorOutput out;
  out.cardIndex = 0;
  out.channels = {0};
  ASSERT_EQ(RenderWaveforms({0}, out), 0);
  ASSERT_EQ(out.codes[0], 699);
  ASSERT_EQ(StartGeneratorOutput(std::move(out)), 0);
  EXPECT_EQ(RampWaveformToZero(), 0);
  EXPECT_FALSE(WaveformGeneratorRunning());
  // 699 -> 443 -> 187 -> 0: three rounds of PAUSE and RESUME, then CLEAR;
  // the card plays the lowered codes in place (the buffer it was given).
  const std::vector<std::int16_t> expected{kWfmPause, kWfmResume, kWfmPause, kWfmResume,
                                           kWfmPause, kWfmResume, kWfmClear};
  EXPECT_EQ(driver.controls, expected);
  EXPECT_EQ(driver.playedAtCheck,
            (std::vector<std::int16_t>{443, 443, 187, 187, 0, 0}));
}

TEST_F(GeneratorTest, StopAtPointAnswersTheProgramCodesOfThatPoint) {
  driver.scaleStatus = 0;
  SamplesPerUnit(2);
  Define(0, "01", 0, 0.1f);
  Define(1, "10", 0, 0.2f);
  GeneratorOutput out;
  out.cardIndex = 0;
  out.channels = {0, 1};
  ASSERT_EQ(RenderWaveforms({0, 1}, out), 0);
  ASSERT_EQ(StartGeneratorOutput(std::move(out)), 0);
  driver.pointsAnswer = 6;  // 6 mod 4 = point 2
  std::vector<std::uint16_t> codes;
  ASSERT_TRUE(StopOutputAtPoint(&codes));
  const std::uint16_t shift = DacCardAt(0)->zeroShift;
  ASSERT_NE(driver.codes[4], 0);
  EXPECT_EQ(codes, (std::vector<std::uint16_t>{static_cast<std::uint16_t>(driver.codes[4] + shift),
                                               shift}));
  EXPECT_FALSE(WaveformGeneratorRunning());
  EXPECT_EQ(driver.controls, (std::vector<std::int16_t>{kWfmPause, kWfmClear}));
}

TEST_F(GeneratorTest, StopAtPointWhileStoppedIsAProgramError) {
  std::vector<std::uint16_t> codes{7};
  EXPECT_FALSE(StopOutputAtPoint(&codes));
  EXPECT_TRUE(platform::HasAssertion(
      "!\"StopWaveformAtPoint() -- the generator is not running\"", "generator"));
  EXPECT_TRUE(driver.controls.empty());
}

TEST_F(GeneratorTest, StartingAgainClearsTheRunningOutputFirst) {
  ASSERT_EQ(StartOne("01"), 0);
  ASSERT_EQ(StartOne("0011"), 0);
  EXPECT_EQ(driver.controls, (std::vector<std::int16_t>{kWfmClear}));
  EXPECT_EQ(driver.wfmOps, 2);
  EXPECT_TRUE(WaveformGeneratorRunning());
}

}  // namespace
}  // namespace tsm::testing
