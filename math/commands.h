// The Math-menu tools as toolkit-free commands of the main window. Each works
// on the current curve family, shows its own dialogs and messages, takes the
// undo copy before it changes anything and returns true when the family
// changed (the caller then redraws and clears the saved mark). The comment of
// each function names the main-window command it carries out.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "curves/curvefam.h"

#include "math/view_link.h"
#include "platform/ui.h"

namespace tsm::math {

inline constexpr const char* kSelectionRefusedText =
    "This function is not implemented yet\nto work inside a selection.";
inline constexpr const char* kSelectionRefusedCaption = "Math & Selection";
// What the analysis tools say when the family gives them nothing to work on.
inline constexpr const char* kNoCurvesText = "There is no curve to work on.";

// The guard the main window applies before the whole-family tools (100, 101,
// 184, 216, 217, 248, 280, 281, 257): inside a selection rectangle it refuses
// with the "Math & Selection" message and returns false; otherwise it marks
// every curve and returns true.
bool MathSelectionGuard(platform::WindowHandle owner, bool selectionExists);

// --- filter and smooth (every curve)
bool FilterCommand(platform::WindowHandle owner);  // 100 "&Filter"
bool SmoothCommand(platform::WindowHandle owner);  // 101 "&Smooth"

// 184 "Skip Extra Points" (every curve).
bool SkipExtraPointsCommand(platform::WindowHandle owner);

// --- Shift, Scale, Abs on the marked curves (menu commands 216, 217, 248
// after the guard; also usable for "the selected curves" of the context menu).
bool ShiftCommand(platform::WindowHandle owner);  // 216 "S&hift"
bool ScaleCommand(platform::WindowHandle owner);  // 217 "S&cale"
bool AbsCommand(platform::WindowHandle owner);    // 248 "&Abs"
// The same on one curve (context menu 244, 245, 247). A bad index is a
// program error (false).
bool ShiftCurveCommand(platform::WindowHandle owner, std::uint32_t index);  // 244
bool ScaleCurveCommand(platform::WindowHandle owner, std::uint32_t index);  // 245
bool AbsCurveCommand(platform::WindowHandle owner, std::uint32_t index);    // 247

// How a command lets the user choose a curve of the family; nullopt when
// the choice was cancelled.
using CurveChooser = std::function<std::optional<std::uint32_t>(
    platform::WindowHandle owner, const curves::CurveFamily& family)>;

// 158 "&y as new x": the curve whose y becomes x is chosen with `choose`
// (the main window's curve dialog), else in the curve list of
// pointwise_dialogs.h.
bool YAsNewXCommand(platform::WindowHandle owner, const CurveChooser& choose = {});
// 246 "&y axis as new x": the same with the curve given (the first selected).
bool YAsNewXCurveCommand(platform::WindowHandle owner, std::uint32_t index);

// 144 "X <--> Y": swaps x and y of every curve and, when autoScale is off,
// the view's ranges. Always true (the caller redraws).
bool SwapXYCommand(const PlotViewLink& view);
// 156 "First pt <--> Last pt": reverses every curve. Always true.
bool ReversePointsCommand();

// 204 "(Y-Ymin) / Ymin" and 205 "(Y-Ymin) / Ymax"; on success the view is
// reset so the next drawing rescales to the new values.
bool NormaliseByYminCommand(platform::WindowHandle owner, const PlotViewLink& view);
bool NormaliseByYmaxCommand(platform::WindowHandle owner, const PlotViewLink& view);

// 281 "Log_10" (every curve).
bool Log10Command(platform::WindowHandle owner);

// 280 "FF&T" (every curve).
bool FFTCommand(platform::WindowHandle owner);

// 257 "S&tatistics": shows the table; changes nothing (always false).
bool StatisticsCommand(platform::WindowHandle owner);

// --- junction analysis (x = current, y = voltage; math/junction.h)

// 110 "Ic, Rn, Ie, Vc table" on the marked curves: the table dialog; after
// its OK the family becomes Ic+, |Ic-| and Ie against the curves' parameter
// (or gets the fitted lines, with "Rn.DrawLines").
bool JunctionTableCommand(platform::WindowHandle owner);

enum class JunctionQuantity { Ic, Rn, Ie };
const char* JunctionQuantityName(JunctionQuantity quantity);  // "Ic", "Rn", "Ie"
const char* HistogramTitle(JunctionQuantity quantity);        // caption and curve name
inline constexpr const char* kCountsUnits = "counts";
inline constexpr const char* kHistogramNoValuesText =
    "No curve gives a value of %s to put into the histogram.";
inline constexpr const char* kArrayHistogramCaption = "Ic histogram";
inline constexpr const char* kArrayHistogramNoJumpsText =
    "No marked curve has a voltage jump larger than the Ic criterion\n"
    "on its way up.";
// 273, 256, 274: the quantity of every curve (unguarded), binned.
bool IcHistogramCommand(platform::WindowHandle owner);
bool RnHistogramCommand(platform::WindowHandle owner);
bool IeHistogramCommand(platform::WindowHandle owner);
// 277 "Ic &histogram": the jump currents of each marked curve, binned.
bool SeriesArrayHistogramCommand(platform::WindowHandle owner);

// 120 "Si&gma Ic": the spread of the switching currents of the marked
// curves in a dialog; changes nothing. True when the dialog was shown,
// false when no marked curve switches (after telling the user).
bool SigmaIcCommand(platform::WindowHandle owner);

// 275 "&Regularize" on the marked curves.
bool RegularizeCommand(platform::WindowHandle owner);

// 250 "Self-field" on the marked curves; 252 "Self &Field" on the one marked
// curve, or on all when not exactly one is marked. Both ask for k first.
bool SelfFieldCommand(platform::WindowHandle owner);
bool SelfFieldSelectedCommand(platform::WindowHandle owner);

// 145 "Multi-point dY/dX (X)" and 183 "Multi-point dY/dX (Y)": the family
// becomes what the derivative window of that axis shows. Curves that give
// no derivative point are left out (and the user told); a family of which
// no curve gives one stays as it is.
inline constexpr const char* kDerivativeCaption = "Multi-point dY/dX";
inline constexpr const char* kDerivativeNoneText =
    "No curve has enough points in one sweep direction\nfor the derivative window "
    "(Options | Math: DerivePoints).";
inline constexpr const char* kDerivativeSomeLeftText =
    "Some curves had too few points in one sweep direction\nfor the derivative window.\n"
    "They have been discarded.";
bool MultiPointDerivativeXCommand(platform::WindowHandle owner);
bool MultiPointDerivativeYCommand(platform::WindowHandle owner);

}  // namespace tsm::math
