// Millisecond clock, high-resolution counter and sleep, in the shape the
// timing code was designed around (timeGetTime, QueryPerformanceCounter,
// Sleep). The clock is replaceable so tests can run a fake one and observe
// how long a wait slept and how long it spun.
#pragma once

#include <cstdint>

namespace tsm::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint32_t Milliseconds() = 0;          // wraps after ~49 days
  virtual bool Counter(std::int64_t* ticks) = 0;     // false: no counter
  virtual bool CounterFrequency(std::int64_t* ticksPerSecond) = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// The steady-clock implementation used by the program.
Clock& SystemClock();
// The clock in use; SetClock(nullptr) restores the system clock.
Clock& GetClock();
void SetClock(Clock* clock);

std::uint32_t timeGetTime();
bool QueryPerformanceCounter(std::int64_t* ticks);
bool QueryPerformanceFrequency(std::int64_t* ticksPerSecond);
void Sleep(std::uint32_t milliseconds);

// Timer-resolution requests. Linux needs none, so these only count; the
// count lets the timing code keep its nesting check. Return 0 (TIMERR_NOERROR).
unsigned timeBeginPeriod(unsigned milliseconds);
unsigned timeEndPeriod(unsigned milliseconds);
int TimerPeriodDepth();

}  // namespace tsm::platform
