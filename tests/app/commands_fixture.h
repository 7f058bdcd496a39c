// The commands of the main window under test: every area registered, batch
// mode's headless window as the host, fresh curve, plot, file and settings
// state, and a few data files to open.
#pragma once

#include <string>

#include "channels/measurement_options.h"
#include "curves/state.h"
#include "files/options.h"
#include "files/state.h"
#include "math/options.h"
#include "plot/range.h"
#include "plot/selection.h"
#include "plot/state.h"
#include "plot/view.h"
#include "app/commands.h"
#include "app/headless_window.h"
#include "app/main_window_link.h"
#include "tests/app/app_fixture.h"

namespace tsm::app::testing {

class CommandsTest : public AppTest {
 protected:
  CommandsTest() {
    ResetModules();
    RegisterAllCommands();
    AttachMainWindow(window, window);
    InitPlotState();
    files::GetDataFileOptions().showOptionsOnLoad = false;
    files::GetDataFileOptions().showOptionsOnSave = false;
    shell::SetDataSaved(true);
  }
  ~CommandsTest() override {
    DetachMainWindow();
    ResetModules();
  }
  static void ResetModules() {
    ResetCommandState();
    curves::ResetCurvesState();
    plot::ResetPlotState();
    files::ResetFilesState();
    files::ResetDataFileOptions();
    math::ResetMathOptions();
    channels::ResetMeasurementOptions();
  }

  // A data file of `curves` curves with `points` points each (x = i,
  // y = i * i + 10 c) and its companion file; returns the path.
  std::string DataFile(const std::string& name, int curves, int points) {
    std::string rows, ini = "[Picture Info]\r\nTSM_Version=3.32\r\nUnitX=A\r\nUnitY=V\r\n";
    ini += "NumberOfCurves=" + std::to_string(curves) + "\r\n";
    for (int c = 0; c < curves; ++c) {
      ini += "NumberOfPointsInCurve" + std::to_string(c) + "=" + std::to_string(points) + "\r\n";
      ini += "NameOfCurve" + std::to_string(c) + "=" + name + std::to_string(c) + "\r\n";
    }
    for (int i = 0; i < points; ++i) {
      for (int c = 0; c < curves; ++c)
        rows += std::to_string(i) + "\t" + std::to_string(i * i + 10 * c) + (c + 1 < curves ? "\t" : "");
      rows += "\r\n";
    }
    const std::string path = dir.Write(name + ".dat", rows);
    dir.Write(name + ".ini", ini);
    return path;
  }

  // Drags a selection rectangle between two data points of the last drawing.
  void SelectData(double x1, double y1, double x2, double y2) {
    const plot::PlotView& v = plot::GetPlotView();
    plot::OnLeftButtonDown(plot::DataToPixelX(v, x1), plot::DataToPixelY(v, y1));
    plot::OnMouseMove(plot::DataToPixelX(v, x2), plot::DataToPixelY(v, y2));
    plot::OnLeftButtonUp(plot::DataToPixelX(v, x2), plot::DataToPixelY(v, y2));
  }

  curves::CurveFamily& Family() { return curves::CurrentFamily(); }

  HeadlessWindow window;
};

}  // namespace tsm::app::testing
