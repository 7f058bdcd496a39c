// The voltage calibration's run against a standard whose channel reads
// 1.0001 x Vref + 2 uV: the step numbers it asks for (up or down), the points
// and the double-precision series it keeps, Cancel and Stop keeping the
// points so far, and the options it refuses.
#include <cstdio>

#include "measure/services.h"
#include "tests/measure/drift_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;
using platform::UiCall;

class CalibrationTest : public DriftTest {
 protected:
  CalibrationTest() {
    // The standard's channel behind its preamplifier.
    DefineVoltage(0, channels::kPositive, 0, 7, 1.0f);
    channels::VirtualVoltage v = channels::GetVoltage(0);
    v.extGain = static_cast<float>(CryostatDriver::kPreamp);
    channels::SetVoltage(0, v);
    channels::GetAveragingSettings().voltageSamples = 16;
    m::CalibratorOptions& o = m::GetCalibratorOptions();
    o.frequency = 75.0;
    o.firstStep = -60;
    o.lastStep = 60;
    o.stepIncrement = 20;
    // The standard follows the step each prompt asks for once it is confirmed.
    ui->SetMessageBoxEcho([this](const UiCall& call) {
      int n = 0;
      if (call.answer == platform::IDOK &&
          std::sscanf(call.text.c_str(), "Set the voltage standard to step n = %d", &n) == 1) {
        steps.push_back(n);
        cryostat.standardVolts = m::StandardVolts(n, m::GetCalibratorOptions().frequency);
      }
    });
  }
  std::vector<int> steps;
};

TEST_F(CalibrationTest, EveryStepIsAskedForAndMeasuredAgainstItsVolts) {
  ASSERT_EQ(RunHere(m::Mode::VoltageCalibration), 1);
  EXPECT_EQ(steps, (std::vector<int>{-60, -40, -20, 0, 20, 40, 60}));
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 7u);
  EXPECT_EQ(boxes[0].caption, "Voltage Calibration");
  EXPECT_EQ(boxes[0].type, platform::MB_OKCANCEL | platform::MB_ICONQUESTION);
  EXPECT_EQ(boxes[6].text,
            "Set the voltage standard to step n = 60\n(+0.009305252 V at 75 GHz).\n\nPress OK "
            "when it is stable,\nCancel to end the calibration here.");

  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_STREQ(Family().GraphName(), "Voltage Calibration");
  EXPECT_STREQ(Family().UnitX(), "V");
  EXPECT_STREQ(Family().UnitY(), "V");
  const curves::Curve& c = Family().Curve(0);
  ASSERT_EQ(c.Count(), 7u);
  const auto& series = m::LastCalibration();
  ASSERT_EQ(series.size(), 1u);
  EXPECT_EQ(series[0].voltage, 0);
  EXPECT_EQ(series[0].name, "Voltage#0");
  ASSERT_EQ(series[0].measured.size(), 7u);
  for (std::uint32_t i = 0; i < 7; ++i) {
    const double ref = m::StandardVolts(-60 + 20 * static_cast<int>(i), 75.0);
    EXPECT_DOUBLE_EQ(series[0].reference[i], ref) << i;
    // Within a few hundredths of a reading step (0.3 uV at the input).
    EXPECT_NEAR(series[0].measured[i], 1.0001 * ref + 2e-6, 0.03e-6) << i;
    EXPECT_FLOAT_EQ(c.Point(i).x, static_cast<float>(ref)) << i;
  }
}

TEST_F(CalibrationTest, ANegativeIncrementCountsDown) {
  m::GetCalibratorOptions().firstStep = 50;
  m::GetCalibratorOptions().lastStep = -45;
  m::GetCalibratorOptions().stepIncrement = -30;
  ASSERT_EQ(RunHere(m::Mode::VoltageCalibration), 1);
  EXPECT_EQ(steps, (std::vector<int>{50, 20, -10, -40}));
  EXPECT_EQ(Family().Curve(0).Count(), 4u);
}

