#include "channels/autozero.h"

#include <algorithm>
#include <array>

#include "channels/averaging.h"
#include "channels/measurement_options.h"
#include "channels/virtual_channels.h"
#include "daq/cards.h"
#include "daq/timing.h"
#include "resources/strings.h"
#include "shell/errors.h"
#include "shell/phyunits.h"
#include "shell/stringex.h"

namespace tsm::channels {

using namespace tsm::platform;

namespace {
struct AutoZeroState {
  AutoZeroSettings settings;
};

AutoZeroState& State() {
  static AutoZeroState state;
  return state;
}

unsigned ExtraAveraging() { return std::max(1u, State().settings.extraAveraging); }

// The settling time after the currents moved: the longer of the two sweep
// settling delays.
void WaitForSettling() {
  const DelayOptions& d = GetMeasurementOptions().delays;
  daq::Delay(std::max(d.systemDecayTime, d.delayAfterSweep2));
}

// Measures voltage i E times and keeps the means as its zero. A stop that
// cut a multiplexer delay short leaves the zero as it was: the readings did
// not settle. (The readings are raw, so the old zero need not go first.)
void ZeroVoltage(int i, const VirtualVoltage& v) {
  const unsigned e = ExtraAveraging();
  double volts = 0;
  long long means = 0;
  for (unsigned k = 0; k < e; ++k) {
    const VoltageReading r = MeasureVoltage(i);
    volts += r.volts;
    means += r.mean;
  }
  if (daq::WaitAborted()) return;
  const daq::AdcCard* card = daq::AdcCardAt(v.adcCard);
  const long long zeroReading = card ? card->zeroReading : 0;
  SetVoltageZero(i, VoltageZero{volts / e, static_cast<std::int32_t>(means / e - zeroReading)});
}

bool Excluded(const VirtualVoltage& v, bool consultFlag) {
  if (v.kind == kNotConnected) return true;
  if (v.kind == kTSensor && State().settings.ignoreTSensor) return true;
  return consultFlag && v.noAutoZero != 0;
}

// Step 4 over every voltage: excluded ones lose their zero, the others get
// a new one.
void ZeroVoltages(bool consultFlag) {
  const auto voltages = AllVoltages();
  for (int i = 0; i < kVoltageCount && !daq::WaitAborted(); ++i) {
    if (Excluded(voltages[i], consultFlag))
      ClearVoltageZero(i);
    else
      ZeroVoltage(i, voltages[i]);
  }
}

void ClearDefinedZeros() {
  const auto voltages = AllVoltages();
  for (int i = 0; i < kVoltageCount; ++i)
    if (voltages[i].kind != kNotConnected) ClearVoltageZero(i);
  for (int i = 0; i < kCurrentCount; ++i)
    if (IsCurrentDefined(i)) SetCurrentZeroShift(i, 0.0f);
}

std::array<int, kCurrentCount> ZeroTargets() {
  std::array<int, kCurrentCount> targets;
  targets.fill(-1);
  for (int i = 0; i < kCurrentCount; ++i) {
    std::uint16_t zero = 0;
    if (IsCurrentDefined(i) && CurrentCardRange(i, nullptr, nullptr, &zero)) targets[i] = zero;
  }
  return targets;
}
}  // namespace

AutoZeroSettings& GetAutoZeroSettings() { return State().settings; }

bool RunAutoZero(WindowHandle owner, bool checked) {
  const AutoZeroSettings& s = State().settings;
  if (!checked) {
    const auto voltages = AllVoltages();
    for (int i = 0; i < kVoltageCount; ++i)
      if (!Excluded(voltages[i], true)) ClearVoltageZero(i);
    for (int i = 0; i < kCurrentCount; ++i) SetCurrentZeroShift(i, 0.0f);
    return false;
  }

  std::array<int, kCurrentCount> remembered;
  for (int i = 0; i < kCurrentCount; ++i) remembered[i] = PresentCode(i);

  int answer = IDIGNORE;
  do {
    {
      BusyCursor busy;
      MoveCurrents(ZeroTargets());
      WaitForSettling();
      ZeroVoltages(true);
      if (s.do4CurrentMon) {
        const unsigned e = ExtraAveraging();
        for (int i = 0; i < kCurrentCount; ++i) {
          if (!IsCurrentDefined(i)) continue;
          double sum = 0;
          for (unsigned k = 0; k < e; ++k) sum += MeasureCurrent(i);
          SetCurrentZeroShift(i, static_cast<float>(sum / e));
        }
      }
    }
    answer = s.showWarning ? shell::ShowMessage(owner, resources::String(kAutoZeroWarningString),
                                                kAutoZeroCaption, kAutoZeroWarningType)
                           : IDIGNORE;
  } while (answer == IDRETRY);

  if (answer == IDABORT) {
    checked = false;
    ClearDefinedZeros();
  }
  // Every defined current back where it was.
  for (int i = 0; i < kCurrentCount; ++i)
    if (!IsCurrentDefined(i)) remembered[i] = -1;
  MoveCurrents(remembered);
  return checked;
}

void RedoAutoZero(WindowHandle owner) {
  AutoZeroSettings& s = State().settings;
  if (!s.redoOnDoIt) return;
  const bool ignore = s.ignoreTSensor, warn = s.showWarning;
  s.ignoreTSensor = true;
  s.showWarning = false;
  RunAutoZero(owner, true);
  s.ignoreTSensor = ignore;
  s.showWarning = warn;
}

void ZeroWithSweepCurrent() {
  const int sweep = FirstSweep1Current();
  std::array<int, kCurrentCount> targets;
  targets.fill(-1);
  int previous = -1;
  std::uint16_t zero = 0;
  if (sweep >= 0 && CurrentCardRange(sweep, nullptr, nullptr, &zero)) {
    previous = PresentCode(sweep);
    targets[sweep] = zero;
    MoveCurrents(targets);
  }
  WaitForSettling();
  // A stop during the wait: no zeros are taken from voltages that have not
  // settled; the ones before stay.
  if (!daq::WaitAborted()) ZeroVoltages(false);
  if (previous >= 0) {
    targets[sweep] = previous;
    MoveCurrents(targets);
  }
}

std::string AutoZeroVoltageReport() {
  std::string text;
  int lines = 0;
  const auto voltages = AllVoltages();
  for (int i = 0; i < kVoltageCount && lines < kReportLines; ++i) {
    if (voltages[i].kind == kNotConnected) continue;
    const VoltageZero z = GetVoltageZero(i);
    text += shell::Format("Shift of V[%2u]\t=\t%s (%d bits)\n", static_cast<unsigned>(i),
                          shell::FormatWithPrefix(static_cast<float>(z.volts), "V").c_str(),
                          static_cast<int>(z.bits));
    ++lines;
  }
  return lines ? text : std::string(kNoVoltagesText);
}

std::string AutoZeroCurrentReport() {
  std::string text;
  int lines = 0;
  const auto currents = AllCurrents();
  for (int i = 0; i < kCurrentCount && lines < kReportLines; ++i) {
    if (currents[i].kind == kDisconnected || !currents[i].Monitored()) continue;
    text += shell::Format("Shift of I-Mon[%2u]\t=\t%s\n", static_cast<unsigned>(i),
                          shell::FormatWithPrefix(CurrentZeroShift(i), "A").c_str());
    ++lines;
  }
  return lines ? text : std::string(kNoMonitorsText);
}

void ShowAutoZeroVoltageReport(WindowHandle owner) {
  shell::ShowMessage(owner, AutoZeroVoltageReport(), kVoltageReportCaption,
                     MB_OK | MB_ICONINFORMATION);
}

void ShowAutoZeroCurrentReport(WindowHandle owner) {
  shell::ShowMessage(owner, AutoZeroCurrentReport(), kCurrentReportCaption,
                     MB_OK | MB_ICONINFORMATION);
}

shell::FieldList& AutoZeroFields() {
  static shell::FieldList list = [] {
    AutoZeroSettings& s = State().settings;
    shell::FieldList l;
    l.fields.push_back(shell::UnsignedField(kIdExtraAveraging, &s.extraAveraging, "Setup",
                                            "AutoZeroExtraAveraging", 1, 4294967295.0,
                                            "Extra Averaging"));
    l.fields.push_back(shell::CheckField(kIdShowWarning, &s.showWarning, "Setup",
                                         "ShowAutoZeroWarning", "Show Warning?"));
    l.fields.push_back(shell::CheckField(kIdIgnoreTSensor, &s.ignoreTSensor, "Setup",
                                         "AutoZero_IgnoreTSensor", "Ignore T-sensor voltage?"));
    l.fields.push_back(shell::CheckField(kIdDo4CurrentMon, &s.do4CurrentMon, "Setup",
                                         "AutoZero_Do4CurrentMon",
                                         "Zero the current monitors too"));
    l.fields.push_back(shell::CheckField(kIdRedoOnDoIt, &s.redoOnDoIt, "Setup",
                                         "AutoZero_RedoOnDoIt", "Redo on DoIt?"));
    return l;
  }();
  return list;
}

int RunAutoZeroDialog(WindowHandle owner) {
  return shell::RunSetupDialog(kAutoZeroDialogId, owner, AutoZeroFields(),
                               kAutoZeroOptionsCaption);
}

shell::InfoTable AutoZeroInfoTable() {
  const AutoZeroSettings& s = State().settings;
  shell::InfoTable t;
  t.title = "AutoZero Options";
  t.Add("Extra Averaging", shell::Format("%u", s.extraAveraging));
  t.Add("Show Warning?", shell::YesNo(s.showWarning));
  t.Add("Ignore T-sensor voltage?", shell::YesNo(s.ignoreTSensor));
  t.Add("Redo on DoIt?", shell::YesNo(s.redoOnDoIt));
  return t;
}

void ResetAutoZero() { State().settings = AutoZeroSettings{}; }

}  // namespace tsm::channels
