#include "daq/perfcounter.h"

#include <atomic>

#include "daq/timing.h"
#include "platform/assert.h"
#include "platform/clock.h"

namespace tsm::daq {

namespace {

constexpr const char* kSource = "perfcounter";

struct PerfCounterState {
  std::atomic<TickMark> sharedMark{0};
};

PerfCounterState& State() {
  static PerfCounterState state;
  return state;
}

TickMark MarkOf(const TickMark* mark) { return mark ? *mark : State().sharedMark.load(); }

}  // namespace

bool PerfCount_Mark(TickMark* mark) {
  std::int64_t now = 0;
  if (!platform::QueryPerformanceCounter(&now)) return false;
  if (mark)
    *mark = now;
  else
    State().sharedMark.store(now);
  return true;
}

int PerfCount_WaitTicks(const TickMark* mark, std::int64_t n) {
  const TickMark start = MarkOf(mark);
  std::int64_t now = 0;
  do {
    if (!platform::QueryPerformanceCounter(&now)) return 0;
  } while (now - start < n && !WaitAborted());
  return 1;
}

bool PerfCount_IsIncBy(const TickMark* mark, std::int64_t n) {
  std::int64_t now = 0;
  if (!platform::QueryPerformanceCounter(&now)) {
    platform::ReportAssertion(
        "PerfCount_IsIncBy() is called while performance counter is not available", kSource,
        __LINE__);
    return true;
  }
  return now - MarkOf(mark) >= n;
}

std::int64_t PerfCount_HowManyTicksPassed(const TickMark* mark) {
  std::int64_t now = 0;
  if (!platform::QueryPerformanceCounter(&now)) {
    platform::ReportAssertion(
        "PerfCount_HowManyTicksPassed() is called while performance counter is not available",
        kSource, __LINE__);
    return 0;
  }
  return now - MarkOf(mark);
}

bool PerfCount_Frequency(std::int64_t* ticksPerSecond) {
  return platform::QueryPerformanceFrequency(ticksPerSecond);
}

void ResetPerfCounter() { State().sharedMark.store(0); }

}  // namespace tsm::daq