TEST_F(CalibrationTest, CancelOrStopKeepsThePointsMeasuredSoFar) {
  ui->PushAnswer(platform::IDOK);
  ui->PushAnswer(platform::IDOK);
  ui->PushAnswer(platform::IDCANCEL);
  ASSERT_EQ(RunHere(m::Mode::VoltageCalibration), 1);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 2u);  // fewer than five are kept too
  EXPECT_EQ(m::LastCalibration()[0].measured.size(), 2u);
  EXPECT_EQ(ui->MessageBoxes().size(), 3u);

  // Stop while the third step is asked for: its answer is not measured.
  steps.clear();
  ui->SetMessageBoxEcho([this](const UiCall&) {
    if (ui->MessageBoxes().size() == 6) m::RequestStop();
  });
  ASSERT_EQ(RunHere(m::Mode::VoltageCalibration), 1);
  EXPECT_EQ(Family().Curve(0).Count(), 2u);

  // Cancel at the first step: nothing measured, an empty family.
  m::ClearStop();
  ui->PushAnswer(platform::IDCANCEL);
  ASSERT_EQ(RunHere(m::Mode::VoltageCalibration), 1);
  EXPECT_EQ(Family().Count(), 0u);
  EXPECT_TRUE(m::LastCalibration()[0].measured.empty());
}

TEST_F(CalibrationTest, StepNumbersThatGiveNoPointOrTooManyAreRefused) {
  Family().SetCount(1);
  m::GetCalibratorOptions().stepIncrement = -20;  // away from the last step
  EXPECT_EQ(RunHere(m::Mode::VoltageCalibration), 0);
  m::GetCalibratorOptions().stepIncrement = 0;
  EXPECT_EQ(RunHere(m::Mode::VoltageCalibration), 0);
  m::GetCalibratorOptions().firstStep = -10000000;
  m::GetCalibratorOptions().lastStep = 10000000;
  m::GetCalibratorOptions().stepIncrement = 1;
  EXPECT_EQ(RunHere(m::Mode::VoltageCalibration), 0);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "The step numbers from -60 to 60 with step -20\ngive no calibration point.");
  EXPECT_EQ(boxes[2].text,
            "The step numbers give 20000001 calibration points;\nat most 10000 can be taken.");
  EXPECT_EQ(boxes[2].caption, "Voltage Calibration");
  EXPECT_EQ(Family().Count(), 1u);
  // One step more than fits in 32 bits of step numbers is still counted.
  m::CalibratorOptions o;
  o.firstStep = -2147483647 - 1;
  o.lastStep = 2147483647;
  o.stepIncrement = 1;
  EXPECT_EQ(m::CalibrationPointCount(o), 4294967296ull);
}

}  // namespace
}  // namespace tsm::testing

namespace tsm::testing {
namespace {

TEST_F(CalibrationTest, ItsDialogHasNoSweepToSetAndRunsOnTheWorker) {
  {
    m::MeasureDialog d(m::Description(m::Mode::VoltageCalibration));
    d.Init();
    EXPECT_EQ(d.Caption(), "Measurements -- Voltage Calibration");
    for (int off : {m::kOffStep, m::kOffReset, m::kOffGoStart, m::kOffPoints})
      EXPECT_FALSE(d.IsEnabled(m::kSweep1Base + off)) << off;
    EXPECT_EQ(d.GetText(m::kSweep1Base + m::kOffPoints), "");
    EXPECT_TRUE(d.IsEnabled(m::kIdOptions));
    d.Finish();
  }
  // The headless back end presses "&Do It" and waits for the worker's end.
  EXPECT_EQ(m::RunMeasurement(m::Mode::VoltageCalibration, nullptr), 1);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 7u);
  EXPECT_EQ(steps.size(), 7u);
}

}  // namespace
}  // namespace tsm::testing
