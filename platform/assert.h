// Assertion reporter for program errors (violated preconditions, impossible
// switch values). It records the expression text, source name and line,
// writes one line to standard error and lets the program continue; tests read
// the record to see that a given report happened.
#pragma once

#include <string>
#include <vector>

namespace tsm::platform {

struct AssertionReport {
  std::string expression;
  std::string source;  // the module's source name, e.g. "curve", "setupdlg"
  int line = 0;
};

void ReportAssertion(const std::string& expression, const std::string& source, int line);
std::vector<AssertionReport> Assertions();
void ClearAssertions();
// Whether some report with this expression (and source, when not empty) exists.
bool HasAssertion(const std::string& expression, const std::string& source = {});
// Silences the standard-error line (tests that provoke reports on purpose).
void SetAssertionEcho(bool echo);

}  // namespace tsm::platform

// TSM_ASSERT(condition, "source"): reports "condition" when it is false and
// evaluates to the condition's truth value, so callers can bail out.
#define TSM_ASSERT(cond, source) \
  ((cond) ? true : (::tsm::platform::ReportAssertion(#cond, (source), __LINE__), false))
