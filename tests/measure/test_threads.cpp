// The UI thread's refresh running all through a sweep of the worker: the
// refresh never waits for the driver and nothing the two share is torn
// (this executable also runs under ThreadSanitizer).
#include <chrono>
#include <thread>

#include "channels/averaging.h"
#include "channels/measurement_options.h"
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
