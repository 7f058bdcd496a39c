#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace tsm::platform {

namespace {
class SteadyClock final : public Clock {
 public:
  std::uint32_t Milliseconds() override {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
  bool Counter(std::int64_t* ticks) override {
    using namespace std::chrono;
    if (!ticks) return false;
    *ticks = duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    return true;
  }
  bool CounterFrequency(std::int64_t* ticksPerSecond) override {
    if (!ticksPerSecond) return false;
    *ticksPerSecond = 1000000000;
    return true;
  }
  void Sleep(std::uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

struct ClockState {
  SteadyClock system;
  std::atomic<Clock*> current{nullptr};
  std::atomic<int> periodDepth{0};
};
ClockState& State() {
  static ClockState state;
  return state;
}
}  // namespace

Clock& SystemClock() { return State().system; }

Clock& GetClock() {
  Clock* c = State().current.load(std::memory_order_acquire);
  return c ? *c : State().system;
}

void SetClock(Clock* clock) { State().current.store(clock, std::memory_order_release); }

std::uint32_t timeGetTime() { return GetClock().Milliseconds(); }
bool QueryPerformanceCounter(std::int64_t* ticks) { return GetClock().Counter(ticks); }
bool QueryPerformanceFrequency(std::int64_t* f) { return GetClock().CounterFrequency(f); }
void Sleep(std::uint32_t milliseconds) { GetClock().Sleep(milliseconds); }

unsigned timeBeginPeriod(unsigned) {
  State().periodDepth.fetch_add(1);
  return 0;
}

unsigned timeEndPeriod(unsigned) {
  State().periodDepth.fetch_sub(1);
  return 0;
}

int TimerPeriodDepth() { return State().periodDepth.load(); }

}  // namespace tsm::platform
