// V(I_wfm) on the emulated junction: a triangle played tick by tick on a
// waveform current wired to the bias, the x kinds and the voltage shift,
// the three refusals with the tick limit, stops, and the dialog's
// "&Generator" box in this mode.
#include <cmath>
#include <cstring>

#include "measure/services.h"
#include "measure/wfm.h"
#include "tests/daq/generator_fixture.h"
#include "tests/measure/modes_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;
using platform::UiCall;

class WFMTest : public ModesTest {
 protected:
  // Waveform 0 as a sequence of symbols between v0 and v1, repeated.
  static void Program(const char* sequence, float v0, float v1, float stretch = 1.0f) {
    daq::WaveformDefinition& w = daq::GetWaveformSettings().waveforms[0];
    std::snprintf(w.sequence, sizeof w.sequence, "%s", sequence);
    w.value0 = v0;
    w.value1 = v1;
    w.stretch = stretch;
    w.prolong = 1;
  }
  static void Sampling(unsigned samplesPerUnit, unsigned cycles, unsigned interval,
                       unsigned xAxis) {
    daq::WaveformGeneralOptions& g = daq::GetWaveformSettings().general;
    g.samplesPerLogUnit = samplesPerUnit;
    g.numberOfCycles = cycles;
    g.samplingTimeInterval = interval;
    g.xAxis = xAxis;
  }
  // A waveform current (waveform 0) on the bias channel.
  static void WireWaveformToBias() { DefineCurrent(2, channels::kWaveForm0, 0, 0, 1000.0f); }
  static int RunWFM() { return RunHere(m::Mode::WFM); }
};

TEST_F(WFMTest, ATriangleOnTheBiasShowsTheJunctionsHysteresisTickByTick) {
  WireWaveformToBias();
  Program("T", -1.0f, 1.0f);  // -10 mA up to +10 mA and back in one logic unit
  Sampling(128, 1, 0, daq::kXAxisTicks);
  ASSERT_EQ(RunWFM(), 1);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  curves::CurveFamily& f = Family();
  ASSERT_EQ(f.Count(), 1u);
  EXPECT_STREQ(f.GraphName(), "WaveForm");
  EXPECT_STREQ(f.UnitX(), "tick");
  EXPECT_STREQ(f.UnitY(), "V");
  EXPECT_STREQ(f.Curve(0).Name(), "Voltage#0");
  const curves::Curve& c = f.Curve(0);
  ASSERT_EQ(c.Count(), 128u);
  bool returnBranch = false;
  for (std::uint32_t r = 0; r < 128; ++r) {
    EXPECT_EQ(c.Point(r).x, static_cast<float>(r));
    // The bias of tick r: the triangle's value w of the card's -10..10 mA.
    const double w = 1.0 - std::fabs(static_cast<double>(r) - 64.0) * 2.0 * 2.0 / 128.0;
    const double i = w * 10e-3;
    const double y = c.Point(r).y;
    if (r < 64) {
      // Up: no voltage from small currents to the critical current, ohmic above.
      if (i > 0.3e-3 && i < 7.2e-3) {
        EXPECT_LT(std::fabs(y), 0.06) << r;
      }
      if (i > 8.0e-3) {
        EXPECT_NEAR(y, i * 1000.0, 0.1) << r;
      }
    } else {
      // Down: ohmic far below the critical current, then the return branch.
      if (i > 2.0e-3 && i < 9.5e-3) {
        EXPECT_NEAR(y, i * 1000.0, 0.1) << r;
      }
      if (i > 0.3e-3 && i < 0.9e-3 && y > 0.45 && y < 0.75) returnBranch = true;
      if (i < -0.3e-3 && i > -7.2e-3) {
        EXPECT_LT(std::fabs(y), 0.06) << r;
      }
    }
  }
  EXPECT_TRUE(returnBranch);
  // The waveform current goes back; the bias current was not touched.
  EXPECT_EQ(channels::PresentCode(2), 32768);
  EXPECT_EQ(channels::PresentCode(0), 32768);
}

TEST_F(WFMTest, XIsSecondsTicksOrLogicUnitsAndEveryVoltageIsShifted) {
  WireWaveformToBias();
  DefineVoltage(3, channels::kPositive, 0, 1);
  Program("0", 0.2f, 0.2f);  // 2 mA: the junction shows no voltage
  daq::GetWaveformSettings().general.shiftConsequentVoltagesBy = 0.5f;

  Sampling(8, 2, 0, daq::kXAxisLogicUnits);
  ASSERT_EQ(RunWFM(), 1);
  ASSERT_EQ(Family().Count(), 2u);
  ASSERT_EQ(Family().Curve(0).Count(), 16u);
  for (std::uint32_t r = 0; r < 16; ++r) {
    EXPECT_EQ(Family().Curve(0).Point(r).x, static_cast<float>(r / 8.0));
    EXPECT_NEAR(Family().Curve(0).Point(r).y, 0.0, 0.06);
    EXPECT_NEAR(Family().Curve(1).Point(r).y, 0.5, 0.06);
  }
  EXPECT_STREQ(Family().UnitX(), "LU");

  // Seconds: real times, at least one interval apart from tick to tick.
  Sampling(8, 1, 3, daq::kXAxisSeconds);
  ASSERT_EQ(RunWFM(), 1);
  const curves::Curve& c = Family().Curve(0);
  ASSERT_EQ(c.Count(), 8u);
  EXPECT_GE(c.Point(0).x, 0.0f);
  EXPECT_LT(c.Point(0).x, 0.5f);
  for (std::uint32_t r = 1; r < 8; ++r)
    EXPECT_GE(c.Point(r).x - c.Point(0).x, r * 0.003 - 0.0015) << r;
  EXPECT_STREQ(Family().UnitX(), "s");
}

