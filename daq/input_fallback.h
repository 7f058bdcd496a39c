// Single readings and their scaling with the fallback to the buffer forms:
// a driver that answers -10403 to the single-value operation is asked again
// through DAQ_Op or Input_Scale_Buffer.
#pragma once

#include <cstdint>

#include "daq/driver.h"

namespace tsm::daq {

// Input_Read; on -10403 DAQ_Op (same slot, channel and gain) of 4 readings
// at 100000 samples per second, whose second reading is the answer and whose
// status is the status. The fallback's status is not shown to the user: the
// caller beeps and substitutes on failure, once per reading.
DriverStatus InputReadWithFallback(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                                   std::int16_t* reading);

// Input_Scale; on -10403 Input_Scale_Buffer with count 4 and the four
// 32-bit words built from the reading (see InputScaleFallbackWords); the
// first voltage is the answer and the buffer call's status the status.
DriverStatus InputScaleWithFallback(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                                    double gainAdjust, double offset, std::int16_t reading,
                                    double* volts);

// The words handed to Input_Scale_Buffer for reading r: two words with r in
// the upper 16 bits and 1 in the lower 16 bits when r is 0 (else 0), then
// r << 20 and r << 8.
void InputScaleFallbackWords(std::int16_t reading, std::int32_t words[4]);

inline constexpr std::uint32_t kFallbackReadings = 4;
inline constexpr double kFallbackSampleRate = 100000.0;

}  // namespace tsm::daq
