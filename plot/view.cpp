#include "plot/view.h"

#include "plot/state.h"

namespace tsm::plot {

PlotView& GetPlotView() { return GetPlotState().view; }

void ResetPlotView() { GetPlotView() = PlotView{}; }

}  // namespace tsm::plot
