// Millisecond stopwatches and the settling delay of the measurements, on the
// multimedia-timer clock (platform::timeGetTime). While at least one
// stopwatch runs the system timer resolution is raised to 1 ms; a wait sleeps
// for the bulk of its time and spins the last 10 ms for accuracy.
#pragma once

#include <atomic>
#include <cstdint>

namespace tsm::daq {

// A start time in milliseconds of timeGetTime (wraps after ~49 days; every
// difference is taken modulo 2^32, so a wrap does not break a wait).
using TimeMark = std::uint32_t;

inline constexpr std::uint32_t kSleepThreshold = 10;  // sleep only when more remains
inline constexpr std::uint32_t kSleepMargin = 10;     // and leave this much to spin
inline constexpr int kMaxResolutionUsers = 5;         // more nested users is a program error

// The functions take the caller's mark, or the one shared global mark when
// given none (the same mark for every such caller on every thread).
//
// Counts one more resolution user (timeBeginPeriod(1) for the first) and
// stores the present time into the mark; returns it.
TimeMark Stopwatch_Start(TimeMark* mark = nullptr);
// Returns at once when ms have passed since the mark, else sleeps
// (remaining - 10) when more than 10 ms remain and then spins on the clock
// until they have. Returns the time read last. The sleep is taken in slices
// of at most kWaitSlice ms, and the wait ends early when WaitAborted().
std::uint32_t Stopwatch_WaitUntil(const TimeMark* mark, std::uint32_t ms);
// Counts one user less (timeEndPeriod(1) for the last). A stop without a
// start is a program error and changes nothing.
void Stopwatch_Stop();
// Milliseconds since the mark; the second form also stops.
std::uint32_t Stopwatch_Elapsed(const TimeMark* mark = nullptr);
std::uint32_t Stopwatch_ElapsedAndStop(const TimeMark* mark = nullptr);
// Elapsed >= ms; the second form also stops when that is so.
bool Stopwatch_HasPassed(const TimeMark* mark, std::uint32_t ms);
bool Stopwatch_HasPassedAndStop(const TimeMark* mark, std::uint32_t ms);

// The settling delay: nothing for 0; else start, wait, stop on a mark of its
// own, so a caller's running stopwatch on the shared mark is not disturbed.
void Delay(std::uint32_t ms);

// --- waits a stop can cut short ------------------------------------------
// While a WaitAbortScope lives on a thread, every wait of that thread
// (Delay, Stopwatch_WaitUntil, Stopwatch::WaitUntil, PerfCount_WaitTicks)
// looks at the scope's flag at least every kWaitSlice ms and returns as soon
// as it is non-zero; once it is set, waits return at once. The measurement
// worker runs every routine inside a scope over the stop flag, so "Stop"
// ends any wait of a routine within kWaitSlice ms, however long the delay
// (a delay key of -1 reads as 4294967295 ms). Waits of other threads (the
// UI thread's AutoZero, the thermometer window) are not affected.
inline constexpr std::uint32_t kWaitSlice = 50;

class WaitAbortScope {
 public:
  explicit WaitAbortScope(const std::atomic<int>& flag);
  ~WaitAbortScope();  // the thread's previous scope applies again
  WaitAbortScope(const WaitAbortScope&) = delete;
  WaitAbortScope& operator=(const WaitAbortScope&) = delete;

 private:
  const std::atomic<int>* previous_;
};

// Whether the calling thread's waits are cut short now (its scope's flag is
// set). A loop that waits for a condition rather than a time checks it.
bool WaitAborted();

// Stopwatches running now (the resolution users).
int ResolutionUsers();
// Forgets every user (ending our resolution request) and the shared mark.
void ResetTiming();

// A stopwatch with its own mark and running flag. It counts as a resolution
// user while it runs and stops itself when destroyed, so Start and Stop stay
// paired on every path. Anything but Restart on a stopwatch that does not run
// is a program error (the answer is then taken from its last start).
class Stopwatch {
 public:
  explicit Stopwatch(bool started = true);
  ~Stopwatch();
  Stopwatch(const Stopwatch&) = delete;
  Stopwatch& operator=(const Stopwatch&) = delete;

  // Starts, or takes a new start time when already running.
  TimeMark Restart();
  void Stop();
  std::uint32_t WaitUntil(std::uint32_t ms);
  bool HasPassed(std::uint32_t ms);
  std::uint32_t Elapsed();
  bool Running() const { return running_; }

 private:
  bool CheckRunning(int line) const;
  TimeMark mark_ = 0;
  bool running_ = false;
};

}  // namespace tsm::daq
