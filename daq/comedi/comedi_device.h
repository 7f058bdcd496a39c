// The seam between the real-card backend and comedilib: one small interface
// of exactly the library calls the backend makes, in the library's own terms
// (subdevices, channels, ranges, maxdata, samples, commands). The program's
// build implements it over comedilib; tests put a fake device in its place,
// so the backend is tested without a comedi device or kernel module.
//
// Nothing here includes a comedilib header: the constants below carry the
// values of the kernel interface, and the comedilib implementation checks
// at compile time that they agree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tsm::daq::comedi {

// Subdevice types the backend looks for.
inline constexpr int kSubdeviceAnalogInput = 1;
inline constexpr int kSubdeviceAnalogOutput = 2;

// Subdevice flags the backend reads.
inline constexpr unsigned kSdfCmdWrite = 0x4000;    // can run output commands
inline constexpr unsigned kSdfCmdRead = 0x8000;     // can run input commands
inline constexpr unsigned kSdfGround = 0x00100000;  // analogue reference: ground
inline constexpr unsigned kSdfCommon = 0x00200000;
inline constexpr unsigned kSdfDiff = 0x00400000;
inline constexpr unsigned kSdfOther = 0x00800000;
inline constexpr unsigned kSdfLsampl = 0x10000000;  // 32-bit samples in the buffer

// Analogue references.
inline constexpr unsigned kArefGround = 0;
inline constexpr unsigned kArefCommon = 1;
inline constexpr unsigned kArefDiff = 2;
inline constexpr unsigned kArefOther = 3;

// Trigger sources and command flags.
inline constexpr unsigned kTrigNone = 0x1;
inline constexpr unsigned kTrigNow = 0x2;
inline constexpr unsigned kTrigFollow = 0x4;
inline constexpr unsigned kTrigTimer = 0x10;
inline constexpr unsigned kTrigCount = 0x20;
inline constexpr unsigned kTrigInt = 0x80;
inline constexpr unsigned kCmdfWrite = 0x40;

// Range units; the backend uses volt ranges only.
inline constexpr unsigned kUnitVolt = 0;

// A channel, range and reference packed as a channel list entry.
constexpr unsigned PackChannel(unsigned channel, unsigned range, unsigned aref) {
  return ((aref & 0x3u) << 24) | ((range & 0xffu) << 16) | (channel & 0xffffu);
}
constexpr unsigned PackedChannel(unsigned packed) { return packed & 0xffffu; }
constexpr unsigned PackedRange(unsigned packed) { return (packed >> 16) & 0xffu; }

struct Range {
  double min = 0.0;
  double max = 0.0;
  unsigned unit = kUnitVolt;
};

// A timed command, field for field.
struct Command {
  unsigned subdevice = 0;
  unsigned flags = 0;
  unsigned startSrc = 0, startArg = 0;
  unsigned scanBeginSrc = 0, scanBeginArg = 0;  // the scan period in ns for kTrigTimer
  unsigned convertSrc = 0, convertArg = 0;
  unsigned scanEndSrc = 0, scanEndArg = 0;
  unsigned stopSrc = 0, stopArg = 0;
  std::vector<unsigned> chanlist;
};

// One opened device (/dev/comediN). Integer results follow comedilib: -1
// (or another negative value) on failure, the reason then in LastError.
class Device {
 public:
  virtual ~Device() = default;

  virtual std::string BoardName() = 0;
  virtual std::string DriverName() = 0;
  virtual int VersionCode() = 0;

  // The first subdevice of the type, or -1.
  virtual int FindSubdevice(int type) = 0;
  virtual int SubdeviceFlags(unsigned subdevice) = 0;
  virtual int ChannelCount(unsigned subdevice) = 0;
  // 0 on failure.
  virtual std::uint32_t MaxData(unsigned subdevice, unsigned channel) = 0;
  virtual int RangeCount(unsigned subdevice, unsigned channel) = 0;
  virtual bool GetRange(unsigned subdevice, unsigned channel, unsigned range, Range* out) = 0;

  // A single conversion, `settlingNs` after selecting the channel.
  virtual int DataReadDelayed(unsigned subdevice, unsigned channel, unsigned range,
                              unsigned aref, std::uint32_t* sample, unsigned settlingNs) = 0;
  virtual int DataWrite(unsigned subdevice, unsigned channel, unsigned range, unsigned aref,
                        std::uint32_t sample) = 0;

  // Timed commands. CommandTest answers 0 when the command is valid, 1..5
  // for the stage that refused or adjusted it (3 and 4: arguments were
  // fixed or adjusted, test again), negative on failure.
  virtual int GetCmdGenericTimed(unsigned subdevice, Command* cmd, unsigned chanlistLength,
                                 unsigned scanPeriodNs) = 0;
  virtual int CommandTest(Command* cmd) = 0;
  // Starts the command on its subdevice (which becomes the device's read or
  // write subdevice, as the command's direction needs).
  virtual int StartCommand(Command* cmd) = 0;
  virtual int Cancel(unsigned subdevice) = 0;
  virtual int InternalTrigger(unsigned subdevice, unsigned trigger) = 0;
  // Bytes waiting in the subdevice's buffer: for an input command, acquired
  // and not yet read; for an output command, written and not yet played.
  virtual int BufferContents(unsigned subdevice) = 0;
  virtual int BufferSize(unsigned subdevice) = 0;

  // Reads acquired bytes of the running input command without waiting:
  // the count read, 0 when none has arrived yet, kReadEnded when the
  // command has ended and nothing is left, -1 on failure.
  virtual long Read(void* buffer, std::size_t bytes) = 0;
  // Writes bytes for the running output command without waiting: the count
  // taken (0 when the buffer is full), -1 on failure.
  virtual long Write(const void* buffer, std::size_t bytes) = 0;

  // The library's error number of the last failing call, and its text.
  virtual int LastError() = 0;
  virtual std::string ErrorText(int error) = 0;
};

inline constexpr long kReadEnded = -2;

// Opens devices by path.
class Library {
 public:
  virtual ~Library() = default;
  // The opened device, or nullptr with the reason in *error.
  virtual std::unique_ptr<Device> Open(const std::string& path, std::string* error) = 0;
};

// The library over comedilib; nullptr when this program was built without
// it (TESMIRA_COMEDI=OFF).
std::unique_ptr<Library> MakeComedilib();

}  // namespace tsm::daq::comedi
