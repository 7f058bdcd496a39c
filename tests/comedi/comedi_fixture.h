// Fixture of the real-card backend's tests: a fake comedi device at
// /dev/comedi0 (slot 1, nothing at the other slots), the backend over it
// installed as the program's driver, empty card tables, a headless Ui.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "daq/comedi/comedi_driver.h"
#include "tests/daq/daq_fixture.h"
#include "tests/support/fake_comedi.h"

namespace tsm::testing {

// What detection writes for the fake device with no "zentra.ini": 8 inputs
// of 16 bits with +-10 V at gain 1 and +-5 V at gain 2, 8 outputs of
// 16 bits over +-10 V. The type code stands for "comedi_test/comedi_test";
// users name their cards in "zentra.ini" by it, so it must never change.
inline constexpr const char* kFakeComediInventory =
    "Zentra version 074C detected.\n"
    "Slot #01: Card-ID:2540046408, Name:2540046408\n"
    "  Number of gains:2 (1,2) Scale:Lin (Source:autodetection, zentra.ini is "
    "wrong/incomplete)\n"
    "  ADC:   8 channels, Reading=[0, 32768, 65535], ADC Voltage=[-10.000000, 10.000000] "
    "(Source: autodetection, zentra.ini has the same data or nothing)\n"
    "  DAC:   8 channels, Reading=[0,32768,65535], DAC Voltage=[-10.000000,10.000000]\n";

// The backend's own lines about the fake device, after the inventory.
inline constexpr const char* kFakeComediDeviceLines =
    "comedi: slot 1 is /dev/comedi0, board comedi_test (driver comedi_test), "
    "Card-ID:2540046408\n"
    "  analogue inputs: 8 channels, 16 bits, -10..10 V, -5..5 V; timed\n"
    "  analogue outputs: 8 channels, 16 bits, -10..10 V; timed\n";

class ComediTest : public DaqTest {
 protected:
  ComediTest() {
    fake = library->AddDevice("/dev/comedi0");
    driver = std::make_unique<daq::comedi::ComediDriver>(std::move(library),
                                                         [this] { return settlingMs; });
    daq::SetDriver(driver.get());
  }
  ~ComediTest() override { daq::SetDriver(nullptr); }

  // Waits (at most 5 s) until the condition holds.
  static bool Eventually(const std::function<bool()>& condition) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
      if (std::chrono::steady_clock::now() >= until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }

  std::unique_ptr<FakeComediLibrary> library = std::make_unique<FakeComediLibrary>();
  FakeComediDevice* fake = nullptr;
  std::uint32_t settlingMs = 0;
  std::unique_ptr<daq::comedi::ComediDriver> driver;
};

}  // namespace tsm::testing
