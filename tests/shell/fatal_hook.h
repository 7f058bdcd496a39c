// A fatal hook for tests: FatalLog throws FatalExit instead of ending the
// process, so a test can check the exit code and the message.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "shell/errors.h"

namespace tsm::shell::testing {

struct FatalExit {
  int code;
  std::string text;
};

inline void ThrowingHook(int code, const std::string& text) { throw FatalExit{code, text}; }

// Installs the hook for the lifetime of a test.
class FatalTest : public ::testing::Test {
 protected:
  FatalTest() { SetFatalHook(&ThrowingHook); }
  ~FatalTest() override { SetFatalHook(nullptr); }
};

// Runs fn, expecting FatalLog with this code and text.
template <typename Fn>
::testing::AssertionResult Fatal(Fn fn, int code, const std::string& text) {
  try {
    fn();
  } catch (const FatalExit& e) {
    if (e.code == code && e.text == text) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "exit " << e.code << " \"" << e.text << "\"";
  }
  return ::testing::AssertionFailure() << "no fatal exit";
}

}  // namespace tsm::shell::testing
