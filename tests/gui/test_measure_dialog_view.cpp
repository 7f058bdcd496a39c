// The measurement dialog with Qt (offscreen): the Indicator's picture, and a
// V(I) sweep started with "&Do It" that the worker ends while the dialog's
// event loop runs (its texts come from the worker thread); the dialog keeps
// its size from Idle through the run.
#include "gui/measure_dialog_view.h"

#include <QImage>
#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include "channels/virtual_channels.h"
#include "curves/state.h"
#include "daq/cards.h"
#include "daq/driver.h"
#include "daq/emulated_driver.h"
#include "channels/measurement_options.h"
#include "curves/live.h"
#include "gui/application.h"
#include "gui/main_window.h"
#include "gui/plot_widget.h"
#include "gui/qt_ui.h"
#include "plot/view.h"
#include "app/commands.h"
#include "measure/ivc_options.h"
#include "measure/measure_dialog.h"
#include "measure/state.h"
#include "platform/profile.h"
#include "tests/gui/qt_test_app.h"
#include "tests/support/test_support.h"

namespace tsm::gui {
namespace {

using testing::QtApp;
using testing::WhenModal;

QRgb Rgb(unsigned r, unsigned g, unsigned b) { return qRgb(int(r), int(g), int(b)); }

TEST(IndicatorPicture, BarAndRestAreLaidOverTheTextWithXor) {
  QtApp();
  measure::Indicator ind;
  ind.minimum = 0;
  ind.maximum = 100;
  ind.value = 50;
  const QImage image = RenderIndicator(ind, QSize(100, 20));
  EXPECT_EQ(image.pixel(25, 2), Rgb(128, 0, 128));  // bar over black
  EXPECT_EQ(image.pixel(75, 2), Rgb(255, 255, 255));  // the rest
  EXPECT_EQ(image.pixel(0, 0), Rgb(0, 0, 0));         // frame

  ind.value = -5;  // below the minimum: no bar
  EXPECT_EQ(RenderIndicator(ind, QSize(100, 20)).pixel(25, 2), Rgb(255, 255, 255));

  // Text pixels show in the XOR of the text and the bar colours.
  ind.value = 100;
  ind.text = "MMMMMMMMMMMM";
  const QImage full = RenderIndicator(ind, QSize(100, 20));
  bool textSeen = false;
  for (int x = 1; x < 99 && !textSeen; ++x)
    for (int y = 1; y < 19 && !textSeen; ++y)
      textSeen = full.pixel(x, y) == Rgb(128, 255, 128);
  EXPECT_TRUE(textSeen);
}

class QtMeasureTest : public ::testing::Test {
 protected:
  QtMeasureTest() {
    QtApp();
    platform::SetUi(&ui);
    platform::SetAssertionEcho(false);
    daq::SetDriver(nullptr);
    daq::DefaultEmulatedDriver().Reset(1);
    daq::ResetCards();
    platform::ProfileCacheClear();
    std::string report;
    daq::DetectCards(report, daq::kInventoryCapacity, dir.Path().string() + "/");
    channels::ResetVirtualChannels();
    channels::BindVirtualChannels();
    measure::ResetMeasureState();
    measure::ResetIVCOptions();
    curves::ResetCurvesState();
    channels::VirtualCurrent c;
    c.kind = channels::kPlusSweep1;
    c.dacCard = 0;
    c.dacChannel = 0;
    c.R = 1000.0f;
    channels::SetCurrent(0, c);
    channels::RebindChangedCurrents();
    channels::VirtualVoltage v;
    v.kind = channels::kPositive;
    v.adcCard = 0;
    v.adcChannel = 1;
    channels::SetVoltage(0, v);
    RegisterMeasureDialogView();
  }
  ~QtMeasureTest() override {
    channels::ResetVirtualChannels();
    measure::ResetMeasureState();
    curves::ResetCurvesState();
    daq::ResetCards();
    platform::SetAssertionEcho(true);
    platform::SetUi(nullptr);
  }

