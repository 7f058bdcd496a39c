#include <cmath>

#include "platform/clock.h"
#include "platform/profile.h"
#include "shell/setupdlg.h"
#include "tests/channels/channels_fixture.h"

namespace tsm::testing {
namespace {

using namespace tsm::channels;

double ReadingToVoltsOfCard0(double x) {
  const daq::AdcCard& c = *daq::AdcCardAt(0);
  return ((c.maxReading - x) * c.minVoltage + (x - c.minReading) * c.maxVoltage) /
         (c.maxReading - c.minReading);
}

class AveragingTest : public ChannelsTest {
 protected:
  AveragingTest() {
    UseScriptedDriver();
    DefineVoltage(0, kPositive, 0, 2);
  }
  void Queue(std::initializer_list<std::uint16_t> programReadings) {
    for (std::uint16_t r : programReadings) driver.readings.push_back(Slot3Driver(r));
  }
  void SetVoltageSamples(unsigned n, unsigned t) {
    GetAveragingSettings().voltageSamples = n;
    GetAveragingSettings().voltageTrim = t;
    ASSERT_TRUE(ResizeAveragingArray());
  }
};

TEST_F(AveragingTest, TrimmedMeanOfFiveWithOneTrimmedEachSide) {
  SetVoltageSamples(5, 1);
  Queue({10, 1000, 11, 12, 9});
  const VoltageReading r = MeasureVoltage(0);
  EXPECT_EQ(r.mean, 11);
  EXPECT_NEAR(r.volts, ReadingToVolts(0, 11.0), 1e-12);
  EXPECT_EQ(driver.inputReads, 5);
}

TEST_F(AveragingTest, TwoTrimmedOfFiveLeaveTheMedian) {
  SetVoltageSamples(5, 2);
  Queue({500, 7, 40000, 300, 3});
  EXPECT_EQ(MeasureVoltage(0).mean, 300);
}

TEST_F(AveragingTest, MeanOfTheKeptSamplesIsReal) {
  SetVoltageSamples(4, 1);
  Queue({1, 10, 11, 60000});
  const VoltageReading r = MeasureVoltage(0);
  EXPECT_EQ(r.mean, 10);  // integer mean: 21 div 2
  EXPECT_NEAR(r.volts, ReadingToVolts(0, 10.5), 1e-12);
}

TEST_F(AveragingTest, LargeTrimmedAverageMatchesASortedSum) {
  // Above the histogram threshold: the counting path must agree with a sort.
  const unsigned n = 5001, t = 1234;
  SetVoltageSamples(n, t);
  std::vector<std::uint16_t> values(n);
  std::uint32_t x = 12345;
  for (auto& v : values) {
    x = x * 1103515245u + 12345u;
    v = static_cast<std::uint16_t>(x >> 16);
    driver.readings.push_back(Slot3Driver(v));
  }
  std::vector<std::uint16_t> copy = values;
  const std::uint64_t expected = TrimmedSum(copy.data(), n, t);
  EXPECT_EQ(MeasureVoltage(0).mean, static_cast<std::int32_t>(expected / (n - 2 * t)));
  // A second reading starts from a clean histogram.
  for (auto v : values) driver.readings.push_back(Slot3Driver(v));
  EXPECT_EQ(MeasureVoltage(0).mean, static_cast<std::int32_t>(expected / (n - 2 * t)));
}

TEST_F(AveragingTest, TurboIsNotUsedForThreeSamples) {
  GetAveragingSettings().turbo = true;
  driver.daqStatus = 0;
  SetVoltageSamples(3, 0);
  MeasureVoltage(0);
  EXPECT_EQ(driver.daqOps, 0);
  EXPECT_EQ(TA_VStatus(), kStatusSingle);
  EXPECT_EQ(driver.inputReads, 3);
}

TEST_F(AveragingTest, TurboTakesTheBufferPlusTheZeroShift) {
  GetAveragingSettings().turbo = true;
  GetAveragingSettings().sampleRate = 2500.0f;
  driver.daqStatus = 0;
  SetVoltageSamples(5, 0);
  // Words 0..4 = driver readings 0..4, readings 32768..32772.
  EXPECT_EQ(MeasureVoltage(0).mean, 32770);
  EXPECT_EQ(driver.inputReads, 0);
  EXPECT_EQ(driver.lastDaqCount, 5u);
  EXPECT_EQ(driver.lastRate, 2500.0);
  EXPECT_EQ(driver.lastTimeoutTicks, 545);
  EXPECT_EQ(TA_VStatus(), 0);
}

TEST_F(AveragingTest, TurboOnALogarithmicCardUsesTheOddWords) {
  daq::AdcCard card = *daq::AdcCardAt(0);
  card.logGains = true;
  ASSERT_TRUE(daq::AddAdcCard(card));
  DefineVoltage(1, kPositive, 2, 2);
  GetAveragingSettings().turbo = true;
  driver.daqStatus = 0;
  driver.wordsPerSample = 2;
  SetVoltageSamples(4, 0);
  // Odd words 1, 3, 5, 7: mean 4 above the zero shift.
  EXPECT_EQ(MeasureVoltage(1).mean, 32768 + 4);
}

TEST_F(AveragingTest, FailingTurboFallsBackQuietly) {
  GetAveragingSettings().turbo = true;
  driver.daqStatus = -10;
  SetVoltageSamples(4, 0);
  Queue({100, 100, 100, 100});
  EXPECT_EQ(MeasureVoltage(0).mean, 100);
  EXPECT_EQ(TA_VStatus(), -10);
  EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(AveragingTest, FailingTimeoutIsAProgramErrorAndTheReadingGoesOn) {
  GetAveragingSettings().turbo = true;
  driver.timeoutStatus = -5;
  driver.daqStatus = 0;
  SetVoltageSamples(4, 0);
  EXPECT_EQ(MeasureVoltage(0).mean, 32768 + 1);  // (0 + 1 + 2 + 3) div 4
  EXPECT_TRUE(platform::HasAssertion("0==TA_VStatus"));
}

TEST_F(AveragingTest, NegativeVoltageOfOneVoltReadsMinusOne) {
  DefineVoltage(3, kNegative, 0, 2);
  const std::int16_t oneVolt = static_cast<std::int16_t>(std::lround(32768.0 / 10.0));
  driver.readings.push_back(oneVolt);
  const VoltageReading r = MeasureVoltage(3);
  EXPECT_NEAR(r.volts, -1.0, 1e-3);
  EXPECT_EQ(r.mean, 65535 + 0 - (32768 + oneVolt));
}

TEST_F(AveragingTest, ZeroedReadingSubtractsTheZero) {
  Queue({33000});
  SetVoltageZero(0, VoltageZero{0.25, 100});
  const VoltageReading r = MeasureVoltageZeroed(0);
  EXPECT_EQ(r.mean, 32900);
  EXPECT_NEAR(r.volts, ReadingToVolts(0, 33000) - 0.25, 1e-12);
}

TEST_F(AveragingTest, SettlingDelayThrowsOneReadingAway) {
  GetMeasurementOptions().delays.delayBeforeVoltage = 1;
  Queue({60000, 100});
  EXPECT_EQ(MeasureVoltage(0).mean, 100);
}

// A clock whose sleeps take no time and are added up.
class SleepCountingClock : public platform::Clock {
 public:
  std::uint32_t Milliseconds() override { return now++; }
  bool Counter(std::int64_t* t) override { return *t = now, true; }
  bool CounterFrequency(std::int64_t* f) override { return *f = 1000, true; }
  void Sleep(std::uint32_t ms) override {
    now += ms;
    slept += ms;
  }
  std::uint32_t now = 0;
  std::uint64_t slept = 0;
};

// A settling delay of an hour (or 49 days: a key of -1): a measured point
// waits for it, the dialogs' refresh does not hang behind it.
TEST_F(AveragingTest, TheDisplayWaitsAtMostFiftyMillisecondsForTheMultiplexer) {
  GetMeasurementOptions().delays.delayBeforeVoltage = 3600000;
  SleepCountingClock clock;
  platform::SetClock(&clock);
  Queue({60000, 100, 60000, 200});
  EXPECT_EQ(TryMeasureVoltageZeroed(0).mean, 100);
  EXPECT_LE(clock.slept, 50u);
  clock.slept = 0;
  EXPECT_EQ(MeasureVoltage(0).mean, 200);
  EXPECT_GT(clock.slept, 3000000u);  // (each look at the clock moves it on by 1 ms)
  platform::SetClock(nullptr);
}

TEST_F(AveragingTest, MonitoredCurrentAveragesItsMonitorWithoutFallback) {
  VirtualCurrent c;
  c.kind = kConstant;
  c.dacCard = 0;
  c.dacChannel = 0;
  c.adcCard = 0;
  c.adcChannel = 3;
  c.R = 100.0f;
  c.extGain = 2.0f;
  c.flags = kMonitorFlag;
  SetCurrent(0, c);
  GetAveragingSettings().currentSamples = 3;
  GetAveragingSettings().currentTrim = 1;
  ResizeAveragingArray();
  Queue({40000, 50000, 1});
  const double volts = ReadingToVoltsOfCard0(40000.0);
  EXPECT_NEAR(MeasureCurrent(0), volts / (100.0 * 2.0), 1e-12);
  EXPECT_EQ(TA_IStatus(), kStatusSingle);
}

TEST_F(AveragingTest, LoadKeepsTheSampleRuleAndSizesTheArray) {
  const std::string file = dir.Write(
      "tsm.ini",
      "[Math]\r\nGetCurrentAveragingTimes=4\r\nGetCurrentAveragingStart=3\r\n"
      "GetVoltageAveragingTimes=70000\r\nTA_SampleRate=?\r\n");
  LoadAveragingOptions(file);
  const AveragingSettings& s = GetAveragingSettings();
  EXPECT_EQ(s.currentSamples, 4u);
  EXPECT_EQ(s.currentTrim, 1u);   // at most (4 - 1) / 2
  EXPECT_EQ(s.voltageSamples, 1u);  // 70000 is refused like a missing key
  EXPECT_EQ(s.sampleRate, 1000.0f);
  EXPECT_EQ(AveragingArraySize(), 4u);

  SaveAveragingOptions(dir.File("out.ini"));
  const std::string text = TempDir::Read(dir.File("out.ini"));
  EXPECT_NE(text.find("TA_SampleRate=        1000"), std::string::npos) << text;
  EXPECT_NE(text.find("GetCurrentAveragingStart=1"), std::string::npos);
}

TEST_F(AveragingTest, NoMemoryForTheArrayFallsBackToSingleSamples) {
  SetAveragingMemoryLimit(1000);
  GetAveragingSettings().voltageSamples = 5000;
  GetAveragingSettings().voltageTrim = 10;
  EXPECT_FALSE(ResizeAveragingArray());
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, "Insufisient memory for AveragingArray");
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Averaging");
  EXPECT_EQ(ui->MessageBoxes()[0].type & platform::MB_ICONMASK, platform::MB_ICONHAND);
  EXPECT_EQ(GetAveragingSettings().voltageSamples, 1u);
  EXPECT_EQ(GetAveragingSettings().voltageTrim, 0u);
}

TEST_F(AveragingTest, DialogRefusesATrimOfHalfTheSamples) {
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_FALSE(d.IsEnabled(kIdSampleRate));  // turbo off
    d.SetCheck(kIdTurbo, 1);
    d.Command(kIdTurbo);
    EXPECT_TRUE(d.IsEnabled(kIdSampleRate));
    d.SetText(kIdCurrentSamples, "4");
    d.SetText(kIdCurrentTrim, "2");
    d.Command(platform::IDOK);
    EXPECT_FALSE(d.Ended());
    EXPECT_EQ(d.Focus(), kIdCurrentTrim);
    d.SetText(kIdCurrentTrim, "1");
    d.Command(platform::IDOK);
    EXPECT_TRUE(d.Ended());
  });
  EXPECT_EQ(RunAveragingDialog(nullptr), 1);
  EXPECT_EQ(GetAveragingSettings().currentSamples, 4u);
  EXPECT_EQ(GetAveragingSettings().currentTrim, 1u);
  EXPECT_TRUE(GetAveragingSettings().turbo);
  EXPECT_EQ(AveragingArraySize(), 4u);
}

TEST_F(AveragingTest, InfoTableShowsTheRateOnlyWithTurbo) {
  GetAveragingSettings().voltageSamples = 7;
  shell::InfoTable t = AveragingInfoTable();
  ASSERT_NE(t.Find("Number of samples:"), nullptr);
  EXPECT_EQ(t.Find("Number of samples:")->values, (std::vector<std::string>{"1", "7"}));
  EXPECT_EQ(t.Find("Turbo Averaging sampling rate (Hz):"), nullptr);
  GetAveragingSettings().turbo = true;
  t = AveragingInfoTable();
  ASSERT_NE(t.Find("Turbo Averaging sampling rate (Hz):"), nullptr);
  EXPECT_EQ(t.Find("Turbo Averaging sampling rate (Hz):")->values[0], "1000");
}

}  // namespace
}  // namespace tsm::testing
