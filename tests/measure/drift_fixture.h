// Fixture of the temperature, time and calibration measurements: a clock
// the tests own (it moves on by 1 ms at every read and by every sleep, so
// waits end at once and their schedule can be checked exactly) and a driver
// double on top of the emulated cards:
//  - slot 3 channel 3, a thermometer: 1 V - 10 mV/K x T, with T drifting
//    with the clock (T0 + slope x ms since the start);
//  - slot 3 channel 5, a sample: R(T) = 100 Ohm + 2 Ohm/K x T carrying the
//    bias of DAC slot 3 channel 0 through 1000 Ohm, plus a thermo-electric
//    offset that does not follow the bias;
//  - slot 3 channel 7, a voltage standard behind a preamplifier of 1000:
//    the channel reads 1.0001 x Vref + 2 uV, with a dither of one reading
//    step spread over 16 readings, so an average of 16 sees below a step.
// Thread-safe: the worker reads while the test thread inspects.
#pragma once

#include <algorithm>
#include <atomic>
#include <cmath>

#include "channels/thermometer.h"
#include "measure/calibration.h"
#include "measure/calibration_options.h"
#include "measure/vt_options.h"
#include "measure/vtime_options.h"
#include "platform/clock.h"
#include "tests/measure/measure_fixture.h"

namespace tsm::testing {

class ManualClock : public platform::Clock {
 public:
  std::uint32_t Milliseconds() override { return now.fetch_add(1); }
  bool Counter(std::int64_t* ticks) override {
    if (!ticks) return false;
    *ticks = static_cast<std::int64_t>(now.load()) * 1000;
    return true;
  }
  bool CounterFrequency(std::int64_t* perSecond) override {
    if (!perSecond) return false;
    *perSecond = 1000000;
    return true;
  }
  void Sleep(std::uint32_t ms) override { now.fetch_add(ms); }
  std::atomic<std::uint32_t> now{5000};
};

class CryostatDriver : public CountingDriver {
 public:
  static constexpr double kBiasOhms = 1000.0;
  static constexpr double kGainError = 1.0001;
  static constexpr double kOffsetVolts = 2e-6;
  static constexpr double kPreamp = 1000.0;

  explicit CryostatDriver(ManualClock& clock) : clock_(clock), start_(clock.now.load()) {}

  double Kelvin() const {
    return t0 + slopePerMs * static_cast<double>(clock_.now.load() - start_);
  }
  static double Resistance(double kelvin) { return 100.0 + 2.0 * kelvin; }
  // The bias current of a driver code of slot 3 (16 bits, -10..10 V).
  static double BiasAmperes(int driverCode) { return driverCode * 10.0 / 32768.0 / kBiasOhms; }
  double Bias() const { return BiasAmperes(biasCode.load()); }

  daq::DriverStatus Input_Read(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                               std::int16_t* reading) override {
    if (slot != 3 || !reading || (channel != 3 && channel != 5 && channel != 7))
      return CountingDriver::Input_Read(slot, channel, gain, reading);
    double volts = 0.0, dither = 0.0;
    if (channel == 3) {
      volts = 1.0 - 0.01 * Kelvin();
      const int n = ++sensorReads;
      if (onSensorRead) onSensorRead(n);
    } else if (channel == 5) {
      volts = Resistance(Kelvin()) * Bias() + thermoEmf;
      ++sampleReads;
      if (onSampleRead) onSampleRead(sampleReads.load());
    } else {
      volts = kPreamp * (kGainError * standardVolts.load() + kOffsetVolts);
      dither = (static_cast<double>(standardReads++ % 16) + 0.5) / 16.0 - 0.5;
    }
    *reading = static_cast<std::int16_t>(
        std::clamp(std::lround(volts * 3276.8 + dither), -32768L, 32767L));
    return daq::kStatusOk;
  }
  daq::DriverStatus Output_Write(std::int16_t slot, std::int16_t channel,
                                 std::int16_t code) override {
    if (slot == 3 && channel == 0) biasCode.store(code);
    return CountingDriver::Output_Write(slot, channel, code);
  }

  double t0 = 10.0;          // K at the start
  double slopePerMs = 0.01;  // K per ms of the clock
  double thermoEmf = 0.0;    // V
  std::atomic<int> biasCode{0};
  std::atomic<double> standardVolts{0.0};
  std::atomic<int> sampleReads{0}, sensorReads{0};
  // Called with the count after every reading of the sample (thermometer).
  std::function<void(int)> onSampleRead, onSensorRead;

 private:
  ManualClock& clock_;
  std::uint32_t start_;
  std::atomic<unsigned> standardReads{0};
};

class DriftTest : public MeasureTest {
 protected:
  DriftTest() {
    platform::SetClock(&clock);
    daq::SetDriver(&cryostat);
    measure::ResetVTOptions();
    measure::ResetVtimeOptions();
    measure::ResetCalibratorOptions();
    measure::ResetCalibration();
    // The thermometer: a T(V) table, 1 V at 0 K down to 0 V at 100 K.
    channels::SetCalibrationTable({{0.0f, 1.0f}, {100.0f, 0.0f}}, "cryostat.t");
  }
  ~DriftTest() override {
    daq::SetDriver(nullptr);
    platform::SetClock(nullptr);
    channels::ResetThermometer();
    measure::ResetVTOptions();
    measure::ResetVtimeOptions();
    measure::ResetCalibratorOptions();
    measure::ResetCalibration();
  }

  // The point count of a mode's dialog (what the user types).
  static void SetPoints(measure::Mode mode, std::uint32_t points) {
    if (measure::SweepRange* r = measure::Range(measure::Description(mode).sweep1Range)) {
      r->start = 0;
      r->stop = points - 1;
      r->step = 1;
    }
  }
  // Runs a mode's routine on this thread with an initialised dialog of
  // `points` points.
  int RunHere(measure::Mode mode, std::uint32_t points = 1) {
    SetPoints(mode, points);
    const measure::MeasurementDescription& d = measure::Description(mode);
    measure::MeasureDialog dialog(d);
    dialog.Init();
    // Only what the routine reads counts (not the dialog's first refresh).
    active_->sampleReads = 0;
    active_->sensorReads = 0;
    const int result = d.routine(dialog);
    dialog.Finish();
    return result;
  }

  // Installs another double (a test's own kind of cryostat).
  void UseDriver(CryostatDriver& driver) {
    daq::SetDriver(&driver);
    active_ = &driver;
  }

  ManualClock clock;
  CryostatDriver cryostat{clock};

 private:
  CryostatDriver* active_ = &cryostat;
};

}  // namespace tsm::testing
