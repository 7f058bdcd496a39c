// Fixture of the acquisition tests: the built-in emulated driver from its
// starting state, empty card tables and a fresh headless Ui.
#pragma once

#include "daq/cards.h"
#include "daq/driver.h"
#include "daq/emulated_driver.h"
#include "platform/profile.h"
#include "tests/support/test_support.h"

namespace tsm::testing {

class DaqTest : public UiTest {
 protected:
  DaqTest() { Clean(); }
  ~DaqTest() override { Clean(); }

  static void Clean() {
    daq::SetDriver(nullptr);
    daq::DefaultEmulatedDriver().Reset(1);
    daq::ResetCards();
    platform::ProfileCacheClear();
  }

  // Detects with the card files of `dir`, returning the flags.
  std::uint16_t Detect(const TempDir& dir) {
    return daq::DetectCards(report, daq::kInventoryCapacity, dir.Path().string() + "/");
  }

  size_t Beeps() { return ui->CallsOf(platform::UiCall::Kind::Beep).size(); }

  std::string report;
};

}  // namespace tsm::testing
