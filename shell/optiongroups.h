// The option-group registry: every group of settings (a load and a save over
// a settings file) is known by a stable id, so any module can load or save a
// group by identity (the data-file code embeds groups in companion files)
// without including the module that owns it. Owning modules register their
// group at start-up; a group nobody registered is empty (does nothing).
#pragma once

#include <functional>
#include <string>

namespace tsm::shell {

enum class OptionGroupId {
  AxesGrid,            // plot axes and grid
  CurveStyles,         // pens, symbols and colours of curves
  VirtualChannels,     // virtual currents and voltages
  DataFile,            // data-file options
  Math,                // smoothing, filtering, derivative
  Delays,              // measurement delays
  GeneralMeasurement,  // general measurement options
  Trigger,
  Averaging,
  Thermometer,
  WaveformSequences,
  IcH,                 // Ic(H) options
  IcT,                 // Ic(T) options
  VT,                  // V(T) and R(T) options
  VdcIac,              // V_dc(I_ac) options
  IVF,                 // I-V family options
  WaveformGeneral,     // waveform sampling
  Generator,
  Vtime,               // V(time) options
  AutoZero,
  PrintPage,
  PrintContents,
  Junction,            // junction-parameter table options
  IVC,                 // V(I) sweep options
  Calibrator,          // voltage calibration ("Voltage Standard")
  Count
};

// Both operations take the settings file name and return 1.
using OptionGroupFn = std::function<int(const std::string& fileName)>;

struct OptionGroup {
  std::string name;  // for logs and tests, e.g. "Averaging"
  OptionGroupFn load;
  OptionGroupFn save;
};

// Registers (or replaces) the group of an id. Done once at start-up by the
// owning module's registration function, on the UI thread.
void RegisterOptionGroup(OptionGroupId id, OptionGroup group);
// The group of an id; an empty group (name "", no operations) until registered.
const OptionGroup& GetOptionGroup(OptionGroupId id);
bool IsOptionGroupRegistered(OptionGroupId id);

// Runs the group's load / save on the file; 1 (an empty group does nothing).
int LoadOptionGroup(OptionGroupId id, const std::string& fileName);
int SaveOptionGroup(OptionGroupId id, const std::string& fileName);

// Forgets every registration (test fixtures).
void ResetOptionGroups();

}  // namespace tsm::shell
