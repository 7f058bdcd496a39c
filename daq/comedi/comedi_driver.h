// The real-card backend: the driver operations over comedi devices. Slot n
// (1..16) is the device /dev/comedi(n-1); on it the backend uses the first
// analogue input subdevice (ADC channels) and the first analogue output
// subdevice (DAC channels). There are no Tribox chassis.
//
// Type codes: Device_Query answers a stable code per board model, a hash of
// the comedi driver and board names with the top bit set, so it never meets
// the small codes of the known card tables and detection autodetects the
// card. Gains select the range whose span best matches full scale divided by
// the gain (comedi_scaling.h); statuses are listed in comedi_status.h.
//
// Threads: the callers serialise their calls (DriverMutex). A running
// waveform output has one feeder thread of its own that keeps the device's
// buffer filled; it and the callers share the backend's state under the
// backend's own lock and never call back into the program.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "daq/comedi/comedi_device.h"
#include "daq/comedi/comedi_scaling.h"
#include "daq/comedi/comedi_status.h"
#include "daq/driver.h"

namespace tsm::daq::comedi {

inline constexpr int kSlotCount = 16;
// The kernel refuses a settling wait of 100 us or more between selecting a
// channel and converting it.
inline constexpr unsigned kMaxSettlingNs = 99999;
// A time-out tick of Timeout_Config.
inline constexpr unsigned kTimeoutTickMs = 55;
// Without a time-out (-1) a timed acquisition still ends this long after
// the time its samples take, so a device that stops delivering cannot
// hang the program.
inline constexpr unsigned kEndlessGraceMs = 10000;

// "/dev/comedi%d" of slot n.
std::string DevicePath(int slot);
// The type code Device_Query answers for a board.
std::uint32_t BoardTypeCode(const std::string& driverName, const std::string& boardName);

class ComediDriver : public Driver {
 public:
  // The settling time before a single reading, in milliseconds (the
  // program's "DelayBeforeVoltage"); it is asked at every reading.
  using SettlingSource = std::function<std::uint32_t()>;

  // `library` may be null (a program built without comedilib): then no slot
  // holds a device.
  explicit ComediDriver(std::unique_ptr<Library> library, SettlingSource settling = {});
  ~ComediDriver() override;
  ComediDriver(const ComediDriver&) = delete;
  ComediDriver& operator=(const ComediDriver&) = delete;

  DriverStatus Get_Zentra_Version(std::uint32_t* version) override;
  DriverStatus Device_Query(std::int16_t slot, std::int32_t attribute,
                            std::uint32_t* value) override;
  DriverStatus Input_Read(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                          std::int16_t* reading) override;
  DriverStatus Input_Scale(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                           double gainAdjust, double offset, std::int16_t reading,
                           double* volts) override;
  DriverStatus Input_Scale_Buffer(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                                  double gainAdjust, double offset, std::uint32_t count,
                                  const std::int32_t* readings, double* volts) override;
  DriverStatus Output_Write(std::int16_t slot, std::int16_t channel,
                            std::int16_t code) override;
  DriverStatus Output_Scale(std::int16_t slot, std::int16_t channel, double volts,
                            std::int16_t* code) override;
  DriverStatus Chassis_Query(std::int16_t chassis, std::int16_t* unused1,
                             std::int16_t* address, std::int16_t* present,
                             std::int16_t* unused2, std::int16_t* slotCount) override;
  DriverStatus Module_Query(std::int16_t chassis, std::int16_t slot,
                            std::int32_t* moduleId) override;
  DriverStatus Module_Output_Op(std::int16_t chassis, std::int16_t slot, std::int16_t channel,
                                std::int16_t operation, std::int16_t mode,
                                std::int16_t reserved1, std::int16_t reserved2,
                                std::int32_t value, std::int32_t* out) override;
  DriverStatus DAQ_Op(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                      std::int16_t* buffer, std::uint32_t count, double sampleRate) override;
  DriverStatus SCAN_Op(std::int16_t slot, std::int16_t channelCount,
                       const std::int16_t* channels, const std::int16_t* gains,
                       std::int16_t* buffer, std::uint32_t count, double sampleRate,
                       double scanRate) override;
  DriverStatus Timeout_Config(std::int16_t slot, std::int32_t ticks) override;
  DriverStatus Waveform_Scale(std::int16_t slot, std::int16_t channel, std::uint32_t count,
                              double gain, const double* volts, std::int16_t* codes) override;
  // The codes stay the caller's and must live until CLEAR: RESUME takes
  // them again, so codes changed while the output is paused are played.
  DriverStatus WFM_Op(std::int16_t slot, std::int16_t channelCount,
                      const std::int16_t* channels, const std::int16_t* codes,
                      std::uint32_t count, std::uint32_t iterations,
                      double updateRate) override;
  DriverStatus WFM_Group_Control(std::int16_t slot, std::int16_t group,
                                 std::int16_t operation) override;
  DriverStatus WFM_Check(std::int16_t slot, std::int16_t channel, std::int16_t* status,
                         std::uint32_t* pointsDone, std::uint32_t* iterationsDone) override;

