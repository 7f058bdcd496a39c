// The thermometer's option group, its dialog with the browse button and its
// summary.
#include "channels/thermometer.h"

#include "shell/errors.h"
#include "shell/settings.h"
#include "shell/stringex.h"

namespace tsm::channels {

using namespace tsm::platform;

namespace {
// Shows the chooser with the field's text as the initial file and puts the
// chosen path into the field.
void Browse(shell::SetupDialog& dialog) {
  FileDialogRequest request;
  request.initialFile = dialog.GetText(kIdFileName);
  request.filters.push_back({kCalibrationFilter, kCalibrationPattern});
  request.defaultExtension = "t";
  request.flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  const FileDialogResult chosen = GetUi().GetOpenFileName(request);
  if (!chosen.ok) {
    shell::ReportCommDlgError(chosen.errorCode);
    return;
  }
  if (chosen.path.size() >= kThermometerPathLength) return;  // a cut path names another file
  dialog.SetText(kIdFileName, chosen.path);
}
}  // namespace

shell::FieldList& ThermometerFields() {
  static shell::FieldList list = [] {
    ThermometerSettings& s = GetThermometerSettings();
    const std::string section = kThermometerSection;
    shell::FieldList l;
    l.fields.push_back(shell::RadioField(kIdTableType, &s.tr, section, "T(R)?",
                                         {"T(V)", "T(R)"}, "Type of calibration table"));
    l.fields.push_back(shell::FloatField(kIdSensorCurrent, &s.sensorCurrent, section,
                                         "SensorCurrent", 1e-10, 1e10,
                                         "Current through the T-sensor (A)"));
    l.fields.push_back(
        shell::CheckField(kIdUseAbsV, &s.useAbsV, section, "UseAbsV", "Use |V| instead of V?"));
    l.fields.push_back(shell::TextField(kIdFileName, s.fileName, kThermometerPathLength, section,
                                        "FileName", "Calibration table"));
    l.extraControls.push_back(shell::ButtonControl(kIdBrowse, "&Browse..."));
    l.dependencies.push_back({shell::kRuleEnableIfChecked2, kIdTableTypeTR, {kIdSensorCurrent}});
    l.hook = [](shell::SetupDialog& dialog, int id, int code) {
      if (id == kIdBrowse && code == 0) {
        Browse(dialog);
        return true;
      }
      return false;
    };
    return l;
  }();
  return list;
}

int LoadThermometerOptions(const std::string& fileName) {
  shell::LoadGroup(ThermometerFields(), fileName);
  LoadCalibration(GetThermometerSettings().fileName);
  return 1;
}

int SaveThermometerOptions(const std::string& fileName) {
  shell::SaveGroup(ThermometerFields(), fileName);
  return 1;
}

int RunThermometerDialog(WindowHandle owner) {
  if (shell::RunSetupDialog(kThermometerDialogId, owner, ThermometerFields(),
                            kThermometerCaption) != 1)
    return 0;
  const std::string path = GetThermometerSettings().fileName;
  const std::uint32_t count = LoadCalibration(path, owner);
  shell::ShowMessage(owner ? owner : shell::MainWindow(),
                     shell::Format(kEntriesReadText, static_cast<int>(count), path.c_str()),
                     kEntriesReadCaption, MB_OK);
  return 1;
}

shell::InfoTable ThermometerInfoTable() {
  const ThermometerSettings& s = GetThermometerSettings();
  shell::InfoTable table;
  table.title = kThermometerCaption;
  table.Add("Type of calibration table", s.tr ? "T(R)" : "T(V)");
  if (s.tr) table.Add("Current through the T-sensor (A)", shell::FormatFloatG(s.sensorCurrent));
  table.Add("Use |V| instead of V?", shell::YesNo(s.useAbsV != 0));
  table.Add("Calibration table", s.fileName);
  return table;
}

void RegisterThermometerOptionGroup() {
  shell::RegisterOptionGroup(shell::OptionGroupId::Thermometer,
                             shell::OptionGroup{"Thermometer", LoadThermometerOptions,
                                                SaveThermometerOptions});
}

}  // namespace tsm::channels
