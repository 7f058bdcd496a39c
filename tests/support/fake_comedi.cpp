#include "tests/support/fake_comedi.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tsm::testing {

namespace dc = daq::comedi;

namespace {
constexpr std::size_t kSampleBytes = 2;

std::size_t ScanBytes(const dc::Command& cmd) { return cmd.chanlist.size() * kSampleBytes; }
}  // namespace

FakeComediDevice::FakeComediDevice() {
  for (std::uint32_t& o : outputs_) o = 32768;  // mid-scale: 0 V
}

// --- arrangement and observation ------------------------------------------------

void FakeComediDevice::FailCall(const std::string& call, int error) {
  std::lock_guard lock(mutex_);
  if (error == 0)
    failures_.erase(call);
  else
    failures_[call] = error;
}

void FakeComediDevice::StallInput(bool stall) {
  std::lock_guard lock(mutex_);
  stall_ = stall;
}

void FakeComediDevice::EndInputAfter(std::uint64_t scans) {
  std::lock_guard lock(mutex_);
  endAfter_ = scans;
}

void FakeComediDevice::RefuseCommands(int stage) {
  std::lock_guard lock(mutex_);
  refuseStage_ = stage;
}

void FakeComediDevice::SetBufferBytes(int bytes) {
  std::lock_guard lock(mutex_);
  bufferBytes_ = bytes;
}

void FakeComediDevice::SetNoCommands() {
  std::lock_guard lock(mutex_);
  commands_ = false;
}

std::uint32_t FakeComediDevice::OutputSample(unsigned channel) {
  std::lock_guard lock(mutex_);
  Advance();
  return outputs_[channel % kChannels];
}

std::vector<dc::Command> FakeComediDevice::StartedCommands() {
  std::lock_guard lock(mutex_);
  return started_;
}

unsigned FakeComediDevice::LastSettlingNs() {
  std::lock_guard lock(mutex_);
  return lastSettlingNs_;
}

std::uint64_t FakeComediDevice::OutputBytesPlayed() {
  std::lock_guard lock(mutex_);
  Advance();
  return out_.played;
}

bool FakeComediDevice::OutputRanDry() {
  std::lock_guard lock(mutex_);
  Advance();
  return out_.dry;
}

bool FakeComediDevice::OutputRunning() {
  std::lock_guard lock(mutex_);
  Advance();
  return out_.running;
}

int FakeComediDevice::Cancels() {
  std::lock_guard lock(mutex_);
  return cancels_;
}

bool FakeComediDevice::Failing(const char* call) {
  const auto it = failures_.find(call);
  if (it == failures_.end()) return false;
  lastError_ = it->second;
  return true;
}

std::uint64_t FakeComediDevice::ScansDue(const dc::Command& cmd, Clock::time_point start) const {
  const auto ns =
      std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
  const std::uint64_t period = std::max(cmd.scanBeginArg, 1u);
  std::uint64_t scans = static_cast<std::uint64_t>(ns) / period;
  if (cmd.stopSrc == dc::kTrigCount) scans = std::min<std::uint64_t>(scans, cmd.stopArg);
  return scans;
}

// The output plays whole scans at its pace; a scan it should play but has
// not been given stops it with an error, as a real device runs dry.
void FakeComediDevice::Advance() {
  if (!out_.running) return;
  const std::size_t scanBytes = ScanBytes(out_.cmd);
  const std::uint64_t due = ScansDue(out_.cmd, out_.start) * scanBytes;
  if (due <= out_.played) return;
  std::uint64_t play = due - out_.played;
  const std::uint64_t whole = out_.pending.size() / scanBytes * scanBytes;
  if (play > whole) {
    play = whole;
    out_.dry = true;
  }
  if (play > 0) {
    const unsigned char* last = out_.pending.data() + play - scanBytes;
    for (std::size_t k = 0; k < out_.cmd.chanlist.size(); ++k) {
      std::uint16_t word = 0;
      std::memcpy(&word, last + kSampleBytes * k, kSampleBytes);
      outputs_[dc::PackedChannel(out_.cmd.chanlist[k]) % kChannels] = word;
    }
    out_.pending.erase(out_.pending.begin(), out_.pending.begin() + static_cast<long>(play));
    out_.played += play;
  }
  const bool done = out_.cmd.stopSrc == dc::kTrigCount &&
                    out_.played >= static_cast<std::uint64_t>(out_.cmd.stopArg) * scanBytes;
  if (done || out_.dry) out_.running = false;
}

