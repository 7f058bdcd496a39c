// The UI thread's refresh running all through a sweep of the worker: the
// refresh never waits for the driver and nothing the two share is torn
// (this executable also runs under ThreadSanitizer).
#include <chrono>
#include <thread>
#include <vector>

#include "channels/averaging.h"
#include "channels/measurement_options.h"
#include "curves/live.h"
#include "plot/draw.h"
#include "plot/recording_canvas.h"
#include "plot/view.h"
#include "tests/measure/measure_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;

class ThreadsTest : public MeasureTest {};

TEST_F(ThreadsTest, TheRefreshRunsAllThroughASweep) {
  DefineVoltage(1, channels::kPositive, 0, 2);
  DefineCurrent(3, channels::kConstant, 0, 1);
  channels::GetMeasurementOptions().delays.interactionTime = 1;
  SetRange(20000, 60000, 20, true);  // 4002 points
  m::MeasureDialog d(m::Description(m::Mode::IVC));
  d.Init();
  d.Command(m::kIdDoIt);
  ASSERT_TRUE(d.Running());
  int ticks = 0;
  const auto start = std::chrono::steady_clock::now();
  // At least one tick, even when the worker is quicker than this thread's
  // first look at it.
  do {
    ui->FireTimers();  // the 250 ms tick, as often as it can run
    // A current the user moves meanwhile (not swept) and the plot's family.
    d.SetScrollPos(m::kIdCurrentScroll + 3, 1000 + ticks % 1000);
    d.Command(m::kIdCurrentScroll + 3, m::kScrolled);
    (void)curves::FamilyForPlot().Count();
    ++ticks;
  } while (!d.Ended() && std::chrono::steady_clock::now() - start < std::chrono::seconds(60));
  ASSERT_TRUE(d.WaitForEnd(std::chrono::seconds(60)));
  d.Finish();
  EXPECT_EQ(d.Result(), 1);
  EXPECT_GT(ticks, 0);
  ASSERT_EQ(curves::CurrentFamily().Count(), 2u);
  EXPECT_EQ(curves::CurrentFamily().Curve(0).Count(), 4002u);
  EXPECT_EQ(curves::CurrentFamily().Curve(1).Count(), 4002u);
  EXPECT_EQ(channels::PresentCode(0), 32768);
}

// The plot painted every millisecond by the thread that started the
// measurement (the UI thread of the program) while the V(I) worker
// measures: each picture holds only finished points, counts never go back,
// a point once seen never changes and is the point the family keeps;
// ThreadSanitizer finds no race.
TEST_F(ThreadsTest, APainterEveryMillisecondSeesOnlyFinishedPoints) {
  channels::GetMeasurementOptions().delays.interactionTime = 1;
  // A millisecond per point, so the painter sees the curves grow.
  channels::GetMeasurementOptions().delays.systemDecayTime = 1;
  // x as measured at each point (not spread evenly afterwards).
  channels::GetMeasurementOptions().general.currentMeasureMethod = 0;
  SetRange(30000, 40000, 50, true);  // 402 points
  m::MeasureDialog d(m::Description(m::Mode::IVC));
  d.Init();
  std::vector<curves::CurvePoint> seen;
  bool backwards = false, changed = false;
  int pictures = 0;
  d.Command(m::kIdDoIt);
  const auto start = std::chrono::steady_clock::now();
  while (!d.Ended() && std::chrono::steady_clock::now() - start < std::chrono::seconds(120)) {
    curves::UpdateLiveSnapshot();
    const curves::CurveFamily& shown = curves::FamilyForPlot();
    plot::RecordingCanvas canvas(400, 300);
    plot::Draw(canvas, plot::CanvasRect{0, 0, 400, 300}, shown, plot::GetPlotView());
    if (curves::LiveSnapshot() == &shown && shown.Count() > 0) {
      const curves::Curve& c = shown.Curve(0);
      if (c.Count() < seen.size()) backwards = true;
      for (std::size_t i = 0; i < seen.size() && i < c.Count(); ++i)
        if (!(c.Data()[i] == seen[i])) changed = true;
      for (std::size_t i = seen.size(); i < c.Count(); ++i) seen.push_back(c.Data()[i]);
      ++pictures;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_TRUE(d.WaitForEnd(std::chrono::seconds(60)));
  d.Finish();
  EXPECT_EQ(d.Result(), 1);
  EXPECT_GT(pictures, 10);
  EXPECT_FALSE(backwards);
  EXPECT_FALSE(changed);
  const curves::Curve& kept = Family().Curve(0);
  ASSERT_EQ(kept.Count(), 402u);
  ASSERT_LE(seen.size(), kept.Count());
  EXPECT_GT(seen.size(), 0u);
  for (std::size_t i = 0; i < seen.size(); ++i)
    ASSERT_TRUE(seen[i] == kept.Data()[i]) << "point " << i;
}

// "Stop" ends whatever wait the routine is in (a delay key of -1 reads as
// 4294967295 ms; a minute stands in for it here), and the routine then ends
// as it would after that point: before the fifth point the family is empty.
TEST_F(ThreadsTest, StopEndsEveryWaitOfTheRoutine) {
  struct Case {
    const char* name;
    void (*set)();
  };
  const Case cases[] = {
      {"jump to the start", [] { channels::GetMeasurementOptions().delays.delayAfterJumpToStart = 60000; }},
      {"settling", [] { channels::GetMeasurementOptions().delays.systemDecayTime = 60000; }},
      {"multiplexing", [] { channels::GetMeasurementOptions().delays.delayBeforeVoltage = 60000; }},
      {"trigger", [] {
         channels::GetMeasurementOptions().trigger.delay = 60000;
         measure::GetIVCOptions().trigger = true;
       }},
  };
  DefineCurrent(2, channels::kTrigger, 0, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    channels::ResetMeasurementOptions();
    measure::ResetIVCOptions();
    c.set();
    SetRange(30000, 40000, 100, false);
    EXPECT_EQ(StopWhileItWaits(m::Mode::IVC), 1);
    EXPECT_EQ(Family().Count(), 0u);
    EXPECT_EQ(channels::PresentCode(0), 32768);
  }
}

}  // namespace
}  // namespace tsm::testing
