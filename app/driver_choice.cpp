#include "app/driver_choice.h"

#include "channels/measurement_options.h"
#include "daq/comedi/comedi_driver.h"
#include "daq/driver.h"
#include "shell/cmdline.h"
#include "shell/errors.h"

namespace tsm::app {

namespace {
struct DriverChoiceState {
  std::unique_ptr<daq::comedi::ComediDriver> comedi;
};
DriverChoiceState& State() {
  static DriverChoiceState state;
  return state;
}
}  // namespace

DriverKind DriverFromCommandLine() {
  const std::string value = shell::GetStringSwitch(kDriverSwitch, std::string(kDriverEmulated));
  if (value == kDriverComedi) return DriverKind::kComedi;
  if (value != kDriverEmulated) shell::FatalLog(4, kInvalidDriverText, value.c_str());
  return DriverKind::kEmulated;
}

void InstallDriver(DriverKind kind, std::unique_ptr<daq::comedi::Library> library) {
  DriverChoiceState& s = State();
  if (s.comedi) {
    daq::SetDriver(nullptr);
    s.comedi.reset();
  }
  if (kind != DriverKind::kComedi) return;
  if (!library) library = daq::comedi::MakeComedilib();
  s.comedi = std::make_unique<daq::comedi::ComediDriver>(std::move(library), [] {
    return channels::GetMeasurementOptions().delays.delayBeforeVoltage;
  });
  daq::SetDriver(s.comedi.get());
}

void InstallDriverFromCommandLine() { InstallDriver(DriverFromCommandLine()); }

std::string DriverReportLines() {
  DriverChoiceState& s = State();
  return s.comedi ? s.comedi->DeviceReport() : std::string();
}

void ResetDriverChoice() { InstallDriver(DriverKind::kEmulated); }

}  // namespace tsm::app
