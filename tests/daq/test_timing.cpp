#include "daq/timing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "daq/perfcounter.h"
#include "platform/assert.h"
#include "platform/clock.h"

namespace tsm::daq {
namespace {

using platform::HasAssertion;

// A clock that never waits: Sleep moves the time on, and each read of the
// millisecond clock moves it on by a step (by default only once a sleep has
// happened, so a test can see exactly how long the wait slept).
class FakeClock : public platform::Clock {
 public:
  std::uint32_t Milliseconds() override {
    ++reads;
    const std::uint32_t t = now;
    now += sleeps.empty() ? stepBeforeSleep : stepAfterSleep;
    return t;
  }
  bool Counter(std::int64_t* t) override {
    if (!counterAvailable) return false;
    *t = ticks;
    ticks += tickStep;
    ++counterReads;
    return true;
  }
  bool CounterFrequency(std::int64_t* f) override {
    *f = 1000000;
    return counterAvailable;
  }
  void Sleep(std::uint32_t ms) override {
    sleeps.push_back(ms);
    now += ms;
  }

  std::uint32_t now = 1000;
  std::uint32_t stepBeforeSleep = 0;
  std::uint32_t stepAfterSleep = 1;
  int reads = 0;
  std::vector<std::uint32_t> sleeps;
  bool counterAvailable = true;
  std::int64_t ticks = 5000;
  std::int64_t tickStep = 7;
  int counterReads = 0;
};

class Timing : public ::testing::Test {
 protected:
  Timing() {
    platform::SetClock(&clock);
    ResetTiming();
    ResetPerfCounter();
    platform::ClearAssertions();
    depth0 = platform::TimerPeriodDepth();
  }
  ~Timing() override {
    ResetTiming();
    platform::SetClock(nullptr);
  }
  int Depth() const { return platform::TimerPeriodDepth() - depth0; }
  FakeClock clock;
  int depth0 = 0;
};

TEST_F(Timing, DelaySleepsAllButTenMillisecondsAndSpinsTheRest) {
  Delay(25);
  ASSERT_EQ(clock.sleeps, (std::vector<std::uint32_t>{15}));
  // Start and the first look at the clock see 1000; the spin then reads
  // 1015, 1016, ... 1025.
  EXPECT_EQ(clock.reads, 2 + 11);
  EXPECT_EQ(clock.now, 1026u);
  EXPECT_EQ(ResolutionUsers(), 0);
  EXPECT_EQ(Depth(), 0);
  EXPECT_TRUE(platform::Assertions().empty());
}

TEST_F(Timing, ShortWaitsOnlySpin) {
  clock.stepBeforeSleep = 1;
  TimeMark mark = clock.now;
  Stopwatch_WaitUntil(&mark, 10);  // exactly the threshold: spin only
  EXPECT_TRUE(clock.sleeps.empty());
  EXPECT_EQ(clock.now, mark + 11);
  mark = clock.now;
  Stopwatch_WaitUntil(&mark, 11);  // one more: sleep 1, spin 10
  EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{1}));
}

// A delay key of -1 reads as 4294967295 ms. Under a scope the wait sleeps
// in slices of at most 50 ms and ends at the first look after the flag was
// set; without one (another thread) the flag means nothing.
TEST_F(Timing, AWaitUnderAnAbortScopeEndsSoonAfterItsFlagIsSet) {
  std::atomic<int> flag{0};
  struct SettingClock : FakeClock {
    std::atomic<int>* flag = nullptr;
    void Sleep(std::uint32_t ms) override {
      FakeClock::Sleep(ms);
      if (sleeps.size() == 3) flag->store(1);
    }
  } slow;
  slow.flag = &flag;
  platform::SetClock(&slow);
  {
    WaitAbortScope scope(flag);
    EXPECT_FALSE(WaitAborted());
    Delay(0xFFFFFFFFu);
    EXPECT_TRUE(WaitAborted());
    EXPECT_EQ(slow.sleeps, (std::vector<std::uint32_t>{50, 50, 50}));
    // Once set, waits return at once; the stopwatch form too.
    Delay(1000);
    Stopwatch watch;
    watch.WaitUntil(1000);
    EXPECT_EQ(slow.sleeps.size(), 3u);
  }
  EXPECT_FALSE(WaitAborted());
  Delay(120);  // no scope: the whole wait
  EXPECT_EQ(slow.sleeps, (std::vector<std::uint32_t>{50, 50, 50, 50, 50, 7}));
  EXPECT_EQ(ResolutionUsers(), 0);
  platform::SetClock(&clock);
}

