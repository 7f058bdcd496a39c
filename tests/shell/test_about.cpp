// The About box: version texts, the machine's description from /proc texts,
// the 10 ms timer statistics, and the dialog with and without a counter.
#include "shell/about.h"

#include "platform/clock.h"
#include "shell/version.h"
#include "tests/support/test_support.h"

namespace tsm::shell {
namespace {

TEST(Version, LongAndShortForms) {
  EXPECT_EQ(LongVersionText(), "Tesmira v 3.32 beta (build 122)");
  EXPECT_EQ(ShortVersionText(), "v3.32beta build 122");
}

TEST(SysInfo, OperatingSystemText) {
  OsInfo info{true, "Linux", 6, 1, "6.1.0-18-amd64"};
  EXPECT_EQ(OsVersionText(info), "Linux 6.1, 6.1.0-18-amd64");
  EXPECT_EQ(OsVersionText(OsInfo{}), "Can't get OS version");
  const OsInfo real = QueryOsInfo();
  EXPECT_TRUE(real.ok);
  EXPECT_FALSE(real.name.empty());
}

TEST(SysInfo, ProcessorText) {
  const std::string one =
      "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 5\nmodel\t\t: 2\n"
      "model name\t: Intel Pentium\nstepping\t: 12\n\n";
  EXPECT_EQ(CpuText(one), "1 CPU Intel Pentium, model 2, stepping 12");
  const std::string two = one + "processor\t: 1\nmodel\t\t: 2\nmodel name\t: Intel Pentium\n";
  EXPECT_EQ(CpuText(two), "2 CPUs Intel Pentium, model 2, stepping 12");
  EXPECT_EQ(CpuText("processor : 0\nprocessor : 1\n"), "2 CPUs unknown CPU");
  EXPECT_EQ(CpuText(""), "Undetectable CPU(s) type");
}

TEST(SysInfo, MemoryLines) {
  const MemoryInfo m = MemoryFromMeminfo(
      "MemTotal:       16000000 kB\nMemFree:         1000000 kB\nMemAvailable:    4000000 kB\n");
  ASSERT_TRUE(m.ok);
  EXPECT_EQ(FreeMemoryText(m), "Free Memory: 4000000 kB of 16000000 kB");
  EXPECT_EQ(MemoryLoadText(m), "Memory Load: 75%");
  // Old kernels: free + buffers + cached.
  const MemoryInfo old = MemoryFromMeminfo(
      "MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 350 kB\n");
  EXPECT_EQ(old.availableKb, 500u);
  EXPECT_EQ(old.load, 50);
  EXPECT_FALSE(MemoryFromMeminfo("garbage").ok);
  EXPECT_TRUE(QueryMemory().ok);
}

TEST(SysInfo, TimerStatisticsReportAfterFiftyIntervals) {
  EXPECT_EQ(TimerHeadingText(), "10 ms timer statistics for 50 samples");
  TimerStatistics stats;
  const std::int64_t frequency = 1000000;  // 1 tick = 1 us
  std::int64_t now = 5000;
  std::optional<std::string> report;
  for (int tick = 0; tick <= 50; ++tick) {
    report = stats.Tick(now, frequency);
    if (tick < 50) {
      EXPECT_FALSE(report) << tick;
    }
    now += (tick == 10) ? 15000 : (tick == 20 ? 9000 : 10000);
  }
  ASSERT_TRUE(report);
  // 48 x 10000 + 15000 + 9000 = 504000 over 50 intervals.
  EXPECT_EQ(*report, "Average: 10080 us, min: 9000 us, max: 15000 us");
  EXPECT_EQ(stats.Ticks(), 0u);
  EXPECT_FALSE(stats.Tick(now, frequency));  // a new round starts
}

// A clock without a high-resolution counter.
class NoCounterClock : public platform::Clock {
 public:
  std::uint32_t Milliseconds() override { return 0; }
  bool Counter(std::int64_t*) override { return false; }
  bool CounterFrequency(std::int64_t*) override { return false; }
  void Sleep(std::uint32_t) override {}
};

class AboutTest : public testing::UiTest {};

TEST_F(AboutTest, ShowsTheMachineAndRunsATenMillisecondTimer) {
  AboutDialog about;
  about.Init();
  EXPECT_EQ(about.GetText(kAboutVersion), "Tesmira v 3.32 beta (build 122)");
  EXPECT_EQ(about.GetText(kAboutTimerHeading), "10 ms timer statistics for 50 samples");
  EXPECT_NE(about.GetText(kAboutCpu).find("CPU"), std::string::npos);
  EXPECT_EQ(about.GetText(kAboutCounter).rfind("High precision counter frequency: ", 0), 0u);
  EXPECT_EQ(about.GetText(kAboutFreeMemory).rfind("Free Memory: ", 0), 0u);
  const auto timers = ui->CallsOf(platform::UiCall::Kind::TimerStart);
  ASSERT_EQ(timers.size(), 1u);
  EXPECT_EQ(timers[0].type, 10u);
  for (int i = 0; i < 51; ++i) ui->FireTimers();
  EXPECT_EQ(about.GetText(kAboutTimerStatistics).rfind("Average: ", 0), 0u);
  about.Command(platform::IDOK);
  EXPECT_TRUE(about.Ended());
  EXPECT_EQ(about.Result(), 0);
  EXPECT_EQ(ui->LiveTimers(), 0u);
}

TEST_F(AboutTest, WithoutACounterNoFrequencyLineAndTheInitialStatistics) {
  NoCounterClock clock;
  platform::SetClock(&clock);
  {
    AboutDialog about;
    about.Init();
    const std::string initial = about.GetText(kAboutTimerStatistics);
    EXPECT_FALSE(about.IsVisible(kAboutCounter));
    EXPECT_EQ(about.GetText(kAboutCounter), "");
    for (int i = 0; i < 60; ++i) ui->FireTimers();
    EXPECT_EQ(about.GetText(kAboutTimerStatistics), initial);
    about.Close();
    EXPECT_TRUE(about.Ended());
  }
  platform::SetClock(nullptr);
  EXPECT_EQ(ui->LiveTimers(), 0u);
}

}  // namespace
}  // namespace tsm::shell
