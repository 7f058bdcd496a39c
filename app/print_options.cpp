#include "app/print_options.h"

#include "channels/autozero.h"
#include "channels/averaging.h"
#include "channels/measurement_options.h"
#include "channels/thermometer.h"
#include "daq/waveform_options.h"
#include "measure/ich_options.h"
#include "measure/ict_options.h"
#include "measure/ivc_options.h"
#include "measure/ivf_options.h"
#include "measure/vdc_iac_options.h"
#include "plot/state.h"
#include "shell/optiongroups.h"

namespace tsm::app {

const std::array<PrintedSummary, kPrintedSummaryCount> kPrintedSummaries = {{
    {"PrintGeneralOptions", "General measurement options", channels::GeneralMeasurementInfoTable},
    {"PrintDelayOptions", "Delays", channels::DelaysInfoTable},
    {"PrintTriggerOptions", "Trigger", channels::TriggerInfoTable},
    {"PrintAveragingOptions", "Averaging", channels::AveragingInfoTable},
    {"PrintAutoZeroOptions", "Auto Zero", channels::AutoZeroInfoTable},
    {"PrintThermometerOptions", "Thermometer", channels::ThermometerInfoTable},
    {"PrintIVCOptions", "V(I)", measure::IVCInfoTable},
    {"PrintIc(H)Options", "Ic(H)", measure::IcHInfoTable},
    {"PrintIc(T)Options", "Ic(T)", measure::IcTInfoTable},
    {"PrintWaveformOptions", "Waveform sampling", daq::WaveformGeneralInfoTable},
    {"PrintIVFOptions", "I-V family", measure::IVFInfoTable},
    {"PrintV_dc(I_ac)Options", "V_dc(I_ac)", measure::VdcIacInfoTable},
}};

namespace {

// Controls of "Page Setup".
constexpr int kIdMarginLeft = 1701;
constexpr int kIdMarginRight = 1702;
constexpr int kIdMarginTop = 1703;
constexpr int kIdMarginBottom = 1704;
constexpr int kIdRatio = 1705;
constexpr int kIdLayout = 1706;  // radio buttons 1706, 1707
constexpr int kIdEnforceColor = 1708;
// Controls of "Printing Options".
constexpr int kIdShowEveryTime = 1721;
constexpr int kIdSeparatePage = 1722;
constexpr int kIdPrintInfo = 1723;
constexpr int kIdPrintLegend = 1724;
constexpr int kIdLegendInPlot = 1725;
constexpr int kIdFirstSummary = 1730;  // 1730 .. 1741
constexpr int kIdExportWidth = 1750;
constexpr int kIdExportHeight = 1751;

shell::FieldList MakePage(PrintPageOptions& o) {
  shell::FieldList l;
  const char* s = kPrintSection;
  auto margin = [&](int id, double* v, const char* key, const char* label) {
    l.fields.push_back(shell::FloatField(id, v, s, key, 0, kMaxMargin, label));
  };
  margin(kIdMarginLeft, &o.marginLeft, "MarginLeft", "Left margin (mm):");
  margin(kIdMarginRight, &o.marginRight, "MarginRight", "Right margin (mm):");
  margin(kIdMarginTop, &o.marginTop, "MarginTop", "Top margin (mm):");
  margin(kIdMarginBottom, &o.marginBottom, "MarginBottom", "Bottom margin (mm):");
  l.fields.push_back(shell::FloatField(kIdRatio, &o.ratioXY, s, "RatioXY", 0, kMaxRatio,
                                       "Plot width / height (0: fill the page):"));
  shell::Field layout = shell::RadioField(kIdLayout, &o.pageLayout, s, "PageLayout",
                                          {"&Portrait", "&Landscape"}, "Page");
  layout.column = 1;
  l.fields.push_back(std::move(layout));
  shell::Field colour = shell::CheckField(kIdEnforceColor, &o.enforceColor, s, "EnforceColor",
                                          "Keep the colours on a &monochrome printer");
  colour.column = 1;
  colour.tooltip = "Otherwise a black-and-white printer draws everything in black";
  l.fields.push_back(std::move(colour));
  return l;
}

shell::FieldList MakeContents(PrintContentsOptions& o) {
  shell::FieldList l;
  const char* s = kPrintSection;
  l.fields.push_back(shell::CheckField(kIdShowEveryTime, &o.showOptionsEveryTime, s,
                                       "ShowPrintingOptionsEveryTime",
                                       "&Show these options before every print"));
  l.fields.push_back(shell::CheckField(kIdPrintInfo, &o.printInfo, s, "PrintInfo",
                                       "Print the picture &information"));
  l.fields.push_back(shell::CheckField(kIdPrintLegend, &o.printLegend, s, "PrintLegend",
                                       "Print the &legend"));
  l.fields.push_back(shell::CheckField(kIdLegendInPlot, &plot::GetPlotState().legendInPlot, s,
                                       "LegendInPlot",
                                       "Draw the legend inside the &plot (screen and paper)"));
  l.fields.push_back(shell::CheckField(kIdSeparatePage, &o.paramsOnSeparatePage, s,
                                       "PrintParamsOnSeparatePage",
                                       "Print the options on a separate &page"));
  for (std::size_t i = 0; i < kPrintedSummaryCount; ++i) {
    shell::Field f = shell::CheckField(kIdFirstSummary + static_cast<int>(i), &o.summaries[i], s,
                                       kPrintedSummaries[i].key, kPrintedSummaries[i].label);
    f.column = 1;
    f.tooltip = "Print the summary of these options";
    l.fields.push_back(std::move(f));
  }
  l.fields.push_back(shell::UnsignedField(kIdExportWidth, &o.exportWidth, s, "ExportWidth",
                                          kMinExportSize, kMaxExportSize,
                                          "Exported picture width (pixels):"));
  l.fields.push_back(shell::UnsignedField(kIdExportHeight, &o.exportHeight, s, "ExportHeight",
                                          kMinExportSize, kMaxExportSize,
                                          "Exported picture height (pixels):"));
  return l;
}

// The options and the field lists that edit them (the lists point into
// the options, so the record stays where it is for the life of the program).
struct PrintOptionsState {
  PrintPageOptions page;
  PrintContentsOptions contents;
  shell::FieldList pageList;
  shell::FieldList contentsList;
  PrintOptionsState() : pageList(MakePage(page)), contentsList(MakeContents(contents)) {}
};

PrintOptionsState& State() {
  static PrintOptionsState state;
  return state;
}

}  // namespace

PrintPageOptions& GetPrintPageOptions() { return State().page; }
PrintContentsOptions& GetPrintContentsOptions() { return State().contents; }

void ResetPrintOptions() {
  State().page = PrintPageOptions{};
  State().contents = PrintContentsOptions{};
  plot::GetPlotState().legendInPlot = false;
}

shell::FieldList& PrintPageFields() { return State().pageList; }
shell::FieldList& PrintContentsFields() { return State().contentsList; }

void RegisterPrintOptionGroups() {
  shell::RegisterOptionGroup(shell::OptionGroupId::PrintPage,
                             shell::FieldListGroup("Print Page", PrintPageFields()));
  shell::RegisterOptionGroup(shell::OptionGroupId::PrintContents,
                             shell::FieldListGroup("Print Contents", PrintContentsFields()));
}

int RunPageSetupDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kPageSetupDialogId, owner, PrintPageFields(), kPageSetupCaption);
}

int RunPrintingOptionsDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kPrintingOptionsDialogId, owner, PrintContentsFields(),
                               kPrintingOptionsCaption);
}

int RunExportDialog(platform::WindowHandle owner) {
  PrintContentsOptions& o = GetPrintContentsOptions();
  shell::FieldList list;
  list.fields.push_back(shell::UnsignedField(kIdExportWidth, &o.exportWidth, "", "",
                                             kMinExportSize, kMaxExportSize, "Width (pixels):"));
  list.fields.push_back(shell::UnsignedField(kIdExportHeight, &o.exportHeight, "", "",
                                             kMinExportSize, kMaxExportSize, "Height (pixels):"));
  return shell::RunSetupDialog(kExportDialogId, owner, list, kExportCaption);
}

std::vector<shell::InfoTable> ChosenSummaries(const PrintContentsOptions& options) {
  std::vector<shell::InfoTable> tables;
  for (std::size_t i = 0; i < kPrintedSummaryCount; ++i)
    if (options.summaries[i]) tables.push_back(kPrintedSummaries[i].table());
  return tables;
}

}  // namespace tsm::app
