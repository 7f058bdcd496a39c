// V(T)/R(T) on a sample whose temperature drifts with the clock: the values
// against the thermometer, R(T) with and without the reversal that cancels a
// thermo-electric offset, cycles that make no point (too close, no reading,
// no current), the stop rule and the start checks.
#include <cmath>
#include <thread>

#include "measure/services.h"
#include "measure/vt.h"
#include "tests/measure/drift_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;
using platform::UiCall;

constexpr int kSample = 0;  // voltage of the sample, slot 3 channel 5
constexpr int kSensor = 1;  // the thermometer's voltage, slot 3 channel 3
// Readings of slot 3 are 10 V / 32768 apart: 0.03 K of the thermometer.
constexpr double kKelvinStep = 0.031;

class VTTest : public DriftTest {
 protected:
  VTTest() {
    DefineVoltage(kSample, channels::kPositive, 0, 5);
    DefineVoltage(kSensor, channels::kTSensor, 0, 3);
    channels::GetMeasurementOptions().delays.maxDacStep = 65535;
    channels::SetCurrentCode(0, 49152);  // +5 mA through the sample
    m::GetVTOptions().delay = 20;
  }
  std::size_t Beeps() { return ui->CallsOf(UiCall::Kind::Beep).size(); }
  static const curves::Curve& Points() { return Family().Curve(0); }
};

TEST_F(VTTest, RecordsTheSampleVoltageAgainstTheDriftingTemperature) {
  ASSERT_EQ(RunHere(m::Mode::VT, 8), 1);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_STREQ(Family().GraphName(), "V(T)");
  EXPECT_STREQ(Family().UnitX(), "K");
  EXPECT_STREQ(Family().UnitY(), "V");
  EXPECT_STREQ(Points().Name(), "Voltage#0");
  ASSERT_EQ(Points().Count(), 8u);
  for (std::uint32_t i = 0; i < 8; ++i) {
    const curves::CurvePoint p = Points().Point(i);
    if (i > 0) {
      EXPECT_GT(p.x, Points().Point(i - 1).x + m::GetVTOptions().deltaT) << i;
    }
    EXPECT_NEAR(p.y, CryostatDriver::Resistance(p.x) * 5e-3, 1e-3) << i;
  }
  EXPECT_NEAR(Points().Point(0).x, cryostat.t0, 0.1);
  EXPECT_EQ(Beeps(), 0u);
  EXPECT_EQ(channels::PresentCode(0), 49152);
}

TEST_F(VTTest, ReversingSweep1CancelsTheThermoElectricOffsetInRT) {
  cryostat.thermoEmf = 0.05;  // 10 Ohm at 5 mA
  m::GetVTOptions().mode = m::kVTModeR;
  ASSERT_EQ(RunHere(m::Mode::VT, 6), 1);
  EXPECT_STREQ(Family().UnitY(), "Ohm");
  ASSERT_EQ(Points().Count(), 6u);
  for (std::uint32_t i = 0; i < 6; ++i) {
    const curves::CurvePoint p = Points().Point(i);
    EXPECT_NEAR(p.y, CryostatDriver::Resistance(p.x) + 10.0, 0.2) << i;
  }

  m::GetVTOptions().antiThermoEMF = true;
  ASSERT_EQ(RunHere(m::Mode::VT, 6), 1);
  ASSERT_EQ(Points().Count(), 6u);
  for (std::uint32_t i = 0; i < 6; ++i) {
    const curves::CurvePoint p = Points().Point(i);
    EXPECT_NEAR(p.y, CryostatDriver::Resistance(p.x), 0.2) << i;
  }
  // Every cycle went to the mirrored code and back to where Sweep1 was.
  int mirrored = 0;
  for (const auto& [slot, channel, code] : cryostat.writes)
    if (slot == 3 && channel == 0 && code == 16383 - 32768) ++mirrored;
  EXPECT_EQ(mirrored, 6);
  EXPECT_EQ(channels::PresentCode(0), 49152);

  // In V(T) the reversal halves the difference: the volts without offset.
  m::GetVTOptions().mode = m::kVTModeV;
  ASSERT_EQ(RunHere(m::Mode::VT, 5), 1);
  for (std::uint32_t i = 0; i < 5; ++i)
    EXPECT_NEAR(Points().Point(i).y, CryostatDriver::Resistance(Points().Point(i).x) * 5e-3,
                1e-3);
}

TEST_F(VTTest, ACycleTooCloseToTheLastPointBeepsAndMakesNone) {
  // About 0.2 K pass per cycle: every third cycle has moved 0.5 K.
  m::GetVTOptions().deltaT = 0.5f;
  ASSERT_EQ(RunHere(m::Mode::VT, 6), 1);
  ASSERT_EQ(Points().Count(), 6u);
  for (std::uint32_t i = 1; i < 6; ++i)
    EXPECT_GE(Points().Point(i).x - Points().Point(i - 1).x, 0.5 - kKelvinStep) << i;
  // The cycles in between read the thermometer only.
  EXPECT_EQ(cryostat.sampleReads.load(), 6);
  EXPECT_GE(Beeps(), 5u);
  EXPECT_EQ(ui->CallsOf(UiCall::Kind::Beep)[0].type, platform::MB_SIMPLEBEEP);
}

