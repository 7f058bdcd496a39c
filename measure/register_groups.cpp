#include "measure/register_groups.h"

#include "measure/ivc_options.h"
#include "measure/ich_options.h"
#include "measure/ict_options.h"
#include "shell/optiongroups.h"
#include "shell/setupdlg.h"

namespace tsm::measure {

void RegisterOptionGroups() {
  using shell::OptionGroupId;
  shell::RegisterOptionGroup(OptionGroupId::IVC, shell::FieldListGroup("IVC", IVCGroupFields()));
  shell::RegisterOptionGroup(OptionGroupId::IcH, shell::FieldListGroup("Ic(H)", IcHGroupFields()));
  shell::RegisterOptionGroup(OptionGroupId::IcT, shell::FieldListGroup("Ic(T)", IcTGroupFields()));
}

}  // namespace tsm::measure
