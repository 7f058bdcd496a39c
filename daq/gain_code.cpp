#include "daq/gain_code.h"

#include <cmath>
#include <limits>

namespace tsm::daq {

std::int16_t GainCode(float gain) {
  if (gain == 0.01f) return -10;
  if (gain == 0.1f) return -3;
  if (gain == 0.2f) return -2;
  if (gain == 0.5f) return -1;
  if (std::isnan(gain)) return 0;
  constexpr float kLow = std::numeric_limits<std::int16_t>::min();
  constexpr float kHigh = std::numeric_limits<std::int16_t>::max();
  if (gain <= kLow) return std::numeric_limits<std::int16_t>::min();
  if (gain >= kHigh) return std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(gain);  // truncates towards zero
}

}  // namespace tsm::daq
