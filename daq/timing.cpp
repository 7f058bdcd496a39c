#include "daq/timing.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "platform/assert.h"
#include "platform/clock.h"

namespace tsm::daq {

namespace {

constexpr const char* kSource = "timing";

// The worker and the UI thread both start and stop stopwatches: the count
// and the first/last period calls change together under the lock.
struct TimingState {
  std::mutex mutex;
  int users = 0;
  std::atomic<TimeMark> sharedMark{0};
};

TimingState& State() {
  static TimingState state;
  return state;
}

// The flag the waits of this thread watch (null: none).
thread_local const std::atomic<int>* abortFlag = nullptr;

TimeMark MarkOf(const TimeMark* mark) {
  return mark ? *mark : State().sharedMark.load(std::memory_order_relaxed);
}

void AddUser() {
  auto& st = State();
  std::lock_guard lock(st.mutex);
  if (st.users == 0) {
    const unsigned beginPeriodResult = platform::timeBeginPeriod(1);
    TSM_ASSERT(beginPeriodResult == 0, kSource);
  }
  const int resolutionUsers = ++st.users;
  TSM_ASSERT(resolutionUsers <= kMaxResolutionUsers, kSource);
}

void RemoveUser() {
  auto& st = State();
  std::lock_guard lock(st.mutex);
  const int resolutionUsers = st.users;
  if (!TSM_ASSERT(resolutionUsers > 0, kSource)) return;
  if (--st.users == 0) {
    const unsigned endPeriodResult = platform::timeEndPeriod(1);
    TSM_ASSERT(endPeriodResult == 0, kSource);
  }
}

}  // namespace

TimeMark Stopwatch_Start(TimeMark* mark) {
  AddUser();
  const TimeMark now = platform::timeGetTime();
  if (mark)
    *mark = now;
  else
    State().sharedMark.store(now, std::memory_order_relaxed);
  return now;
}

WaitAbortScope::WaitAbortScope(const std::atomic<int>& flag) : previous_(abortFlag) {
  abortFlag = &flag;
}

WaitAbortScope::~WaitAbortScope() { abortFlag = previous_; }

bool WaitAborted() {
  const std::atomic<int>* flag = abortFlag;
  return flag && flag->load(std::memory_order_acquire) != 0;
}

std::uint32_t Stopwatch_WaitUntil(const TimeMark* mark, std::uint32_t ms) {
  const TimeMark start = MarkOf(mark);
  std::uint32_t now = platform::timeGetTime();
  if (now - start >= ms) return now;
  // Sleep the bulk in slices, so that a stop is seen while sleeping, then
  // spin the rest for accuracy.
  for (;;) {
    if (WaitAborted()) return now;
    const std::uint32_t remaining = ms - (now - start);
    if (remaining <= kSleepThreshold) break;
    platform::Sleep(std::min(remaining - kSleepMargin, kWaitSlice));
    now = platform::timeGetTime();
    if (now - start >= ms) return now;
  }
  do {
    now = platform::timeGetTime();
  } while (now - start < ms && !WaitAborted());
  return now;
}

void Stopwatch_Stop() { RemoveUser(); }

std::uint32_t Stopwatch_Elapsed(const TimeMark* mark) {
  return platform::timeGetTime() - MarkOf(mark);
}

std::uint32_t Stopwatch_ElapsedAndStop(const TimeMark* mark) {
  const std::uint32_t elapsed = Stopwatch_Elapsed(mark);
  Stopwatch_Stop();
  return elapsed;
}

bool Stopwatch_HasPassed(const TimeMark* mark, std::uint32_t ms) {
  return Stopwatch_Elapsed(mark) >= ms;
}

bool Stopwatch_HasPassedAndStop(const TimeMark* mark, std::uint32_t ms) {
  if (!Stopwatch_HasPassed(mark, ms)) return false;
  Stopwatch_Stop();
  return true;
}

void Delay(std::uint32_t ms) {
  if (ms == 0) return;
  TimeMark mark = 0;
  Stopwatch_Start(&mark);
  Stopwatch_WaitUntil(&mark, ms);
  Stopwatch_Stop();
}

int ResolutionUsers() {
  auto& st = State();
  std::lock_guard lock(st.mutex);
  return st.users;
}

void ResetTiming() {
  auto& st = State();
  std::lock_guard lock(st.mutex);
  if (st.users > 0) platform::timeEndPeriod(1);
  st.users = 0;
  st.sharedMark.store(0);
}

Stopwatch::Stopwatch(bool started) {
  if (started)
    Restart();
  else
    mark_ = platform::timeGetTime();
}

Stopwatch::~Stopwatch() {
  if (running_) Stopwatch_Stop();
}

TimeMark Stopwatch::Restart() {
  if (running_) {
    mark_ = platform::timeGetTime();
  } else {
    Stopwatch_Start(&mark_);
    running_ = true;
  }
  return mark_;
}

bool Stopwatch::CheckRunning(int line) const {
  if (running_) return true;
  platform::ReportAssertion("running", kSource, line);
  return false;
}

void Stopwatch::Stop() {
  if (!CheckRunning(__LINE__)) return;
  running_ = false;
  Stopwatch_Stop();
}

std::uint32_t Stopwatch::WaitUntil(std::uint32_t ms) {
  CheckRunning(__LINE__);
  return Stopwatch_WaitUntil(&mark_, ms);
}

bool Stopwatch::HasPassed(std::uint32_t ms) {
  CheckRunning(__LINE__);
  return Stopwatch_HasPassed(&mark_, ms);
}

std::uint32_t Stopwatch::Elapsed() {
  CheckRunning(__LINE__);
  return Stopwatch_Elapsed(&mark_);
}

}  // namespace tsm::daq