// --- the seam ------------------------------------------------------------------------

int FakeComediDevice::VersionCode() {
  std::lock_guard lock(mutex_);
  return Failing("comedi_get_version_code") ? -1 : kVersion;
}

int FakeComediDevice::FindSubdevice(int type) {
  if (type == dc::kSubdeviceAnalogInput) return kInput;
  if (type == dc::kSubdeviceAnalogOutput) return kOutput;
  return -1;
}

int FakeComediDevice::SubdeviceFlags(unsigned subdevice) {
  std::lock_guard lock(mutex_);
  const unsigned cmd = !commands_ ? 0u : subdevice == kInput ? dc::kSdfCmdRead : dc::kSdfCmdWrite;
  return static_cast<int>(dc::kSdfGround | cmd);
}

int FakeComediDevice::ChannelCount(unsigned subdevice) {
  return subdevice <= kOutput ? static_cast<int>(kChannels) : -1;
}

std::uint32_t FakeComediDevice::MaxData(unsigned subdevice, unsigned channel) {
  std::lock_guard lock(mutex_);
  if (Failing("comedi_get_maxdata") || subdevice > kOutput || channel >= kChannels) return 0;
  return kMaxData;
}

int FakeComediDevice::RangeCount(unsigned subdevice, unsigned) {
  return subdevice == kInput ? 2 : subdevice == kOutput ? 1 : -1;
}

bool FakeComediDevice::GetRange(unsigned subdevice, unsigned, unsigned range, dc::Range* out) {
  if (static_cast<int>(range) >= RangeCount(subdevice, 0)) return false;
  const double v = range == 0 ? 10.0 : 5.0;
  *out = dc::Range{-v, v, dc::kUnitVolt};
  return true;
}

int FakeComediDevice::DataReadDelayed(unsigned subdevice, unsigned channel, unsigned, unsigned,
                                      std::uint32_t* sample, unsigned settlingNs) {
  std::lock_guard lock(mutex_);
  if (Failing("comedi_data_read_delayed")) return -1;
  if (subdevice != kInput || channel >= kChannels) {
    lastError_ = EINVAL;
    return -1;
  }
  Advance();
  lastSettlingNs_ = settlingNs;
  *sample = outputs_[channel];
  return 1;
}

int FakeComediDevice::DataWrite(unsigned subdevice, unsigned channel, unsigned, unsigned,
                                std::uint32_t sample) {
  std::lock_guard lock(mutex_);
  if (Failing("comedi_data_write")) return -1;
  Advance();
  if (subdevice != kOutput || channel >= kChannels || sample > kMaxData) {
    lastError_ = EINVAL;
    return -1;
  }
  if (out_.running || out_.armed) {
    lastError_ = EBUSY;
    return -1;
  }
  outputs_[channel] = sample;
  return 1;
}

int FakeComediDevice::GetCmdGenericTimed(unsigned subdevice, dc::Command* cmd,
                                         unsigned chanlistLength, unsigned scanPeriodNs) {
  std::lock_guard lock(mutex_);
  if (!commands_ || subdevice > kOutput) {
    lastError_ = EIO;
    return -1;
  }
  *cmd = dc::Command{};
  cmd->subdevice = subdevice;
  cmd->startSrc = subdevice == kInput ? dc::kTrigNow : dc::kTrigInt;
  cmd->scanBeginSrc = dc::kTrigTimer;
  cmd->scanBeginArg = scanPeriodNs;
  cmd->convertSrc = subdevice == kInput ? dc::kTrigTimer : dc::kTrigNow;
  cmd->convertArg = subdevice == kInput && chanlistLength > 0 ? scanPeriodNs / chanlistLength : 0;
  cmd->scanEndSrc = dc::kTrigCount;
  cmd->scanEndArg = chanlistLength;
  cmd->stopSrc = dc::kTrigCount;
  cmd->stopArg = 2;
  return 0;
}

