// The hardware boundary: every contact with acquisition cards goes through
// the operations of `Driver`, with the argument order, units and status codes
// the rest of the program relies on. One process-wide instance serves the
// program; by default it is the EmulatedDriver (three simulated cards).
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

namespace tsm::daq {

// Status of every driver operation: 0 success, negative error, positive
// warning. Callers test for non-zero, for the sign, and for one code only.
using DriverStatus = std::int16_t;

inline constexpr DriverStatus kStatusOk = 0;
// What the emulation answers for every refused call.
inline constexpr DriverStatus kStatusFailed = -1;
// "The device does not support the requested action": the single-value form
// of a reading or scaling is not offered, use the buffer form instead.
inline constexpr DriverStatus kStatusUseBufferForm = -10403;

// Device_Query attribute that answers the card's type code.
inline constexpr std::int32_t kAttributeCardType = 15300;

// Module_Output_Op operation/mode pairs.
inline constexpr std::int16_t kModuleOpWrite = 1;
inline constexpr std::int16_t kModuleModeWrite = 5;
inline constexpr std::int16_t kModuleOpProbe = 2;
inline constexpr std::int16_t kModuleModeProbe = 6;

// WFM_Group_Control operations.
inline constexpr std::int16_t kWfmClear = 0;
inline constexpr std::int16_t kWfmPause = 2;
inline constexpr std::int16_t kWfmResume = 4;

// Timeout_Config: wait for ever.
inline constexpr std::int32_t kTimeoutForever = -1;

// Slots are 1..16 for plug-in cards; chassis 0 is the plug-in bus, 1..3 are
// Tribox chassis. Channels count from 0. Volts are doubles, readings and
// codes the driver's signed 16-bit words. Out arguments are pointers, as a
// C driver library takes them; a null out pointer makes the call fail.
class Driver {
 public:
  virtual ~Driver() = default;

  virtual DriverStatus Get_Zentra_Version(std::uint32_t* version) = 0;
  virtual DriverStatus Device_Query(std::int16_t slot, std::int32_t attribute,
                                    std::uint32_t* value) = 0;
  virtual DriverStatus Input_Read(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                                  std::int16_t* reading) = 0;
  virtual DriverStatus Input_Scale(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                                   double gainAdjust, double offset, std::int16_t reading,
                                   double* volts) = 0;
  // The buffer form of Input_Scale: `readings` holds 32-bit words.
  virtual DriverStatus Input_Scale_Buffer(std::int16_t slot, std::int16_t channel,
                                          std::int16_t gain, double gainAdjust, double offset,
                                          std::uint32_t count, const std::int32_t* readings,
                                          double* volts) = 0;
  virtual DriverStatus Output_Write(std::int16_t slot, std::int16_t channel,
                                    std::int16_t code) = 0;
  virtual DriverStatus Output_Scale(std::int16_t slot, std::int16_t channel, double volts,
                                    std::int16_t* code) = 0;
  virtual DriverStatus Chassis_Query(std::int16_t chassis, std::int16_t* unused1,
                                     std::int16_t* address, std::int16_t* present,
                                     std::int16_t* unused2, std::int16_t* slotCount) = 0;
  virtual DriverStatus Module_Query(std::int16_t chassis, std::int16_t slot,
                                    std::int32_t* moduleId) = 0;
  virtual DriverStatus Module_Output_Op(std::int16_t chassis, std::int16_t slot,
                                        std::int16_t channel, std::int16_t operation,
                                        std::int16_t mode, std::int16_t reserved1,
                                        std::int16_t reserved2, std::int32_t value,
                                        std::int32_t* out) = 0;
  // Fills `count` readings of one channel at `sampleRate` samples per second.
  virtual DriverStatus DAQ_Op(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                              std::int16_t* buffer, std::uint32_t count,
                              double sampleRate) = 0;
  // Fills `count` readings in all (channels x scans), channel-interleaved.
  virtual DriverStatus SCAN_Op(std::int16_t slot, std::int16_t channelCount,
                               const std::int16_t* channels, const std::int16_t* gains,
                               std::int16_t* buffer, std::uint32_t count, double sampleRate,
                               double scanRate) = 0;
  // Time-out of later DAQ_Op/SCAN_Op in ticks of 55 ms; kTimeoutForever waits.
  virtual DriverStatus Timeout_Config(std::int16_t slot, std::int32_t ticks) = 0;
  virtual DriverStatus Waveform_Scale(std::int16_t slot, std::int16_t channel,
                                      std::uint32_t count, double gain, const double* volts,
                                      std::int16_t* codes) = 0;
  // Starts waveform output in the background; `count` = channels x points,
  // iterations 0 repeats for ever, updateRate in points per second.
  virtual DriverStatus WFM_Op(std::int16_t slot, std::int16_t channelCount,
                              const std::int16_t* channels, const std::int16_t* codes,
                              std::uint32_t count, std::uint32_t iterations,
                              double updateRate) = 0;
  virtual DriverStatus WFM_Group_Control(std::int16_t slot, std::int16_t group,
                                         std::int16_t operation) = 0;
  virtual DriverStatus WFM_Check(std::int16_t slot, std::int16_t channel, std::int16_t* status,
                                 std::uint32_t* pointsDone, std::uint32_t* iterationsDone) = 0;

  // What a real driver knows about its last failing status beyond the code
  // (the device, the library call and the library's message); the status
  // reporter shows it beside the operation's label. Empty by default.
  virtual std::string LastErrorDetail() { return {}; }
};

// The driver the program talks to.
Driver& GetDriver();
// Installs a driver (not owned); nullptr restores the built-in emulation.
void SetDriver(Driver* driver);

// The driver is used by one thread at a time and holds no lock of its own.
// Code that may run on the UI thread while the measurement worker runs (the
// dialog's refresh, manual settings) takes this mutex around its calls, and
// so does the worker; code that only runs while no worker exists need not.
std::mutex& DriverMutex();

}  // namespace tsm::daq
