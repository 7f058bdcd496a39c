// The Temperature window on the screen (offscreen): the command opens and
// closes it, a tick shows the model's text and bar, minimising puts the text
// into the title, and the close box stops the model and unchecks the item.
#include "gui/temperature_window.h"

#include <QLabel>

#include "channels/thermometer.h"
#include "tests/gui/qt_test_app.h"
#include "tests/support/test_support.h"

namespace tsm::gui {
namespace {

using testing::QtApp;

class TemperatureViewTest : public tsm::testing::UiTest {
 protected:
  TemperatureViewTest() {
    QtApp();
    channels::ResetTemperatureWindow();
    channels::SetCalibrationTable({{0, 0}, {200, 1}}, "v.t");
    channels::GetTemperatureWindow().SetSource([this] { return kelvin; });
  }
  ~TemperatureViewTest() override {
    if (channels::GetTemperatureWindow().IsOpen()) ToggleTemperatureWindowView(nullptr, false);
    QApplication::processEvents();
    channels::ResetTemperatureWindow();
    channels::ResetThermometer();
  }
  double kelvin = 50;
  // Counts the close listener's calls; a member, since a window a test left
  // open is closed by the destructor, after the test's locals are gone.
  int closed = 0;
};

TEST_F(TemperatureViewTest, ShowsTheTextAndTheBarAndFollowsTheTicks) {
  ASSERT_TRUE(ToggleTemperatureWindowView(nullptr, false, [this] { ++closed; }));
  TemperatureWindowView* view = OpenTemperatureWindowView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->TextLabel()->text(), QStringLiteral("   50.000 K"));
  ASSERT_NE(view->Bar(), nullptr);
  EXPECT_DOUBLE_EQ(view->Bar()->Fraction(), 0.25);
  EXPECT_EQ(view->windowTitle(), QStringLiteral("Temperature"));

  kelvin = 150;
  ui->FireTimers();
  EXPECT_EQ(view->TextLabel()->text(), QStringLiteral("  150.000 K"));
  EXPECT_DOUBLE_EQ(view->Bar()->Fraction(), 0.75);

  channels::GetTemperatureWindow().SetMinimised(true);
  EXPECT_EQ(view->windowTitle(), QStringLiteral("  150.000 K"));
  channels::GetTemperatureWindow().SetMinimised(false);

  EXPECT_FALSE(ToggleTemperatureWindowView(nullptr, false));
  QApplication::processEvents();
  EXPECT_EQ(OpenTemperatureWindowView(), nullptr);
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(ui->LiveTimers(), 0u);
}

TEST_F(TemperatureViewTest, CloseBoxStopsTheModelAndTheCompactFormHasNoBar) {
  ASSERT_TRUE(ToggleTemperatureWindowView(nullptr, true, [this] { ++closed; }));
  TemperatureWindowView* view = OpenTemperatureWindowView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->Bar(), nullptr);
  view->close();
  QApplication::processEvents();
  EXPECT_FALSE(channels::GetTemperatureWindow().IsOpen());
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(ui->LiveTimers(), 0u);
  // The command opens it again.
  EXPECT_TRUE(ToggleTemperatureWindowView(nullptr, false, [this] { ++closed; }));
}

}  // namespace
}  // namespace tsm::gui
