// The averaging option group (section "Math"), its dialog and its summary.
#include <algorithm>

#include "channels/averaging.h"
#include "platform/dialog_buttons.h"
#include "platform/profile.h"
#include "shell/settings.h"
#include "shell/stringex.h"

namespace tsm::channels {

using namespace tsm::platform;

namespace {
constexpr const char* kSection = "Math";
constexpr const char* kRateKey = "TA_SampleRate";
// The rate keeps the width it always had in the file.
constexpr const char* kRateFormat = "%12G";

shell::FieldList MakeFields() {
  AveragingSettings& s = GetAveragingSettings();
  shell::FieldList list;
  auto add = [&list](shell::Field f, int column) {
    f.column = column;
    list.fields.push_back(std::move(f));
  };
  add(shell::UnsignedField(kIdCurrentSamples, &s.currentSamples, kSection,
                           "GetCurrentAveragingTimes", 1, kMaxSamples, "Number of samples:"),
      0);
  add(shell::UnsignedField(kIdCurrentTrim, &s.currentTrim, kSection, "GetCurrentAveragingStart",
                           0, kMaxTrim, "Start averaging at:"),
      0);
  add(shell::UnsignedField(kIdVoltageSamples, &s.voltageSamples, kSection,
                           "GetVoltageAveragingTimes", 1, kMaxSamples, "Number of samples:"),
      1);
  add(shell::UnsignedField(kIdVoltageTrim, &s.voltageTrim, kSection, "GetVoltageAveragingStart",
                           0, kMaxTrim, "Start averaging at:"),
      1);
  add(shell::CheckField(kIdTurbo, &s.turbo, kSection, "TurboAveraging", "TurboAveraging"), 0);
  add(shell::FloatField(kIdSampleRate, &s.sampleRate, kSection, kRateKey, kMinSampleRate,
                        kMaxSampleRate, "Turbo Averaging sampling rate (Hz):"),
      0);
  list.dependencies.push_back(
      shell::Dependency{shell::kRuleEnableIfChecked, kIdTurbo, {kIdSampleRate}});
  return list;
}

int FieldIndex(const shell::FieldList& list, int id) {
  for (std::size_t i = 0; i < list.fields.size(); ++i)
    if (list.fields[i].controlId == id) return static_cast<int>(i);
  return -1;
}

// After a load nothing may break the sample rule: a file with a trim of
// half the samples or more would leave nothing to average.
void KeepTrimsValid() {
  AveragingSettings& s = GetAveragingSettings();
  s.currentSamples = std::clamp(s.currentSamples, 1u, kMaxSamples);
  s.voltageSamples = std::clamp(s.voltageSamples, 1u, kMaxSamples);
  s.currentTrim = std::min(s.currentTrim, (s.currentSamples - 1) / 2);
  s.voltageTrim = std::min(s.voltageTrim, (s.voltageSamples - 1) / 2);
}

void WriteValues(const shell::FieldList& list, const std::vector<shell::EditValue>& values,
                 const std::string& file) {
  ProfileBatch batch;
  shell::WriteGroupValues(list, values, file);
  const int rate = FieldIndex(list, kIdSampleRate);
  WriteProfileFloat(kSection, kRateKey, values[rate].real, kRateFormat, file.c_str());
}

std::vector<shell::EditValue> CurrentValues(const shell::FieldList& list) {
  const AveragingSettings& s = GetAveragingSettings();
  std::vector<shell::EditValue> values(list.fields.size());
  values[FieldIndex(list, kIdCurrentSamples)].integer = s.currentSamples;
  values[FieldIndex(list, kIdCurrentTrim)].integer = s.currentTrim;
  values[FieldIndex(list, kIdVoltageSamples)].integer = s.voltageSamples;
  values[FieldIndex(list, kIdVoltageTrim)].integer = s.voltageTrim;
  values[FieldIndex(list, kIdTurbo)].integer = s.turbo ? 1 : 0;
  values[FieldIndex(list, kIdSampleRate)].real = s.sampleRate;
  return values;
}

// The confirmation rule on the dialog's edit values; on failure the
// offending trim gets the beep, focus and selection of a bad field.
bool ValuesValid(shell::SetupDialog& dialog) {
  const shell::FieldList& list = dialog.List();
  const auto& v = dialog.EditValues();
  auto check = [&](int samplesId, int trimId) {
    const long long n = v[FieldIndex(list, samplesId)].integer;
    const long long t = v[FieldIndex(list, trimId)].integer;
    if (n >= 1 && t >= 0 && t <= (n - 1) / 2) return true;
    GetUi().MessageBeep(MB_ICONHAND);
    dialog.SetFocus(trimId);
    dialog.SelectText(trimId, 0, -1);
    return false;
  };
  return check(kIdCurrentSamples, kIdCurrentTrim) && check(kIdVoltageSamples, kIdVoltageTrim);
}

bool Hook(shell::SetupDialog& dialog, int id, int) {
  switch (id) {
    case shell::kHookStart:
      dialog.SetText(kIdIStatus, shell::Format("TA_IStatus: %d", TA_IStatus()));
      dialog.SetText(kIdVStatus, shell::Format("TA_VStatus: %d", TA_VStatus()));
      return false;
    case IDOK:
      // Validate here; the framework then reads the fields again and stores.
      return !(dialog.ReadFields() && ValuesValid(dialog));
    case shell::kSetupSave:
      if (dialog.ReadFields() && ValuesValid(dialog))
        WriteValues(dialog.List(), dialog.EditValues(), shell::SettingsFileName());
      return true;
    default:
      return false;
  }
}
}  // namespace

shell::FieldList& AveragingFields() {
  static shell::FieldList list = [] {
    shell::FieldList l = MakeFields();
    l.hook = Hook;
    return l;
  }();
  return list;
}

int LoadAveragingOptions(const std::string& fileName) {
  shell::LoadGroup(AveragingFields(), fileName);
  KeepTrimsValid();
  ResizeAveragingArray();
  return 1;
}

int SaveAveragingOptions(const std::string& fileName) {
  const shell::FieldList& list = AveragingFields();
  WriteValues(list, CurrentValues(list), fileName);
  return 1;
}

namespace {
// The dialog's own layout: the current and the voltage settings framed side
// by side under their headings, turbo below, the framework's buttons last.
void AddControls(shell::SetupDialog& d) {
  auto frame = [&d](const char* caption, int column, int count) {
    Control c;
    c.id = -1;
    c.kind = ControlKind::GroupBox;
    c.text = caption;
    c.column = column;
    c.frameCount = count;
    d.AddControl(c);
  };
  auto edit = [&d](int id, const char* label, int column) {
    Control c;
    c.id = id;
    c.kind = ControlKind::Edit;
    c.label = label;
    c.column = column;
    d.AddControl(c);
  };
  frame("Current Averaging", 0, 3);
  edit(kIdCurrentSamples, "Number of samples:", 0);
  edit(kIdCurrentTrim, "Start averaging at:", 0);
  d.AddControl(shell::TextControl(kIdIStatus, {}, 0));
  frame("Voltage Averaging", 1, 3);
  edit(kIdVoltageSamples, "Number of samples:", 1);
  edit(kIdVoltageTrim, "Start averaging at:", 1);
  d.AddControl(shell::TextControl(kIdVStatus, {}, 1));
  Control turbo;
  turbo.id = kIdTurbo;
  turbo.kind = ControlKind::CheckBox;
  turbo.text = "TurboAveraging";
  d.AddControl(turbo);
  edit(kIdSampleRate, "Turbo Averaging sampling rate (Hz):", 0);
  AddOkCancelButtons(d);
  d.AddControl(PushButton(shell::kSetupSave, "&Save"));
  d.AddControl(PushButton(shell::kSetupLoad, "&Load"));
}
}  // namespace

int RunAveragingDialog(WindowHandle owner) {
  shell::SetupDialog dialog(kAveragingDialogId, kAveragingCaption, AveragingFields(),
                            shell::SetupDialog::Layout::Caller);
  AddControls(dialog);
  const int result = GetUi().RunModal(dialog, owner) == 1 ? 1 : 0;
  ResizeAveragingArray();
  return result;
}

shell::InfoTable AveragingInfoTable() {
  const AveragingSettings& s = GetAveragingSettings();
  shell::InfoTable t;
  t.title = "Averaging";
  t.Add("", std::vector<std::string>{"Current Averaging", "Voltage Averaging"});
  t.Add("Number of samples:",
        std::vector<std::string>{shell::Format("%u", s.currentSamples), shell::Format("%u", s.voltageSamples)});
  t.Add("Start averaging at:",
        std::vector<std::string>{shell::Format("%u", s.currentTrim), shell::Format("%u", s.voltageTrim)});
  if (s.turbo)
    t.Add("Turbo Averaging sampling rate (Hz):", shell::FormatFloatG(s.sampleRate));
  return t;
}

}  // namespace tsm::channels