TEST_F(WFMTest, TheTickLimitIsTakenOnTheWholeProduct) {
  std::uint32_t t = 0;
  EXPECT_TRUE(m::WFMTickCount(4294967293u, 1, 1, &t));
  EXPECT_EQ(t, 4294967293u);
  EXPECT_FALSE(m::WFMTickCount(4294967294u, 1, 1, &t));
  EXPECT_FALSE(m::WFMTickCount(2147483647u, 2, 1, &t));
  EXPECT_FALSE(m::WFMTickCount(65536, 128, 512, &t));  // 2^32: would wrap to 0
  EXPECT_TRUE(m::WFMTickCount(7, 0, 16, &t));           // no cycles: nothing to measure
  EXPECT_EQ(t, 0u);
  EXPECT_TRUE(m::WFMTickCount(63, 128, 4096, &t));
  EXPECT_EQ(t, 63u * 128u * 4096u);
}

TEST_F(WFMTest, TheThreeRefusalsLeaveEverythingAsItWas) {
  Family().SetCount(1);
  EXPECT_EQ(RunWFM(), 0);  // no waveform current
  WireWaveformToBias();
  EXPECT_EQ(RunWFM(), 0);  // its waveform is empty
  Program("1", 0.0f, 0.5f);
  DefineVoltage(0, channels::kTSensor, 0, 1);
  EXPECT_EQ(RunWFM(), 0);  // nothing to measure
  DefineVoltage(0, channels::kPositive, 0, 1);
  // 2^21 logic units x 1 cycle x 2048 ticks = 2^32 ticks.
  Program("1", 0.0f, 0.5f, 2097152.0f);
  Sampling(2048, 1, 0, daq::kXAxisTicks);
  const auto writes = counting.writes.size();
  EXPECT_EQ(RunWFM(), 0);
  EXPECT_EQ(counting.writes.size(), writes);

  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  for (int k : {0, 1}) {
    EXPECT_EQ(boxes[k].text,
              "Either\n1. No WaveForm current found or\n2. All waveform currents correspond "
              "to an empty waveform.");
    EXPECT_EQ(boxes[k].caption, "Can't measure V(I_WFM)");
  }
  EXPECT_EQ(boxes[2].text,
            "No Voltages to measure!\n\nDefine at least one voltage as \"positive\" or "
            "\"negative\"\n");
  EXPECT_EQ(boxes[2].caption, "Can't measure V(I_WFM)");
  EXPECT_EQ(boxes[3].text,
            "Too many clock cycles!\n\nConsider the following:\n\n1. Too many periods to "
            "measure\n2. Too long WaveForm\n3. Too many samples for one logical unit");
  EXPECT_EQ(boxes[3].caption, "Can't measure WaveForms");
  for (const UiCall& b : boxes) EXPECT_EQ(b.type & platform::MB_ICONMASK, platform::MB_ICONHAND);
  EXPECT_EQ(Family().Count(), 1u);
}

TEST_F(WFMTest, AStopKeepsTheTicksBeforeOrNothingBeforeTheFifth) {
  WireWaveformToBias();
  Program("/", -0.5f, 0.5f);
  Sampling(32, 1, 0, daq::kXAxisTicks);
  // Read n of the junction is tick n - 2 (the dialog's refresh reads first).
  counting.onRead = [](int n) {
    if (n == 2 + 3) m::RequestStop();
  };
  EXPECT_EQ(RunWFM(), 1);
  EXPECT_EQ(Family().Count(), 0u);

  m::ClearStop();
  counting.junctionReads = 0;
  counting.onRead = [](int n) {
    if (n == 2 + 6) m::RequestStop();
  };
  EXPECT_EQ(RunWFM(), 1);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 6u);
  EXPECT_EQ(channels::PresentCode(2), 32768);
  EXPECT_TRUE(ui->CallsOf(UiCall::Kind::Sound).empty());
}

TEST_F(WFMTest, TheGeneratorBoxStartsTheFastWaveformGenerator) {
  WfmRecordingDriver wfm;
  daq::SetDriver(&wfm);
  m::MeasureDialog d(m::Description(m::Mode::WFM));
  d.Init();
  // Without a waveform current the generator refuses, the box is cleared.
  d.SetCheck(m::kIdGenerator, 1);
  d.Command(m::kIdGenerator);
  EXPECT_EQ(d.GetCheck(m::kIdGenerator), 0);
  auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, channels::kWfmNoCurrentsText);
  EXPECT_EQ(boxes[1].text, "Can not start FastWaveformGenerator\nZentra Error code: -1.");
  EXPECT_EQ(boxes[1].caption, "Error");

  WireWaveformToBias();
  Program("T", -1.0f, 1.0f);
  d.SetCheck(m::kIdGenerator, 1);
  d.Command(m::kIdGenerator);
  EXPECT_EQ(wfm.wfmOps, 1);
  EXPECT_EQ(wfm.channels, std::vector<std::int16_t>{0});
  EXPECT_TRUE(daq::WaveformGeneratorRunning());
  d.SetCheck(m::kIdGenerator, 0);
  d.Command(m::kIdGenerator);
  EXPECT_FALSE(daq::WaveformGeneratorRunning());
  d.Finish();
  daq::SetDriver(nullptr);
}

}  // namespace
}  // namespace tsm::testing
