// The family calculus of the Math menu: simple derivatives and the running
// integral of every curve, with the renaming of units and title that follows.
#include <string>

#include "curves/curvefam.h"
#include "platform/ui.h"
#include "shell/errors.h"
#include "shell/stringex.h"

namespace tsm::curves {

bool CurveFamily::DifferentiateCurves() {
  bool discarded = false;
  for (std::uint32_t i = 0; i < Count();) {
    tsm::curves::Curve& c = curves_[i];
    if (c.Count() > 1) {
      c.DifferentiateSimple();
      // All points on one x merge into one: gone, but not "0 or 1 point".
      if (c.Count() == 0)
        RemoveRange(i, i);
      else
        ++i;
    } else {
      RemoveRange(i, i);
      discarded = true;
    }
  }
  return discarded;
}

void CurveFamily::Rename(const char* caption, const char* unitPattern, const char* namePattern) {
  const std::string units = shell::Format(unitPattern, unitY_, unitX_);
  if (!shell::BoundedCopy(unitY_, units.c_str(), kUnitSize))
    shell::ShowMessage(shell::MainWindow(), kUnitsTooLongText, caption,
                       platform::MB_OK | platform::MB_ICONINFORMATION);
  const std::string name = shell::Format(namePattern, graphName_);
  if (!shell::BoundedCopy(graphName_, name.c_str(), kGraphNameSize))
    shell::ShowMessage(shell::MainWindow(), kPlotNameTooLongText, caption,
                       platform::MB_OK | platform::MB_ICONINFORMATION);
}

bool CurveFamily::DifferentiateX() {
  const bool discarded = DifferentiateCurves();
  Rename("CurveFamily::DifferentiateX()", "%s/%s", "D[%s,x]");
  return discarded;
}

bool CurveFamily::DifferentiateY() {
  const bool discarded = DifferentiateCurves();
  Rename("CurveFamily::DifferentiateY()", "%s/%s", "D[%s,x](y)");
  shell::BoundedCopy(unitX_, unitY_, kUnitSize);
  return discarded;
}

void CurveFamily::Integrate() {
  for (auto& c : curves_)
    if (c.Count() > 0) c.IntegrateTrapezoid();
  Rename("CurveFamily::Integrate()", "%s*%s", "Int[%s,x]");
}

}  // namespace tsm::curves
