// The Options menu: the option dialogs of the modules, the thermometer's
// calibration curve, the waveform programs and the user name.
#include "channels/autozero.h"
#include "channels/averaging.h"
#include "channels/channel_tables.h"
#include "channels/measurement_options.h"
#include "channels/thermometer.h"
#include "daq/waveform_options.h"
#include "files/options.h"
#include "math/junction_options.h"
#include "math/options.h"
#include "plot/axes.h"
#include "app/commands.h"
#include "shell/setupdlg.h"
#include "shell/username_dialog.h"

namespace tsm::app {

namespace {

using Dialog = int (*)(platform::WindowHandle owner);

// A dialog whose OK is all there is to it.
CommandFn Runs(Dialog dialog) {
  return [dialog] { return dialog(Owner()) != 0; };
}

// A dialog whose OK changes the picture.
CommandFn RunsAndRedraws(Dialog dialog) {
  return [dialog] {
    if (dialog(Owner()) == 0) return false;
    Redraw();
    return true;
  };
}

// "Math": the parameters of the Math tools (smoothing, filter, the angle of
// Skip Extra Points and the derivative's three keys) in one dialog, stored
// in their keys of the group.
int RunMathOptionsDialog(platform::WindowHandle owner) {
  shell::FieldList list;
  for (const shell::Field& field : math::MathGroupFields().fields)
    if (field.controlId != 0) list.fields.push_back(field);
  return shell::RunSetupDialog(kCmdMathOptions, owner, list, "Math");
}

}  // namespace

void RegisterOptionCommands(CommandRegistry& registry) {
  registry.Register(kCmdMathOptions, Runs(RunMathOptionsDialog));
  registry.Register(kCmdJunctionOptions, Runs(math::RunJunctionDialog));
  registry.Register(kCmdAveraging, Runs(channels::RunAveragingDialog));
  registry.Register(kCmdDelays, Runs(channels::RunDelaysDialog));
  registry.Register(kCmdTrigger, Runs(channels::RunTriggerDialog));
  registry.Register(kCmdGeneralMeasurement, RunsAndRedraws(channels::RunGeneralMeasurementDialog));
  registry.Register(kCmdAutoZero, Runs(channels::RunAutoZeroDialog));
  registry.Register(kCmdDataFileOptions, [] { return files::RunDataFileDialog() != 0; });
  registry.Register(channels::kCmdVirtualVoltages, Runs(channels::ShowVirtualVoltagesTable));
  registry.Register(channels::kCmdVirtualCurrents, Runs(channels::ShowVirtualCurrentsTable));
  registry.Register(channels::kThermometerCommand, Runs(channels::RunThermometerDialog));
  // The calibration curve replaces the family (after its undo copy).
  registry.Register(channels::kShowCalibrationCommand, [] {
    if (channels::ShowCalibrationCurve(Owner()) == 0) return false;
    DataChanged();
    return true;
  });
  registry.Register(daq::kGeneratorCommand, Runs(daq::RunGeneratorDialog));
  for (int n = 0; n < 16; ++n)
    registry.Register(daq::kProgramWaveformFirstCommand + n,
                      [n] { return daq::RunSequenceDialog(n, Owner()) != 0; });
  registry.Register(kCmdAxes, RunsAndRedraws(plot::RunAxesDialog));
  registry.Register(kCmdUserName, Runs(shell::RunUserNameDialog));
}

}  // namespace tsm::app
