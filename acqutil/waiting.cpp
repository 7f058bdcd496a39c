// The waiting helpers of the library: a busy delay, a wait for a key and a
// yield that does nothing.
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "acqutil/acqutil.h"
#include "platform/clock.h"

namespace {

// Longest single poll while waiting for a key, so the time limit is kept.
constexpr int kPollSliceMs = 20;

using SteadyClock = std::chrono::steady_clock;

double SecondsSince(SteadyClock::time_point start) {
  return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// Waits for a byte on a terminal standard input, read without waiting for
// Enter and without echo; the terminal's settings are restored afterwards.
void WaitForTerminalKey(double seconds) {
  termios saved{};
  const bool raw = ::tcgetattr(STDIN_FILENO, &saved) == 0;
  if (raw) {
    termios keys = saved;
    keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    keys.c_cc[VMIN] = 0;
    keys.c_cc[VTIME] = 0;
    ::tcsetattr(STDIN_FILENO, TCSANOW, &keys);
  }
  const auto start = SteadyClock::now();
  for (;;) {
    int slice = kPollSliceMs;
    if (seconds > 0) {
      const double left = seconds - SecondsSince(start);
      if (left <= 0) break;
      if (left * 1000.0 < slice) slice = static_cast<int>(std::ceil(left * 1000.0));
    }
    pollfd fd{STDIN_FILENO, POLLIN, 0};
    const int ready = ::poll(&fd, 1, slice);
    if (ready > 0 && (fd.revents & POLLIN)) {
      // One key may arrive as several bytes (cursor keys): take them all.
      char bytes[32];
      if (::read(STDIN_FILENO, bytes, sizeof bytes) < 0) {
        // nothing to take after all; the key still ends the wait
      }
      break;
    }
    if (ready > 0 && (fd.revents & (POLLHUP | POLLERR | POLLNVAL))) {
      if (seconds <= 0) break;  // no key can come any more
      ::usleep(static_cast<useconds_t>(slice) * 1000);
    }
  }
  if (raw) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

}  // namespace

extern "C" int16_t ZentraDelay(double seconds) {
  if (!(seconds > 0)) return 0;
  using namespace tsm::platform;
  std::int64_t start = 0, frequency = 0, now = 0;
  if (QueryPerformanceFrequency(&frequency) && frequency > 0 && QueryPerformanceCounter(&start)) {
    do {
      if (!QueryPerformanceCounter(&now)) break;
    } while (static_cast<double>(now - start) / static_cast<double>(frequency) < seconds);
    return 0;
  }
  const std::uint32_t begin = timeGetTime();
  while ((timeGetTime() - begin) / 1000.0 < seconds) {
  }
  return 0;
}

extern "C" int16_t ZentraWaitForKey(double seconds) {
  if (std::isnan(seconds)) return 0;
  if (::isatty(STDIN_FILENO)) {
    WaitForTerminalKey(seconds);
    return 0;
  }
  // No terminal, so no key can come: wait the time only.
  if (seconds > 0) {
    const auto start = SteadyClock::now();
    double left;
    while ((left = seconds - SecondsSince(start)) > 0)
      ::usleep(static_cast<useconds_t>(std::min(left, 0.1) * 1e6) + 1);
  }
  return 0;
}

extern "C" int16_t ZentraYield(int16_t) { return 0; }
