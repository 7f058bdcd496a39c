#include "daq/emulated_driver.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tsm::daq {

namespace {
constexpr int kMin12 = -2048;
constexpr int kMax12 = 2047;

// |sin(x) / x|, with its limit 1 at x = 0 (a fresh noisy field value may be
// 0 although the one tested a moment before was not).
double AbsSinc(double x) { return x == 0.0 ? 1.0 : std::fabs(std::sin(x) / x); }

bool InRange(int value, int low, int high) { return value >= low && value <= high; }
}  // namespace

void EmulatedDriver::Seed(std::uint32_t seed) { random_.seed(seed == 0 ? 1 : seed); }

int EmulatedDriver::Random() {
  // minstd yields 31 bits; its upper 15 are the better-mixed ones.
  return static_cast<int>((random_() >> 16) & 0x7FFF);
}

void EmulatedDriver::Reset(std::uint32_t seed) {
  slot3_ = {};
  slot4_ = {};
  slot7_ = {};
  junction_ = kSuperconducting;
  wfmCounter_ = 0;
  Seed(seed);
}

int EmulatedDriver::Slot3Signal(int channel) {
  int value = 0;
  switch (channel) {
    case 0: value = static_cast<int>(0.9 * slot3_[0]); break;
    case 1: value = JunctionVoltage(); break;
    case 2: {
      const int junction = JunctionVoltage();  // sequenced before the field read
      value = junction + Slot3Signal(6) / 100;
      break;
    }
    case 4: value = slot3_[0]; break;
    case 6: value = slot3_[1]; break;
    default: value = 0; break;
  }
  value += Noise();
  return std::clamp(value, kMin12, kMax12);
}

// The bias is |S(4)| and the field S(6); every use takes a fresh noisy
// value, so the switching points jitter by a few units as on a real sample.
int EmulatedDriver::JunctionVoltage() {
  auto bias = [this] { return std::abs(Slot3Signal(4)); };
  auto field = [this] { return Slot3Signal(6); };

  switch (junction_) {
    case kSuperconducting: {
      double ic = 1560.0;
      if (field() != 0) ic = AbsSinc(field() / 100.0) * 1500.0 + 60.0;
      if (bias() > ic) junction_ = kResistive;
      break;
    }
    case kResistive:
      if (bias() < 200) junction_ = kReturnBranch;
      break;
    default: {  // return branch
      if (bias() >= 50) {
        double ic2 = 800.0;
        if (field() != 0) ic2 = AbsSinc(field() / 150.0) * 600.0 + 200.0;
        if (bias() > ic2) junction_ = kResistive;
      }
      if (bias() < 50) junction_ = kSuperconducting;
      break;
    }
  }

  switch (junction_) {
    case kSuperconducting: return 1;
    case kResistive: return Slot3Signal(4);
    default: {
      const int a = Slot3Signal(4);
      if (a == 0) return 0;
      return (a > 0 ? 100 : -100) + a / 10;
    }
  }
}

DriverStatus EmulatedDriver::Get_Zentra_Version(std::uint32_t* version) {
  if (!version) return kStatusFailed;
  *version = kEmulatedVersion;
  return kStatusOk;
}

DriverStatus EmulatedDriver::Device_Query(std::int16_t slot, std::int32_t attribute,
                                          std::uint32_t* value) {
  if (attribute != kAttributeCardType || !value) return kStatusFailed;
  switch (slot) {
    case 3: *value = kEmulatedType3; return kStatusOk;
    case 4: *value = kEmulatedType4; return kStatusOk;
    case 7: *value = kEmulatedType7; return kStatusOk;
    default: return kStatusFailed;
  }
}

DriverStatus EmulatedDriver::Input_Read(std::int16_t slot, std::int16_t channel, std::int16_t,
                                        std::int16_t* reading) {
  if (!reading) return kStatusFailed;
  if (slot == 3 && InRange(channel, 0, 7)) {
    *reading = static_cast<std::int16_t>(16 * Slot3Signal(channel));
    return kStatusOk;
  }
  if (slot == 7 && InRange(channel, 0, 15)) {
    *reading = static_cast<std::int16_t>(Noise());
    return kStatusOk;
  }
  return kStatusFailed;
}

DriverStatus EmulatedDriver::Input_Scale(std::int16_t slot, std::int16_t channel, std::int16_t,
                                         double, double, std::int16_t reading, double* volts) {
  if (!volts) return kStatusFailed;
  if (slot == 3 && InRange(channel, 0, 7)) {
    *volts = reading * 10.0 / 32768.0;
    return kStatusOk;
  }
  if (slot == 7 && InRange(channel, 0, 15) && InRange(reading, kMin12, kMax12)) {
    *volts = reading * 10.0 / 2048.0;
    return kStatusOk;
  }
  return kStatusFailed;
}

