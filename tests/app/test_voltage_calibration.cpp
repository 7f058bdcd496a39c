// The voltage calibration as the Measure command runs it: the run against a
// standard whose channel reads 1.0001 x Vref + 2 uV, the fit of each voltage
// (gain error 100 ppm, offset 2 uV), the report and the gain correction,
// which a second calibration then finds right; fits that cannot be made or
// must not be applied.
#include <cstdio>

#include "app/commands.h"
#include "app/voltage_calibration.h"
#include "plot/view.h"
#include "tests/measure/drift_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;
using platform::UiCall;

class VoltageCalibrationTest : public DriftTest {
 protected:
  VoltageCalibrationTest() {
    app::ResetCommandState();
    app::RegisterMeasureCommands(app::Commands());
    plot::ResetPlotView();
    DefineVoltage(0, channels::kPositive, 0, 7);
    channels::VirtualVoltage v = channels::GetVoltage(0);
    v.extGain = static_cast<float>(CryostatDriver::kPreamp);
    channels::SetVoltage(0, v);
    channels::GetAveragingSettings().voltageSamples = 16;
    m::GetCalibratorOptions() = {75.0, -60, 60, 10};
    ui->SetMessageBoxEcho([this](const UiCall& call) {
      int n = 0;
      if (call.answer == platform::IDOK &&
          std::sscanf(call.text.c_str(), "Set the voltage standard to step n = %d", &n) == 1)
        cryostat.standardVolts = m::StandardVolts(n, 75.0);
    });
  }
  ~VoltageCalibrationTest() override { app::ResetCommandState(); }

  // The report: the last message box of the run.
  UiCall Report() { return ui->MessageBoxes().back(); }
};

TEST_F(VoltageCalibrationTest, TheFitFindsTheGainErrorAndOffsetAndTheCorrectionRemovesIt) {
  for (int k = 0; k < 13; ++k) ui->PushAnswer(platform::IDOK);
  ui->PushAnswer(platform::IDYES);
  ASSERT_EQ(app::RunCommand(209), app::CommandResult::Done);
  EXPECT_EQ(Family().Curve(0).Count(), 13u);

  const auto fits = app::FitCalibration(m::LastCalibration());
  ASSERT_EQ(fits.size(), 1u);
  EXPECT_TRUE(fits[0].fitted);
  EXPECT_TRUE(fits[0].correctable);
  EXPECT_NEAR(fits[0].GainErrorPpm(), 100.0, 1.0);
  EXPECT_NEAR(fits[0].offset, 2e-6, 0.02e-6);

  const UiCall report = Report();
  EXPECT_EQ(report.caption, "Voltage Calibration");
  EXPECT_EQ(report.type, platform::MB_YESNO | platform::MB_ICONQUESTION);
  double ppm = 0;
  ASSERT_EQ(std::sscanf(report.text.c_str(), "Voltage#0:\tgain error %lf ppm,", &ppm), 1);
  EXPECT_NEAR(ppm, 100.0, 1.0);
  EXPECT_NE(report.text.find(" ppm,\toffset +2.00"), std::string::npos) << report.text;
  EXPECT_NE(report.text.find("\xB5V\n"), std::string::npos) << report.text;  // micro
  EXPECT_NE(report.text.find(app::kApplyQuestion), std::string::npos);
  // Yes: the external gain now carries the gain error (in memory only).
  EXPECT_NEAR(channels::GetVoltage(0).extGain, 1000.0 * 1.0001, 0.002);

  // Calibrated again, the channel has no gain error left; the offset stays.
  ui->Clear();
  for (int k = 0; k < 13; ++k) ui->PushAnswer(platform::IDOK);
  ui->PushAnswer(platform::IDNO);
  ASSERT_EQ(app::RunCommand(209), app::CommandResult::Done);
  const auto again = app::FitCalibration(m::LastCalibration());
  EXPECT_NEAR(again[0].GainErrorPpm(), 0.0, 1.0);
  EXPECT_NEAR(again[0].offset, 2e-6, 0.02e-6);
  EXPECT_NEAR(channels::GetVoltage(0).extGain, 1000.0 * 1.0001, 0.002);  // No: unchanged
}

TEST_F(VoltageCalibrationTest, NoPointNoReportOnePointNoFitAWildGainNoCorrection) {
  // Cancel at once: an empty family and no report.
  ui->PushAnswer(platform::IDCANCEL);
  ASSERT_EQ(app::RunCommand(209), app::CommandResult::Done);
  EXPECT_EQ(ui->MessageBoxes().size(), 1u);

  // One point: no line can be fitted, the report only tells so.
  ui->Clear();
  ui->PushAnswer(platform::IDOK);
  ui->PushAnswer(platform::IDCANCEL);
  ASSERT_EQ(app::RunCommand(209), app::CommandResult::Done);
  EXPECT_EQ(Report().text,
            "Voltage#0:\tno fit (at least two different reference voltages are needed)\n");
  EXPECT_EQ(Report().type, platform::MB_OK | platform::MB_ICONINFORMATION);

  // A voltage not wired to the standard (a second one, on the junction's
  // channel) is fitted but never corrected; the wired one still is.
  ui->Clear();
  DefineVoltage(1, channels::kPositive, 0, 3);
  for (int k = 0; k < 13; ++k) ui->PushAnswer(platform::IDOK);
  ui->PushAnswer(platform::IDYES);
  ASSERT_EQ(app::RunCommand(209), app::CommandResult::Done);
  EXPECT_NE(Report().text.find("Voltage#1:\tgain error"), std::string::npos);
  EXPECT_NE(Report().text.find("(too large, not corrected)"), std::string::npos);
  EXPECT_FLOAT_EQ(channels::GetVoltage(1).extGain, 1.0f);
  EXPECT_NEAR(channels::GetVoltage(0).extGain, 1000.1, 0.002);
}

}  // namespace
}  // namespace tsm::testing