  tsm::testing::TempDir dir;
  QtUi ui;
};

TEST_F(QtMeasureTest, DoItRunsTheSweepAndTheWorkerClosesTheDialog) {
  measure::SweepRange& r = *measure::Range(measure::RangeId::SharedVI);
  r.start = 30000;
  r.stop = 40000;
  r.step = 50;
  r.twoDirections = true;
  bool seen = false;
  // The dialog's size from Idle through the run to its last moment, and
  // whether a size was seen while "Stop" showed.
  QSize idle;
  std::vector<QSize> sizes;
  bool stopSeen = false;
  WhenModal(
      [&](QWidget* dialog) {
        seen = true;
        idle = dialog->size();
        if (const char* out = std::getenv("TSM_MEASURE_SCREENSHOT")) dialog->grab().save(out);
        EXPECT_EQ(dialog->windowTitle(), "Measurements -- IVC");
        EXPECT_NE(dialog->findChild<QWidget*>("control4450"), nullptr);  // a voltage Indicator
        auto* doIt = dialog->findChild<QPushButton*>("control1");
        ASSERT_NE(doIt, nullptr);
        doIt->click();
        auto* stop = dialog->findChild<QPushButton*>("control2");
        ASSERT_NE(stop, nullptr);
        // The worker's texts arrive as events; the dialog hides when it ends.
        while (dialog->isVisible()) {
          QApplication::processEvents(QEventLoop::AllEvents, 5);
          sizes.push_back(dialog->size());
          stopSeen = stopSeen || stop->text() == "Stop";
        }
      },
      20000);
  EXPECT_EQ(measure::RunMeasurement(measure::Mode::IVC, nullptr), 1);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(stopSeen);
  ASSERT_FALSE(sizes.empty());
  for (const QSize& s : sizes) EXPECT_EQ(s, idle);
  ASSERT_EQ(curves::CurrentFamily().Count(), 1u);
  EXPECT_EQ(curves::CurrentFamily().Curve(0).Count(), 402u);
  EXPECT_EQ(channels::PresentCode(0), 32768);
}

// The real window while a measurement runs: the dialog's refresh repaints
// the plot with the curve as it grows, the view follows it (the rescale
// option is on), and afterwards status part 0 tells how long it took.
TEST_F(QtMeasureTest, TheMainWindowsPlotShowsTheCurveWhileItIsMeasured) {
  measure::SweepRange& r = *measure::Range(measure::RangeId::SharedVI);
  r.start = 30000;
  r.stop = 40000;
  r.step = 50;
  r.twoDirections = true;  // 402 points, 3 ms each
  channels::GetMeasurementOptions().delays.systemDecayTime = 3;
  channels::GetMeasurementOptions().general.rescalePlotAfterMeasurement = true;
  channels::GetMeasurementOptions().general.swapXYAxes = false;
  app::RegisterAllCommands();
  MainWindow window;
  StartMainWindow(window, ui);
  window.resize(800, 600);
  window.show();
  plot::GetPlotView().autoScale = false;
  std::uint32_t shownWhileRunning = 0;
  bool followed = false;
  WhenModal(
      [&](QWidget* dialog) {
        dialog->findChild<QPushButton*>("control1")->click();
        while (dialog->isVisible()) {
          QApplication::processEvents(QEventLoop::AllEvents, 5);
          const curves::CurveFamily* live = curves::LiveSnapshot();
          if (live && live->Count() == 1 && window.Plot()->LastDrawResult() > 0 &&
              &curves::FamilyForPlot() == live) {
            shownWhileRunning = std::max(shownWhileRunning, live->Curve(0).Count());
            followed = followed || plot::GetPlotView().autoScale;
            if (const char* out = std::getenv("TSM_LIVE_SCREENSHOT")) window.grab().save(out);
          }
        }
      },
      30000);
  EXPECT_EQ(app::RunCommand(29), app::CommandResult::Done);
  EXPECT_GT(shownWhileRunning, 0u);
  EXPECT_LT(shownWhileRunning, 402u);
  EXPECT_TRUE(followed);
  EXPECT_EQ(curves::CurrentFamily().Curve(0).Count(), 402u);
  EXPECT_EQ(&curves::FamilyForPlot(), &curves::CurrentFamily());
  EXPECT_TRUE(window.StatusPart(0).startsWith("Time spent to measure: "));
  StopMainWindow(ui);
  app::ResetCommandState();
  channels::ResetMeasurementOptions();
}

}  // namespace
}  // namespace tsm::gui
