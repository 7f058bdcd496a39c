#include "platform/headless_ui.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace tsm::platform {
namespace {

TEST(HeadlessUi, MessageBoxesAnswerWithTheDefaultButton) {
  HeadlessUi ui;
  EXPECT_EQ(ui.MessageBox(nullptr, "t", "c", MB_OK), IDOK);
  EXPECT_EQ(ui.MessageBox(nullptr, "t", "c", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(ui.MessageBox(nullptr, "t", "c", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(ui.MessageBox(nullptr, "t", "c", MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
  EXPECT_EQ(ui.MessageBox(nullptr, "t", "c", MB_ABORTRETRYIGNORE | MB_DEFBUTTON2), IDRETRY);
  // A default button past the set falls back to the first button.
  EXPECT_EQ(ui.MessageBox(nullptr, "t", "c", MB_YESNO | MB_DEFBUTTON3), IDYES);
  EXPECT_EQ(ui.MessageBox(nullptr, "t", "c", MB_RETRYCANCEL), IDRETRY);
  // Scripted answers come first, in order.
  ui.PushAnswer(IDCANCEL);
  ui.PushAnswer(IDNO);
  EXPECT_EQ(ui.MessageBox(nullptr, "a", "c", MB_YESNOCANCEL), IDCANCEL);
  EXPECT_EQ(ui.MessageBox(nullptr, "b", "c", MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(ui.MessageBox(nullptr, "c", "c", MB_YESNOCANCEL), IDYES);
  const auto boxes = ui.MessageBoxes();
  ASSERT_EQ(boxes.size(), 10u);
  EXPECT_EQ(boxes[7].text, "a");
  EXPECT_EQ(boxes[7].answer, IDCANCEL);
  EXPECT_EQ(boxes[2].type, MB_YESNOCANCEL | MB_DEFBUTTON2);
}

TEST(HeadlessUi, ChoosersAreCancelledAndModalsConfirmedByDefault) {
  HeadlessUi ui;
  FileDialogResult open = ui.GetOpenFileName({});
  EXPECT_FALSE(open.ok);
  EXPECT_EQ(open.errorCode, 0u);
  FontChoice font;
  EXPECT_FALSE(ui.ChooseFont(font).ok);
  std::uint32_t color = 0x123456;
  EXPECT_FALSE(ui.ChooseColor(color));
  EXPECT_EQ(color, 0x123456u);
  ui.PushFile("/tmp/a.dat");
  FileDialogResult save = ui.GetSaveFileName({});
  EXPECT_TRUE(save.ok);
  EXPECT_EQ(save.path, "/tmp/a.dat");
  DialogModel dialog(100, "Options");
  EXPECT_EQ(ui.RunModal(dialog, nullptr), IDOK);
}

TEST(HeadlessUi, BusyCursorNestsAndTimersFireOnlyWhenAsked) {
  HeadlessUi ui;
  ui.BeginBusyCursor();
  ui.BeginBusyCursor();
  ui.EndBusyCursor();
  EXPECT_EQ(ui.BusyDepth(), 1);
  ui.EndBusyCursor();
  ui.EndBusyCursor();  // one too many does not go below zero
  EXPECT_EQ(ui.BusyDepth(), 0);

  int oneShot = 0, periodic = 0;
  ui.StartTimer(250, false, [&] { ++oneShot; });
  const TimerId p = ui.StartTimer(1000, true, [&] { ++periodic; });
  EXPECT_EQ(oneShot + periodic, 0);
  ui.FireTimers();
  ui.FireTimers();
  EXPECT_EQ(oneShot, 1);
  EXPECT_EQ(periodic, 2);
  ui.StopTimer(p);
  EXPECT_EQ(ui.LiveTimers(), 0u);
  ui.SetTimersFail(true);
  EXPECT_EQ(ui.StartTimer(10, true, [] {}), 0u);
}

TEST(Clock, TimerPeriodRequestsAreCounted) {
  const int before = TimerPeriodDepth();
  EXPECT_EQ(timeBeginPeriod(1), 0u);
  EXPECT_EQ(timeBeginPeriod(1), 0u);
  EXPECT_EQ(TimerPeriodDepth(), before + 2);
  EXPECT_EQ(timeEndPeriod(1), 0u);
  EXPECT_EQ(timeEndPeriod(1), 0u);
  EXPECT_EQ(TimerPeriodDepth(), before);
}

class StoppedClock : public Clock {
 public:
  std::uint32_t Milliseconds() override { return now; }
  bool Counter(std::int64_t*) override { return false; }
  bool CounterFrequency(std::int64_t*) override { return false; }
  void Sleep(std::uint32_t ms) override { now += ms; }
  std::uint32_t now = 0xFFFFFFF0u;
};

TEST(Clock, AReplacementClockServesTheWin32ShapedCalls) {
  StoppedClock fake;
  SetClock(&fake);
  const std::uint32_t t0 = timeGetTime();
  Sleep(32);
  const std::uint32_t t1 = timeGetTime();
  std::int64_t ticks = 0;
  const bool counter = QueryPerformanceCounter(&ticks);
  SetClock(nullptr);
  EXPECT_EQ(t0, 0xFFFFFFF0u);
  EXPECT_EQ(t1, 16u);  // wrapped
  EXPECT_EQ(static_cast<std::uint32_t>(t1 - t0), 32u);
  EXPECT_FALSE(counter);
  EXPECT_TRUE(QueryPerformanceCounter(&ticks));  // the system clock again
  std::int64_t f = 0;
  EXPECT_TRUE(QueryPerformanceFrequency(&f));
  EXPECT_GT(f, 0);
}

}  // namespace
}  // namespace tsm::platform