// Stage 1: sources; stage 3: arguments fixed; stage 4: the clock's 1 us
// resolution; stage 5: the channel list.
int FakeComediDevice::CommandTest(dc::Command* cmd) {
  std::lock_guard lock(mutex_);
  if (refuseStage_ != 0) return refuseStage_;
  const bool input = cmd->subdevice == kInput;
  const unsigned starts = input ? (dc::kTrigNow | dc::kTrigInt) : (dc::kTrigInt | dc::kTrigNow);
  const unsigned converts = input ? (dc::kTrigTimer | dc::kTrigNow) : dc::kTrigNow;
  if (cmd->subdevice > kOutput || !(cmd->startSrc & starts) ||
      cmd->scanBeginSrc != dc::kTrigTimer || !(cmd->convertSrc & converts) ||
      cmd->scanEndSrc != dc::kTrigCount ||
      (cmd->stopSrc != dc::kTrigCount && cmd->stopSrc != dc::kTrigNone))
    return 1;
  bool fixed = false;
  auto fix = [&fixed](unsigned& arg, unsigned value) {
    if (arg != value) {
      arg = value;
      fixed = true;
    }
  };
  fix(cmd->startArg, 0);
  if (cmd->scanBeginArg < kMinPeriodNs) fix(cmd->scanBeginArg, kMinPeriodNs);
  fix(cmd->scanEndArg, static_cast<unsigned>(cmd->chanlist.size()));
  if (cmd->stopSrc == dc::kTrigCount && cmd->stopArg < 1) fix(cmd->stopArg, 1);
  if (cmd->stopSrc == dc::kTrigNone) fix(cmd->stopArg, 0);
  if (fixed) return 3;
  if (cmd->scanBeginArg % 1000 != 0) {
    cmd->scanBeginArg += 1000 - cmd->scanBeginArg % 1000;
    return 4;
  }
  if (cmd->convertSrc == dc::kTrigTimer && !cmd->chanlist.empty() &&
      static_cast<std::uint64_t>(cmd->convertArg) * cmd->chanlist.size() > cmd->scanBeginArg) {
    cmd->convertArg = cmd->scanBeginArg / static_cast<unsigned>(cmd->chanlist.size());
    return 4;
  }
  const unsigned ranges = input ? 2 : 1;
  if (cmd->chanlist.empty()) return 5;
  for (unsigned packed : cmd->chanlist)
    if (dc::PackedChannel(packed) >= kChannels || dc::PackedRange(packed) >= ranges) return 5;
  return 0;
}

int FakeComediDevice::StartCommand(dc::Command* cmd) {
  if (CommandTest(cmd) != 0) {
    std::lock_guard lock(mutex_);
    lastError_ = EINVAL;
    return -1;
  }
  std::lock_guard lock(mutex_);
  if (Failing("comedi_command")) return -1;
  Advance();
  if (cmd->subdevice == kInput) {
    if (in_.running) {
      lastError_ = EBUSY;
      return -1;
    }
    in_ = Acquisition{true, *cmd, Clock::now(), 0};
  } else {
    if (out_.running || out_.armed) {
      lastError_ = EBUSY;
      return -1;
    }
    out_ = Playback{};
    out_.armed = true;
    out_.cmd = *cmd;
  }
  started_.push_back(*cmd);
  return 0;
}

int FakeComediDevice::Cancel(unsigned subdevice) {
  std::lock_guard lock(mutex_);
  ++cancels_;
  if (Failing("comedi_cancel")) return -1;
  if (subdevice == kInput) {
    in_.running = false;
  } else {
    Advance();
    out_.armed = false;
    out_.running = false;
    out_.pending.clear();
  }
  return 0;
}

