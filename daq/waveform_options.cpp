#include "daq/waveform_options.h"

#include <cstring>

#include "daq/generator.h"
#include "platform/profile.h"
#include "shell/settings.h"
#include "shell/stringex.h"

namespace tsm::daq {

using namespace tsm::platform;
using shell::Field;
using shell::FieldList;

namespace {
void AddSequenceFields(int n, std::vector<Field>& fields, int idBase) {
  WaveformDefinition& w = GetWaveformSettings().waveforms[n];
  const std::string s = kWaveformSection;
  fields.push_back(shell::TextField(idBase + 0, w.sequence, kSequenceSize, s,
                                    shell::Format("Seq%d", n), "Sequence:"));
  fields.push_back(shell::FloatField(idBase + 1, &w.value0, s, shell::Format("0-Value%d", n),
                                     shell::kNoMinimum, shell::kNoMaximum, "\"0\" value:"));
  fields.push_back(shell::FloatField(idBase + 2, &w.value1, s, shell::Format("1-Value%d", n),
                                     shell::kNoMinimum, shell::kNoMaximum, "\"1\" value:"));
  fields.push_back(shell::FloatField(idBase + 3, &w.stretch, s, shell::Format("Stretch%d", n),
                                     shell::kNoMinimum, shell::kNoMaximum, "Stretch:"));
  fields.push_back(shell::CheckField(idBase + 4, &w.prolong, s, shell::Format("Prolong%d", n),
                                     "Prolong (repeat cyclically)"));
}

// OK and Save go through here first: a refused symbol keeps the dialog open
// with the focus back in the sequence field.
bool SequenceRefused(shell::SetupDialog& dialog) {
  std::size_t bad = 0;
  if (SequenceAccepted(dialog.GetText(kIdSequence).c_str(), &bad)) return false;
  dialog.SetFocus(kIdSequence);
  dialog.SelectText(kIdSequence, static_cast<int>(bad), static_cast<int>(bad) + 1);
  return true;
}

void WriteSequence(const FieldList& list, const std::vector<shell::EditValue>& values,
                   const std::string& fileName) {
  ProfileBatch batch;
  for (std::size_t i = 0; i < list.fields.size(); ++i) {
    const Field& f = list.fields[i];
    const char* section = f.section.c_str();
    const char* key = f.key.c_str();
    switch (f.kind) {
      case shell::kFieldText:
        WritePrivateProfileStringA(section, key, values[i].text.c_str(), fileName.c_str());
        break;
      case shell::kFieldFloat:
        WriteProfileFloat(section, key, values[i].real, "%f", fileName.c_str());
        break;
      default:
        WriteProfileInt(section, key, values[i].integer, "%d", fileName.c_str());
        break;
    }
  }
}
}  // namespace

FieldList SequenceFields(int n) {
  FieldList list;
  if (n < 0 || n >= kWaveformCount) return list;
  AddSequenceFields(n, list.fields, kIdSequence);
  list.hook = [](shell::SetupDialog& dialog, int id, int code) {
    if (code != 0) return false;
    if (id == IDOK) return SequenceRefused(dialog);
    if (id == shell::kSetupSave) {
      if (!SequenceRefused(dialog) && dialog.ReadFields())
        WriteSequence(dialog.List(), dialog.EditValues(), shell::SettingsFileName());
      return true;
    }
    return false;
  };
  return list;
}

int RunSequenceDialog(int n, WindowHandle owner) {
  if (n < 0 || n >= kWaveformCount) return 0;
  FieldList list = SequenceFields(n);
  return shell::RunSetupDialog(kSequenceDialogId, owner, list,
                               shell::Format(kSequenceCaption, n));
}

void SaveSequenceWithF(int n, const std::string& fileName) {
  if (n < 0 || n >= kWaveformCount) return;
  const FieldList list = SequenceFields(n);
  std::vector<shell::EditValue> values;
  const WaveformDefinition& w = GetWaveformSettings().waveforms[n];
  values.push_back({0, 0, std::string(w.sequence, strnlen(w.sequence, kSequenceSize - 1))});
  values.push_back({0, w.value0, {}});
  values.push_back({0, w.value1, {}});
  values.push_back({0, w.stretch, {}});
  values.push_back({w.prolong, 0, {}});
  WriteSequence(list, values, fileName);
}

FieldList& WaveformSequenceFields() {
  static FieldList list = [] {
    FieldList l;
    for (int n = 0; n < kWaveformCount; ++n) AddSequenceFields(n, l.fields, kIdSequence);
    return l;
  }();
  return list;
}

FieldList& WaveformGeneralFields() {
  static FieldList list = [] {
    WaveformGeneralOptions& g = GetWaveformSettings().general;
    const std::string s = kWaveformSection;
    FieldList l;
    l.fields.push_back(shell::UnsignedField(kIdSamplesPerLogUnit, &g.samplesPerLogUnit, s,
                                            "SamplesPerLogUnit", 1, 4096, kSamplesLabel));
    l.fields.push_back(shell::UnsignedField(kIdSamplingTimeInterval, &g.samplingTimeInterval, s,
                                            "SamplingTimeInterval", 0, shell::kNoMaximum,
                                            "Sampling time interval (ms):"));
    l.fields.push_back(shell::UnsignedField(kIdNumberOfCycles, &g.numberOfCycles, s,
                                            "NumberOfCycles", 0, 128, kCyclesLabel));
    l.fields.push_back(shell::RadioField(kIdXAxis, &g.xAxis, s, "X-Axis",
                                         {"Time (s)", "Clock ticks", "Logic units"}, "X-Axis"));
    l.fields.push_back(shell::FloatField(kIdShiftVoltages, &g.shiftConsequentVoltagesBy, s,
                                         "ShiftConsequentVoltagesBy", -1e9, 1e9,
                                         "Shift consequent voltages by (V):"));
    return l;
  }();
  return list;
}

int RunWaveformGeneralDialog(WindowHandle owner) {
  return shell::RunSetupDialog(kGeneralDialogId, owner, WaveformGeneralFields(), kGeneralTitle);
}

shell::InfoTable WaveformGeneralInfoTable() {
  const WaveformGeneralOptions& g = GetWaveformSettings().general;
  shell::InfoTable table;
  table.title = kGeneralTitle;
  table.Add(kSamplesLabel, shell::Format("%u", g.samplesPerLogUnit));
  table.Add(kCyclesLabel, shell::Format("%u", g.numberOfCycles));
  return table;
}

FieldList& GeneratorFields() {
  static FieldList list = [] {
    FieldList l;
    l.fields.push_back(shell::FloatField(kIdFrequency, &GetWaveformSettings().frequency,
                                         kWaveformSection, "Frequency", 0, 1e9,
                                         "Frequency (logic units per second):"));
    return l;
  }();
  return list;
}

int RunGeneratorDialog(WindowHandle owner) {
  return shell::RunSetupDialog(kGeneratorDialogId, owner, GeneratorFields(), kGeneratorCaption);
}

void RegisterWaveformOptionGroups() {
  using shell::OptionGroupId;
  shell::RegisterOptionGroup(OptionGroupId::WaveformSequences,
                             shell::FieldListGroup("WaveformSequences", WaveformSequenceFields()));
  shell::RegisterOptionGroup(OptionGroupId::WaveformGeneral,
                             shell::FieldListGroup("WaveformGeneral", WaveformGeneralFields()));
  shell::RegisterOptionGroup(OptionGroupId::Generator,
                             shell::FieldListGroup("Generator", GeneratorFields()));
}

}  // namespace tsm::daq
