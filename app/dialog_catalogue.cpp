#include "app/dialog_catalogue.h"

#include <optional>

#include "channels/channel_dialogs.h"
#include "channels/channel_tables.h"
#include "channels/thermometer.h"
#include "curves/state.h"
#include "daq/waveform_options.h"
#include "math/junction_options.h"
#include "math/pointwise_dialogs.h"
#include "measure/ich_options.h"
#include "measure/ivc_options.h"
#include "measure/ivf_options.h"
#include "plot/gpen.h"
#include "plot/style_dialog.h"
#include "app/commands.h"
#include "app/curve_dialog.h"
#include "app/print_options.h"

namespace tsm::app {

namespace {

std::function<void()> Command(int id) {
  return [id] { RunCommand(id); };
}

}  // namespace

const std::vector<CatalogueEntry>& DialogCatalogue() {
  // One line per dialog; the order is the order of the menus.
  static const std::vector<CatalogueEntry> catalogue = {
      // File and Edit
      {"file-page-setup", [] { RunPageSetupDialog(Owner()); }},
      {"file-printing-options", [] { RunPrintingOptionsDialog(Owner()); }},
      {"file-export", [] { RunExportDialog(Owner()); }},
      {"edit-curve-management", [] { RunCurveDialog(Owner(), std::nullopt); }},
      {"edit-curve-properties", [] { RunCurveDialog(Owner(), 0u); }},
      {"curve-style", [] { plot::RunStyleDialog(Owner(), 0); }},
      // Measure: each mode's dialog, its options
      {"measure-vi", Command(29)},
      {"measure-vi-options", Command(268)},
      {"measure-vi-x-axis", [] { measure::RunIVCXAxisDialog(Owner()); }},
      {"measure-ich", Command(213)},
      {"measure-ich-options", Command(149)},
      {"measure-ich-x-axis", [] { measure::RunIcHXAxisDialog(Owner()); }},
      {"measure-ich-reset", Command(151)},
      {"measure-imh", Command(185)},
      {"measure-ivf", Command(186)},
      {"measure-ivf-options", [] { measure::RunIVFOptionsDialog(Owner()); }},
      {"measure-ivf-parameter", [] {
         // With a prefix and a suffix, as the I-V Family Options set them.
         double value = 0.0;
         measure::AskIVFParameter(Owner(), 1, "H =", "Oe", &value);
       }},
      {"measure-ict", Command(152)},
      {"measure-ict-options", Command(267)},
      {"measure-vt", Command(153)},
      {"measure-vt-options", Command(219)},
      {"measure-vtime", Command(261)},
      {"measure-vtime-options", Command(262)},
      {"measure-wfm", Command(154)},
      {"measure-wfm-options", Command(169)},
      {"measure-vdc-iac", Command(279)},
      {"measure-vdc-iac-options", Command(278)},
      {"measure-calibration", Command(209)},
      {"measure-calibration-options", Command(215)},
      // Math
      {"math-filter", Command(kCmdFilter)},
      {"math-smooth", Command(kCmdSmooth)},
      {"math-skip-extra-points", Command(kCmdSkipExtraPoints)},
      {"math-shift", Command(kCmdShift)},
      {"math-scale", Command(kCmdScale)},
      {"math-abs", Command(kCmdAbs)},
      {"math-choose-curve", [] { math::ChooseCurve(Owner(), curves::CurrentFamily()); }},
      {"math-self-field", [] { math::RunSelfFieldDialog(Owner()); }},
      {"math-junction-table", Command(kCmdJunctionTable)},
      {"math-sigma-ic", Command(kCmdSigmaIc)},
      {"math-statistics", Command(kCmdStatistics)},
      // Options
      {"options-math", Command(kCmdMathOptions)},
      {"options-junction-parameters", Command(kCmdJunctionOptions)},
      {"options-averaging", Command(kCmdAveraging)},
      {"options-delays", Command(kCmdDelays)},
      {"options-autozero", Command(kCmdAutoZero)},
      {"options-data-saving-loading", Command(kCmdDataFileOptions)},
      {"options-virtual-voltages", Command(channels::kCmdVirtualVoltages)},
      {"options-virtual-currents", Command(channels::kCmdVirtualCurrents)},
      {"options-voltage", [] { channels::RunVoltageDialog(Owner(), 1); }},
      {"options-current", [] { channels::RunCurrentDialog(Owner(), 0); }},
      {"options-general-measurement", Command(kCmdGeneralMeasurement)},
      {"options-trigger", Command(kCmdTrigger)},
      {"options-thermometer", Command(channels::kThermometerCommand)},
      {"options-generator", Command(daq::kGeneratorCommand)},
      {"options-waveform-0", Command(daq::kProgramWaveformFirstCommand)},
      {"options-axes", Command(kCmdAxes)},
      {"options-axes-pen", [] {
         plot::GPen pen;
         plot::EditPen(pen, "Axes lines", Owner());
       }},
      {"user-name", Command(kCmdUserName)},
      // Help
      {"about", Command(kCmdAbout)},
  };
  return catalogue;
}

}  // namespace tsm::app
