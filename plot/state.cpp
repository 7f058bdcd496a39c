#include "plot/state.h"

#include <utility>

namespace tsm::plot {

namespace {
PlotHost& NullHost() {
  static PlotHost host;  // does nothing; stateless
  return host;
}
}  // namespace

PlotState& GetPlotState() {
  static PlotState state;
  return state;
}

void ResetPlotState() {
  PlotState& s = GetPlotState();
  if (s.selection.rightTimer) platform::GetUi().StopTimer(s.selection.rightTimer);
  // Swapping with a fresh record (rather than assigning a temporary) keeps
  // GCC's release build free of a false uninitialised-string warning.
  PlotState fresh;
  std::swap(s, fresh);
}

void SetPlotHost(PlotHost* host) { GetPlotState().host = host; }

PlotHost& Host() {
  PlotHost* h = GetPlotState().host;
  return h ? *h : NullHost();
}

}  // namespace tsm::plot
