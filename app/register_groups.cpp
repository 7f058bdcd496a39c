// One line per module that owns an option group: its registration function.
// The registry itself is fixed at build time (kOptionSlotGroups); this only
// tells each id which operations carry it out.
#include "app/options_registry.h"

#include "channels/register_groups.h"
#include "channels/thermometer.h"
#include "daq/waveform_options.h"
#include "files/options.h"
#include "math/junction_options.h"
#include "math/options.h"
#include "measure/register_groups.h"
#include "plot/options.h"
#include "app/print_options.h"

namespace tsm::app {

void RegisterOptionGroups() {
  // Modules add their line here, for example:
  //   channels::RegisterOptionGroups();
  channels::RegisterOptionGroups();
  math::RegisterOptionGroups();
  math::RegisterJunctionOptionGroup();
  files::RegisterOptionGroups();
  plot::RegisterOptionGroups();
  daq::RegisterWaveformOptionGroups();
  channels::RegisterThermometerOptionGroup();
  measure::RegisterOptionGroups();
  RegisterPrintOptionGroups();
}

}  // namespace tsm::app
