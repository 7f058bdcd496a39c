// The built-in emulation of the driver operations: plug-in cards in slots 3,
// 4 and 7, a simulated hysteretic Josephson junction behind slot 3, no Tribox
// chassis. Every measurement mode runs against it without hardware.
#pragma once

#include <array>
#include <cstdint>
#include <random>

#include "daq/driver.h"

namespace tsm::daq {

// Card type codes the emulated slots answer to Device_Query.
inline constexpr std::uint32_t kEmulatedType3 = 39;
inline constexpr std::uint32_t kEmulatedType4 = 15;
inline constexpr std::uint32_t kEmulatedType7 = 31234;
inline constexpr std::uint32_t kEmulatedVersion = 0x0500;

// Plain members, no lock: callers serialise access (DriverMutex). The noise
// comes from a seedable generator so that tests are reproducible.
class EmulatedDriver : public Driver {
 public:
  explicit EmulatedDriver(std::uint32_t seed = 1) { Seed(seed); }

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
  DriverStatus WFM_Op(std::int16_t slot, std::int16_t channelCount,
                      const std::int16_t* channels, const std::int16_t* codes,
                      std::uint32_t count, std::uint32_t iterations,
                      double updateRate) override;
  DriverStatus WFM_Group_Control(std::int16_t slot, std::int16_t group,
                                 std::int16_t operation) override;
  DriverStatus WFM_Check(std::int16_t slot, std::int16_t channel, std::int16_t* status,
                         std::uint32_t* pointsDone, std::uint32_t* iterationsDone) override;

  // --- for tests and the benchmark ---------------------------------------
  // Restarts the noise sequence.
  void Seed(std::uint32_t seed);
  // A fresh pseudo-random number 0..32767.
  int Random();
  // Back to the state at start (outputs 0, junction superconducting,
  // waveform counter 0); the noise sequence restarts from `seed`.
  void Reset(std::uint32_t seed = 1);

  enum JunctionState : int { kSuperconducting = 0, kResistive = 1, kReturnBranch = 2 };
  int Junction() const { return junction_; }
  int Slot3Output(int channel) const { return slot3_[channel & 1]; }
  int Slot4Output(int channel) const { return slot4_[channel % 6]; }
  int Slot7Output(int channel) const { return slot7_[channel & 1]; }
  int WaveformCounter() const { return wfmCounter_; }

 private:
  // Slot-3 input in 12-bit units (noise added, clamped to -2048..2047).
  int Slot3Signal(int channel);
  // The junction's output voltage in 12-bit units; may change its state.
  int JunctionVoltage();
  int Noise() { return Random() % 10 - 5; }

  std::array<int, 2> slot3_{};  // last code written / 16
  std::array<int, 6> slot4_{};
  std::array<int, 2> slot7_{};
  int junction_ = kSuperconducting;
  int wfmCounter_ = 0;  // 0..99
  std::minstd_rand random_;
};

// The default driver of the process (what GetDriver answers until a test
// installs another one).
EmulatedDriver& DefaultEmulatedDriver();

}  // namespace tsm::daq
