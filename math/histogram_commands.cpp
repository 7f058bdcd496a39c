// The histogram commands: the junction parameters of all curves (273 Ic,
// 256 Rn, 274 Ie) and the jumps of series arrays (277, one histogram per
// marked curve). Each replaces the family after the undo copy.
#include <cmath>
#include <string>

#include "curves/state.h"
#include "curves/undo.h"
#include "math/commands.h"
#include "math/histogram.h"
#include "math/junction_table.h"
#include "shell/errors.h"
#include "shell/stringex.h"

namespace tsm::math {

using curves::Curve;
using curves::CurveFamily;

namespace {

void Refuse(platform::WindowHandle owner, const std::string& text, const char* caption) {
  shell::ShowMessage(owner, text, caption, platform::MB_OK | platform::MB_ICONHAND);
}

// Puts `result` in place of the current family after the undo copy; the
// picture information is kept, with the given units and graph name.
bool Replace(CurveFamily& result, const char* unitX, const char* graphName) {
  CurveFamily& family = curves::CurrentFamily();
  result.CopyInfo(family);
  result.SetUnits(unitX, kCountsUnits);
  result.SetGraphName(graphName);
  return curves::ReplaceCurrentFamily(result);
}

bool OutOfMemory(platform::WindowHandle owner) {
  curves::ShowOutOfMemory(owner);
  return false;
}

bool ParameterHistogram(platform::WindowHandle owner, JunctionQuantity quantity) {
  const char* title = HistogramTitle(quantity);
  std::vector<double> values;
  for (const JunctionRow& r :
       JunctionRows(curves::CurrentFamily(), GetJunctionOptions(), false)) {
    const double v = quantity == JunctionQuantity::Ic   ? r.values.ic
                     : quantity == JunctionQuantity::Rn ? r.values.rn
                                                        : r.values.ie;
    if (!std::isnan(v)) values.push_back(v);
  }
  if (values.empty()) {
    Refuse(owner, shell::Format(kHistogramNoValuesText, JunctionQuantityName(quantity)), title);
    return false;
  }
  CurveFamily result;
  if (!result.SetCount(1) || !HistogramCurve(MakeHistogram(values), result.Curve(0)))
    return OutOfMemory(owner);
  result.Curve(0).SetName(title);
  return Replace(result, quantity == JunctionQuantity::Rn ? "Ohm" : "A", title);
}

}  // namespace

const char* JunctionQuantityName(JunctionQuantity q) {
  return q == JunctionQuantity::Ic ? "Ic" : q == JunctionQuantity::Rn ? "Rn" : "Ie";
}

const char* HistogramTitle(JunctionQuantity q) {
  return q == JunctionQuantity::Ic   ? "Histogram of Ic"
         : q == JunctionQuantity::Rn ? "Histogram of Rn"
                                     : "Histogram of Iex";
}

bool IcHistogramCommand(platform::WindowHandle owner) {
  return ParameterHistogram(owner, JunctionQuantity::Ic);
}
bool RnHistogramCommand(platform::WindowHandle owner) {
  return ParameterHistogram(owner, JunctionQuantity::Rn);
}
bool IeHistogramCommand(platform::WindowHandle owner) {
  return ParameterHistogram(owner, JunctionQuantity::Ie);
}

bool SeriesArrayHistogramCommand(platform::WindowHandle owner) {
  const CurveFamily& family = curves::CurrentFamily();
  const double criterion = GetJunctionOptions().icCriterion;
  CurveFamily result;
  for (std::uint32_t i = 0; i < family.Count(); ++i) {
    const Curve& c = family.Curve(i);
    if (!c.IsMarked()) continue;
    const std::vector<double> jumps = JumpCurrents(c, criterion);
    if (jumps.empty()) continue;
    if (!result.SetCount(result.Count() + 1)) return OutOfMemory(owner);
    Curve& h = result.Curve(result.Count() - 1);
    if (!HistogramCurve(MakeHistogram(jumps), h)) return OutOfMemory(owner);
    h.SetName(c.Name());
  }
  if (result.Count() == 0) {
    Refuse(owner, kArrayHistogramNoJumpsText, kArrayHistogramCaption);
    return false;
  }
  return Replace(result, "A", kArrayHistogramCaption);
}

}  // namespace tsm::math
