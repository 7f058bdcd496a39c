// Fixture of the I-V family, V(I_wfm) and V_dc(I_ac) tests: the junction's
// wiring of MeasureTest plus the options of the three modes and the
// waveform generator at program start, and a routine run on this thread.
#pragma once

#include <cmath>
#include <cstdint>

#include "channels/generator_control.h"
#include "daq/generator.h"
#include "measure/ivf_options.h"
#include "measure/vdc_iac_options.h"
#include "tests/measure/measure_fixture.h"

namespace tsm::testing {

class ModesTest : public MeasureTest {
 protected:
  ModesTest() { ResetModes(); }
  ~ModesTest() override { ResetModes(); }

  static void ResetModes() {
    measure::ResetIVFOptions();
    measure::ResetVdcIacOptions();
    daq::ResetWaveforms();
    channels::ResetGeneratorControl();
  }

  // A range record as the dialog starts from it: the I-V family's Sweep2
  // range, the V_dc(I_ac) range.
  static void SetRangeOf(measure::RangeId id, std::uint32_t start, std::uint32_t stop,
                         std::uint32_t step, bool twoDirections) {
    measure::SweepRange& r = *measure::Range(id);
    r.start = start;
    r.stop = stop;
    r.step = step;
    r.twoDirections = twoDirections;
  }
  static void SetRange2(std::uint32_t start, std::uint32_t stop, std::uint32_t step,
                        bool twoDirections) {
    SetRangeOf(measure::RangeId::IVFSweep2, start, stop, step, twoDirections);
  }

  // Runs a mode's routine on this thread with an initialised dialog (whose
  // first refresh reads the junction once).
  static int RunHere(measure::Mode mode) {
    measure::MeasureDialog dialog(measure::Description(mode));
    dialog.Init();
    const int result = measure::Description(mode).routine(dialog);
    dialog.Finish();
    return result;
  }

  // The current of program code c of DAC card 0 (-10..10 V) through 1000 Ohm.
  static double Amperes(std::uint32_t code) {
    return (static_cast<double>(code) - 32768.0) * 10.0 / 32768.0 / 1000.0;
  }
};

}  // namespace tsm::testing
