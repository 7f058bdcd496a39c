// The measurement worker and the display's refresh read through the same
// routines at the same time; run under ThreadSanitizer by test-extra.sh.
#include <atomic>
#include <chrono>
#include <thread>

#include "tests/channels/channels_fixture.h"

namespace tsm::testing {
namespace {

using namespace tsm::channels;

class ChannelThreadsTest : public ChannelsTest {
 protected:
  ChannelThreadsTest() {
    DefineCurrent(0, kPlusSweep1, 0, 0, 1000.0f);
    DefineCurrent(1, kMinusSweep1, 0, 1, 1000.0f);
    DefineVoltage(0, kPositive, 0, 1);
    DefineVoltage(1, kNegative, 1, 3);
    GetAveragingSettings().voltageSamples = 50;
    GetAveragingSettings().voltageTrim = 5;
    ResizeAveragingArray();
  }
};

TEST_F(ChannelThreadsTest, WorkerAndRefreshShareTheChannels) {
  std::atomic<bool> done{false}, refreshing{false};
  std::thread worker([&] {
    while (!refreshing) std::this_thread::yield();
    for (int k = 0; k < 60; ++k) {
      SetCurrentCode(0, static_cast<std::uint16_t>(k % 2 ? 60000 : 30000));
      MeasureVoltage(0);
      MeasureVoltageZeroed(1);
      if (k % 20 == 0) ZeroWithSweepCurrent();
    }
    done = true;
  });
  int refreshes = 0;
  while (!done) {
    refreshing = true;
    TryMeasureVoltageZeroed(0);
    TryMeasureVoltageZeroed(1);
    TryCurrentAmperes(0);
    const std::uint16_t plus = PresentCode(0), minus = PresentCode(1);
    EXPECT_LE(plus, 65535);
    EXPECT_LE(minus, 65535);
    (void)GetVoltageZero(0);
    (void)GetCurrent(1);
    ++refreshes;
  }
  worker.join();
  EXPECT_GT(refreshes, 0);
  EXPECT_EQ(PresentCode(0), 60000);
  EXPECT_EQ(PresentCode(1), 65535 - 60000);
}

TEST_F(ChannelThreadsTest, RefreshDoesNotWaitBehindABusyDriver) {
  const VoltageReading measured = MeasureVoltage(0);
  std::atomic<bool> locked{false}, release{false};
  std::thread worker([&] {
    std::lock_guard lock(daq::DriverMutex());  // a long average in progress
    locked = true;
    while (!release) std::this_thread::yield();
  });
  while (!locked) std::this_thread::yield();
  bool fresh = true;
  const VoltageReading shown = TryMeasureVoltageZeroed(0, &fresh);
  // A current without monitor needs no driver: it follows its code at once.
  bool currentFresh = false;
  const double amperes = TryCurrentAmperes(0, &currentFresh);
  release = true;
  worker.join();
  EXPECT_FALSE(fresh);
  EXPECT_TRUE(currentFresh);
  EXPECT_EQ(amperes, CurrentFromValue(0, PresentCode(0)));
  EXPECT_EQ(shown.mean, measured.mean);
  EXPECT_EQ(shown.volts, measured.volts);
  // With the driver free again the refresh measures itself.
  TryMeasureVoltageZeroed(0, &fresh);
  EXPECT_TRUE(fresh);
}

}  // namespace
}  // namespace tsm::testing
