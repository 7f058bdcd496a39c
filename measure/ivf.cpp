#include "measure/ivf.h"

#include <utility>
#include <vector>

#include "channels/averaging.h"
#include "channels/measurement_options.h"
#include "channels/thermometer.h"
#include "channels/virtual_channels.h"
#include "curves/live.h"
#include "curves/state.h"
#include "daq/timing.h"
#include "measure/measure_dialog.h"
#include "measure/services.h"
#include "measure/state.h"
#include "measure/sweep.h"
#include "platform/assert.h"
#include "platform/clock.h"
#include "shell/errors.h"
#include "shell/phyunits.h"
#include "shell/stringex.h"

namespace tsm::measure {

namespace {
constexpr const char* kSource = "cvc";

// What one run needs besides its loops: the options, the currents, the
// voltages and the publisher of the live curves.
struct FamilyRun {
  FamilyRun(MeasureDialog& d, int s1, int s2, std::vector<int> v)
      : dialog(d),
        owner(d.Owner()),
        options(GetIVFOptions()),
        measurement(channels::GetMeasurementOptions()),
        sweep1(s1),
        sweep2(s2),
        voltages(std::move(v)),
        family(curves::CurrentFamily()) {}

  MeasureDialog& dialog;
  platform::WindowHandle owner;
  const IVFOptions options;
  const channels::MeasurementOptions measurement;
  int sweep1, sweep2;
  std::vector<int> voltages;
  std::vector<std::string> voltageNames;
  curves::CurveFamily& family;
  SweepRange range1, range2;
  std::uint32_t n1 = 0, n2 = 0;
  std::uint32_t v = 0;
  double lastTyped = 0.0;  // the typed kind's dialog starts from the value before

  // The parameter of Sweep2 row s; false when the user cancelled its dialog.
  bool Parameter(std::uint32_t s, double* p) {
    switch (options.kind) {
      case kParamSweep2: *p = channels::CurrentAmperes(sweep2); return true;
      case kParamTemperature: *p = channels::Temperature(); return true;
      case kParamManual:
        if (AskIVFParameter(owner, s, options.askPrefix, options.askSuffix, &lastTyped) != 1)
          return false;
        *p = lastTyped;
        return true;
      case kParamAutomatic:
        *p = static_cast<double>(options.autoFrom) + static_cast<double>(s) * options.autoStep;
        return true;
      default:
        platform::ReportAssertion(kIVFUnknownKindText, kSource, __LINE__);
        *p = 0.0;
        return true;
    }
  }

  void LabelRow(curves::LivePublisher& live, std::uint32_t s, double p) {
    for (std::uint32_t k = 0; k < v; ++k)
      live.SetCurveInfo(s * v + k, IVFCurveName(voltageNames[k], options, p).c_str(),
                        static_cast<float>(p));
  }

  // The progress over every point of every curve; scaled down when the
  // counts do not fit the display's 32 bits (the ratio is what it shows).
  void ShowProgress(daq::TimeMark start, std::uint64_t done, std::uint64_t total) {
    const std::uint64_t scale = total / UINT32_MAX + 1;
    dialog.ShowProgress(daq::Stopwatch_Elapsed(&start), static_cast<std::uint32_t>(done / scale),
                        static_cast<std::uint32_t>(total / scale));
  }
};

// The first value and the value at the stop code (or, when the stop code
// never came, the last forward one) of one sweep direction.
struct Edge {
  double first = 0.0;
  double atStop = 0.0;
  double lastForward = 0.0;
  bool stopSeen = false;

