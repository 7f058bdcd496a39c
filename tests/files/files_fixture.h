// Shared pieces of the data-file tests: a fixture with a fresh headless Ui,
// empty curve families, default options (the options dialog switched off so
// each test asks for it when it wants it) and a temporary folder.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "channels/measurement_options.h"
#include "curves/curvefam.h"
#include "curves/state.h"
#include "files/options.h"
#include "files/state.h"
#include "platform/profile.h"
#include "plot/view.h"
#include "shell/optiongroups.h"
#include "shell/settings.h"
#include "tests/support/test_support.h"

namespace tsm::files::testing {

class FilesTest : public tsm::testing::UiTest {
 protected:
  FilesTest() {
    ResetAll();
    GetDataFileOptions().showOptionsOnLoad = false;
    GetDataFileOptions().showOptionsOnSave = false;
  }
  ~FilesTest() override { ResetAll(); }

  static void ResetAll() {
    curves::ResetCurvesState();
    ResetFilesState();
    ResetDataFileOptions();
    plot::ResetPlotView();
    channels::ResetMeasurementOptions();
    shell::ResetOptionGroups();
    shell::ResetSettingsState();
    platform::ProfileCacheClear();
  }

  std::vector<std::string> Texts() {
    std::vector<std::string> out;
    for (const auto& call : ui->MessageBoxes()) out.push_back(call.text);
    return out;
  }

  tsm::testing::TempDir dir;
};

inline curves::Curve& AddCurve(curves::CurveFamily& f, const char* name,
                               std::initializer_list<curves::CurvePoint> points) {
  f.SetCount(f.Count() + 1);
  curves::Curve& c = f.Curve(f.Count() - 1);
  for (const auto& p : points) c.Append(p.x, p.y);
  c.SetName(name);
  return c;
}

inline std::vector<curves::CurvePoint> PointsOf(const curves::Curve& c) {
  return {c.Points().begin(), c.Points().end()};
}

}  // namespace tsm::files::testing

namespace tsm::curves {
inline void PrintTo(const CurvePoint& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
}  // namespace tsm::curves
