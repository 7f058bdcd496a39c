#include "channels/register_groups.h"

#include "channels/autozero.h"
#include "channels/averaging.h"
#include "channels/measurement_options.h"
#include "channels/virtual_channels_settings.h"
#include "shell/optiongroups.h"

namespace tsm::channels {

void RegisterOptionGroups() {
  using shell::OptionGroupId;
  shell::RegisterOptionGroup(OptionGroupId::VirtualChannels,
                             shell::OptionGroup{"Virtual Channels", LoadVirtualChannels,
                                                SaveVirtualChannels});
  shell::RegisterOptionGroup(OptionGroupId::Delays,
                             shell::FieldListGroup("Delays", DelaysFields()));
  shell::RegisterOptionGroup(
      OptionGroupId::GeneralMeasurement,
      shell::FieldListGroup("General Measurement", GeneralMeasurementFields()));
  shell::RegisterOptionGroup(OptionGroupId::Trigger,
                             shell::FieldListGroup("Trigger", TriggerFields()));
  shell::RegisterOptionGroup(
      OptionGroupId::Averaging,
      shell::OptionGroup{"Averaging", LoadAveragingOptions, SaveAveragingOptions});
  shell::RegisterOptionGroup(OptionGroupId::AutoZero,
                             shell::FieldListGroup("AutoZero", AutoZeroFields()));
}

}  // namespace tsm::channels
