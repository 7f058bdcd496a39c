#include "files/options.h"

#include "shell/errors.h"

namespace tsm::files {

using shell::OptionGroupId;

const std::array<EmbeddedGroup, kEmbeddedGroupCount> kEmbeddedGroups = {{
    {OptionGroupId::Averaging, "SaveAveragingOptions", "LoadAveragingOptions", "Averaging"},
    {OptionGroupId::Delays, "SaveDelayOptions", "LoadDelayOptions", "Delays"},
    {OptionGroupId::VirtualChannels, "SaveVirtualIV", "LoadVirtualIV",
     "Virtual currents and voltages"},
    {OptionGroupId::IVF, "LoadIVFOptions", "SaveIVFOptions", "I-V families"},
    {OptionGroupId::IcH, "LoadIc(H)Options", "SaveIc(H)Options", "Ic(H)"},
    {OptionGroupId::VT, "SaveR(T)Options", "LoadR(T)Options", "V(T) && R(T)"},
    {OptionGroupId::IcT, "LoadIc(T)Options", "SaveIc(T)Options", "Ic(T)"},
    {OptionGroupId::Vtime, "SaveV(time)Options", "LoadV(time)Options", "V(time)"},
    {OptionGroupId::VdcIac, "SaveV_dc(I_ac)Options", "LoadV_dc(I_ac)Options", "V_dc(I_ac)"},
    {OptionGroupId::Calibrator, "SaveCalibratorOptions", "LoadCalibratorOptions",
     "Voltage calibrator"},
    {OptionGroupId::Thermometer, "SaveTermometerOptions", "LoadTermometerOptions",
     "Thermometer"},
    {OptionGroupId::GeneralMeasurement, "SaveOtherOptions", "LoadOtherOptions",
     "General measurement options"},
    {OptionGroupId::WaveformGeneral, "SaveWFMGeneralOptions", "LoadWFMGeneralOptions",
     "Waveform sampling"},
    {OptionGroupId::AxesGrid, "SaveAxisOptions", "LoadAxisOptions", "Axes"},
    {OptionGroupId::WaveformSequences, "SaveWFMs", "LoadWFMs", "Waveforms"},
    {OptionGroupId::Trigger, "SaveTrigger", "LoadTrigger", "Trigger"},
}};

namespace {

// Control ids of the dialog.
constexpr int kIdShowOnSave = 1001;
constexpr int kIdShowOnLoad = 1002;
constexpr int kIdDelimiter = 1003;  // three radio buttons 1003 .. 1005
constexpr int kIdColumnWidth = 1006;
constexpr int kIdSort = 1007;
constexpr int kIdFirstSaveFlag = 1010;  // 1010 .. 1025
constexpr int kIdFirstLoadFlag = 1030;  // 1030 .. 1045

shell::FieldList BuildList(DataFileOptions& o) {
  shell::FieldList list;
  auto& f = list.fields;
  const char* s = kDataFileSection;
  f.push_back(shell::CheckField(kIdShowOnSave, &o.showOptionsOnSave, s, "ShowOptionsOnSave",
                                "Show these options before every save"));
  f.push_back(shell::CheckField(kIdShowOnLoad, &o.showOptionsOnLoad, s, "ShowOptionsOnLoad",
                                "Show these options before every load"));
  f.push_back(shell::RadioField(kIdDelimiter, &o.delimiterId, s, "DelimitterID",
                                {"Space", "Tab", "Comma"}, "Delimiter"));
  f.push_back(shell::UnsignedField(kIdColumnWidth, &o.columnWidth, s, "ColumnWidth",
                                   kMinColumnWidth, kMaxColumnWidth, "Column width"));
  f.push_back(shell::CheckField(kIdSort, &o.sort, s, "sort",
                                "Sort curves by number of points before saving"));
  // The two columns of check boxes: what is written with the data, what is
  // taken from a data file.
  list.columnHeadings = {{1, "Save"}, {2, "Load"}};
  for (std::size_t i = 0; i < kEmbeddedGroupCount; ++i) {
    const EmbeddedGroup& g = kEmbeddedGroups[i];
    shell::Field save = shell::CheckField(kIdFirstSaveFlag + static_cast<int>(i),
                                          &o.saveWithData[i], s, g.saveKey, g.label);
    save.column = 1;
    save.tooltip = "Store these options with the data";
    f.push_back(std::move(save));
    shell::Field load = shell::CheckField(kIdFirstLoadFlag + static_cast<int>(i),
                                          &o.loadWithData[i], s, g.loadKey, g.label);
    load.column = 2;
    load.tooltip = "Take these options from the data file when loading";
    f.push_back(std::move(load));
  }
  return list;
}

// The options and the field list that edits them (it points into options,
// so the record stays where it is for the life of the program).
struct FilesOptionsState {
  DataFileOptions options;
  shell::FieldList list;
  FilesOptionsState() : list(BuildList(options)) {}
};

FilesOptionsState& State() {
  static FilesOptionsState state;
  return state;
}

}  // namespace

DataFileOptions& GetDataFileOptions() { return State().options; }

void ResetDataFileOptions() { State().options = DataFileOptions{}; }

char DelimiterChar(unsigned delimiterId) {
  switch (delimiterId) {
    case 0:
      return ' ';
    case 2:
      return ',';
    default:
      return '\t';
  }
}

unsigned ColumnWidth(const DataFileOptions& options) {
  if (options.columnWidth < kMinColumnWidth) return kMinColumnWidth;
  if (options.columnWidth > kMaxColumnWidth) return kMaxColumnWidth;
  return options.columnWidth;
}

shell::FieldList& DataFileFieldList() { return State().list; }

void RegisterOptionGroups() {
  shell::RegisterOptionGroup(OptionGroupId::DataFile,
                             shell::FieldListGroup("DataFile", DataFileFieldList()));
}

int RunDataFileDialog() {
  return shell::RunSetupDialog(kDataFileDialogId, shell::MainWindow(), DataFileFieldList(),
                               kDataFileDialogCaption);
}

void SaveGroupsWithData(const std::string& companionFile) {
  const DataFileOptions& o = GetDataFileOptions();
  for (std::size_t i = 0; i < kEmbeddedGroupCount; ++i)
    if (o.saveWithData[i]) shell::SaveOptionGroup(kEmbeddedGroups[i].id, companionFile);
}

void LoadGroupsWithData(const std::string& companionFile) {
  const DataFileOptions& o = GetDataFileOptions();
  for (std::size_t i = 0; i < kEmbeddedGroupCount; ++i)
    if (o.loadWithData[i]) shell::LoadOptionGroup(kEmbeddedGroups[i].id, companionFile);
}

}  // namespace tsm::files
