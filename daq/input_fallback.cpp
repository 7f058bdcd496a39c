#include "daq/input_fallback.h"

namespace tsm::daq {

DriverStatus InputReadWithFallback(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                                   std::int16_t* reading) {
  Driver& driver = GetDriver();
  DriverStatus status = driver.Input_Read(slot, channel, gain, reading);
  if (status != kStatusUseBufferForm) return status;
  // The first reading after the multiplexer switches may not have settled.
  std::int16_t buffer[kFallbackReadings] = {};
  status = driver.DAQ_Op(slot, channel, gain, buffer, kFallbackReadings, kFallbackSampleRate);
  if (reading) *reading = buffer[1];
  return status;
}

void InputScaleFallbackWords(std::int16_t reading, std::int32_t words[4]) {
  // Built in unsigned arithmetic: the shifts of a negative reading are the
  // bit patterns the buffer form expects.
  const std::uint32_t r = static_cast<std::uint32_t>(static_cast<std::int32_t>(reading));
  const std::uint32_t head = (r << 16) | (reading == 0 ? 1u : 0u);
  words[0] = static_cast<std::int32_t>(head);
  words[1] = static_cast<std::int32_t>(head);
  words[2] = static_cast<std::int32_t>(r << 20);
  words[3] = static_cast<std::int32_t>(r << 8);
}

DriverStatus InputScaleWithFallback(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                                    double gainAdjust, double offset, std::int16_t reading,
                                    double* volts) {
  Driver& driver = GetDriver();
  DriverStatus status =
      driver.Input_Scale(slot, channel, gain, gainAdjust, offset, reading, volts);
  if (status != kStatusUseBufferForm) return status;
  std::int32_t words[kFallbackReadings];
  InputScaleFallbackWords(reading, words);
  double scaled[kFallbackReadings] = {};
  status = driver.Input_Scale_Buffer(slot, channel, gain, gainAdjust, offset, kFallbackReadings,
                                     words, scaled);
  if (volts) *volts = scaled[0];
  return status;
}

}  // namespace tsm::daq
