// The state of one running waveform output of the real-card backend
// (internal to daq/comedi): the caller's codes as hardware samples, how far
// the device has been fed, and the feeder thread that keeps feeding it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "daq/comedi/comedi_driver.h"

namespace tsm::daq::comedi {

// Everything is guarded by the driver's lock; the feeder thread waits on
// `wake` between feeds.
struct ComediDriver::Output {
  unsigned subdevice = 0;
  std::vector<unsigned> chanlist;
  std::vector<Conversion> conversions;  // one per channel of the list
  const std::int16_t* codes = nullptr;  // the caller's, read at start and RESUME
  std::uint32_t points = 0;
  unsigned channels = 0;
  double rate = 0.0;  // points per second
  std::size_t sampleBytes = 2;
  std::vector<unsigned char> period;  // one period of hardware samples
  std::uint64_t totalBytes = 0;       // all iterations; 0 plays for ever
  std::uint64_t written = 0;          // bytes handed to the device so far

  bool running = false;  // a command runs on the device
  bool paused = false;
  bool finished = false;
  DriverStatus failure = kStatusOk;  // what stopped the output, if anything
  std::string failureDetail;

  bool stop = false;  // asks the feeder to end
  std::condition_variable wake;
  std::chrono::milliseconds interval{5};
  std::thread feeder;

  std::size_t ScanBytes() const { return sampleBytes * channels; }
};

}  // namespace tsm::daq::comedi
