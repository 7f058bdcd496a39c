#include "plot/view.h"

namespace tsm::plot {

PlotView& GetPlotView() {
  static PlotView view;
  return view;
}

void ResetPlotView() { GetPlotView() = PlotView{}; }

}  // namespace tsm::plot
