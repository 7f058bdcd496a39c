// The statuses the real-card backend answers. Every one has a description
// in the helper library's error table, so the driver error reporter shows
// a readable text; the backend's LastErrorDetail (comedilib's own message
// among it) is added to the operation's label.
//
// | status  | meaning                                                        |
// |---------|----------------------------------------------------------------|
// | 0       | success                                                        |
// | -10001  | a value outside what the device takes: a reading or voltage   |
// |         | outside the range, a gain without a matching range, a count,  |
// |         | rate or operation code that does not fit, a missing buffer    |
// | -10002  | no device: slot outside 1..16, /dev/comedi(n-1) cannot be      |
// |         | opened, no analogue input or output subdevice, any chassis     |
// | -10003  | the channel is not a channel of the subdevice                  |
// | -10403  | the action is not offered: no timed commands on the subdevice, |
// |         | the command refused by comedi_command_test, the buffer form of |
// |         | Input_Scale                                                    |
// | -10600  | comedilib refused a call (EBUSY, EIO...): see the detail       |
// | -10800  | a timed acquisition did not complete within the time-out       |
// | -10801  | data were lost: the acquisition stopped early, the buffer      |
// |         | overflowed, or an output ran out of data                       |
#pragma once

#include "daq/driver.h"

namespace tsm::daq::comedi {

inline constexpr DriverStatus kBadValue = -10001;
inline constexpr DriverStatus kNoDevice = -10002;
inline constexpr DriverStatus kBadChannel = -10003;
inline constexpr DriverStatus kNotOffered = kStatusUseBufferForm;  // -10403
inline constexpr DriverStatus kLibraryError = -10600;
inline constexpr DriverStatus kTimedOut = -10800;
inline constexpr DriverStatus kDataLost = -10801;

}  // namespace tsm::daq::comedi
