// Shared helpers of the unit tests: a headless-Ui fixture, a temporary
// folder that removes itself, FIFOs and a guard for calls that could hang.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/assert.h"
#include "platform/headless_ui.h"

namespace tsm::testing {

// A folder under the system's temporary directory, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  // Path of a file inside the folder, as a string.
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Writes a file inside the folder and returns its path.
  std::string Write(const std::string& name, const std::string& content) const;
  static std::string Read(const std::string& path);

 private:
  std::filesystem::path path_;
};

// Makes a FIFO (named pipe) at the path. A reader that opens it blocking
// waits for a writer; UnblockFifo plays that writer once, opening and
// closing it, so a blocked reader goes on and reads nothing.
void MakeFifo(const std::string& path);
void UnblockFifo(const std::string& path);

// Runs `work` on a thread of its own and tells whether it returned within
// the limit. When it did not, `unblock` is called until it returns, so a
// test of a hang fails instead of hanging.
bool ReturnsWithin(std::chrono::milliseconds limit, const std::function<void()>& work,
                   const std::function<void()>& unblock);

// Installs a fresh headless Ui and clears the assertion record.
class UiTest : public ::testing::Test {
 protected:
  UiTest() { platform::ClearAssertions(); }
  platform::ScopedHeadlessUi ui;
};

}  // namespace tsm::testing