  std::string LastErrorDetail() override;

  // For each slot that holds a device, a line naming it ("comedi: slot 1 is
  // /dev/comedi0, board ...") and one line each for its analogue inputs and
  // outputs (channels, bits, volt ranges, timed or not); or the line saying
  // that no comedi device was found and why. Opens the devices it has not
  // tried yet.
  std::string DeviceReport();
  bool AnyDevice();

 private:
  struct Subdevice {
    int index = -1;
    unsigned flags = 0;
    unsigned channels = 0;
    unsigned aref = kArefGround;
  };
  struct Output;
  struct Slot {
    bool tried = false;
    std::unique_ptr<Device> device;
    std::string openError;
    std::uint32_t typeCode = 0;
    Subdevice input, output;
    std::int32_t timeoutTicks = kTimeoutForever;
    std::unique_ptr<Output> wfm;
  };
  // A channel's conversion on a subdevice for a gain (or the full scale).
  struct Conversion {
    unsigned range = 0;
    Range volts;
    std::uint32_t maxdata = 0;
    SampleFormat Format() const { return SampleFormat(maxdata, IsBipolar(volts)); }
  };

  // Everything below runs with mutex_ held.
  Slot* OpenSlot(std::int16_t slot, DriverStatus* status);
  DriverStatus Fail(DriverStatus status, const std::string& detail);
  std::string SubdeviceLine(Slot& s, const Subdevice& sub, const char* kind, unsigned timedFlag);
  DriverStatus LibraryFailure(Slot& s, const char* call);
  DriverStatus ConversionFor(Slot& s, const Subdevice& sub, std::int16_t channel,
                             std::int16_t gain, bool fullScale, Conversion* out);
  DriverStatus TimedRead(std::unique_lock<std::mutex>& lock, Slot& s,
                         const std::vector<unsigned>& chanlist,
                         const std::vector<Conversion>& conversions, std::int16_t* buffer,
                         std::uint32_t count, double sampleRate, double scanRate);
  DriverStatus PrepareCommand(Slot& s, unsigned subdevice, Command* cmd, unsigned channels,
                              double scanRate);
  DriverStatus TestCommand(Slot& s, Command* cmd);
  void StopOutput(std::unique_lock<std::mutex>& lock, Slot& s);
  DriverStatus StartSegment(Slot& s);
  DriverStatus PauseSegment(Slot& s);
  void Feed(Slot& s);
  void FeederLoop(Slot* s);
  std::uint64_t BytesPlayed(Slot& s);

  std::unique_ptr<Library> library_;
  SettlingSource settling_;
  std::mutex mutex_;
  std::array<Slot, kSlotCount> slots_;
  std::string detail_;
};

}  // namespace tsm::daq::comedi