TEST_F(VTTest, AConstantTemperatureGivesABeepPerCycleAndAStopLeavesNothing) {
  cryostat.slopePerMs = 0.0;
  cryostat.onSensorRead = [](int n) {
    if (n == 12) m::RequestStop();
  };
  Family().SetCount(1);
  ASSERT_EQ(RunHere(m::Mode::VT, 100), 1);
  EXPECT_EQ(Family().Count(), 0u);  // one point, fewer than five
  EXPECT_EQ(cryostat.sampleReads.load(), 1);
  EXPECT_EQ(Beeps(), 11u);  // every cycle after the first
  EXPECT_STREQ(Family().GraphName(), "V(T)");
}

TEST_F(VTTest, AStopKeepsThePointsTakenFromTheFifthOn) {
  cryostat.onSampleRead = [](int n) {
    if (n == 6) m::RequestStop();
  };
  ASSERT_EQ(RunHere(m::Mode::VT, 100), 1);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Points().Count(), 6u);  // the cycle that saw the stop keeps its point
}

TEST_F(VTTest, ACurrentThatReadsTheSameBothWaysRejectsTheCycle) {
  // Sweep1 monitored on a channel that does not follow it.
  channels::VirtualCurrent c = channels::GetCurrent(0);
  c.flags = channels::kMonitorFlag;
  c.adcCard = 0;
  c.adcChannel = 7;
  channels::SetCurrent(0, c);
  channels::GetAveragingSettings().currentSamples = 16;  // whole dither cycles
  m::GetVTOptions().mode = m::kVTModeR;
  m::GetVTOptions().antiThermoEMF = true;
  cryostat.onSensorRead = [](int n) {
    if (n == 8) m::RequestStop();
  };
  ASSERT_EQ(RunHere(m::Mode::VT, 10), 1);
  EXPECT_EQ(Family().Count(), 0u);
  EXPECT_GE(Beeps(), 6u);
  EXPECT_GE(cryostat.sampleReads.load(), 12);  // the cycles were measured, both ways
}

TEST_F(VTTest, StartChecksLeaveTheFamilyAsItWas) {
  Family().SetCount(2);
  DefineVoltage(kSensor, channels::kNotConnected, 0, 3);
  EXPECT_EQ(RunHere(m::Mode::VT, 5), 0);
  DefineVoltage(kSensor, channels::kTSensor, 0, 3);
  DefineCurrent(0, channels::kConstant, 0, 0);
  m::GetVTOptions().antiThermoEMF = true;
  EXPECT_EQ(RunHere(m::Mode::VT, 5), 0);
  m::GetVTOptions().antiThermoEMF = false;
  m::GetVTOptions().mode = m::kVTModeR;
  EXPECT_EQ(RunHere(m::Mode::VT, 5), 0);
  DefineVoltage(kSample, channels::kNotConnected, 0, 5);
  EXPECT_EQ(RunHere(m::Mode::VT, 5), 0);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].text, m::kNoTSensorText);
  EXPECT_EQ(boxes[1].text, m::kVTNeedsSweep1Text);
  EXPECT_EQ(boxes[2].text, m::kVTNeedsSweep1Text);
  EXPECT_EQ(boxes[3].text, m::kNoVoltagesText);
  for (const UiCall& b : boxes) EXPECT_EQ(b.caption, "Can not start measurements");
  EXPECT_EQ(Family().Count(), 2u);
}

// The worker measures while the UI thread refreshes the dialog: the rows the
// routine holds, the temperature field and the live curves are shared.
TEST_F(VTTest, TheRefreshRunsWhileTheWorkerHoldsItsRows) {
  m::GetVTOptions().mode = m::kVTModeR;
  SetPoints(m::Mode::VT, 40);
  m::MeasureDialog d(m::Description(m::Mode::VT));
  d.Init();
  d.Command(m::kIdDoIt);
  ASSERT_TRUE(d.Running());
  while (!d.Ended()) {
    ui->FireTimers();
    (void)d.GetIndicator(m::kIdVoltageIndicator + kSensor).text;
    (void)curves::FamilyForPlot().Count();
    std::this_thread::yield();
  }
  ui->FireTimers();  // a refresh after the last point keeps the held rows
  d.Finish();
  EXPECT_EQ(d.Result(), 1);
  EXPECT_EQ(d.GetIndicator(m::kIdVoltageIndicator + kSensor).text, m::kNotUpdatedText);
  EXPECT_EQ(d.GetIndicator(m::kIdVoltageIndicator + kSample).text.substr(0, 1), "+");
  EXPECT_NE(d.GetIndicator(m::kIdVoltageIndicator + kSample).text.find("Ohm"),
            std::string::npos);
  EXPECT_NE(d.GetText(m::kIdTemperature).find(" K"), std::string::npos);
  EXPECT_EQ(Points().Count(), 40u);
}

}  // namespace
}  // namespace tsm::testing
