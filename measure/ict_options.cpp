#include "measure/ict_options.h"

#include "measure/ich_options.h"
#include "shell/stringex.h"

namespace tsm::measure {

namespace {
IcTOptions& Options() {
  static IcTOptions options;
  return options;
}
}  // namespace

IcTOptions& GetIcTOptions() { return Options(); }
void ResetIcTOptions() { Options() = IcTOptions{}; }

std::string IcTKey(const std::string& key) {
  static const char* const kRenamed[][2] = {
      {"Ic(H)Criterion", "Ic(T)Criterion"},
      {"Ic(H)ForwardStep", "Ic(T)ForwardStep"},
      {"Ic(H)BackwardStep", "Ic(T)BackwardStep"},
      {"Ic(H)NumberOfTimes", "Ic(T)NumberOfTimes"},
      {"Ic(H)ZeroStep", "Ic(T)ZeroStep"},
      {"Ic(H)ResetStabStep", "Ic(T)ResetStabilizationStep"},
  };
  for (const auto& r : kRenamed)
    if (key == r[0]) return r[1];
  return key;  // the keys both groups store under the same name
}

shell::FieldList& IcTGroupFields() {
  static shell::FieldList list = [] {
    shell::FieldList l;
    AddIcSearchFields(l, IcTKey);
    for (shell::Field& f : l.fields)
      if (f.controlId == kIdIcHResetStabStep) f.maximum = 2048;
    IcTOptions& o = Options();
    shell::Field delta = shell::FloatField(kIdIcTMinDeltaT, &o.minDeltaT, kIcHSection,
                                           "Ic(T)MinDeltaT", 0, 1e10,
                                           "Min interval between data points (K)");
    delta.column = 1;
    l.fields.push_back(delta);
    shell::Field zero = shell::CheckField(kIdIcTAutoZero, &o.autoZeroSweep1ForEachT,
                                          kIcHSection, "Ic(T)AutoZeroSweep1forEachH",
                                          "Make AutoZero (resetting sweep1) for each value of T?");
    zero.column = 1;
    l.fields.push_back(zero);
    AddIcStatisticsControls(l, 1);
    l.hook = IcOptionsHook;
    return l;
  }();
  return list;
}

int RunIcTOptionsDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kIcTOptionsDialogId, owner, IcTGroupFields(), kIcTOptionsCaption);
}

shell::InfoTable IcTInfoTable() {
  const IcHOptions& s = GetIcHOptions();
  shell::InfoTable t;
  t.title = kIcTOptionsCaption;
  t.Add("Criterion (volts)", shell::FormatFloatG(s.criterion));
  t.Add("Step while searching I_c (bits)", shell::Format("%u", s.forwardStep));
  t.Add("Number of efforts", shell::Format("%u", s.numberOfTimes));
  t.Add("Min interval between data points (K)", shell::FormatFloatG(Options().minDeltaT));
  t.Add("AutoZero for each value of T", shell::YesNo(Options().autoZeroSweep1ForEachT));
  return t;
}

}  // namespace tsm::measure
