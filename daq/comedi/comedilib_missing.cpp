// Built instead of comedilib_device.cpp when the program is configured with
// TESMIRA_COMEDI=OFF: there is no library, so "-driver:comedi" finds no
// device and says why.
#include "daq/comedi/comedi_device.h"

namespace tsm::daq::comedi {

std::unique_ptr<Library> MakeComedilib() { return nullptr; }

}  // namespace tsm::daq::comedi