int FakeComediDevice::InternalTrigger(unsigned subdevice, unsigned) {
  std::lock_guard lock(mutex_);
  if (Failing("comedi_internal_trigger")) return -1;
  if (subdevice != kOutput || !out_.armed) {
    lastError_ = EINVAL;
    return -1;
  }
  out_.armed = false;
  out_.running = true;
  out_.start = Clock::now();
  return 0;
}

int FakeComediDevice::BufferContents(unsigned subdevice) {
  std::lock_guard lock(mutex_);
  if (subdevice == kOutput) {
    Advance();
    return static_cast<int>(out_.pending.size());
  }
  if (!in_.running) return 0;
  const std::uint64_t scans = ScansDue(in_.cmd, in_.start);
  return static_cast<int>(scans * ScanBytes(in_.cmd) - in_.bytesRead);
}

int FakeComediDevice::BufferSize(unsigned) {
  std::lock_guard lock(mutex_);
  return bufferBytes_;
}

long FakeComediDevice::Read(void* buffer, std::size_t bytes) {
  std::lock_guard lock(mutex_);
  if (Failing("read")) return -1;
  if (!in_.running) return dc::kReadEnded;
  if (stall_) return 0;
  const std::size_t scanBytes = ScanBytes(in_.cmd);
  std::uint64_t scans = ScansDue(in_.cmd, in_.start);
  std::uint64_t last = in_.cmd.stopSrc == dc::kTrigCount ? in_.cmd.stopArg : UINT64_MAX;
  if (endAfter_ != 0) last = std::min(last, endAfter_);
  scans = std::min(scans, last);
  const std::uint64_t available = scans * scanBytes - in_.bytesRead;
  if (available == 0) {
    if (scans >= last) {
      in_.running = false;
      return dc::kReadEnded;
    }
    return 0;
  }
  const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(available, bytes)) /
                        kSampleBytes * kSampleBytes;
  auto* out = static_cast<unsigned char*>(buffer);
  const std::size_t channels = in_.cmd.chanlist.size();
  for (std::size_t i = 0; i < n / kSampleBytes; ++i) {
    const std::uint64_t index = in_.bytesRead / kSampleBytes + i;
    const unsigned channel = dc::PackedChannel(in_.cmd.chanlist[index % channels]);
    const auto word = static_cast<std::uint16_t>(TimedSample(channel, index / channels));
    std::memcpy(out + kSampleBytes * i, &word, kSampleBytes);
  }
  in_.bytesRead += n;
  return static_cast<long>(n);
}

long FakeComediDevice::Write(const void* buffer, std::size_t bytes) {
  std::lock_guard lock(mutex_);
  if (Failing("write")) return -1;
  Advance();
  if (out_.dry) {
    lastError_ = EPIPE;
    return -1;
  }
  if (!out_.armed && !out_.running) {
    lastError_ = EINVAL;
    return -1;
  }
  const std::size_t room = static_cast<std::size_t>(bufferBytes_) - out_.pending.size();
  const std::size_t n = std::min(room, bytes);
  const auto* in = static_cast<const unsigned char*>(buffer);
  out_.pending.insert(out_.pending.end(), in, in + n);
  out_.written += n;
  return static_cast<long>(n);
}

int FakeComediDevice::LastError() {
  std::lock_guard lock(mutex_);
  return lastError_;
}

std::string FakeComediDevice::ErrorText(int error) { return std::strerror(error); }

// --- the library ---------------------------------------------------------------------

FakeComediDevice* FakeComediLibrary::AddDevice(const std::string& path) {
  auto device = std::make_unique<FakeComediDevice>();
  FakeComediDevice* raw = device.get();
  devices_[path] = std::move(device);
  return raw;
}

std::unique_ptr<dc::Device> FakeComediLibrary::Open(const std::string& path,
                                                    std::string* error) {
  const auto it = devices_.find(path);
  if (it == devices_.end() || !it->second) {
    if (error) *error = std::strerror(ENOENT);
    return nullptr;
  }
  return std::move(it->second);
}

}  // namespace tsm::testing
