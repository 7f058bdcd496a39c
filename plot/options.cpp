#include "plot/options.h"

#include "plot/axes.h"
#include "plot/curve_styles.h"
#include "shell/optiongroups.h"

namespace tsm::plot {

void RegisterOptionGroups() {
  shell::RegisterOptionGroup(shell::OptionGroupId::AxesGrid,
                             {kAxesGroupName, LoadAxesSettings, SaveAxesSettings});
  shell::RegisterOptionGroup(shell::OptionGroupId::CurveStyles,
                             {kCurveStylesGroupName, LoadCurveStyles, SaveCurveStyles});
}

}  // namespace tsm::plot
