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
#include "measure/description.h"
#include "measure/ivc_options.h"
#include "measure/measure_dialog.h"
#include "plot/view.h"
#include "app/commands.h"
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

CommandFn Measures(Mode mode, bool swapsAxes) {
  return [mode, swapsAxes] {
    PrepareLivePlot(swapsAxes);
    const int result = measure::RunMeasurement(mode, Owner());
    curves::SetLiveSnapshotSwapsXY(false);
    if (result != 1) return false;
    AfterMeasurement(swapsAxes);
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
  };
  // "Ic(H) with &Reset" (151) has no description of its own yet.
  const Entry entries[] = {
      {kCmdVI, Mode::IVC, true},         {kCmdIcH, Mode::IcH, false},
      {kCmdImH, Mode::ImH, false},       {kCmdIVFamilies, Mode::IVF, true},
      {kCmdIcT, Mode::IcT, false},       {kCmdVT, Mode::VT, false},
      {kCmdVIwfm, Mode::WFM, false},     {kCmdVtime, Mode::Vtime, false},
      {kCmdVdcIac, Mode::VdcIac, false}, {kCmdCalibration, Mode::VoltageCalibration, false},
  };
  for (const Entry& e : entries)
    registry.Register(e.id, Measures(e.mode, e.swapsAxes), Available(e.mode));
  registry.Register(kCmdVIOptions, [] { return measure::RunIVCOptionsDialog(Owner()) != 0; });
}

}  // namespace tsm::app