  void Take(double value, bool atStopCode, bool onWayBack) {
    if (atStopCode) {
      atStop = value;
      stopSeen = true;
    }
    if (!onWayBack) lastForward = value;
  }
  double Stop() const { return stopSeen ? atStop : lastForward; }
};

// "Only on the edges" after a complete run (see IVF in the header).
void ApplyEdges(FamilyRun& run, const Edge& x, const Edge& param) {
  const std::uint32_t n1 = run.range1.twoDirections ? run.n1 / 2 : run.n1;
  const std::uint32_t n2 = run.range2.twoDirections ? run.n2 / 2 : run.n2;
  curves::CurveFamily& f = run.family;
  for (std::uint32_t c = 0; c < f.Count(); ++c) {
    curves::Curve& curve = f.Curve(c);
    for (std::uint32_t j = 0; j < n1 && j < curve.Count(); ++j) {
      const float xj = static_cast<float>(x.first + j * (x.Stop() - x.first) / n1);
      curve.Point(j).x = xj;
      if (run.range1.twoDirections && 2 * n1 - 1 - j < curve.Count())
        curve.Point(2 * n1 - 1 - j).x = xj;
    }
  }
  if (run.options.kind != kParamSweep2) return;
  for (std::uint32_t s = 0; s < n2; ++s) {
    const double p = param.first + s * (param.Stop() - param.first) / n2;
    for (const std::uint32_t row : {s, run.range2.twoDirections ? 2 * n2 - 1 - s : s}) {
      for (std::uint32_t k = 0; k < run.v && row * run.v + k < f.Count(); ++k) {
        curves::Curve& curve = f.Curve(row * run.v + k);
        curve.SetParameter(static_cast<float>(p));
        curve.SetName(IVFEdgeCurveName(run.voltages[k], p).c_str());
      }
    }
  }
}
}  // namespace

std::string IVFCurveName(const std::string& voltageName, const IVFOptions& options,
                         double value) {
  const Affixes a = IVFAffixes(options);
  const std::string number =
      shell::FormatWithSigDigits(static_cast<float>(value), options.sigDigits, "");
  return shell::Format("%s (%s%s%s)", voltageName.c_str(), a.prefix, number.c_str(), a.suffix);
}

std::string IVFEdgeCurveName(int voltageIndex, double amperes) {
  return shell::Format("V_%d(%s)", voltageIndex,
                       shell::FormatWithPrefix(static_cast<float>(amperes), "A").c_str());
}

int IVF(MeasureDialog& dialog) {
  const platform::WindowHandle owner = dialog.Owner();
  StartChannels start;
  if (!FindStartChannels(owner, true, &start)) return 0;
  const int s1 = start.sweep1, s2 = start.sweep2;
  const std::vector<int>& voltages = start.voltages;
  // The options cannot change while the modal dialog is open; the run keeps
  // copies so the loops do not read shared records at every point.
  FamilyRun run(dialog, s1, s2, voltages);
  if (run.options.kind == kParamTemperature && channels::FirstTSensorVoltage() < 0) {
    ShowCannotStart(owner, kNoTSensorText);
    return 0;
  }
  if (run.options.kind >= kParamKinds) {
    platform::ReportAssertion(kIVFUnknownKindText, kSource, __LINE__);
    return 0;
  }

  daq::Stopwatch total;
  run.range1 = RangeInCardCodes(dialog.Sweep1());
  run.range2 = RangeInCardCodes(dialog.Sweep2());
  run.n1 = TotalPoints(run.range1);
  run.n2 = TotalPoints(run.range2);
  run.v = static_cast<std::uint32_t>(voltages.size());
  const std::uint64_t curveCount = std::uint64_t{run.n2} * run.v;
  if (curveCount > kMaxIVFCurves) {
    shell::ShowMessage(owner, kTooManyCurvesText, kCannotMeasureCaption,
                       platform::MB_OK | platform::MB_ICONHAND);
    return 0;
  }
  curves::CurveFamily& family = run.family;
  if (!SizeFamilyForRun(owner, family, curveCount, run.n1)) return 0;
  for (int index : voltages) run.voltageNames.push_back(VoltageCurveName(index));

  // From here the plot shows the curves as they are measured.
  curves::LivePublisher live(family);
  live.SetUnits("A", "V");
  const channels::DelayOptions& delays = run.measurement.delays;
  const std::uint64_t totalPoints = std::uint64_t{run.n1} * run.n2 * run.v;
  const daq::TimeMark progress = platform::timeGetTime();
  daq::TimeMark interaction = progress;

  const std::uint16_t before1 = channels::PresentCode(s1);
  const std::uint16_t before2 = channels::PresentCode(s2);
  channels::SetCurrentCode(s2, static_cast<std::uint16_t>(run.range2.start));
  daq::Delay(delays.delayAfterSweep2);
  Edge param, x;
  param.first = channels::CurrentAmperes(s2);

  // How much is kept when the run ends early: the rows before keptRows and,
  // when keptPoints > 0, that many points of row keptRows.
  bool complete = true;
  std::uint32_t keptRows = 0, keptPoints = 0;
  daq::Stopwatch settle2(false), settle1(false);
  std::uint32_t s = 0;
  for (SweepIterator it2(run.range2); it2.Valid() && s < run.n2; it2.Next(), ++s) {
    const std::uint32_t code2 = it2.Code();
    keptRows = s;
    complete = false;
    channels::SetCurrentCode(s2, static_cast<std::uint16_t>(code2));
    settle2.Restart();
    if (run.options.trigger && FireTriggerPulse() < 0) {
      shell::ShowMessage(owner, kTriggerFailedText, kIVFTriggerCaption,
                         platform::MB_OK | platform::MB_ICONHAND);
      break;
    }
    if (run.options.resetSweep1BetweenCurves &&
        (run.options.kind == kParamManual || delays.stopAfterEachCurve)) {
      channels::SetCurrentCode(s1, before1);
      daq::Delay(delays.systemDecayTime);
      dialog.ShowLatestVoltages();
    }
    if (delays.stopAfterEachCurve &&
        shell::ShowMessage(owner, kNextCurveText, kNextCurveCaption, platform::MB_OKCANCEL) ==
            platform::IDCANCEL)
      break;
    settle2.WaitUntil(delays.delayAfterSweep2);
    dialog.ShowPoints2(s, run.n2);
    double p = 0.0;
    if (!run.Parameter(s, &p)) break;
    run.LabelRow(live, s, p);

    channels::SetCurrentCode(s1, static_cast<std::uint16_t>(run.range1.start));
    daq::Delay(delays.systemDecayTime);
    x = Edge{};
    x.first = channels::CurrentAmperes(s1);
    std::uint32_t j = 0;
    bool stopped = false;
    for (SweepIterator it1(run.range1); it1.Valid() && j < run.n1; it1.Next(), ++j) {
      const std::uint32_t code1 = it1.Code();
      channels::SetCurrentCode(s1, static_cast<std::uint16_t>(code1));
      settle1.Restart();
      if (daq::Stopwatch_HasPassed(&interaction, delays.interactionTime)) {
        dialog.ShowPoints(j, run.n1);
        dialog.ShowLatestVoltages();
        run.ShowProgress(progress, (std::uint64_t{s} * run.n1 + j) * run.v, totalPoints);
        interaction = platform::timeGetTime();
      }
      // The display update counts toward the settling time.
      settle1.WaitUntil(delays.systemDecayTime);
      const double xj = channels::CurrentAmperes(s1);
      x.Take(xj, code1 == run.range1.stop, it1.OnWayBack());
      for (std::uint32_t k = 0; k < run.v; ++k) {
        const channels::VoltageReading r = channels::MeasureVoltageZeroed(voltages[k]);
        family.Curve(s * run.v + k).Point(j) =
            curves::CurvePoint{static_cast<float>(xj), static_cast<float>(r.volts)};
      }
      for (std::uint32_t k = 0; k < run.v; ++k) live.Publish(s * run.v + k, j + 1);
      if (StopRequested()) {
        stopped = true;
        break;
      }
    }
    if (stopped) {
      // The point just measured is dropped, as in every sweep.
      if (j >= kMinimumPointsKept) keptPoints = j;
      break;
    }
    if (run.options.kind != kParamManual) {
      double again = 0.0;
      run.Parameter(s, &again);
      p = (p + again) / 2.0;
    }
    param.Take(p, code2 == run.range2.stop, it2.OnWayBack());
    run.LabelRow(live, s, p);
    complete = true;
  }

  live.End();
  if (!complete) {
    family.SetCount((keptRows + (keptPoints > 0 ? 1 : 0)) * run.v);
    for (std::uint32_t k = 0; keptPoints > 0 && k < run.v; ++k)
      family.Curve(keptRows * run.v + k).SetSize(keptPoints);
  } else {
    if (run.measurement.general.currentMeasureMethod == 1) ApplyEdges(run, x, param);
    PlayMeasurementSound(kSoundIVF);
  }

  channels::SetCurrentCode(s1, before1);
  channels::SetCurrentCode(s2, before2);
  FinishFamily(family, total.Elapsed() / 1000.0, kIVFTitle, "A", "V");
  return 1;
}

}  // namespace tsm::measure
