#include "app/dialog_catalogue.h"

#include "channels/channel_dialogs.h"
#include "channels/channel_tables.h"
#include "channels/thermometer.h"
#include "daq/waveform_options.h"
#include "measure/ivc_options.h"
#include "plot/style_dialog.h"
#include "app/commands.h"

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
      {"user-name", Command(kCmdUserName)},
      {"curve-style", [] { plot::RunStyleDialog(Owner(), 0); }},
      // Measure
      {"measure-vi", Command(29)},
      {"measure-vi-options", Command(268)},
      {"measure-vi-x-axis", [] { measure::RunIVCXAxisDialog(Owner()); }},
      // Math
      {"math-filter", Command(kCmdFilter)},
      {"math-smooth", Command(kCmdSmooth)},
      {"math-skip-extra-points", Command(kCmdSkipExtraPoints)},
      {"math-shift", Command(kCmdShift)},
      {"math-scale", Command(kCmdScale)},
      {"math-statistics", Command(kCmdStatistics)},
      // Options
      {"options-math", Command(kCmdMathOptions)},
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
      {"options-waveform-sampling", [] { daq::RunWaveformGeneralDialog(Owner()); }},
      {"options-axes", Command(kCmdAxes)},
      // Help
      {"about", Command(kCmdAbout)},
  };
  return catalogue;
}

}  // namespace tsm::app
