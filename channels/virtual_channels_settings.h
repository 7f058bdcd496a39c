// The option group of the virtual channels: sections "Virtual Currents" and
// "Virtual Voltages", every record read and written, defined or not.
#pragma once

#include <string>

namespace tsm::channels {

inline constexpr const char* kCurrentsSection = "Virtual Currents";
inline constexpr const char* kVoltagesSection = "Virtual Voltages";

// Reads all 32 then all 128 records (keys missing from the file take the
// record defaults, so a file without the sections gives disconnected
// channels), clears every zero state and binds the currents whose card or
// channel changed. Returns 1.
int LoadVirtualChannels(const std::string& fileName);
// Writes every record in one file replacement. Returns 1.
int SaveVirtualChannels(const std::string& fileName);

}  // namespace tsm::channels
