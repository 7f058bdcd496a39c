// The Measure menu: each measurement command opens the measurement dialog
// with its mode's description; after a measurement that produced curves the
// plot rescales (RescalePlotAfterMeasurement), a V(I) sweep or I-V family
// swaps its axes (SwapXY_Axes), the plot is redrawn and the data are marked
// unsaved, and status-bar part 0 tells how long it took. While it runs the
// plot shows the curves being measured (LivePlotChanged). Modes whose routine
// is not there yet stay greyed. Also the measurement option dialogs of the
// modes.
#include "channels/measurement_options.h"
#include "curves/live.h"
#include "curves/state.h"
#include "daq/waveform_options.h"
#include "measure/calibration_options.h"
#include "measure/description.h"
#include "measure/ich.h"
#include "measure/ich_options.h"
#include "measure/ict_options.h"
#include "measure/ivc_options.h"
#include "measure/measure_dialog.h"
#include "measure/vdc_iac_options.h"
#include "measure/vt_options.h"
#include "measure/vtime_options.h"
#include "plot/view.h"
#include "app/commands.h"
#include "app/voltage_calibration.h"
#include "shell/settings.h"
#include "shell/stringex.h"

namespace tsm::app {

namespace {

using measure::Mode;

constexpr int kCmdVI = 29;
constexpr int kCmdIcH = 213;
constexpr int kCmdImH = 185;
constexpr int kCmdIVFamilies = 186;
constexpr int kCmdIcT = 152;
constexpr int kCmdVT = 153;
constexpr int kCmdVIwfm = 154;
constexpr int kCmdVtime = 261;
constexpr int kCmdVdcIac = 279;
constexpr int kCmdCalibration = 209;
constexpr int kCmdVIOptions = 268;
constexpr int kCmdIcHWithReset = 151;
constexpr int kCmdIcHOptions = 149;
constexpr int kCmdIcTOptions = 267;
constexpr int kCmdVTOptions = 219;
constexpr int kCmdVtimeOptions = 262;
constexpr int kCmdCalibrationOptions = 215;
constexpr int kCmdVIwfmOptions = 169;
constexpr int kCmdVdcIacOptions = 278;

// How the plot shows the curves while they are measured: as they will look
// afterwards. With "RescalePlotAfterMeasurement" the view follows the
// growing curves (it would rescale to them at the end anyway); without it
// the view stays where the user left it. A mode that swaps its axes after
// the measurement shows them swapped from the first point on.
struct LivePlot {
  bool rescale = false;
};

LivePlot& Live() {
  static LivePlot live;
  return live;
}

void PrepareLivePlot(bool swapsAxes) {
  const channels::GeneralMeasurementOptions& o = channels::GetMeasurementOptions().general;
  Live().rescale = o.rescalePlotAfterMeasurement;
  curves::SetLiveSnapshotSwapsXY(swapsAxes && o.swapXYAxes);
}

// What follows a measurement that returned 1.
void AfterMeasurement(bool swapsAxes) {
  const channels::GeneralMeasurementOptions& o = channels::GetMeasurementOptions().general;
  if (o.rescalePlotAfterMeasurement) plot::GetPlotView().autoScale = true;
  const float seconds = curves::CurrentFamily().TimeSpent();
  if (seconds >= 0) platform::GetUi().SetStatusText(0, shell::Format(kMeasureTimeFormat, seconds));
  if (swapsAxes && o.swapXYAxes) {
    // "X <--> Y" swaps the view's ranges itself when autoScale is off, then
    // the curves, and redraws. Swapping the ranges here as well would undo
    // that swap and leave the old ranges over the exchanged data.
    RunCommand(kCmdSwapXY);
  } else {
    Redraw();
  }
  shell::SetDataSaved(false);
}

// What a mode does after its run produced curves, on the redrawn plot of
// them (the calibration's fit and gain correction).
using AfterRun = void (*)(platform::WindowHandle owner);

CommandFn Measures(Mode mode, bool swapsAxes, AfterRun after) {
  return [mode, swapsAxes, after] {
    PrepareLivePlot(swapsAxes);
    const int result = measure::RunMeasurement(mode, Owner());
    curves::SetLiveSnapshotSwapsXY(false);
    if (result != 1) return false;
    AfterMeasurement(swapsAxes);
    if (after) after(Owner());
    return true;
  };
}

CommandQuery Available(Mode mode) {
  return [mode] { return measure::ModeAvailable(mode); };
}

}  // namespace

void LivePlotChanged() {
  if (Live().rescale) plot::GetPlotView().autoScale = true;
  Redraw();
}

void RegisterMeasureCommands(CommandRegistry& registry) {
  struct Entry {
    int id;
    Mode mode;
    bool swapsAxes;
    AfterRun after = nullptr;
  };
  const Entry entries[] = {
      {kCmdVI, Mode::IVC, true},         {kCmdIcH, Mode::IcH, false},
      {kCmdImH, Mode::ImH, false},       {kCmdIVFamilies, Mode::IVF, true},
      {kCmdIcT, Mode::IcT, false},       {kCmdVT, Mode::VT, false},
      {kCmdVIwfm, Mode::WFM, false},     {kCmdVtime, Mode::Vtime, false},
      {kCmdVdcIac, Mode::VdcIac, false},
      {kCmdCalibration, Mode::VoltageCalibration, false, ReportCalibration},
  };
  for (const Entry& e : entries)
    registry.Register(e.id, Measures(e.mode, e.swapsAxes, e.after), Available(e.mode));
  registry.Register(kCmdVIOptions, [] { return measure::RunIVCOptionsDialog(Owner()) != 0; });
  // Ic(H) with "Ic(X)ResetField" in force for the run.
  registry.Register(
      kCmdIcHWithReset,
      [] {
        if (measure::RunIcHWithReset(Owner()) != 1) return false;
        AfterMeasurement(false);
        return true;
      },
      Available(Mode::IcH));
  registry.Register(kCmdIcHOptions, [] { return measure::RunIcHOptionsDialog(Owner()) != 0; });
  registry.Register(kCmdIcTOptions, [] { return measure::RunIcTOptionsDialog(Owner()) != 0; });
  registry.Register(kCmdVTOptions, [] { return measure::RunVTOptionsDialog(Owner()) != 0; });
  registry.Register(kCmdVtimeOptions,
                    [] { return measure::RunVtimeOptionsDialog(Owner()) != 0; });
  registry.Register(kCmdCalibrationOptions,
                    [] { return measure::RunCalibratorDialog(Owner()) != 0; });
  registry.Register(kCmdVIwfmOptions, [] { return daq::RunWaveformGeneralDialog(Owner()) != 0; });
  registry.Register(kCmdVdcIacOptions, [] { return measure::RunVdcIacOptionsDialog(Owner()) != 0; });
}

}  // namespace tsm::app
