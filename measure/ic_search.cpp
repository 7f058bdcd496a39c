#include "measure/ic_search.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "channels/averaging.h"
#include "channels/measurement_options.h"
#include "channels/virtual_channels.h"
#include "daq/perfcounter.h"
#include "daq/timing.h"
#include "measure/services.h"
#include "measure/state.h"
#include "shell/errors.h"
#include "shell/stringex.h"

namespace tsm::measure {

StepState ClassifyStep(double v, double vs, double vr, double c) {
  if (v > vs - c && v < vs + c) return StepState::OnStep;
  if ((v > vs + c && vs > vr) || (v < vs - c && vs < vr)) return StepState::Beyond;
  return StepState::Below;
}

bool ImResetReached(double v, double vs, double vr) { return vs > vr ? v < vr : v > vr; }

void AppendCurrentName(curves::CurveFamily& family, int index) {
  const channels::VirtualCurrent c = channels::GetCurrent(index);
  const std::string name = c.comment[0] != '\0' ? std::string(c.comment)
                                                 : shell::Format("Current#%d", index);
  for (std::uint32_t k = 0; k < family.Count(); ++k) {
    curves::Curve& curve = family.Curve(k);
    curve.SetName((std::string(curve.Name()) + "/" + name).c_str());
  }
}

namespace {
// Times one voltage test or reset with the high-resolution counter, when
// there is one, into a statistics record in microseconds.
class Timed {
 public:
  explicit Timed(shell::Statistic& record) : record_(record) {
    timing_ = daq::PerfCount_Mark(&mark_) && daq::PerfCount_Frequency(&frequency_) &&
              frequency_ > 0;
  }
  ~Timed() {
    if (!timing_) return;
    const double ticks = static_cast<double>(daq::PerfCount_HowManyTicksPassed(&mark_));
    record_.Add(ticks * 1e6 / static_cast<double>(frequency_));
  }
  Timed(const Timed&) = delete;
  Timed& operator=(const Timed&) = delete;

