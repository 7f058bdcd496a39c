// The UI thread's refresh running all through a sweep of the worker: the
// refresh never waits for the driver and nothing the two share is torn
// (this executable also runs under ThreadSanitizer).
#include <chrono>

#include "channels/averaging.h"
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

}  // namespace
}  // namespace tsm::testing
