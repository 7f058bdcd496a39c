// The high-resolution tick counter (platform::QueryPerformanceCounter):
// marks, busy waits of a number of ticks and tick differences, for the fast
// acquisitions that need more than millisecond resolution.
#pragma once

#include <cstdint>

namespace tsm::daq {

using TickMark = std::int64_t;

// The functions take the caller's mark, or one shared global mark when given
// none.
//
// Stores the present counter; false (and the mark untouched) without one.
bool PerfCount_Mark(TickMark* mark = nullptr);
// Busy-waits until the counter has gone n ticks past the mark. Returns 0 when
// the counter cannot be read, else 1.
int PerfCount_WaitTicks(const TickMark* mark, std::int64_t n);
// Whether the counter has increased by at least n since the mark. Without a
// counter it is a program error and the answer is true, so a caller that
// waits on it does not wait forever.
bool PerfCount_IsIncBy(const TickMark* mark, std::int64_t n);
// Ticks since the mark; without a counter a program error and 0.
std::int64_t PerfCount_HowManyTicksPassed(const TickMark* mark = nullptr);
// Ticks per second, for callers that convert ticks to seconds.
bool PerfCount_Frequency(std::int64_t* ticksPerSecond);
// Forgets the shared mark.
void ResetPerfCounter();

}  // namespace tsm::daq
