#include "measure/register_groups.h"

#include "measure/ivc_options.h"
#include "shell/optiongroups.h"
#include "shell/setupdlg.h"

namespace tsm::measure {

void RegisterOptionGroups() {
  using shell::OptionGroupId;
  shell::RegisterOptionGroup(OptionGroupId::IVC, shell::FieldListGroup("IVC", IVCGroupFields()));
}

}  // namespace tsm::measure
