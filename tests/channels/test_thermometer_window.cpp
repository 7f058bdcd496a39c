#include "channels/temperature_window.h"
#include "channels/thermometer.h"
#include "tests/support/test_support.h"

namespace tsm::testing {
namespace {

using namespace tsm::channels;

class TemperatureWindowTest : public UiTest {
 protected:
  TemperatureWindowTest() {
    ResetTemperatureWindow();
    ResetThermometer();
    SetCalibrationTable({{4.2f, 1000}, {300, 100}, {77, 400}}, "x.t");
    GetTemperatureWindow().SetSource([this] { return kelvin; });
  }
  ~TemperatureWindowTest() override {
    ResetTemperatureWindow();
    ResetThermometer();
  }
  double kelvin = 150.0;
};

TEST_F(TemperatureWindowTest, RefreshesOnceASecondWithTextBarAndMinimisedTitle) {
  TemperatureWindow& w = GetTemperatureWindow();
  int changes = 0;
  w.SetChangeListener([&] { ++changes; });
  ASSERT_TRUE(ToggleTemperatureWindow(nullptr));
  const auto timers = ui->CallsOf(platform::UiCall::Kind::TimerStart);
  ASSERT_EQ(timers.size(), 1u);
  EXPECT_EQ(timers[0].type, 1000u);
  EXPECT_EQ(w.Text(), "  150.000 K");  // a first reading at once
  EXPECT_EQ(w.Title(), "Temperature");
  // Bar limits: the table's lowest and highest temperature.
  EXPECT_FLOAT_EQ(w.BarLow(), 4.2f);
  EXPECT_FLOAT_EQ(w.BarHigh(), 300);
  EXPECT_NEAR(w.BarFraction(), (150 - 4.2f) / (300 - 4.2f), 1e-6);

  kelvin = -2;
  w.SetMinimised(true);
  ui->FireTimers();
  EXPECT_EQ(w.Title(), "InterpErr");
  EXPECT_EQ(w.BarFraction(), 0.0);
  w.SetMinimised(false);
  EXPECT_EQ(w.Title(), "Temperature");
  EXPECT_GE(changes, 3);

  bool closed = false;
  w.SetClosedListener([&] { closed = true; });
  EXPECT_FALSE(ToggleTemperatureWindow(nullptr));
  EXPECT_TRUE(closed);
  EXPECT_EQ(ui->LiveTimers(), 0u);
}

TEST_F(TemperatureWindowTest, NoTimerIsReportedAndTheWindowShowsOneReading) {
  ui->SetTimersFail(true);
  ASSERT_TRUE(ToggleTemperatureWindow(nullptr, true));
  EXPECT_EQ(GetTemperatureWindow().DialogId(), kTemperatureDialogShiftId);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Can't set timer");
  EXPECT_EQ(boxes[0].caption, "Temperature--error");
  EXPECT_EQ(GetTemperatureWindow().Text(), "  150.000 K");
}

TEST_F(TemperatureWindowTest, BarFillsBetweenItsLimits) {
  EXPECT_EQ(TemperatureBarFraction(2, 4.2, 300), 0.0);
  EXPECT_EQ(TemperatureBarFraction(301, 4.2, 300), 1.0);
  EXPECT_EQ(TemperatureBarFraction(152.1, 4.2, 300), 0.5);
  EXPECT_EQ(TemperatureBarFraction(77, 77, 77.005), 0.5);  // closer than 0.01 K
  EXPECT_EQ(TemperatureBarFraction(-1, 0, 0), 0.0);        // no reading: empty
  SetCalibrationTable({}, "");
  GetTemperatureWindow().Open(nullptr);
  EXPECT_EQ(GetTemperatureWindow().BarFraction(), 0.5);  // empty table: limits 0..0
}

}  // namespace
}  // namespace tsm::testing
