#include "platform/assert.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace tsm::platform {

namespace {
struct AssertState {
  std::mutex mutex;
  std::vector<AssertionReport> reports;
  std::atomic<bool> echo{true};
};
AssertState& State() {
  static AssertState state;
  return state;
}
}  // namespace

void ReportAssertion(const std::string& expression, const std::string& source, int line) {
  auto& s = State();
  {
    std::lock_guard lock(s.mutex);
    // Keep the record bounded: a loop that keeps failing must not eat memory.
    if (s.reports.size() < 10000) s.reports.push_back({expression, source, line});
  }
  if (s.echo.load())
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression.c_str(),
                 source.c_str(), line);
}

std::vector<AssertionReport> Assertions() {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  return s.reports;
}

void ClearAssertions() {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  s.reports.clear();
}

bool HasAssertion(const std::string& expression, const std::string& source) {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  for (const auto& r : s.reports)
    if (r.expression == expression && (source.empty() || r.source == source)) return true;
  return false;
}

void SetAssertionEcho(bool echo) { State().echo.store(echo); }

}  // namespace tsm::platform