TEST_F(Timing, DelayZeroDoesNothing) {
  Delay(0);
  EXPECT_EQ(clock.reads, 0);
  EXPECT_EQ(Depth(), 0);
  EXPECT_EQ(ResolutionUsers(), 0);
}

TEST_F(Timing, WaitUntilAPassedDeadlineReturnsAtOnce) {
  TimeMark mark = 0;
  Stopwatch_Start(&mark);
  clock.now += 50;
  EXPECT_EQ(Stopwatch_WaitUntil(&mark, 30), 1050u);
  EXPECT_EQ(clock.reads, 2);
  EXPECT_TRUE(clock.sleeps.empty());
  Stopwatch_Stop();
}

TEST_F(Timing, WaitsSurviveTheClockWrapping) {
  clock.now = 0xFFFFFFF0u;
  TimeMark mark = 0;
  Stopwatch_Start(&mark);
  EXPECT_EQ(Stopwatch_WaitUntil(&mark, 40), 0x18u);  // 0xFFFFFFF0 + 40
  EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{30}));
  EXPECT_EQ(Stopwatch_ElapsedAndStop(&mark), 41u);
}

TEST_F(Timing, ResolutionIsRaisedWhileAnyStopwatchRuns) {
  TimeMark a = 0, b = 0;
  Stopwatch_Start(&a);
  EXPECT_EQ(Depth(), 1);
  Stopwatch_Start(&b);
  EXPECT_EQ(Depth(), 1);  // only the first start asks
  EXPECT_EQ(ResolutionUsers(), 2);
  Stopwatch_Stop();
  EXPECT_EQ(Depth(), 1);
  Stopwatch_Stop();
  EXPECT_EQ(Depth(), 0);
  EXPECT_TRUE(platform::Assertions().empty());
  // A stop too many is reported and does not end a request we do not hold.
  Stopwatch_Stop();
  EXPECT_TRUE(HasAssertion("resolutionUsers > 0", "timing"));
  EXPECT_EQ(ResolutionUsers(), 0);
  EXPECT_EQ(Depth(), 0);
}

TEST_F(Timing, MoreThanFiveNestedUsersIsAProgramError) {
  for (int i = 0; i < 5; ++i) Stopwatch_Start();
  EXPECT_TRUE(platform::Assertions().empty());
  Stopwatch_Start();
  EXPECT_TRUE(HasAssertion("resolutionUsers <= kMaxResolutionUsers", "timing"));
  EXPECT_EQ(ResolutionUsers(), 6);  // timing goes on
  for (int i = 0; i < 6; ++i) Stopwatch_Stop();
  EXPECT_EQ(Depth(), 0);
}

TEST_F(Timing, ElapsedAndHasPassedOnTheSharedMark) {
  clock.stepBeforeSleep = 0;
  EXPECT_EQ(Stopwatch_Start(), 1000u);
  clock.now = 1020;
  EXPECT_EQ(Stopwatch_Elapsed(), 20u);
  EXPECT_FALSE(Stopwatch_HasPassed(nullptr, 21));
  EXPECT_FALSE(Stopwatch_HasPassedAndStop(nullptr, 21));
  EXPECT_EQ(ResolutionUsers(), 1);  // still running
  // Delay keeps its own mark: the shared one still counts from 1000.
  clock.stepBeforeSleep = 1;
  Delay(5);
  EXPECT_GE(Stopwatch_Elapsed(), 25u);
  EXPECT_TRUE(Stopwatch_HasPassedAndStop(nullptr, 21));
  EXPECT_EQ(ResolutionUsers(), 0);
  EXPECT_EQ(Depth(), 0);
}