DriverStatus EmulatedDriver::Input_Scale_Buffer(std::int16_t, std::int16_t, std::int16_t, double,
                                                double, std::uint32_t, const std::int32_t*,
                                                double*) {
  return kStatusFailed;
}

DriverStatus EmulatedDriver::Output_Write(std::int16_t slot, std::int16_t channel,
                                          std::int16_t code) {
  if (slot == 3 && InRange(channel, 0, 1)) {
    slot3_[channel] = code / 16;
    return kStatusOk;
  }
  if (slot == 4 && InRange(channel, 0, 5) && InRange(code, kMin12, kMax12)) {
    slot4_[channel] = code;
    return kStatusOk;
  }
  if (slot == 7 && InRange(channel, 0, 1) && InRange(code, kMin12, kMax12)) {
    slot7_[channel] = code;
    return kStatusOk;
  }
  return kStatusFailed;
}

// The top of slot 3 is exclusive (a 16-bit converter cannot reach +10 V);
// slots 4 and 7 accept their top value itself. Detection finds the ranges by
// bisection on exactly these answers.
DriverStatus EmulatedDriver::Output_Scale(std::int16_t slot, std::int16_t channel, double volts,
                                          std::int16_t* code) {
  if (!code) return kStatusFailed;
  double scaled = 0.0;
  if (slot == 3 && InRange(channel, 0, 1) && volts >= -10.0 && volts < 9.99969482421875) {
    scaled = volts * 32768.0 / 10.0;
  } else if (slot == 4 && InRange(channel, 0, 5) && volts >= -5.0 && volts <= 4.99755859375) {
    scaled = volts * 2048.0 / 5.0;
  } else if (slot == 7 && InRange(channel, 0, 1) && volts >= -2.0 && volts <= 1.9990234375) {
    scaled = volts * 2048.0 / 2.0;
  } else {
    return kStatusFailed;
  }
  *code = static_cast<std::int16_t>(std::trunc(scaled + 0.5));
  return kStatusOk;
}

DriverStatus EmulatedDriver::Chassis_Query(std::int16_t, std::int16_t*, std::int16_t*,
                                           std::int16_t*, std::int16_t*, std::int16_t*) {
  return kStatusFailed;
}

DriverStatus EmulatedDriver::Module_Query(std::int16_t, std::int16_t, std::int32_t*) {
  return kStatusFailed;
}

DriverStatus EmulatedDriver::Module_Output_Op(std::int16_t, std::int16_t, std::int16_t,
                                              std::int16_t, std::int16_t, std::int16_t,
                                              std::int16_t, std::int32_t, std::int32_t*) {
  return kStatusFailed;
}

DriverStatus EmulatedDriver::DAQ_Op(std::int16_t, std::int16_t, std::int16_t, std::int16_t*,
                                    std::uint32_t, double) {
  return kStatusFailed;
}

DriverStatus EmulatedDriver::SCAN_Op(std::int16_t, std::int16_t, const std::int16_t*,
                                     const std::int16_t*, std::int16_t* buffer,
                                     std::uint32_t count, double, double) {
  if (!buffer && count > 0) return kStatusFailed;
  for (std::uint32_t i = 0; i < count; ++i)
    buffer[i] = static_cast<std::int16_t>(2048 + i % 200);
  return kStatusOk;
}

DriverStatus EmulatedDriver::Timeout_Config(std::int16_t, std::int32_t) { return kStatusOk; }

DriverStatus EmulatedDriver::Waveform_Scale(std::int16_t, std::int16_t, std::uint32_t, double,
                                            const double*, std::int16_t*) {
  return kStatusFailed;
}

DriverStatus EmulatedDriver::WFM_Op(std::int16_t, std::int16_t, const std::int16_t*,
                                    const std::int16_t*, std::uint32_t, std::uint32_t, double) {
  return kStatusOk;
}

DriverStatus EmulatedDriver::WFM_Group_Control(std::int16_t, std::int16_t, std::int16_t) {
  return kStatusOk;
}

// Each check pretends that 12 more iterations were played (modulo 100), so
// callers waiting for the iteration count to grow see it grow.
DriverStatus EmulatedDriver::WFM_Check(std::int16_t, std::int16_t, std::int16_t* status,
                                       std::uint32_t* pointsDone,
                                       std::uint32_t* iterationsDone) {
  if (!status || !pointsDone || !iterationsDone) return kStatusFailed;
  wfmCounter_ = (wfmCounter_ + 12) % 100;
  *status = 0;
  *pointsDone = 0;
  *iterationsDone = static_cast<std::uint32_t>(wfmCounter_);
  return kStatusOk;
}

}  // namespace tsm::daq