 private:
  shell::Statistic& record_;
  daq::TickMark mark_ = 0;
  std::int64_t frequency_ = 0;
  bool timing_ = false;
};
}  // namespace

IcSearch::IcSearch(const IcSearchSetup& setup, std::vector<int> voltages)
    : setup_(setup),
      voltages_(std::move(voltages)),
      options_(GetIcHOptions()),
      fieldCode_(setup.fieldStart),
      reset_(voltages_.size()),
      lastIc_(voltages_.size(), 0),
      prevIc_(voltages_.size(), 0) {
  const channels::DelayOptions d = channels::GetMeasurementOptions().delays;
  systemDecayTime_ = d.systemDecayTime;
  delayAfterSweep2_ = d.delayAfterSweep2;
  negate_ = channels::GetCurrent(setup_.sweep1).kind == channels::kMinusSweep1;
  std::uint16_t lo = 0, hi = 0;
  if (channels::CurrentCardRange(setup_.sweep1, &lo, &hi) && lo <= hi) {
    lower_ = lo;
    upper_ = hi;
  }
  // Zero-step and forward-step values of 0 would never move; the dialog
  // refuses them, a hand-edited file is held to the same limits.
  options_.forwardStep = std::max(1u, options_.forwardStep);
  options_.zeroStep = std::max(1u, options_.zeroStep);
  options_.backwardStep = std::max(1u, options_.backwardStep);
  options_.numberOfTimes = std::max(1u, options_.numberOfTimes);
  options_.accelCount = std::max(1u, options_.accelCount);
  std::int64_t frequency = 0;
  IcStatistics().highResolution = daq::PerfCount_Frequency(&frequency) && frequency > 0;
}

double IcSearch::Voltage(std::size_t j, std::uint32_t code) {
  if (StopRequested()) throw MeasureIcException(-1);
  Timed timed(IcStatistics().testMicroseconds);
  ++IcStatistics().tests;
  channels::SetCurrentCode(setup_.sweep1, static_cast<std::uint16_t>(code));
  daq::Delay(systemDecayTime_);
  double v = channels::MeasureVoltageZeroed(voltages_[j]).volts;
  if (options_.compensateSeriesR)
    v -= static_cast<double>(options_.seriesR) * channels::CurrentAmperes(setup_.sweep1);
  if (options_.useAbsV)
    v = std::fabs(v);
  else if (negate_)
    v = -v;
  return v;
}

bool IcSearch::Below(std::size_t j, std::uint32_t code) {
  const double v = Voltage(j, code);
  if (setup_.kind == SearchKind::Ic) return v < options_.criterion;
  return ClassifyStep(v, options_.stepVoltage, options_.resetVoltage, options_.criterion) !=
         StepState::Beyond;
}

bool IcSearch::ResetReached(std::size_t j, std::uint32_t code) {
  if (setup_.kind == SearchKind::Ic) return Below(j, code);
  return ImResetReached(Voltage(j, code), options_.stepVoltage, options_.resetVoltage);
}

bool IcSearch::Fail(bool zeroSide) const {
  const char* text;
  if (setup_.kind == SearchKind::Ic)
    text = zeroSide ? kZeroUnreachableText : kNonZeroUnreachableText;
  else
    text = zeroSide ? kImResetFailedText : kImStepUnreachableText;
  shell::ShowMessage(nullptr, text, kIcErrorCaption, platform::MB_OK | platform::MB_ICONHAND);
  return false;
}

bool IcSearch::Reset(std::size_t j) {
  Timed timed(IcStatistics().resetMicroseconds);
  ++IcStatistics().resets;
  BoundedCode& r = reset_[j];
  r.Raise(options_.resetStabStep);
  const bool moveField = setup_.resetField && setup_.sweep2 >= 0;
  if (moveField) {
    channels::SetCurrentCode(setup_.sweep2, setup_.fieldStart);
    daq::Delay(delayAfterSweep2_);
  }
  while (!ResetReached(j, r.value)) {
    if (r.Lower(options_.zeroStep) < 0) return Fail(true);
    daq::Delay(options_.delayDuringReset);
  }
  daq::Delay(options_.delayAfterReset);
  if (moveField) {
    channels::SetCurrentCode(setup_.sweep2, fieldCode_);
    daq::Delay(delayAfterSweep2_);
  }
  return true;
}

bool IcSearch::Initialize(std::size_t j) {
  reset_[j] = BoundedCode{channels::PresentCode(setup_.sweep1), lower_, upper_};
  if (!Reset(j)) return false;
  lastIc_[j] = prevIc_[j] = reset_[j].value;
  return true;
}

bool IcSearch::Search(std::size_t j, std::uint32_t f) {
  const bool im = setup_.kind == SearchKind::Im;
  IcRunStatistics& stats = IcStatistics();
  const std::uint32_t fs = options_.forwardStep;

  // 1. The forecast: the last result, or its linear continuation.
  std::int64_t forecast = lastIc_[j];
  if (options_.usePrediction)
    forecast = std::clamp<std::int64_t>(2 * std::int64_t(lastIc_[j]) - prevIc_[j], lower_,
                                        upper_);
  prevIc_[j] = lastIc_[j];
  BoundedCode i{static_cast<std::uint32_t>(forecast), lower_, upper_};
  if (im)
    PhaseLog(setup_.dialog, "Current #%u: last Ic=%u, I_reset=%u, I_forecast=%u",
             static_cast<unsigned>(j), lastIc_[j], reset_[j].value, i.value);
  else
    PhaseLog(setup_.dialog, "New Current: last Ic=%u, I_reset=%u, I_forecast=%u", lastIc_[j],
             reset_[j].value, i.value);

  // 2.-3. Down from the forecast until the test is below, resetting after
  // every overshoot; never below the code the junction last reset at.
  for (;;) {
    PhaseLog(setup_.dialog, "Trying I=%5u, I_reset=%5u", i.value, reset_[j].value);
    if (Below(j, i.value)) break;
    PhaseLog(setup_.dialog, "%s",
             im ? "We are above the step. Reseting.." : "We are above Ic. Resetting..");
    if (i.Lower(options_.backwardStep) < 0) return Fail(true);
    if (i.value < reset_[j].value) i.value = reset_[j].value;
    if (!Reset(j)) return false;
  }
  PhaseLog(setup_.dialog, "%s",
           im ? "We are on or below the step. Going up with acceleration.."
              : "We are below Ic. Going up with acceleration..");

  // 4.-6. Climb with a step that doubles after every AccelCount + 1 steps
  // up; an overshoot with a coarse step backs off, halves the step, resets
  // and climbs again.
  std::uint32_t u = 1;
  for (;;) {
    std::uint32_t n = 0;
    while (Below(j, i.value)) {
      if (n > options_.accelCount) {
        u *= 2;
        n = 0;
      }
      if (u == 0) u = std::numeric_limits<std::uint32_t>::max() / (8 * fs);
      std::uint64_t d = std::uint64_t(fs) * u;
      if (im) d = std::min<std::uint64_t>(d, std::max(kImMaxClimbStep, fs));
      const std::uint32_t step =
          static_cast<std::uint32_t>(std::min<std::uint64_t>(d, 0xFFFFFFFFu));
      if (i.Raise(step) < 0) return Fail(false);
      ++n;
    }
    if (u < 2) break;
    std::uint64_t d = std::uint64_t(fs) * u;
    if (im) d = std::min<std::uint64_t>(d, std::max(kImMaxClimbStep, fs));
    i.Lower(static_cast<std::uint32_t>(std::min<std::uint64_t>(d, 0xFFFFFFFFu)));
    u /= 2;
    if (!Reset(j)) return false;
  }

  // 7. The fine step jumped. Further efforts climb again from a reset and
  // keep the highest switching code.
  PhaseLog(setup_.dialog, "Jumped above the step at I=%u", i.value);
  if (options_.numberOfTimes > 1) PhaseLog(setup_.dialog, "maximizing..");
  for (unsigned effort = 2; effort <= options_.numberOfTimes; ++effort) {
    if (!Reset(j)) return false;
    while (Below(j, i.value))
      if (i.Raise(fs) < 0) return Fail(false);
  }
  // 8. The result is the last code that was below.
  if (options_.numberOfTimes > 1) PhaseLog(setup_.dialog, "Jumped above the step at I=%u", i.value);
  i.Lower(fs);
  const std::uint32_t ic = i.value;

  // 9. Back to the zero-voltage state, so the next search starts there.
  if (options_.resetToGetIc) {
    PhaseLog(setup_.dialog, "%s", im ? "Resetting to get Ic.." : "resetting to get Ic..");
    if (!Reset(j)) return false;
    PhaseLog(setup_.dialog, "Reset ok. I_reset=%u", reset_[j].value);
  }

  // 10.
  PhaseLog(setup_.dialog, im ? "Found Im=%u" : "Found Ic=%u", ic);
  // The change between consecutive field values, recorded when the new
  // result is known (taken before it, the first record would always be 0
  // and the last change never recorded).
  if (f > 0) stats.step.Add(std::fabs(static_cast<double>(ic) - static_cast<double>(lastIc_[j])));
  lastIc_[j] = ic;
  channels::SetCurrentCode(setup_.sweep1, static_cast<std::uint16_t>(ic));
  daq::Delay(systemDecayTime_);
  if (f > 0 && options_.usePrediction)
    stats.forecast.Add(static_cast<double>(ic) - static_cast<double>(forecast));
  if (f == 0) prevIc_[j] = ic;
  return true;
}

}  // namespace tsm::measure
