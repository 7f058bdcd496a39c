// The backend's devices, single readings and writes, scaling and timed
// acquisitions. The waveform output is in comedi_output.cpp.
#include "daq/comedi/comedi_driver.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "daq/comedi/comedi_output.h"
#include "shell/stringex.h"

namespace tsm::daq::comedi {

namespace {

unsigned ArefOf(unsigned flags) {
  if (flags & kSdfGround) return kArefGround;
  if (flags & kSdfDiff) return kArefDiff;
  if (flags & kSdfCommon) return kArefCommon;
  if (flags & kSdfOther) return kArefOther;
  return kArefGround;
}

bool Positive(double rate) { return std::isfinite(rate) && rate > 0.0; }

}  // namespace

std::string DevicePath(int slot) { return shell::Format("/dev/comedi%d", slot - 1); }

// FNV-1a of "driver/board": the same board model gives the same code on
// every machine, and the top bit keeps it clear of the known cards' codes.
std::uint32_t BoardTypeCode(const std::string& driverName, const std::string& boardName) {
  std::uint32_t hash = 2166136261u;
  for (const char c : driverName + "/" + boardName) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash | 0x80000000u;
}

ComediDriver::ComediDriver(std::unique_ptr<Library> library, SettlingSource settling)
    : library_(std::move(library)), settling_(std::move(settling)) {}

ComediDriver::~ComediDriver() {
  std::unique_lock lock(mutex_);
  for (Slot& s : slots_)
    if (s.wfm) StopOutput(lock, s);
}

// --- devices ------------------------------------------------------------------

ComediDriver::Slot* ComediDriver::OpenSlot(std::int16_t slot, DriverStatus* status) {
  if (slot < 1 || slot > kSlotCount) {
    *status = Fail(kNoDevice, shell::Format("slot %d is not one of 1..%d", slot, kSlotCount));
    return nullptr;
  }
  Slot& s = slots_[slot - 1];
  const std::string path = DevicePath(slot);
  if (!s.tried) {
    s.tried = true;
    if (!library_)
      s.openError = "this program was built without comedilib";
    else
      s.device = library_->Open(path, &s.openError);
    if (s.device) {
      s.typeCode = BoardTypeCode(s.device->DriverName(), s.device->BoardName());
      auto describe = [&s](int type) {
        Subdevice sub;
        sub.index = s.device->FindSubdevice(type);
        if (sub.index < 0) return sub;
        const int flags = s.device->SubdeviceFlags(static_cast<unsigned>(sub.index));
        const int channels = s.device->ChannelCount(static_cast<unsigned>(sub.index));
        sub.flags = flags > 0 ? static_cast<unsigned>(flags) : 0u;
        sub.channels = channels > 0 ? static_cast<unsigned>(channels) : 0u;
        sub.aref = ArefOf(sub.flags);
        return sub;
      };
      s.input = describe(kSubdeviceAnalogInput);
      s.output = describe(kSubdeviceAnalogOutput);
    }
  }
  if (!s.device) {
    *status = Fail(kNoDevice, path + ": " + s.openError);
    return nullptr;
  }
  *status = kStatusOk;
  return &s;
}

DriverStatus ComediDriver::Fail(DriverStatus status, const std::string& detail) {
  detail_ = detail;
  return status;
}

DriverStatus ComediDriver::LibraryFailure(Slot& s, const char* call) {
  const int error = s.device->LastError();
  const std::string text = s.device->ErrorText(error);
  const int slot = static_cast<int>(&s - slots_.data()) + 1;
  return Fail(error == EPIPE ? kDataLost : kLibraryError,
              DevicePath(slot) + ": " + call + ": " + text);
}

std::string ComediDriver::LastErrorDetail() {
  std::lock_guard lock(mutex_);
  return detail_;
}

// "  analogue inputs: 8 channels, 16 bits, -10..10 V, -5..5 V; timed": what
// channel 0 of the subdevice offers, as comedi describes it.
std::string ComediDriver::SubdeviceLine(Slot& s, const Subdevice& sub, const char* kind,
                                        unsigned timedFlag) {
  if (sub.index < 0) return shell::Format("  no analogue %s\n", kind);
  const auto index = static_cast<unsigned>(sub.index);
  unsigned bits = 0;
  for (std::uint32_t m = s.device->MaxData(index, 0); m != 0; m >>= 1) ++bits;
  std::string line = shell::Format("  analogue %s: %u channels, %u bits", kind, sub.channels, bits);
  const int n = s.device->RangeCount(index, 0);
  for (int i = 0; i < n; ++i) {
    Range r;
    if (s.device->GetRange(index, 0, static_cast<unsigned>(i), &r) && r.unit == kUnitVolt)
      line += shell::Format(", %g..%g V", r.min, r.max);
  }
  line += (sub.flags & timedFlag) ? "; timed\n" : "; not timed\n";
  return line;
}

std::string ComediDriver::DeviceReport() {
  std::lock_guard lock(mutex_);
  std::string report;
  DriverStatus status = kStatusOk;
  for (int n = 1; n <= kSlotCount; ++n) {
    Slot* s = OpenSlot(static_cast<std::int16_t>(n), &status);
    if (!s) continue;
    report += shell::Format("comedi: slot %d is %s, board %s (driver %s), Card-ID:%lu\n", n,
                            DevicePath(n).c_str(), s->device->BoardName().c_str(),
                            s->device->DriverName().c_str(),
                            static_cast<unsigned long>(s->typeCode));
    report += SubdeviceLine(*s, s->input, "inputs", kSdfCmdRead);
    report += SubdeviceLine(*s, s->output, "outputs", kSdfCmdWrite);
  }
  if (report.empty())
    report = shell::Format("No comedi device found (/dev/comedi0 to /dev/comedi%d): %s.\n",
                           kSlotCount - 1, slots_[0].openError.c_str());
  return report;
}

bool ComediDriver::AnyDevice() {
  std::lock_guard lock(mutex_);
  DriverStatus status = kStatusOk;
  for (int n = 1; n <= kSlotCount; ++n)
    if (OpenSlot(static_cast<std::int16_t>(n), &status)) return true;
  return false;
}

DriverStatus ComediDriver::Get_Zentra_Version(std::uint32_t* version) {
  std::lock_guard lock(mutex_);
  if (!version) return Fail(kBadValue, "no place for the version");
  DriverStatus status = kStatusOk;
  for (int n = 1; n <= kSlotCount; ++n) {
    Slot* s = OpenSlot(static_cast<std::int16_t>(n), &status);
    if (!s) continue;
    const int code = s->device->VersionCode();
    if (code < 0) return LibraryFailure(*s, "comedi_get_version_code");
    *version = static_cast<std::uint32_t>(code);
    return kStatusOk;
  }
  return Fail(kNoDevice, "no comedi device found");
}

DriverStatus ComediDriver::Device_Query(std::int16_t slot, std::int32_t attribute,
                                        std::uint32_t* value) {
  std::lock_guard lock(mutex_);
  if (attribute != kAttributeCardType || !value)
    return Fail(kBadValue, shell::Format("attribute %d is not offered", attribute));
  DriverStatus status = kStatusOk;
  Slot* s = OpenSlot(slot, &status);
  if (!s) return status;
  *value = s->typeCode;
  return kStatusOk;
}

// --- conversions ----------------------------------------------------------------

DriverStatus ComediDriver::ConversionFor(Slot& s, const Subdevice& sub, std::int16_t channel,
                                         std::int16_t gain, bool fullScale, Conversion* out) {
  const int slot = static_cast<int>(&s - slots_.data()) + 1;
  const char* kind = &sub == &s.input ? "analogue input" : "analogue output";
  if (sub.index < 0)
    return Fail(kNoDevice, DevicePath(slot) + " has no " + kind + " subdevice");
  if (channel < 0 || static_cast<unsigned>(channel) >= sub.channels)
    return Fail(kBadChannel, shell::Format("%s: %s channel %d is not one of 0..%u",
                                           DevicePath(slot).c_str(), kind, channel,
                                           sub.channels - 1));
  const auto subdevice = static_cast<unsigned>(sub.index);
  const auto ch = static_cast<unsigned>(channel);
  std::vector<Range> ranges;
  const int n = s.device->RangeCount(subdevice, ch);
  for (int i = 0; i < n; ++i) {
    Range r;
    if (!s.device->GetRange(subdevice, ch, static_cast<unsigned>(i), &r)) r.unit = ~0u;
    ranges.push_back(r);
  }
  const int range = fullScale ? FullScaleRange(ranges) : RangeForGain(ranges, gain);
  if (range < 0)
    return Fail(kBadValue,
                fullScale ? shell::Format("%s: %s channel %d has no volt range",
                                          DevicePath(slot).c_str(), kind, channel)
                          : shell::Format("%s: no range of %s channel %d matches gain code %d",
                                          DevicePath(slot).c_str(), kind, channel, gain));
  const std::uint32_t maxdata = s.device->MaxData(subdevice, ch);
  if (maxdata == 0) return LibraryFailure(s, "comedi_get_maxdata");
  out->range = static_cast<unsigned>(range);
  out->volts = ranges[range];
  out->maxdata = maxdata;
  return kStatusOk;
}

DriverStatus ComediDriver::Input_Scale(std::int16_t slot, std::int16_t channel,
                                       std::int16_t gain, double gainAdjust, double offset,
                                       std::int16_t reading, double* volts) {
  std::lock_guard lock(mutex_);
  if (!volts) return Fail(kBadValue, "no place for the voltage");
  DriverStatus status = kStatusOk;
  Slot* s = OpenSlot(slot, &status);
  if (!s) return status;
  Conversion c;
  status = ConversionFor(*s, s->input, channel, gain, false, &c);
  if (status != kStatusOk) return status;
  std::uint32_t aligned = 0;
  if (!c.Format().Aligned(reading, &aligned))
    return Fail(kBadValue, shell::Format("reading %d is outside the %u-bit range", reading,
                                         c.Format().Bits()));
  *volts = VoltsOf(c.volts, c.Format(), aligned) * gainAdjust + offset;
  return kStatusOk;
}

// Only the single form is offered; callers fall back to the buffer form
// when Input_Scale answers -10403, which this backend never does.
DriverStatus ComediDriver::Input_Scale_Buffer(std::int16_t, std::int16_t, std::int16_t, double,
                                              double, std::uint32_t, const std::int32_t*,
                                              double*) {
  std::lock_guard lock(mutex_);
  return Fail(kNotOffered, "Input_Scale_Buffer is not offered; use Input_Scale");
}

DriverStatus ComediDriver::Input_Read(std::int16_t slot, std::int16_t channel,
                                      std::int16_t gain, std::int16_t* reading) {
  std::lock_guard lock(mutex_);
  if (!reading) return Fail(kBadValue, "no place for the reading");
  DriverStatus status = kStatusOk;
  Slot* s = OpenSlot(slot, &status);
  if (!s) return status;
  Conversion c;
  status = ConversionFor(*s, s->input, channel, gain, false, &c);
  if (status != kStatusOk) return status;
  const std::uint32_t ms = settling_ ? settling_() : 0;
  const unsigned ns = ms == 0 ? 0 : kMaxSettlingNs;
  std::uint32_t sample = 0;
  if (s->device->DataReadDelayed(static_cast<unsigned>(s->input.index),
                                 static_cast<unsigned>(channel), c.range, s->input.aref,
                                 &sample, ns) < 0)
    return LibraryFailure(*s, "comedi_data_read_delayed");
  *reading = c.Format().DriverValue(sample);
  return kStatusOk;
}

DriverStatus ComediDriver::Output_Write(std::int16_t slot, std::int16_t channel,
                                        std::int16_t code) {
  std::lock_guard lock(mutex_);
  DriverStatus status = kStatusOk;
  Slot* s = OpenSlot(slot, &status);
  if (!s) return status;
  Conversion c;
  status = ConversionFor(*s, s->output, channel, 1, true, &c);
  if (status != kStatusOk) return status;
  std::uint32_t aligned = 0;
  if (!c.Format().Aligned(code, &aligned))
    return Fail(kBadValue,
                shell::Format("code %d is outside the %u-bit range", code, c.Format().Bits()));
  if (s->device->DataWrite(static_cast<unsigned>(s->output.index),
                           static_cast<unsigned>(channel), c.range, s->output.aref,
                           c.Format().Sample(aligned)) < 0)
    return LibraryFailure(*s, "comedi_data_write");
  return kStatusOk;
}

DriverStatus ComediDriver::Output_Scale(std::int16_t slot, std::int16_t channel, double volts,
                                        std::int16_t* code) {
  std::lock_guard lock(mutex_);
  if (!code) return Fail(kBadValue, "no place for the code");
  DriverStatus status = kStatusOk;
  Slot* s = OpenSlot(slot, &status);
  if (!s) return status;
  Conversion c;
  status = ConversionFor(*s, s->output, channel, 1, true, &c);
  if (status != kStatusOk) return status;
  std::uint32_t aligned = 0;
  if (!AlignedOfVolts(c.volts, c.Format(), volts, &aligned))
    return Fail(kBadValue, shell::Format("%g V is outside %g..%g V", volts, c.volts.min,
                                         c.volts.max));
  *code = c.Format().ValueOfAligned(aligned);
  return kStatusOk;
}

DriverStatus ComediDriver::Waveform_Scale(std::int16_t slot, std::int16_t channel,
                                          std::uint32_t count, double gain, const double* volts,
                                          std::int16_t* codes) {
  std::lock_guard lock(mutex_);
  if (count > 0 && (!volts || !codes)) return Fail(kBadValue, "no buffer");
  DriverStatus status = kStatusOk;
  Slot* s = OpenSlot(slot, &status);
  if (!s) return status;
  Conversion c;
  status = ConversionFor(*s, s->output, channel, 1, true, &c);
  if (status != kStatusOk) return status;
  // All or nothing: a refused voltage leaves the caller's codes untouched.
  std::vector<std::int16_t> scaled;
  try {
    scaled.resize(count);
  } catch (const std::bad_alloc&) {
    return Fail(kBadValue, shell::Format("no memory for %u codes", count));
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t aligned = 0;
    if (!AlignedOfVolts(c.volts, c.Format(), volts[i] * gain, &aligned))
      return Fail(kBadValue, shell::Format("point %u: %g V is outside %g..%g V", i,
                                           volts[i] * gain, c.volts.min, c.volts.max));
    scaled[i] = c.Format().ValueOfAligned(aligned);
  }
  std::copy(scaled.begin(), scaled.end(), codes);
  return kStatusOk;
}

// --- chassis: comedi has none -------------------------------------------------

DriverStatus ComediDriver::Chassis_Query(std::int16_t, std::int16_t*, std::int16_t*,
                                         std::int16_t*, std::int16_t*, std::int16_t*) {
  std::lock_guard lock(mutex_);
  return Fail(kNoDevice, "comedi devices have no chassis");
}

DriverStatus ComediDriver::Module_Query(std::int16_t, std::int16_t, std::int32_t*) {
  std::lock_guard lock(mutex_);
  return Fail(kNoDevice, "comedi devices have no chassis");
}

DriverStatus ComediDriver::Module_Output_Op(std::int16_t, std::int16_t, std::int16_t,
                                            std::int16_t, std::int16_t, std::int16_t,
                                            std::int16_t, std::int32_t, std::int32_t*) {
  std::lock_guard lock(mutex_);
  return Fail(kNoDevice, "comedi devices have no chassis");
}

// --- timed acquisitions ---------------------------------------------------------

DriverStatus ComediDriver::Timeout_Config(std::int16_t slot, std::int32_t ticks) {
  std::lock_guard lock(mutex_);
  if (slot < 1 || slot > kSlotCount)
    return Fail(kNoDevice, shell::Format("slot %d is not one of 1..%d", slot, kSlotCount));
  if (ticks < kTimeoutForever) return Fail(kBadValue, shell::Format("time-out %d", ticks));
  slots_[slot - 1].timeoutTicks = ticks;
  return kStatusOk;
}

DriverStatus ComediDriver::PrepareCommand(Slot& s, unsigned subdevice, Command* cmd,
                                          unsigned channels, double scanRate) {
  const double period = std::round(1e9 / scanRate);
  if (!Positive(scanRate) || period < 1.0 || period > std::numeric_limits<unsigned>::max())
    return Fail(kBadValue, shell::Format("rate %g per second is out of reach", scanRate));
  const int slot = static_cast<int>(&s - slots_.data()) + 1;
  if (s.device->GetCmdGenericTimed(subdevice, cmd, channels, static_cast<unsigned>(period)) < 0)
    return Fail(kNotOffered, DevicePath(slot) + ": comedi_get_cmd_generic_timed: " +
                                 s.device->ErrorText(s.device->LastError()));
  cmd->subdevice = subdevice;
  return kStatusOk;
}

DriverStatus ComediDriver::TestCommand(Slot& s, Command* cmd) {
  // Stages 3 and 4 fix or adjust arguments (a rate the clock cannot make
  // exactly); the adjusted command is tested again.
  for (int pass = 0;; ++pass) {
    const int result = s.device->CommandTest(cmd);
    if (result == 0) return kStatusOk;
    if (result < 0) return LibraryFailure(s, "comedi_command_test");
    if ((result != 3 && result != 4) || pass == 3) {
      const int slot = static_cast<int>(&s - slots_.data()) + 1;
      return Fail(kNotOffered,
                  shell::Format("%s: comedi_command_test refused the command (stage %d)",
                                DevicePath(slot).c_str(), result));
    }
  }
}

DriverStatus ComediDriver::TimedRead(std::unique_lock<std::mutex>& lock, Slot& s,
                                     const std::vector<unsigned>& chanlist,
                                     const std::vector<Conversion>& conversions,
                                     std::int16_t* buffer, std::uint32_t count,
                                     double sampleRate, double scanRate) {
  const int slot = static_cast<int>(&s - slots_.data()) + 1;
  const Subdevice& sub = s.input;
  if (!(sub.flags & kSdfCmdRead))
    return Fail(kNotOffered, DevicePath(slot) + ": the analogue input has no timed acquisition");
  const auto subdevice = static_cast<unsigned>(sub.index);
  const auto channels = static_cast<unsigned>(chanlist.size());
  const std::size_t sampleBytes = (sub.flags & kSdfLsampl) ? 4 : 2;
  const std::size_t total = static_cast<std::size_t>(count) * sampleBytes;
  std::vector<unsigned char> raw;
  try {
    raw.resize(total);
  } catch (const std::bad_alloc&) {
    return Fail(kBadValue, shell::Format("no memory for %u samples", count));
  }
  Command cmd;
  DriverStatus status = PrepareCommand(s, subdevice, &cmd, channels, scanRate);
  if (status != kStatusOk) return status;
  cmd.chanlist = chanlist;
  cmd.startSrc = kTrigNow;
  cmd.startArg = 0;
  cmd.scanEndSrc = kTrigCount;
  cmd.scanEndArg = channels;
  if (cmd.convertSrc == kTrigTimer && channels > 1 && Positive(sampleRate) &&
      1e9 / sampleRate <= std::numeric_limits<unsigned>::max())
    cmd.convertArg = static_cast<unsigned>(std::round(1e9 / sampleRate));
  cmd.stopSrc = kTrigCount;
  cmd.stopArg = count / channels;
  status = TestCommand(s, &cmd);
  if (status != kStatusOk) return status;
  if (s.device->StartCommand(&cmd) < 0) return LibraryFailure(s, "comedi_command");

  // The time-out of Timeout_Config; without one, the time the samples take
  // (at the period the device agreed to) and a grace.
  using Clock = std::chrono::steady_clock;
  const double periodNs = cmd.scanBeginSrc == kTrigTimer ? cmd.scanBeginArg : 1e9 / scanRate;
  const double expectedMs = periodNs * cmd.stopArg / 1e6;
  const double limitMs = s.timeoutTicks >= 0 ? static_cast<double>(s.timeoutTicks) * kTimeoutTickMs
                                             : expectedMs + kEndlessGraceMs;
  const auto deadline = Clock::now() + std::chrono::microseconds(
                                           static_cast<long long>(std::min(limitMs, 1e12) * 1000));

  std::size_t got = 0;
  while (got < total) {
    const long n = s.device->Read(raw.data() + got, total - got);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
      continue;
    }
    if (n == kReadEnded || n < 0) {
      status = n == kReadEnded
                   ? Fail(kDataLost, shell::Format("%s: the acquisition ended after %zu of %u "
                                                   "samples",
                                                   DevicePath(slot).c_str(), got / sampleBytes,
                                                   count))
                   : LibraryFailure(s, "read");
      s.device->Cancel(subdevice);
      return status;
    }
    if (Clock::now() >= deadline) {
      s.device->Cancel(subdevice);
      return Fail(kTimedOut, shell::Format("%s: %zu of %u samples within %.0f ms",
                                           DevicePath(slot).c_str(), got / sampleBytes, count,
                                           limitMs));
    }
    // Wait outside the lock, so a running output's feeder keeps its pace.
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    lock.lock();
  }
  s.device->Cancel(subdevice);

  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t sample = 0;
    if (sampleBytes == 4) {
      std::memcpy(&sample, raw.data() + 4 * i, 4);
    } else {
      std::uint16_t word = 0;
      std::memcpy(&word, raw.data() + 2 * i, 2);
      sample = word;
    }
    buffer[i] = conversions[i % channels].Format().DriverValue(sample);
  }
  return kStatusOk;
}

