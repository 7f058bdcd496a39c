// What the About box tells about the machine, for timing-sensitive work: the
// operating system, the processors, the high-resolution counter, the real
// behaviour of a 10 ms timer and the memory state. The texts are built from
// plain values (and from the text of /proc files) so they can be checked
// without the machine they describe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tsm::shell {

struct OsInfo {
  bool ok = false;
  std::string name;     // "Linux"
  int major = 0;        // 6
  int minor = 0;        // 1
  std::string details;  // the full release text, "6.1.0-18-amd64"
};
OsInfo QueryOsInfo();
// "%s %d.%d, %s", or "Can't get OS version".
std::string OsVersionText(const OsInfo& info);

// The processor line from the text of /proc/cpuinfo: "%d CPU%s %s%s" (count,
// "s" for more than one, the model name, ", model %u, stepping %u" when the
// text gives them); "Undetectable CPU(s) type" for an empty text.
std::string CpuText(const std::string& cpuinfo);
std::string ReadCpuInfo();  // "" when it cannot be read

// "High precision counter frequency: %lu kHz"
std::string CounterFrequencyText(std::int64_t ticksPerSecond);

struct MemoryInfo {
  bool ok = false;
  unsigned long availableKb = 0;
  unsigned long totalKb = 0;
  int load = 0;  // percent of the memory in use
};
// From the text of /proc/meminfo (MemAvailable, else MemFree + Buffers +
// Cached).
MemoryInfo MemoryFromMeminfo(const std::string& meminfo);
// /proc/meminfo, else sysinfo().
MemoryInfo QueryMemory();
std::string FreeMemoryText(const MemoryInfo& info);  // "Free Memory: %lu kB of %lu kB"
std::string MemoryLoadText(const MemoryInfo& info);  // "Memory Load: %d%%"

// Statistics of a periodic timer: on each tick the counter is read; after
// kSamples intervals (kSamples + 1 ticks) a report is made and counting
// starts over.
class TimerStatistics {
 public:
  static constexpr unsigned kPeriodMs = 10;
  static constexpr unsigned kSamples = 50;

  // One tick with the counter reading; the "Average: %lu us, min: %lu us,
  // max: %lu us" text when a report is complete.
  std::optional<std::string> Tick(std::int64_t counter, std::int64_t ticksPerSecond);
  // Ticks counted in the present round (0 right after a report).
  unsigned Ticks() const { return ticks_; }

 private:
  unsigned ticks_ = 0;
  std::int64_t previous_ = 0;
  std::int64_t sum_ = 0;
  std::int64_t smallest_ = 0;
  std::int64_t largest_ = 0;
};
// "%u ms timer statistics for %u samples"
std::string TimerHeadingText();

}  // namespace tsm::shell
