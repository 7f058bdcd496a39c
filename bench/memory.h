// The process's own memory figures for the memory benchmarks, from /proc.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

namespace tsm::bench {

// Resident ("VmRSS:") and peak resident ("VmHWM:") memory of this process,
// in bytes; 0 when the key is not there.
inline std::uint64_t StatusBytes(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::size_t length = std::strlen(key);
  while (std::getline(status, line))
    if (line.compare(0, length, key) == 0) return std::stoull(line.substr(length + 1)) * 1024;
  return 0;
}

// Starts the peak resident size afresh at the present resident size
// (5 written to clear_refs). False when the kernel would not.
inline bool ResetPeakResident() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return clear.good();
}

}  // namespace tsm::bench
