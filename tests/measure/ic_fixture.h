// Fixture of the critical-current tests: a junction double behind the
// emulated cards whose switching codes are exact, so a search's result can
// be asserted to the code. The bias is DAC card 0 channel 0 (Sweep1), the
// field DAC card 0 channel 1 (Sweep2), the junction's voltage ADC card 0
// channel 1, a T-sensor (when defined) ADC card 0 channel 3.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "channels/thermometer.h"
#include "measure/ic_search.h"
#include "measure/ich_options.h"
#include "measure/ict_options.h"
#include "tests/measure/measure_fixture.h"

namespace tsm::testing {

// Program codes (driver code + 32768) of the bias and the field. The
// junction is superconducting (0 V) until a reading finds the bias above
// Ic(field, T); it stays resistive (about 4.9 V) until a reading finds the
// bias below `retrap`. With `volts` set, that function of (bias, field)
// answers instead. The sensor's reading grows by `drift` driver counts at
// every reading of it (10/32768 V each); the temperature is 100 K per volt.
class JunctionDouble : public ScriptedDriver {
 public:
  daq::DriverStatus Output_Write(std::int16_t slot, std::int16_t channel,
                                 std::int16_t code) override {
    if (slot == 3) {
      std::lock_guard lock(junctionMutex);
      const int program = code + 32768;
      if (channel == 0) bias = program;
      if (channel == 1 && program != field) {
        field = program;
        ++fieldChanges;
        if (onField) onField(fieldChanges);
      }
    }
    return ScriptedDriver::Output_Write(slot, channel, code);
  }
  daq::DriverStatus Input_Read(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                               std::int16_t* reading) override {
    if (slot == 3 && channel == 1) {
      std::lock_guard lock(junctionMutex);
      tested.push_back(bias);
      double v;
      if (volts) {
        v = volts(bias, field);
      } else {
        if (!resistive && bias > ic(field, temperature)) resistive = true;
        if (resistive && bias < retrap) resistive = false;
        v = resistive ? 4.9 : 0.0;
      }
      *reading = static_cast<std::int16_t>(v * 32768.0 / 10.0);
      return daq::kStatusOk;
    }
    if (slot == 3 && channel == 3) {
      std::lock_guard lock(junctionMutex);
      sensor += drift;
      temperature = 100.0 * sensor * 10.0 / 32768.0;
      *reading = static_cast<std::int16_t>(sensor);
      return daq::kStatusOk;
    }
    return ScriptedDriver::Input_Read(slot, channel, gain, reading);
  }

  std::mutex junctionMutex;
  int bias = 32768, field = 32768;
  int fieldChanges = 0;
  bool resistive = false;
  int retrap = 33000;
  int sensor = 0, drift = 0;
  double temperature = 0.0;
  std::function<int(int field, double temperature)> ic = [](int, double) { return 40000; };
  std::function<double(int bias, int field)> volts;
  std::function<void(int fieldChanges)> onField;
  std::vector<int> tested;  // the bias code of every junction reading
};

class IcTest : public MeasureTest {
 protected:
  IcTest() {
    measure::ResetIcHOptions();
    measure::ResetIcTOptions();
    daq::SetDriver(&junction);
    DefineCurrent(1, channels::kPlusSweep2, 0, 1, 1000.0f);
    measure::GetIcHOptions().criterion = 0.2f;
  }
  ~IcTest() override {
    daq::SetDriver(nullptr);
    measure::ResetIcHOptions();
    measure::ResetIcTOptions();
    channels::ResetThermometer();
  }

  // The Ic(H) range (program codes of the field).
  static void SetFieldRange(std::uint32_t start, std::uint32_t stop, std::uint32_t step,
                            bool twoDirections = false) {
    measure::SweepRange& r = *measure::Range(measure::RangeId::IcH);
    r.start = start;
    r.stop = stop;
    r.step = step;
    r.twoDirections = twoDirections;
  }

  // A T-sensor on ADC card 0 channel 3 read through a T(V) table of
  // 100 K per volt from 0 to 5 V.
  void DefineThermometer(int drift) {
    DefineVoltage(2, channels::kTSensor, 0, 3);
    channels::GetThermometerSettings().tr = 0;
    channels::SetCalibrationTable({{0.0f, 0.0f}, {500.0f, 5.0f}}, "test.t");
    junction.drift = drift;
  }

  // The amperes of bias code c (DAC card 0, -10..10 V, through 1000 Ohm).
  static double Amperes(int code) { return (code - 32768) * 10.0 / 32768.0 / 1000.0; }

  std::vector<platform::UiCall> Errors() {
    std::vector<platform::UiCall> out;
    for (const platform::UiCall& c : ui->MessageBoxes())
      if (c.caption == measure::kIcErrorCaption) out.push_back(c);
    return out;
  }

  JunctionDouble junction;
};

}  // namespace tsm::testing
