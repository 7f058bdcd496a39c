#include "measure/vdc_iac_options.h"

#include <string>

#include "platform/profile.h"
#include "shell/settings.h"

namespace tsm::measure {

namespace {
constexpr const char* kFrequencyKey = "Measure:V_dc(I_ac)_Freq";
constexpr const char* kSamplingRateKey = "Measure:V_dc(I_ac)_SamplingRate";

VdcIacOptions& Options() {
  static VdcIacOptions options;
  return options;
}

shell::Field Real(int id, float* variable, const char* key, const char* label) {
  shell::Field f =
      shell::FloatField(id, variable, kVdcIacSection, key, kMinVdcIacReal, kMaxVdcIacReal, label);
  f.format = kVdcIacRealFormat;
  return f;
}

// The two reals in their own format, over what the generic writing put there.
void WriteReals(double frequency, double samplingRate, const std::string& file) {
  platform::WriteProfileFloat(kVdcIacSection, kFrequencyKey, frequency, kVdcIacRealFormat,
                              file.c_str());
  platform::WriteProfileFloat(kVdcIacSection, kSamplingRateKey, samplingRate,
                              kVdcIacRealFormat, file.c_str());
}

bool Hook(shell::SetupDialog& dialog, int id, int) {
  if (id != shell::kSetupSave) return false;
  if (dialog.ReadFields()) {
    platform::ProfileBatch batch;
    const std::string file = shell::SettingsFileName();
    const auto& values = dialog.EditValues();
    shell::WriteGroupValues(dialog.List(), values, file);
    WriteReals(values[dialog.FieldIndex(kIdVdcFrequency)].real,
               values[dialog.FieldIndex(kIdVdcSamplingRate)].real, file);
  }
  return true;
}

shell::FieldList MakeFields() {
  VdcIacOptions& o = Options();
  shell::FieldList l;
  l.fields.push_back(Real(kIdVdcFrequency, &o.frequency, kFrequencyKey,
                          "Frequency of the waveform (Hz): . . . . . . . . . . . . "));
  l.fields.push_back(
      Real(kIdVdcSamplingRate, &o.samplingRate, kSamplingRateKey, "Sampling rate (pts/sec):"));
  l.fields.push_back(shell::RadioField(kIdVdcWaveform, &o.waveformType, kVdcIacSection,
                                       "Measure:V_dc(I_ac)_WaveformType",
                                       {"sine", "ramp", "rectangle", "noise"}, "Waveforms"));
  l.fields.push_back(shell::UnsignedField(kIdVdcCoolDown, &o.coolDownDelay, kVdcIacSection,
                                          "Measure:V_dc(I_ac)_CoolDownDelay", 0,
                                          kMaxCoolDownDelay,
                                          "Cool down after each mesurement (ms):"));
  l.hook = Hook;
  return l;
}
}  // namespace

VdcIacOptions& GetVdcIacOptions() { return Options(); }
void ResetVdcIacOptions() { Options() = VdcIacOptions{}; }

shell::FieldList& VdcIacFields() {
  static shell::FieldList list = MakeFields();
  return list;
}

int LoadVdcIacOptions(const std::string& fileName) {
  shell::LoadGroup(VdcIacFields(), fileName);
  return 1;
}

int SaveVdcIacOptions(const std::string& fileName) {
  platform::ProfileBatch batch;
  shell::SaveGroup(VdcIacFields(), fileName);
  WriteReals(Options().frequency, Options().samplingRate, fileName);
  return 1;
}

int RunVdcIacOptionsDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kVdcIacDialogId, owner, VdcIacFields(), kVdcIacOptionsCaption);
}

shell::InfoTable VdcIacInfoTable() {
  const VdcIacOptions& o = Options();
  shell::InfoTable t;
  t.title = kVdcIacOptionsCaption;
  t.Add("Frequency (Hz)", shell::FormatFloatG(o.frequency));
  t.Add("Sampling rate (pts/sec)", shell::FormatFloatG(o.samplingRate));
  t.Add("Cool down delay (ms)", std::to_string(o.coolDownDelay));
  return t;
}

}  // namespace tsm::measure
