// The Math menu (math/commands.h carries the tools out) and the family
// calculus of the curves module: guards, undo copies, redraw and the
// unsaved mark after a tool that changed the data.
#include <algorithm>
#include <functional>

#include "curves/state.h"
#include "curves/undo.h"
#include "math/commands.h"
#include "plot/view.h"
#include "app/commands.h"
#include "app/curve_dialog.h"
#include "shell/errors.h"

namespace tsm::app {

namespace {

// The caption the system gives a message box that names none.
constexpr const char* kDefaultCaption = "Error";

math::PlotViewLink ViewLink() {
  math::PlotViewLink link;
  link.autoScale = [] { return plot::GetPlotView().autoScale; };
  link.swapRanges = [] {
    plot::PlotView& v = plot::GetPlotView();
    std::swap(v.xMin, v.yMin);
    std::swap(v.xMax, v.yMax);
  };
  link.reset = [] { plot::ResetPlotView(); };
  return link;
}

// A tool that changes data: on success redraw and clear the saved mark.
bool Changes(bool changed) {
  if (changed) DataChanged();
  return changed;
}

// The whole-family tools run only outside a selection rectangle.
CommandFn Guarded(std::function<bool(platform::WindowHandle)> tool) {
  return [tool = std::move(tool)] { return SelectionGuard() && Changes(tool(Owner())); };
}

bool Differentiate(bool byX) {
  if (!curves::PrepareUndo()) return false;
  curves::CurveFamily& family = curves::CurrentFamily();
  const bool discarded = byX ? family.DifferentiateX() : family.DifferentiateY();
  if (discarded)
    shell::ShowMessage(Owner(), curves::kCurvesDiscardedText, kDefaultCaption,
                       platform::MB_OK | platform::MB_ICONINFORMATION);
  DataChanged();
  return true;
}

bool Integrate() {
  if (!curves::PrepareUndo()) return false;
  curves::CurrentFamily().Integrate();
  DataChanged();
  return true;
}

// The first curve the right click (or a selection) marked.
bool FirstMarked(std::uint32_t& index) {
  const curves::CurveFamily& family = curves::CurrentFamily();
  if (family.CountMarked() == 0) return false;
  index = family.GetMarkedCurveIndex(0);
  return true;
}

}  // namespace

void RegisterMathCommands(CommandRegistry& registry) {
  registry.Register(kCmdFilter, Guarded(math::FilterCommand));
  registry.Register(kCmdSmooth, Guarded(math::SmoothCommand));
  registry.Register(kCmdSkipExtraPoints, Guarded(math::SkipExtraPointsCommand));
  registry.Register(kCmdShift, Guarded(math::ShiftCommand));
  registry.Register(kCmdScale, Guarded(math::ScaleCommand));
  registry.Register(kCmdAbs, Guarded(math::AbsCommand));
  registry.Register(kCmdFFT, Guarded(math::FFTCommand));
  registry.Register(kCmdLog10, Guarded(math::Log10Command));
  registry.Register(kCmdRegularize, Guarded(math::RegularizeCommand));
  registry.Register(kCmdSelfField, Guarded(math::SelfFieldCommand));
  registry.Register(kCmdJunctionTable, Guarded(math::JunctionTableCommand));
  registry.Register(kCmdArrayHistogram, Guarded(math::SeriesArrayHistogramCommand));
  // The parameter histograms take every curve, inside a selection too.
  registry.Register(kCmdHistogramIc, [] { return Changes(math::IcHistogramCommand(Owner())); });
  registry.Register(kCmdHistogramRn, [] { return Changes(math::RnHistogramCommand(Owner())); });
  registry.Register(kCmdHistogramIe, [] { return Changes(math::IeHistogramCommand(Owner())); });
  // Statistics changes nothing: shown is done.
  registry.Register(kCmdStatistics, [] {
    if (!SelectionGuard()) return false;
    math::StatisticsCommand(Owner());
    return true;
  });
  // Sigma Ic tells when it has nothing to show, which a batch script counts.
  registry.Register(kCmdSigmaIc,
                    [] { return SelectionGuard() && math::SigmaIcCommand(Owner()); });

  registry.Register(kCmdDerivativeX, [] { return Differentiate(true); });
  registry.Register(kCmdDerivativeY, [] { return Differentiate(false); });
  registry.Register(kCmdIntegrate, Integrate);
  registry.Register(kCmdMultiPointX,
                    [] { return Changes(math::MultiPointDerivativeXCommand(Owner())); });
  registry.Register(kCmdMultiPointY,
                    [] { return Changes(math::MultiPointDerivativeYCommand(Owner())); });

  // The curve is chosen in the curve dialog.
  registry.Register(kCmdYAsNewX,
                    [] { return Changes(math::YAsNewXCommand(Owner(), ChooseCurveToUse)); });
  registry.Register(kCmdNormaliseYmin,
                    [] { return Changes(math::NormaliseByYminCommand(Owner(), ViewLink())); });
  registry.Register(kCmdNormaliseYmax,
                    [] { return Changes(math::NormaliseByYmaxCommand(Owner(), ViewLink())); });
  // The two exchanges only redraw.
  registry.Register(kCmdSwapXY, [] {
    math::SwapXYCommand(ViewLink());
    Redraw();
    return true;
  });
  registry.Register(kCmdReversePoints, [] {
    math::ReversePointsCommand();
    Redraw();
    return true;
  });

  // The context menu's tools on the selected curves, without the guard.
  registry.Register(kCmdShiftSelected, [] { return Changes(math::ShiftCommand(Owner())); });
  registry.Register(kCmdScaleSelected, [] { return Changes(math::ScaleCommand(Owner())); });
  registry.Register(kCmdAbsSelected, [] { return Changes(math::AbsCommand(Owner())); });
  registry.Register(kCmdSelfFieldSelected,
                    [] { return Changes(math::SelfFieldSelectedCommand(Owner())); });
  registry.Register(kCmdYAxisAsNewX, [] {
    std::uint32_t index = 0;
    return FirstMarked(index) && Changes(math::YAsNewXCurveCommand(Owner(), index));
  });
}

}  // namespace tsm::app
