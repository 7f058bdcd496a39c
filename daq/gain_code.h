// Gain codes: how a gain factor (or a dB value) is handed to the driver.
#pragma once

#include <cstdint>

namespace tsm::daq {

// 0.01 -> -10, 0.1 -> -3, 0.2 -> -2, 0.5 -> -1 (exact single-precision
// values); any other factor or dB value is truncated towards zero (1 -> 1,
// 10 -> 10, -20 -> -20). Values beyond 16 bits saturate; NaN gives 0.
std::int16_t GainCode(float gain);

}  // namespace tsm::daq
