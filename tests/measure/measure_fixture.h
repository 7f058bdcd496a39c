// Fixture of the measurement tests: the emulated cards detected, the
// junction's wiring as a user sets it up (Sweep1 = DAC card 0 channel 0
// through 1000 Ohm, one "Positive" voltage on ADC card 0 channel 1), every
// measurement setting, the curve family and the measurement state back at
// program start, and a driver that can stop the sweep after a number of
// readings.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "curves/state.h"
#include "daq/timing.h"
#include "measure/ivc_options.h"
#include "measure/measure_dialog.h"
#include "measure/state.h"
#include "shell/settings.h"
#include "tests/channels/channels_fixture.h"

namespace tsm::testing {

// Calls `onRead` after every reading of ADC card 0 channel 1 (the junction).
class CountingDriver : public ScriptedDriver {
 public:
  daq::DriverStatus Input_Read(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                               std::int16_t* reading) override {
    const daq::DriverStatus st = ScriptedDriver::Input_Read(slot, channel, gain, reading);
    if (slot == 3 && channel == 1) {
      const int n = ++junctionReads;
      if (onRead) onRead(n);
    }
    return st;
  }
  std::atomic<int> junctionReads{0};
  std::function<void(int)> onRead;
};

class MeasureTest : public ChannelsTest {
 protected:
  MeasureTest() {
    ResetMeasure();
    daq::SetDriver(&counting);
    DefineCurrent(0, channels::kPlusSweep1, 0, 0, 1000.0f);
    DefineVoltage(0, channels::kPositive, 0, 1);
  }
  ~MeasureTest() override {
    daq::SetDriver(nullptr);
    ResetMeasure();
  }
  static void ResetMeasure() {
    measure::ResetMeasureState();
    measure::ResetIVCOptions();
    curves::ResetCurvesState();
    shell::ResetSettingsState();
  }

  // The shared V(I) range (what the dialog starts from).
  static void SetRange(std::uint32_t start, std::uint32_t stop, std::uint32_t step,
                       bool twoDirections) {
    measure::SweepRange& r = *measure::Range(measure::RangeId::SharedVI);
    r.start = start;
    r.stop = stop;
    r.step = step;
    r.twoDirections = twoDirections;
  }

  // Runs the IVC routine on this thread with an initialised dialog.
  int RunIVCHere() {
    measure::MeasureDialog dialog(measure::Description(measure::Mode::IVC));
    dialog.Init();
    const int result = measure::Description(measure::Mode::IVC).routine(dialog);
    dialog.Finish();
    return result;
  }

  // Starts the mode on its worker with "&Do It", presses "Stop" while the
  // routine is still in a wait that would last a minute, and expects the
  // routine to end soon after (a stop is seen within 50 ms; the rest is
  // room for a loaded machine). The dialog's result.
  static int StopWhileItWaits(measure::Mode mode) {
    measure::MeasureDialog d(measure::Description(mode));
    d.Init();  // (its display reading does not wait the settling)
    d.Command(measure::kIdDoIt);
    EXPECT_TRUE(d.Running());
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_FALSE(d.Ended());  // still waiting
    const auto stop = std::chrono::steady_clock::now();
    d.Command(measure::kIdCancel);  // "Stop"
    EXPECT_TRUE(d.WaitForEnd(std::chrono::seconds(10)));
    d.Finish();
    EXPECT_LT(std::chrono::steady_clock::now() - stop, std::chrono::seconds(10));
    return d.Result();
  }

  static curves::CurveFamily& Family() { return curves::CurrentFamily(); }

  CountingDriver counting;
};

}  // namespace tsm::testing
