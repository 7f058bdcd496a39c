// Ic(H) of the emulated junction over 256 field values (the whole field
// range in steps of 256 codes), zero delays, one sample per reading, with
// the prediction on and off. Counters: voltage tests per field value, and
// beside them the readings a step-1 sweep from the reset code up to the
// same Ic would spend at every field value (what a plain two-dimensional
// sweep needs; the reset code is taken at the junction's retrap current,
// 50 units of 12 bits above zero, which makes the sweep's count the smaller
// one), and their ratio. Target: at least 100 times fewer tests than the
// sweep with the prediction on. The time is the wall time of one run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "channels/averaging.h"
#include "channels/measurement_options.h"
#include "channels/virtual_channels.h"
#include "curves/state.h"
#include "daq/cards.h"
#include "daq/driver.h"
#include "daq/emulated_driver.h"
#include "measure/description.h"
#include "measure/ich_options.h"
#include "measure/measure_dialog.h"
#include "measure/state.h"
#include "platform/assert.h"

namespace {

using namespace tsm;

constexpr std::uint32_t kFieldValues = 256;
constexpr double kResetCode = 32768 + 50 * 16;

void Setup(bool prediction) {
  static const bool detected = [] {
    platform::SetAssertionEcho(false);
    std::string report;
    daq::SetDriver(nullptr);
    daq::DefaultEmulatedDriver().Reset(1);
    return daq::DetectCards(report, daq::kInventoryCapacity, "/nonexistent-tesmira-bench/") == 0;
  }();
  if (!detected) std::abort();
  channels::BindVirtualChannels();
  channels::VirtualCurrent bias;
  bias.kind = channels::kPlusSweep1;
  bias.dacCard = 0;
  bias.dacChannel = 0;
  bias.R = 1000.0f;
  channels::SetCurrent(0, bias);
  channels::VirtualCurrent field = bias;
  field.kind = channels::kPlusSweep2;
  field.dacChannel = 1;
  channels::SetCurrent(1, field);
  channels::RebindChangedCurrents();
  channels::VirtualVoltage v;
  v.kind = channels::kPositive;
  v.adcCard = 0;
  v.adcChannel = 1;
  channels::SetVoltage(0, v);
  channels::ResetAveraging();
  channels::ResetMeasurementOptions();
  channels::DelayOptions& d = channels::GetMeasurementOptions().delays;
  d.delayAfterJumpToStart = d.systemDecayTime = d.delayAfterSweep2 = d.delayBeforeVoltage = 0;
  measure::ResetIcHOptions();
  measure::IcHOptions& o = measure::GetIcHOptions();
  o.criterion = 0.2f;
  o.usePrediction = prediction;
  measure::GetMeasureState().showPhaseMessage = false;
  measure::SweepRange& r = *measure::Range(measure::RangeId::IcH);
  r.start = 0;
  r.stop = 65535;
  r.step = 256;
  r.twoDirections = false;
}

void BM_IcHOverTheFieldRange(benchmark::State& state) {
  Setup(state.range(0) != 0);
  const measure::MeasurementDescription& description = measure::Description(measure::Mode::IcH);
  std::uint64_t tests = 0;
  double sweepReadings = 0;
  std::uint64_t runs = 0;
  for (auto _ : state) {
    measure::MeasureDialog dialog(description);
    dialog.Init();
    if (description.routine(dialog) != 1) state.SkipWithError("Ic(H) failed");
    dialog.Finish();
    tests += measure::IcStatistics().tests;
    const curves::Curve& c = curves::CurrentFamily().Curve(0);
    if (c.Count() != kFieldValues) state.SkipWithError("points missing");
    for (std::uint32_t i = 0; i < c.Count(); ++i) {
      const double code = c.Point(i).y * 1000.0 * 32768.0 / 10.0 + 32768.0;
      if (code > kResetCode) sweepReadings += code - kResetCode + 1;
    }
    ++runs;
  }
  const double perField = static_cast<double>(tests) / (runs * kFieldValues);
  const double sweepPerField = sweepReadings / (runs * kFieldValues);
  state.counters["tests_per_field"] = perField;
  state.counters["sweep_tests_per_field"] = sweepPerField;
  state.counters["fewer_times"] = sweepPerField / perField;
}
BENCHMARK(BM_IcHOverTheFieldRange)
    ->ArgName("prediction")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
