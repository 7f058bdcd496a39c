#include "shell/sysinfo.h"

#include <sys/sysinfo.h>
#include <sys/utsname.h>

#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

#include "shell/stringex.h"

namespace tsm::shell {

namespace {
std::string ReadSmallFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  // /proc files report size 0; read by chunks, with a bound in case of a
  // surprise (the texts are a few kilobytes even on large machines).
  std::string text;
  char chunk[4096];
  while (in && text.size() < (1u << 20)) {
    in.read(chunk, sizeof chunk);
    text.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  return text;
}

// Splits "key : value" lines; calls f(key, value) for each.
template <class F>
void ForEachKeyValue(const std::string& text, F f) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    f(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
  }
}

bool ParseUnsigned(const std::string& s, unsigned long* out) {
  if (s.empty() || s[0] < '0' || s[0] > '9') return false;
  char* end = nullptr;
  *out = std::strtoul(s.c_str(), &end, 10);
  return true;
}

unsigned long ToMicroseconds(std::int64_t ticks, std::int64_t ticksPerSecond) {
  if (ticksPerSecond <= 0 || ticks <= 0) return 0;
  return static_cast<unsigned long>(static_cast<long double>(ticks) * 1000000.0L /
                                    static_cast<long double>(ticksPerSecond));
}
}  // namespace

OsInfo QueryOsInfo() {
  OsInfo info;
  struct utsname u;
  if (::uname(&u) != 0) return info;
  info.ok = true;
  info.name = u.sysname;
  info.details = u.release;
  char* end = nullptr;
  info.major = static_cast<int>(std::strtol(u.release, &end, 10));
  if (end && *end == '.') info.minor = static_cast<int>(std::strtol(end + 1, nullptr, 10));
  return info;
}

std::string OsVersionText(const OsInfo& info) {
  if (!info.ok) return "Can't get OS version";
  return Format("%s %d.%d, %s", info.name.c_str(), info.major, info.minor, info.details.c_str());
}

std::string CpuText(const std::string& cpuinfo) {
  if (Trim(cpuinfo).empty()) return "Undetectable CPU(s) type";
  int count = 0;
  std::string name;
  unsigned long model = 0, stepping = 0;
  bool haveModel = false, haveStepping = false;
  ForEachKeyValue(cpuinfo, [&](const std::string& key, const std::string& value) {
    if (key == "processor") {
      ++count;
    } else if (name.empty() && (key == "model name" || key == "cpu model" || key == "Processor")) {
      name = value;
    } else if (key == "model" && !haveModel) {
      haveModel = ParseUnsigned(value, &model);
    } else if (key == "stepping" && !haveStepping) {
      haveStepping = ParseUnsigned(value, &stepping);
    }
  });
  if (count == 0) count = 1;
  if (name.empty()) name = "unknown CPU";
  std::string revision;
  if (haveModel && haveStepping) revision = Format(", model %lu, stepping %lu", model, stepping);
  return Format("%d CPU%s %s%s", count, count > 1 ? "s" : "", name.c_str(), revision.c_str());
}

std::string ReadCpuInfo() { return ReadSmallFile("/proc/cpuinfo"); }

std::string CounterFrequencyText(std::int64_t ticksPerSecond) {
  return Format("High precision counter frequency: %lu kHz",
                static_cast<unsigned long>(ticksPerSecond / 1000));
}

MemoryInfo MemoryFromMeminfo(const std::string& meminfo) {
  MemoryInfo info;
  unsigned long total = 0, available = 0, freeKb = 0, buffers = 0, cached = 0;
  bool haveTotal = false, haveAvailable = false, haveFree = false;
  ForEachKeyValue(meminfo, [&](const std::string& key, const std::string& value) {
    if (key == "MemTotal") haveTotal = ParseUnsigned(value, &total);
    else if (key == "MemAvailable") haveAvailable = ParseUnsigned(value, &available);
    else if (key == "MemFree") haveFree = ParseUnsigned(value, &freeKb);
    else if (key == "Buffers") ParseUnsigned(value, &buffers);
    else if (key == "Cached") ParseUnsigned(value, &cached);
  });
  if (!haveTotal || total == 0 || (!haveAvailable && !haveFree)) return info;
  if (!haveAvailable) available = freeKb + buffers + cached;
  if (available > total) available = total;
  info.ok = true;
  info.totalKb = total;
  info.availableKb = available;
  info.load = static_cast<int>((total - available) * 100.0 / total + 0.5);
  return info;
}

MemoryInfo QueryMemory() {
  MemoryInfo info = MemoryFromMeminfo(ReadSmallFile("/proc/meminfo"));
  if (info.ok) return info;
  struct sysinfo s;
  if (::sysinfo(&s) != 0 || s.totalram == 0) return info;
  const unsigned long long unit = s.mem_unit ? s.mem_unit : 1;
  info.ok = true;
  info.totalKb = static_cast<unsigned long>(s.totalram * unit / 1024);
  info.availableKb = static_cast<unsigned long>((s.freeram + s.bufferram) * unit / 1024);
  if (info.availableKb > info.totalKb) info.availableKb = info.totalKb;
  info.load = static_cast<int>((info.totalKb - info.availableKb) * 100.0 / info.totalKb + 0.5);
  return info;
}

std::string FreeMemoryText(const MemoryInfo& info) {
  return Format("Free Memory: %lu kB of %lu kB", info.availableKb, info.totalKb);
}

std::string MemoryLoadText(const MemoryInfo& info) {
  return Format("Memory Load: %d%%", info.load);
}

std::optional<std::string> TimerStatistics::Tick(std::int64_t counter,
                                                 std::int64_t ticksPerSecond) {
  if (ticks_ == 0) {
    previous_ = counter;
    sum_ = 0;
    smallest_ = std::numeric_limits<std::int64_t>::max();
    largest_ = 0;
  } else {
    const std::int64_t interval = counter - previous_;
    previous_ = counter;
    sum_ += interval;
    if (interval < smallest_) smallest_ = interval;
    if (interval > largest_) largest_ = interval;
  }
  if (++ticks_ < kSamples + 1) return std::nullopt;
  ticks_ = 0;
  return Format("Average: %lu us, min: %lu us, max: %lu us",
                ToMicroseconds(sum_ / kSamples, ticksPerSecond),
                ToMicroseconds(smallest_, ticksPerSecond),
                ToMicroseconds(largest_, ticksPerSecond));
}

std::string TimerHeadingText() {
  return Format("%u ms timer statistics for %u samples", TimerStatistics::kPeriodMs,
                TimerStatistics::kSamples);
}

}  // namespace tsm::shell
