// Registration of the option groups the measurement modes own, one line per
// mode (each mode's group is declared beside its routine, measure/<mode>_options.*).
#pragma once

namespace tsm::measure {

void RegisterOptionGroups();

}  // namespace tsm::measure
