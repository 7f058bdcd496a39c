// A fake comedi device for the tests of the real-card backend, behaving
// like the kernel's test driver: subdevice 0 has 8 analogue inputs of 16
// bits with the ranges +-10 V and +-5 V, subdevice 1 has 8 analogue outputs
// of 16 bits (+-10 V). A single reading of input n answers the last sample
// written to output n (a loopback); a timed acquisition delivers the known
// waveform TimedSample at the command's pace, in real time; a timed output
// plays what it is fed at its pace and runs dry when it is not fed.
//
// Any call can be made to fail with an error number, the input can be made
// to stall or to end early, and command tests can be refused. Thread-safe:
// the backend's feeder thread and the test thread may call it at once.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "daq/comedi/comedi_device.h"

namespace tsm::testing {

class FakeComediDevice : public daq::comedi::Device {
 public:
  static constexpr unsigned kChannels = 8;
  static constexpr std::uint32_t kMaxData = 65535;
  static constexpr unsigned kInput = 0;
  static constexpr unsigned kOutput = 1;
  static constexpr unsigned kMinPeriodNs = 1000;
  static constexpr int kVersion = 0x074C;

  // The sample of `channel` in scan `scan` of a timed acquisition: a
  // sawtooth of period 256 scans, channel n shifted by n x 4096.
  static std::uint32_t TimedSample(unsigned channel, std::uint64_t scan) {
    return static_cast<std::uint32_t>((scan % 256) * 256 + channel * 4096) & 0xFFFFu;
  }

  FakeComediDevice();

  // --- what the tests arrange --------------------------------------------------
  // The named call ("comedi_data_read_delayed", "comedi_data_write",
  // "comedi_command", "comedi_cancel", "comedi_internal_trigger", "read",
  // "write", "comedi_get_version_code", "comedi_get_maxdata") fails with
  // `error` from now on; 0 lets it succeed again.
  void FailCall(const std::string& call, int error);
  void StallInput(bool stall);               // a timed acquisition delivers nothing
  void EndInputAfter(std::uint64_t scans);   // ... or ends after this many scans
  void RefuseCommands(int stage);            // CommandTest answers this stage (0: judge)
  void SetBufferBytes(int bytes);
  void SetNoCommands();                      // neither subdevice runs timed commands

  // --- what the tests observe ------------------------------------------------
  std::uint32_t OutputSample(unsigned channel);
  std::vector<daq::comedi::Command> StartedCommands();
  unsigned LastSettlingNs();
  // Bytes of the running output played so far, and whether it ran dry.
  std::uint64_t OutputBytesPlayed();
  bool OutputRanDry();
  bool OutputRunning();
  int Cancels();

  // --- the seam --------------------------------------------------------------------
  std::string BoardName() override { return "comedi_test"; }
  std::string DriverName() override { return "comedi_test"; }
  int VersionCode() override;
  int FindSubdevice(int type) override;
  int SubdeviceFlags(unsigned subdevice) override;
  int ChannelCount(unsigned subdevice) override;
  std::uint32_t MaxData(unsigned subdevice, unsigned channel) override;
  int RangeCount(unsigned subdevice, unsigned channel) override;
  bool GetRange(unsigned subdevice, unsigned channel, unsigned range,
                daq::comedi::Range* out) override;
  int DataReadDelayed(unsigned subdevice, unsigned channel, unsigned range, unsigned aref,
                      std::uint32_t* sample, unsigned settlingNs) override;
  int DataWrite(unsigned subdevice, unsigned channel, unsigned range, unsigned aref,
                std::uint32_t sample) override;
  int GetCmdGenericTimed(unsigned subdevice, daq::comedi::Command* cmd, unsigned chanlistLength,
                         unsigned scanPeriodNs) override;
  int CommandTest(daq::comedi::Command* cmd) override;
  int StartCommand(daq::comedi::Command* cmd) override;
  int Cancel(unsigned subdevice) override;
  int InternalTrigger(unsigned subdevice, unsigned trigger) override;
  int BufferContents(unsigned subdevice) override;
  int BufferSize(unsigned subdevice) override;
  long Read(void* buffer, std::size_t bytes) override;
  long Write(const void* buffer, std::size_t bytes) override;
  int LastError() override;
  std::string ErrorText(int error) override;

 private:
  using Clock = std::chrono::steady_clock;
  struct Acquisition {
    bool running = false;
    daq::comedi::Command cmd;
    Clock::time_point start;
    std::uint64_t bytesRead = 0;
  };
  struct Playback {
    bool armed = false;    // command given, not yet triggered
    bool running = false;  // triggered and playing
    bool dry = false;      // ran out of data: stopped with an error
    daq::comedi::Command cmd;
    Clock::time_point start;
    std::vector<unsigned char> pending;  // written, not yet played
    std::uint64_t played = 0;            // bytes played since the trigger
    std::uint64_t written = 0;
  };

  bool Failing(const char* call);
  void Advance();  // plays what the output's pace allows by now
  std::uint64_t ScansDue(const daq::comedi::Command& cmd, Clock::time_point start) const;

  std::mutex mutex_;
  std::map<std::string, int> failures_;
  int lastError_ = 0;
  bool stall_ = false;
  std::uint64_t endAfter_ = 0;
  int refuseStage_ = 0;
  int bufferBytes_ = 4096;
  bool commands_ = true;
  std::uint32_t outputs_[kChannels];
  unsigned lastSettlingNs_ = 0;
  int cancels_ = 0;
  std::vector<daq::comedi::Command> started_;
  Acquisition in_;
  Playback out_;
};

// Opens a fake device at each path it was given; every other path fails
// with "No such file or directory".
class FakeComediLibrary : public daq::comedi::Library {
 public:
  // Adds a device at the path and returns it (it belongs to whoever opens it).
  FakeComediDevice* AddDevice(const std::string& path);
  std::unique_ptr<daq::comedi::Device> Open(const std::string& path,
                                            std::string* error) override;

 private:
  std::map<std::string, std::unique_ptr<FakeComediDevice>> devices_;
};

}  // namespace tsm::testing
