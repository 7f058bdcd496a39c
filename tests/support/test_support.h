// Shared helpers of the unit tests: a headless-Ui fixture and a temporary
// folder that removes itself.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
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

// Installs a fresh headless Ui and clears the assertion record.
class UiTest : public ::testing::Test {
 protected:
  UiTest() { platform::ClearAssertions(); }
  platform::ScopedHeadlessUi ui;
};

}  // namespace tsm::testing
