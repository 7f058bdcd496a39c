#include "app/main_window_link.h"

#include "curves/undo.h"
#include "files/commands.h"
#include "files/fileio.h"
#include "files/state.h"
#include "measure/state.h"
#include "plot/selection.h"
#include "plot/view.h"
#include "app/commands.h"
#include "shell/settings.h"

namespace tsm::app {

void AttachMainWindow(CommandHost& window, plot::PlotHost& plot) {
  SetCommandHost(&window);
  plot::SetPlotHost(&plot);
  files::SetTitleHook([&window](const std::string& title) { window.SetTitle(title); });
  files::SetRedrawHook([] { Redraw(); });
  measure::SetLivePlotHook([] { LivePlotChanged(); });
}

void DetachMainWindow() {
  measure::SetLivePlotHook(nullptr);
  files::SetRedrawHook(nullptr);
  files::SetTitleHook(nullptr);
  plot::SetPlotHost(nullptr);
  SetCommandHost(nullptr);
}

void InitPlotState() {
  plot::InitSelection();
  plot::ResetPlotView();
}

bool DropFiles(const std::vector<std::string>& paths) {
  if (paths.empty()) return false;
  if (!files::ConfirmDiscard()) return false;
  // Like Open, a drop can be undone.
  if (!curves::PrepareUndo()) return false;
  bool all = true, any = false;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const bool loaded = files::LoadDataFile(paths[i], i > 0) >= 0;
    all = all && loaded;
    any = any || loaded;
  }
  if (any) shell::SetDataSaved(paths.size() == 1 && all);
  Redraw();
  return all;
}

}  // namespace tsm::app
