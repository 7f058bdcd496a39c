#include "measure/register_groups.h"

#include "measure/calibration_options.h"
#include "measure/ivc_options.h"
#include "measure/ich_options.h"
#include "measure/ict_options.h"
#include "measure/ivf_options.h"
#include "measure/vdc_iac_options.h"
#include "measure/vt_options.h"
#include "measure/vtime_options.h"
#include "shell/optiongroups.h"
#include "shell/setupdlg.h"

namespace tsm::measure {

void RegisterOptionGroups() {
  using shell::OptionGroupId;
  shell::RegisterOptionGroup(OptionGroupId::IVC, shell::FieldListGroup("IVC", IVCGroupFields()));
  shell::RegisterOptionGroup(OptionGroupId::IcH, shell::FieldListGroup("Ic(H)", IcHGroupFields()));
  shell::RegisterOptionGroup(OptionGroupId::IcT, shell::FieldListGroup("Ic(T)", IcTGroupFields()));
  shell::RegisterOptionGroup(OptionGroupId::VT, shell::FieldListGroup("V(T)", VTGroupFields()));
  shell::RegisterOptionGroup(OptionGroupId::Vtime,
                             shell::FieldListGroup("V(time)", VtimeGroupFields()));
  shell::RegisterOptionGroup(OptionGroupId::Calibrator,
                             shell::FieldListGroup("Calibrator", CalibratorGroupFields()));
  shell::RegisterOptionGroup(OptionGroupId::IVF, shell::FieldListGroup("IVF", IVFGroupFields()));
  shell::RegisterOptionGroup(OptionGroupId::VdcIac,
                             {"V_dc(I_ac)", LoadVdcIacOptions, SaveVdcIacOptions});
}

}  // namespace tsm::measure
