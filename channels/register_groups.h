// Registration of the option groups this folder owns: virtual channels,
// delays, general measurement, trigger, averaging and AutoZero.
#pragma once

namespace tsm::channels {

void RegisterOptionGroups();

}  // namespace tsm::channels