DriverStatus ComediDriver::DAQ_Op(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                                  std::int16_t* buffer, std::uint32_t count,
                                  double sampleRate) {
  std::unique_lock lock(mutex_);
  if (!buffer || count == 0) return Fail(kBadValue, "no samples asked for");
  if (!Positive(sampleRate)) return Fail(kBadValue, "the sample rate is not positive");
  DriverStatus status = kStatusOk;
  Slot* s = OpenSlot(slot, &status);
  if (!s) return status;
  Conversion c;
  status = ConversionFor(*s, s->input, channel, gain, false, &c);
  if (status != kStatusOk) return status;
  const std::vector<unsigned> chanlist{
      PackChannel(static_cast<unsigned>(channel), c.range, s->input.aref)};
  return TimedRead(lock, *s, chanlist, {c}, buffer, count, sampleRate, sampleRate);
}

DriverStatus ComediDriver::SCAN_Op(std::int16_t slot, std::int16_t channelCount,
                                   const std::int16_t* channels, const std::int16_t* gains,
                                   std::int16_t* buffer, std::uint32_t count, double sampleRate,
                                   double scanRate) {
  std::unique_lock lock(mutex_);
  if (channelCount < 1 || !channels || !gains || !buffer || count == 0)
    return Fail(kBadValue, "no channels or no samples asked for");
  if (count % static_cast<std::uint32_t>(channelCount) != 0)
    return Fail(kBadValue, shell::Format("%u samples are not whole scans of %d channels", count,
                                         channelCount));
  if (!Positive(scanRate)) return Fail(kBadValue, "the scan rate is not positive");
  DriverStatus status = kStatusOk;
  Slot* s = OpenSlot(slot, &status);
  if (!s) return status;
  std::vector<unsigned> chanlist;
  std::vector<Conversion> conversions;
  for (int k = 0; k < channelCount; ++k) {
    Conversion c;
    status = ConversionFor(*s, s->input, channels[k], gains[k], false, &c);
    if (status != kStatusOk) return status;
    chanlist.push_back(PackChannel(static_cast<unsigned>(channels[k]), c.range, s->input.aref));
    conversions.push_back(c);
  }
  return TimedRead(lock, *s, chanlist, conversions, buffer, count, sampleRate, scanRate);
}

}  // namespace tsm::daq::comedi
