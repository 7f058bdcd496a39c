// A speed target timed against its anchor in the same iterations, so that
// both see the same machine. Each is timed by the wall clock and by the
// thread's processor time (which a busy machine disturbs much less), and
// reported as counters: the anchor's mean time and the ratios of the means,
// by the wall clock and by processor time.
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <string>

namespace tsm::bench {

// A moment by both clocks.
struct Moment {
  double wall, cpu;  // seconds
  static Moment Now() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    const auto wall = std::chrono::steady_clock::now().time_since_epoch();
    return {std::chrono::duration<double>(wall).count(), t.tv_sec + 1e-9 * t.tv_nsec};
  }
};

class Anchored {
 public:
  // One iteration: the target ran from a to b, the anchor from c to d.
  // Returns the target's wall-clock seconds (the iteration's time).
  double Add(const Moment& a, const Moment& b, const Moment& c, const Moment& d) {
    target_ += b.wall - a.wall;
    anchor_ += d.wall - c.wall;
    targetCpu_ += b.cpu - a.cpu;
    anchorCpu_ += d.cpu - c.cpu;
    ++count_;
    return b.wall - a.wall;
  }
  // <name>_ms, ratio_<name> (wall clock), ratio_<name>_cpu.
  void Report(benchmark::State& state, const std::string& name) const {
    if (count_ == 0 || anchor_ <= 0 || anchorCpu_ <= 0) return;
    state.counters[name + "_ms"] = 1e3 * anchor_ / count_;
    state.counters["ratio_" + name] = target_ / anchor_;
    state.counters["ratio_" + name + "_cpu"] = targetCpu_ / anchorCpu_;
  }

 private:
  double target_ = 0, anchor_ = 0, targetCpu_ = 0, anchorCpu_ = 0;
  int count_ = 0;
};

}  // namespace tsm::bench
