// The backend's waveform output: a timed output command started by an
// internal trigger, fed by a thread of its own while it plays. comedi has no
// pause, so PAUSE cancels the command where it stands and RESUME starts a
// new one there, with the caller's codes taken again.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "daq/comedi/comedi_output.h"
#include "shell/stringex.h"

namespace tsm::daq::comedi {

namespace {
constexpr std::size_t kAssumedBufferBytes = 65536;
constexpr long kMinFeedMs = 1;
constexpr long kMaxFeedMs = 20;
}  // namespace

std::uint64_t ComediDriver::BytesPlayed(Slot& s) {
  Output& o = *s.wfm;
  if (!o.running) return o.written;
  const int contents = s.device->BufferContents(o.subdevice);
  if (contents < 0) return o.written;
  return o.written - std::min<std::uint64_t>(static_cast<std::uint64_t>(contents), o.written);
}

// Hands the device as much of the stream as its buffer takes now. A finite
// output is finished when all of it was handed over and played.
void ComediDriver::Feed(Slot& s) {
  Output& o = *s.wfm;
  if (!o.running) return;
  for (;;) {
    if (o.totalBytes != 0 && o.written >= o.totalBytes) break;
    const std::size_t offset = static_cast<std::size_t>(o.written % o.period.size());
    std::size_t chunk = o.period.size() - offset;
    if (o.totalBytes != 0)
      chunk = static_cast<std::size_t>(
          std::min<std::uint64_t>(chunk, o.totalBytes - o.written));
    const long n = s.device->Write(o.period.data() + offset, chunk);
    if (n < 0) {
      o.failure = LibraryFailure(s, "write");
      o.failureDetail = detail_;
      o.running = false;
      s.device->Cancel(o.subdevice);
      return;
    }
    o.written += static_cast<std::uint64_t>(n);
    if (static_cast<std::size_t>(n) < chunk) break;
  }
  if (o.totalBytes != 0 && o.written >= o.totalBytes && BytesPlayed(s) >= o.totalBytes) {
    o.finished = true;
    o.running = false;
    s.device->Cancel(o.subdevice);
  }
}

void ComediDriver::FeederLoop(Slot* s) {
  std::unique_lock lock(mutex_);
  Output& o = *s->wfm;
  while (!o.stop) {
    Feed(*s);
    o.wake.wait_for(lock, o.interval);
  }
}

DriverStatus ComediDriver::StartSegment(Slot& s) {
  Output& o = *s.wfm;
  // The caller's codes, taken again at every start: a paused output plays
  // what the caller changed meanwhile.
  const std::size_t count = static_cast<std::size_t>(o.points) * o.channels;
  try {
    o.period.assign(count * o.sampleBytes, 0);
  } catch (const std::bad_alloc&) {
    return Fail(kBadValue, shell::Format("no memory for %zu codes", count));
  }
  for (std::size_t i = 0; i < count; ++i) {
    const Conversion& c = o.conversions[i % o.channels];
    std::uint32_t aligned = 0;
    if (!c.Format().Aligned(o.codes[i], &aligned))
      return Fail(kBadValue, shell::Format("code %d at %zu is outside the %u-bit range",
                                           o.codes[i], i, c.Format().Bits()));
    const std::uint32_t sample = c.Format().Sample(aligned);
    if (o.sampleBytes == 4) {
      std::memcpy(o.period.data() + 4 * i, &sample, 4);
    } else {
      const auto word = static_cast<std::uint16_t>(sample);
      std::memcpy(o.period.data() + 2 * i, &word, 2);
    }
  }
  if (o.totalBytes != 0 && o.written >= o.totalBytes) {
    o.finished = true;
    return kStatusOk;
  }

  Command cmd;
  DriverStatus status = PrepareCommand(s, o.subdevice, &cmd, o.channels, o.rate);
  if (status != kStatusOk) return status;
  cmd.flags |= kCmdfWrite;
  cmd.chanlist = o.chanlist;
  cmd.startSrc = kTrigInt;
  cmd.startArg = 0;
  cmd.scanEndSrc = kTrigCount;
  cmd.scanEndArg = o.channels;
  if (o.totalBytes != 0) {
    cmd.stopSrc = kTrigCount;
    cmd.stopArg = static_cast<unsigned>((o.totalBytes - o.written) / o.ScanBytes());
  } else {
    cmd.stopSrc = kTrigNone;
    cmd.stopArg = 0;
  }
  status = TestCommand(s, &cmd);
  if (status != kStatusOk) return status;
  if (s.device->StartCommand(&cmd) < 0) return LibraryFailure(s, "comedi_command");
  o.running = true;
  o.failure = kStatusOk;
  Feed(s);  // the device plays only what it holds when triggered
  if (o.failure != kStatusOk) return o.failure;
  if (s.device->InternalTrigger(o.subdevice, 0) < 0) {
    status = LibraryFailure(s, "comedi_internal_trigger");
    s.device->Cancel(o.subdevice);
    o.running = false;
    return status;
  }
  // Feed four times per buffer's worth of playing time.
  const int size = s.device->BufferSize(o.subdevice);
  const double bytes = size > 0 ? size : static_cast<double>(kAssumedBufferBytes);
  const double playMs = bytes / (static_cast<double>(o.ScanBytes()) * o.rate) * 1000.0;
  o.interval = std::chrono::milliseconds(
      std::clamp(static_cast<long>(playMs / 4), kMinFeedMs, kMaxFeedMs));
  return kStatusOk;
}

DriverStatus ComediDriver::PauseSegment(Slot& s) {
  Output& o = *s.wfm;
  o.paused = true;
  if (!o.running) return kStatusOk;
  // What the buffer still holds was not played: it plays after RESUME.
  std::uint64_t played = BytesPlayed(s);
  const bool cancelled = s.device->Cancel(o.subdevice) >= 0;
  o.running = false;
  played -= played % o.ScanBytes();
  o.written = played;
  return cancelled ? kStatusOk : LibraryFailure(s, "comedi_cancel");
}

void ComediDriver::StopOutput(std::unique_lock<std::mutex>& lock, Slot& s) {
  Output& o = *s.wfm;
  if (o.running) s.device->Cancel(o.subdevice);
  o.running = false;
  o.stop = true;
  o.wake.notify_all();
  std::thread feeder = std::move(o.feeder);
  lock.unlock();
  if (feeder.joinable()) feeder.join();
  lock.lock();
  s.wfm.reset();
}

DriverStatus ComediDriver::WFM_Op(std::int16_t slot, std::int16_t channelCount,
                                  const std::int16_t* channels, const std::int16_t* codes,
                                  std::uint32_t count, std::uint32_t iterations,
                                  double updateRate) {
  std::unique_lock lock(mutex_);
  if (channelCount < 1 || !channels || !codes || count == 0 ||
      count % static_cast<std::uint32_t>(channelCount) != 0)
    return Fail(kBadValue, "the codes are not whole points of the channel list");
  if (!std::isfinite(updateRate) || updateRate <= 0.0)
    return Fail(kBadValue, "the update rate is not positive");
  DriverStatus status = kStatusOk;
  Slot* s = OpenSlot(slot, &status);
  if (!s) return status;
  if (s->output.index >= 0 && !(s->output.flags & kSdfCmdWrite))
    return Fail(kNotOffered, DevicePath(slot) + ": the analogue output has no timed output");
  const std::uint32_t points = count / static_cast<std::uint32_t>(channelCount);
  if (iterations != 0 && points > std::numeric_limits<unsigned>::max() / iterations)
    return Fail(kBadValue, shell::Format("%u iterations of %u points are too many", iterations,
                                         points));

  auto output = std::make_unique<Output>();
  output->subdevice = static_cast<unsigned>(s->output.index);
  for (int k = 0; k < channelCount; ++k) {
    Conversion c;
    status = ConversionFor(*s, s->output, channels[k], 1, true, &c);
    if (status != kStatusOk) return status;
    output->chanlist.push_back(
        PackChannel(static_cast<unsigned>(channels[k]), c.range, s->output.aref));
    output->conversions.push_back(c);
  }
  // An output already playing on the slot gives way to the new one.
  if (s->wfm) StopOutput(lock, *s);

  output->codes = codes;
  output->points = points;
  output->channels = static_cast<unsigned>(channelCount);
  output->rate = updateRate;
  output->sampleBytes = (s->output.flags & kSdfLsampl) ? 4 : 2;
  output->totalBytes =
      static_cast<std::uint64_t>(count) * output->sampleBytes * iterations;  // 0: for ever
  s->wfm = std::move(output);
  status = StartSegment(*s);
  if (status != kStatusOk) {
    s->wfm.reset();
    return status;
  }
  s->wfm->feeder = std::thread(&ComediDriver::FeederLoop, this, s);
  return kStatusOk;
}

DriverStatus ComediDriver::WFM_Group_Control(std::int16_t slot, std::int16_t,
                                             std::int16_t operation) {
  std::unique_lock lock(mutex_);
  if (operation != kWfmClear && operation != kWfmPause && operation != kWfmResume)
    return Fail(kBadValue, shell::Format("operation %d is none of CLEAR, PAUSE, RESUME",
                                         operation));
  DriverStatus status = kStatusOk;
  Slot* s = OpenSlot(slot, &status);
  if (!s) return status;
  if (!s->wfm) return kStatusOk;  // nothing plays: nothing to do
  switch (operation) {
    case kWfmClear:
      StopOutput(lock, *s);
      return kStatusOk;
    case kWfmPause:
      return PauseSegment(*s);
    default: {
      Output& o = *s->wfm;
      if (!o.paused) return kStatusOk;
      o.paused = false;
      status = StartSegment(*s);
      o.wake.notify_all();
      return status;
    }
  }
}

DriverStatus ComediDriver::WFM_Check(std::int16_t slot, std::int16_t, std::int16_t* status,
                                     std::uint32_t* pointsDone, std::uint32_t* iterationsDone) {
  std::lock_guard lock(mutex_);
  if (!status || !pointsDone || !iterationsDone) return Fail(kBadValue, "no place for progress");
  DriverStatus result = kStatusOk;
  Slot* s = OpenSlot(slot, &result);
  if (!s) return result;
  if (!s->wfm) return Fail(kBadValue, DevicePath(slot) + ": no waveform output runs");
  Output& o = *s->wfm;
  Feed(*s);  // also notices the end of a finite output
  if (o.failure != kStatusOk) return Fail(o.failure, o.failureDetail);
  const std::uint64_t scans = BytesPlayed(*s) / o.ScanBytes();
  *pointsDone = static_cast<std::uint32_t>(scans % o.points);
  *iterationsDone = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(scans / o.points, std::numeric_limits<std::uint32_t>::max()));
  *status = o.finished ? 1 : 0;
  return kStatusOk;
}

}  // namespace tsm::daq::comedi
