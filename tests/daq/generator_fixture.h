// A driver for the generator tests: the emulation that records every
// waveform call (scaling, WFM_Op with its channel list and codes, the group
// controls, the checks) and every output write, with statuses and check
// answers that a test can set.
#pragma once

#include <cstdint>
#include <tuple>
#include <vector>

#include "daq/emulated_driver.h"
#include "daq/generator.h"

namespace tsm::testing {

class WfmRecordingDriver : public daq::EmulatedDriver {
 public:
  daq::DriverStatus Waveform_Scale(std::int16_t slot, std::int16_t channel, std::uint32_t count,
                                   double gain, const double* volts,
                                   std::int16_t* codes) override {
    ++scaleCalls;
    scaleVolts.assign(volts, volts + count);
    if (scaleStatus < 0)
      return EmulatedDriver::Waveform_Scale(slot, channel, count, gain, volts, codes);
    for (std::uint32_t i = 0; i < count; ++i)
      codes[i] = static_cast<std::int16_t>(volts[i] * 1000);  // 1 mV per code
    return scaleStatus;
  }
  daq::DriverStatus WFM_Op(std::int16_t slot, std::int16_t channelCount,
                           const std::int16_t* channelList, const std::int16_t* codeBuffer,
                           std::uint32_t count, std::uint32_t iterations,
                           double updateRate) override {
    ++wfmOps;
    wfmSlot = slot;
    channels.assign(channelList, channelList + channelCount);
    codes.assign(codeBuffer, codeBuffer + count);
    wfmIterations = iterations;
    rate = updateRate;
    playing = codeBuffer;
    return wfmStatus;
  }
  daq::DriverStatus WFM_Group_Control(std::int16_t, std::int16_t, std::int16_t op) override {
    controls.push_back(op);
    if (op == daq::kWfmClear) {
      if (clearStatus >= 0) playing = nullptr;  // the program frees the buffer now
      return clearStatus;
    }
    return controlStatus;
  }
  daq::DriverStatus WFM_Check(std::int16_t slot, std::int16_t channel, std::int16_t* status,
                              std::uint32_t* pointsDone, std::uint32_t* iterationsDone) override {
    ++checks;
    const daq::DriverStatus s =
        EmulatedDriver::WFM_Check(slot, channel, status, pointsDone, iterationsDone);
    *pointsDone = pointsAnswer;
    // What the card plays at the moment of the check (the ramp changes it).
    if (playing && !channels.empty()) playedAtCheck.push_back(playing[0]);
    return s;
  }
  daq::DriverStatus Output_Write(std::int16_t slot, std::int16_t channel,
                                 std::int16_t code) override {
    writes.emplace_back(slot, channel, code);
    return EmulatedDriver::Output_Write(slot, channel, code);
  }

  // The group controls in order (0 CLEAR, 2 PAUSE, 4 RESUME).
  std::vector<std::int16_t> controls;
  std::vector<std::int16_t> channels;
  std::vector<std::int16_t> codes;
  std::vector<double> scaleVolts;
  std::vector<std::int16_t> playedAtCheck;
  std::vector<std::tuple<int, int, int>> writes;  // slot, channel, driver code
  const std::int16_t* playing = nullptr;
  int scaleCalls = 0;
  int wfmOps = 0;
  int checks = 0;
  std::int16_t wfmSlot = 0;
  std::uint32_t wfmIterations = 99;
  double rate = 0;
  std::uint32_t pointsAnswer = 0;
  daq::DriverStatus scaleStatus = daq::kStatusFailed;  // as the emulation
  daq::DriverStatus wfmStatus = 0;
  daq::DriverStatus clearStatus = 0;
  daq::DriverStatus controlStatus = 0;
};

}  // namespace tsm::testing
