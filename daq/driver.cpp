#include "daq/driver.h"

#include <atomic>

#include "daq/emulated_driver.h"

namespace tsm::daq {

namespace {
// The driver seam's process-wide state: the built-in emulation, the driver
// installed over it (tests, a real driver later) and the callers' mutex.
struct DriverState {
  EmulatedDriver emulated;
  std::atomic<Driver*> installed{nullptr};
  std::mutex mutex;
};
DriverState& State() {
  static DriverState state;
  return state;
}
}  // namespace

Driver& GetDriver() {
  Driver* d = State().installed.load(std::memory_order_acquire);
  return d ? *d : State().emulated;
}

void SetDriver(Driver* driver) { State().installed.store(driver, std::memory_order_release); }

std::mutex& DriverMutex() { return State().mutex; }

EmulatedDriver& DefaultEmulatedDriver() { return State().emulated; }

}  // namespace tsm::daq
