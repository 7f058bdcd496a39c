// Fixture of the channel tests: the emulated cards detected (DAC cards 0, 1,
// 2 = slots 3, 4, 7; ADC cards 0, 1 = slots 3, 7), every channel record,
// averaging, AutoZero and measurement option back at program start, and a
// driver that can be scripted on top of the emulation.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <tuple>
#include <vector>

#include "channels/autozero.h"
#include "channels/averaging.h"
#include "channels/measurement_options.h"
#include "channels/virtual_channels.h"
#include "tests/daq/daq_fixture.h"

namespace tsm::testing {

// The emulation with scripted answers: queued Input_Read values (driver
// readings) come first, DAQ_Op can be made to succeed with a buffer pattern,
// and every Output_Write is recorded.
class ScriptedDriver : public daq::EmulatedDriver {
 public:
  daq::DriverStatus Input_Read(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                               std::int16_t* reading) override {
    {
      std::lock_guard lock(mutex);
      ++inputReads;
      if (!readings.empty()) {
        *reading = readings.front();
        readings.pop_front();
        return daq::kStatusOk;
      }
    }
    return EmulatedDriver::Input_Read(slot, channel, gain, reading);
  }
  daq::DriverStatus Output_Write(std::int16_t slot, std::int16_t channel,
                                 std::int16_t code) override {
    {
      std::lock_guard lock(mutex);
      writes.emplace_back(slot, channel, code);
    }
    return EmulatedDriver::Output_Write(slot, channel, code);
  }
  daq::DriverStatus Timeout_Config(std::int16_t, std::int32_t ticks) override {
    lastTimeoutTicks = ticks;
    return timeoutStatus;
  }
  daq::DriverStatus DAQ_Op(std::int16_t, std::int16_t, std::int16_t, std::int16_t* buffer,
                           std::uint32_t count, double rate) override {
    ++daqOps;
    lastDaqCount = count;
    lastRate = rate;
    if (daqStatus < 0) return daqStatus;
    // Word k holds the pattern's value for k, so tests can tell which words
    // were used.
    for (std::uint32_t k = 0; k < count * wordsPerSample; ++k) buffer[k] = pattern(k);
    return daqStatus;
  }

  std::mutex mutex;
  std::deque<std::int16_t> readings;
  std::vector<std::tuple<int, int, int>> writes;  // slot, channel, driver code
  int inputReads = 0;
  daq::DriverStatus timeoutStatus = 0;
  daq::DriverStatus daqStatus = daq::kStatusFailed;
  int daqOps = 0;
  std::uint32_t lastDaqCount = 0;
  double lastRate = 0;
  std::int32_t lastTimeoutTicks = 0;
  std::uint32_t wordsPerSample = 1;
  std::int16_t (*pattern)(std::uint32_t) = [](std::uint32_t k) {
    return static_cast<std::int16_t>(k);
  };
};

class ChannelsTest : public DaqTest {
 protected:
  ChannelsTest() {
    platform::SetAssertionEcho(false);
    ResetAll();
    EXPECT_EQ(Detect(dir), 0);
    channels::BindVirtualChannels();
  }
  ~ChannelsTest() override {
    daq::SetDriver(nullptr);
    ResetAll();
    platform::SetAssertionEcho(true);
  }

  static void ResetAll() {
    channels::ResetVirtualChannels();
    channels::ResetAveraging();
    channels::ResetAutoZero();
    channels::ResetMeasurementOptions();
  }

  void UseScriptedDriver() { daq::SetDriver(&driver); }

  // A driver reading of ADC card 0 (16-bit, zero shift 32768) for a program
  // reading.
  static std::int16_t Slot3Driver(std::uint16_t reading) {
    return static_cast<std::int16_t>(reading - 32768);
  }

  // Current i: role, DAC card and channel, R.
  static void DefineCurrent(int i, std::uint16_t kind, std::uint16_t card, std::int16_t channel,
                            float r = 1.0f) {
    channels::VirtualCurrent c;
    c.kind = kind;
    c.dacCard = card;
    c.dacChannel = channel;
    c.R = r;
    channels::SetCurrent(i, c);
    channels::RebindChangedCurrents();
  }
  static void DefineVoltage(int i, std::uint16_t kind, std::uint16_t card, std::uint16_t channel,
                            float gain = 1.0f) {
    channels::VirtualVoltage v;
    v.kind = kind;
    v.adcCard = card;
    v.adcChannel = channel;
    v.adcGain = gain;
    channels::SetVoltage(i, v);
  }

  TempDir dir;
  ScriptedDriver driver;
};

}  // namespace tsm::testing