TEST_F(Timing, StopwatchObject) {
  {
    Stopwatch sw;
    EXPECT_TRUE(sw.Running());
    EXPECT_EQ(Depth(), 1);
    clock.now += 40;
    EXPECT_EQ(sw.Elapsed(), 40u);
    EXPECT_TRUE(sw.HasPassed(40));
    EXPECT_FALSE(sw.HasPassed(41));
    sw.Restart();  // running: a new start time, still one user
    EXPECT_EQ(ResolutionUsers(), 1);
    EXPECT_EQ(sw.Elapsed(), 0u);
    const std::uint32_t last = sw.WaitUntil(25);
    EXPECT_EQ(last, clock.now - 1);
    EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{15}));
  }  // stops itself
  EXPECT_EQ(ResolutionUsers(), 0);
  EXPECT_EQ(Depth(), 0);
  EXPECT_TRUE(platform::Assertions().empty());

  clock.sleeps.clear();  // reads stop moving the time on
  Stopwatch idle(false);
  EXPECT_EQ(Depth(), 0);
  clock.now += 7;
  EXPECT_EQ(idle.Elapsed(), 7u);  // reported, answered from its creation
  EXPECT_TRUE(HasAssertion("running", "timing"));
  platform::ClearAssertions();
  idle.Stop();
  EXPECT_TRUE(HasAssertion("running", "timing"));
  EXPECT_EQ(ResolutionUsers(), 0);
  idle.Restart();
  EXPECT_EQ(ResolutionUsers(), 1);
  idle.Stop();
  EXPECT_EQ(ResolutionUsers(), 0);
}

TEST_F(Timing, PerformanceCounter) {
  TickMark mark = 0;
  ASSERT_TRUE(PerfCount_Mark(&mark));
  EXPECT_EQ(mark, 5000);
  EXPECT_EQ(PerfCount_HowManyTicksPassed(&mark), 7);
  EXPECT_TRUE(PerfCount_IsIncBy(&mark, 14));
  EXPECT_FALSE(PerfCount_IsIncBy(&mark, 22));
  // WaitTicks reads until the counter is at least n past the mark.
  clock.counterReads = 0;
  EXPECT_EQ(PerfCount_WaitTicks(&mark, 100), 1);
  EXPECT_GE(clock.ticks - clock.tickStep - mark, 100);
  EXPECT_EQ(clock.counterReads, 12);  // 5028, 5035, ... 5105
  // The shared mark.
  ASSERT_TRUE(PerfCount_Mark());
  EXPECT_EQ(PerfCount_HowManyTicksPassed(), 7);
  std::int64_t f = 0;
  EXPECT_TRUE(PerfCount_Frequency(&f));
  EXPECT_EQ(f, 1000000);
  EXPECT_TRUE(platform::Assertions().empty());
}

TEST_F(Timing, NoPerformanceCounter) {
  clock.counterAvailable = false;
  TickMark mark = 77;
  EXPECT_FALSE(PerfCount_Mark(&mark));
  EXPECT_EQ(mark, 77);
  EXPECT_EQ(PerfCount_WaitTicks(&mark, 10), 0);
  EXPECT_TRUE(platform::Assertions().empty());
  EXPECT_TRUE(PerfCount_IsIncBy(&mark, 10));
  EXPECT_TRUE(HasAssertion("PerfCount_IsIncBy() is called while performance counter is not available",
                           "perfcounter"));
  EXPECT_EQ(PerfCount_HowManyTicksPassed(&mark), 0);
  EXPECT_TRUE(HasAssertion(
      "PerfCount_HowManyTicksPassed() is called while performance counter is not available",
      "perfcounter"));
}

TEST(TimingRealClock, DelayWaitsAtLeastTheTime) {
  ResetTiming();
  const std::uint32_t t0 = platform::timeGetTime();
  Delay(12);
  EXPECT_GE(platform::timeGetTime() - t0, 12u);
  EXPECT_EQ(ResolutionUsers(), 0);
}

}  // namespace
}  // namespace tsm::daq
