#include <atomic>
#include <chrono>
#include <thread>

#include "daq/timing.h"
#include "resources/strings.h"
#include "tests/channels/channels_fixture.h"

namespace tsm::testing {
namespace {

using namespace tsm::channels;

class AutoZeroTest : public ChannelsTest {
 protected:
  AutoZeroTest() {
    UseScriptedDriver();
    DefineCurrent(0, kPlusSweep1, 0, 0);
    DefineCurrent(1, kConstant, 1, 2);
    DefineVoltage(0, kPositive, 0, 2);
    DefineVoltage(1, kPositive, 1, 4);
    GetAutoZeroSettings().extraAveraging = 2;
  }
};

TEST_F(AutoZeroTest, ZerosAreTheMeansWithEveryCurrentAtZero) {
  SetCurrentCode(0, 50000);
  SetCurrentCode(1, 3000);
  // Voltage 0 reads 32868 and 32870 (two calls of one reading each).
  driver.readings = {Slot3Driver(32868), Slot3Driver(32870)};
  ui->PushAnswer(platform::IDIGNORE);
  GetAutoZeroSettings().showWarning = true;
  const bool checked = RunAutoZero(nullptr, true);
  EXPECT_TRUE(checked);
  const VoltageZero z = GetVoltageZero(0);
  EXPECT_EQ(z.bits, 32869 - 32768);
  EXPECT_NEAR(z.volts, (ReadingToVolts(0, 32868) + ReadingToVolts(0, 32870)) / 2, 1e-12);
  // Back at the codes they had, having passed through the zero codes.
  EXPECT_EQ(PresentCode(0), 50000);
  EXPECT_EQ(PresentCode(1), 3000);
  bool sawZero = false;
  for (auto [slot, channel, code] : driver.writes)
    if (slot == 3 && channel == 0 && code == 0) sawZero = true;
  EXPECT_TRUE(sawZero);

  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  const platform::UiCall box = ui->MessageBoxes()[0];
  EXPECT_EQ(box.text, resources::String(48));
  EXPECT_EQ(box.text.rfind("All currents have been set to zero\n", 0), 0u);
  EXPECT_EQ(box.caption, "Automatically Find Zero of Voltages");
  EXPECT_EQ(box.type, platform::MB_ABORTRETRYIGNORE | platform::MB_ICONQUESTION |
                          platform::MB_DEFBUTTON3);
}

TEST_F(AutoZeroTest, AbortAfterRetryClearsTheZerosAndRestoresTheCodes) {
  GetAutoZeroSettings().showWarning = true;
  GetAutoZeroSettings().do4CurrentMon = true;
  SetCurrentCode(0, 40000);
  SetCurrentZeroShift(1, 0.5f);
  driver.readings = {Slot3Driver(33000), Slot3Driver(33000)};
  ui->PushAnswer(platform::IDRETRY);
  ui->PushAnswer(platform::IDABORT);
  EXPECT_FALSE(RunAutoZero(nullptr, true));
  EXPECT_EQ(ui->MessageBoxes().size(), 2u);
  for (int i = 0; i < kVoltageCount; ++i) {
    EXPECT_EQ(GetVoltageZero(i).bits, 0);
    EXPECT_EQ(GetVoltageZero(i).volts, 0.0);
  }
  EXPECT_EQ(CurrentZeroShift(0), 0.0f);
  EXPECT_EQ(CurrentZeroShift(1), 0.0f);
  EXPECT_EQ(PresentCode(0), 40000);
  EXPECT_EQ(PresentCode(1), 2048);
}

TEST_F(AutoZeroTest, ExcludedVoltagesAndTheClearedBox) {
  DefineVoltage(2, kTSensor, 0, 3);
  VirtualVoltage v = GetVoltage(1);
  v.noAutoZero = 1;
  SetVoltage(1, v);
  GetAutoZeroSettings().ignoreTSensor = true;
  SetVoltageZero(1, VoltageZero{1.0, 5});
  SetVoltageZero(2, VoltageZero{1.0, 5});
  RunAutoZero(nullptr, true);
  EXPECT_EQ(GetVoltageZero(1).bits, 0);  // excluded: cleared, not measured
  EXPECT_EQ(GetVoltageZero(2).bits, 0);
  EXPECT_TRUE(ui->MessageBoxes().empty());  // no warning asked for

  // The cleared box clears the zeros of the voltages it would measure only.
  SetVoltageZero(0, VoltageZero{1.0, 5});
  SetVoltageZero(1, VoltageZero{1.0, 5});
  SetCurrentZeroShift(0, 1.0f);
  EXPECT_FALSE(RunAutoZero(nullptr, false));
  EXPECT_EQ(GetVoltageZero(0).bits, 0);
  EXPECT_EQ(GetVoltageZero(1).bits, 5);
  EXPECT_EQ(CurrentZeroShift(0), 0.0f);
}

TEST_F(AutoZeroTest, RedoForcesTheTSensorOutAndTheWarningOff) {
  DefineVoltage(2, kTSensor, 0, 3);
  SetVoltageZero(2, VoltageZero{1.0, 5});
  GetAutoZeroSettings().showWarning = true;
  RedoAutoZero(nullptr);  // not asked for: nothing happens
  EXPECT_EQ(GetVoltageZero(2).bits, 5);
  GetAutoZeroSettings().redoOnDoIt = true;
  RedoAutoZero(nullptr);
  EXPECT_EQ(GetVoltageZero(2).bits, 0);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  EXPECT_TRUE(GetAutoZeroSettings().showWarning);
  EXPECT_FALSE(GetAutoZeroSettings().ignoreTSensor);
}

TEST_F(AutoZeroTest, ZeroWithSweepCurrentMovesOnlyTheSweepAndIgnoresTheFlag) {
  SetCurrentCode(0, 60000);
  SetCurrentCode(1, 100);
  VirtualVoltage v = GetVoltage(0);
  v.noAutoZero = 1;
  SetVoltage(0, v);
  driver.readings = {Slot3Driver(32800), Slot3Driver(32800)};
  driver.writes.clear();
  ZeroWithSweepCurrent();
  EXPECT_EQ(GetVoltageZero(0).bits, 32);
  EXPECT_EQ(PresentCode(0), 60000);
  EXPECT_EQ(PresentCode(1), 100);
  for (auto [slot, channel, code] : driver.writes) EXPECT_EQ(slot, 3);
}

TEST_F(AutoZeroTest, AStopDuringTheWaitKeepsTheZerosAndPutsTheSweepBack) {
  SetCurrentCode(0, 60000);
  SetVoltageZero(0, VoltageZero{0.5, 7});
  GetMeasurementOptions().delays.systemDecayTime = 0xFFFFFFFFu;  // a key of -1
  driver.readings = {Slot3Driver(32800), Slot3Driver(32800)};
  std::atomic<int> stop{1};
  {
    daq::WaitAbortScope scope(stop);
    ZeroWithSweepCurrent();
  }
  EXPECT_EQ(GetVoltageZero(0).bits, 7);
  EXPECT_EQ(PresentCode(0), 60000);
}

TEST_F(AutoZeroTest, AStopDuringAMultiplexerDelayKeepsTheZeroOfThatVoltage) {
  SetVoltageZero(0, VoltageZero{0.5, 7});
  GetMeasurementOptions().delays.systemDecayTime = 0;
  GetMeasurementOptions().delays.delayAfterSweep2 = 0;
  GetMeasurementOptions().delays.delayBeforeVoltage = 0xFFFFFFFFu;
  driver.readings = {Slot3Driver(32800), Slot3Driver(32800)};
  std::atomic<int> stop{0};
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    stop = 1;
  });
  {
    daq::WaitAbortScope scope(stop);
    ZeroWithSweepCurrent();  // no settling wait: the stop comes in the reading
  }
  stopper.join();
  EXPECT_EQ(GetVoltageZero(0).bits, 7);
  EXPECT_EQ(GetVoltageZero(0).volts, 0.5);
}

