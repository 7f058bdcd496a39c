#include "acqutil/error_table.h"

#include <cstring>

namespace tsm::acqutil {

namespace {

// Codes run from the most negative up, string ids follow the table order.
// Only the codes Tesmira meets are described; any other status is shown as
// unknown, which tells the user to look it up in the driver's own manual.
constexpr ErrorRow kTable[] = {
    {-10801, kErrorCategory, 1000},
    {-10800, kErrorCategory, 1001},
    {-10600, kErrorCategory, 1002},
    {-10403, kErrorCategory, 1003},
    {-10003, kErrorCategory, 1004},
    {-10002, kErrorCategory, 1005},
    {-10001, kErrorCategory, 1006},
    {0, 0, 0},
};

struct LibraryString {
  std::uint16_t id;
  const char* text;
};

constexpr LibraryString kStrings[] = {
    {1000, "Data were lost: the acquisition stopped before it was complete, the device's "
           "buffer overflowed, or an output ran out of data."},
    {1001, "The operation could not complete within the time limit."},
    {1002, "The device's library refused the call; the operation's label names the call and "
           "gives the library's message."},
    {1003,
     "The specified device does not support the requested action (the driver recognizes the "
     "device, but the action is inappropriate for the device)."},
    {1004, "A channel number given to the driver is not a channel of this device."},
    {1005, "The slot or chassis number given to the driver does not name a device it knows."},
    {1006, "The driver refused a value given to it: it is out of range or does not fit the "
           "operation."},
};

}  // namespace

const ErrorRow* ErrorTable() { return kTable; }

std::uint16_t FindErrorString(std::int16_t code) {
  for (const ErrorRow* row = kTable; row->category != 0; ++row)
    if (row->code == code && row->category == kErrorCategory) return row->stringId;
  return 0;
}

int LoadLibraryString(std::uint16_t id, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  for (const LibraryString& s : kStrings) {
    if (s.id != id) continue;
    std::size_t n = std::strlen(s.text);
    if (n > static_cast<std::size_t>(size - 1)) n = static_cast<std::size_t>(size - 1);
    std::memcpy(buffer, s.text, n);
    buffer[n] = '\0';
    return static_cast<int>(n);
  }
  buffer[0] = '\0';
  return 0;
}

}  // namespace tsm::acqutil