TEST_F(AutoZeroTest, ReportsListAtMostEightLines) {
  ResetVirtualChannels();
  EXPECT_EQ(AutoZeroVoltageReport(), "All voltages are disconnected");
  EXPECT_EQ(AutoZeroCurrentReport(), "No currents are monitored.");
  for (int i = 0; i < 10; ++i) {
    DefineVoltage(i + 3, kPositive, 0, 2);
    SetVoltageZero(i + 3, VoltageZero{0.012346, -7});
  }
  const std::string text = AutoZeroVoltageReport();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8);
  EXPECT_EQ(text.rfind("Shift of V[ 3]\t=\t+12.35 mV (-7 bits)\n", 0), 0u) << text;
  EXPECT_EQ(text.find("V[11]"), std::string::npos);

  VirtualCurrent c;
  c.kind = kConstant;
  c.flags = kMonitorFlag;
  SetCurrent(12, c);
  SetCurrentZeroShift(12, 2e-6f);
  ShowAutoZeroCurrentReport(nullptr);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, "Shift of I-Mon[12]\t=\t+2.000 \xB5" "A\n");
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "AutoZero Shifts of Current Monitors");
}

// The junction of the emulation: bias from DAC card 0 channel 0 through
// 1000 Ohm, its voltage on ADC card 0 channel 1.
TEST_F(ChannelsTest, JunctionIsSuperconductingBelowTheCriticalCurrentAndOhmicAbove) {
  DefineCurrent(0, kPlusSweep1, 0, 0, 1000.0f);
  DefineVoltage(0, kPositive, 0, 1);
  GetAveragingSettings().voltageSamples = 9;
  GetAveragingSettings().voltageTrim = 2;
  ResizeAveragingArray();
  // The emulation's critical bias is 1560 units of 16 codes above zero.
  for (int units : {0, 400, 800, 1200, 1400}) {
    SetCurrentCode(0, static_cast<std::uint16_t>(32768 + 16 * units));
    EXPECT_NEAR(MeasureVoltage(0).volts, 0.0, 0.03) << units;
  }
  for (int units : {1800, 1900, 2000}) {
    SetCurrentCode(0, static_cast<std::uint16_t>(32768 + 16 * units));
    const double bias = CurrentAmperes(0) * 1000.0;  // volts across the resistor
    const double v = MeasureVoltage(0).volts;
    EXPECT_GT(v, 8.0) << units;
    EXPECT_NEAR(v / bias, 1.0, 0.01) << units;
  }
}

}  // namespace
}  // namespace tsm::testing
