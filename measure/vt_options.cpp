#include "measure/vt_options.h"

namespace tsm::measure {

namespace {
VTOptions& Options() {
  static VTOptions options;
  return options;
}
}  // namespace

VTOptions& GetVTOptions() { return Options(); }
void ResetVTOptions() { Options() = VTOptions{}; }

shell::FieldList& VTGroupFields() {
  static shell::FieldList list = [] {
    VTOptions& o = Options();
    const char* s = kVTSection;
    shell::FieldList l;
    // A flag stored "%u" like every other: 0 is V(T), 1 is R(T).
    l.fields.push_back(shell::RadioField(
        kIdVTMode, &o.mode, s, "V(T)_T(T)", {"V(T)", "R(T)"},
        "Measure R(T) or V(T)? For R(T) sweep1 is assumed to pass through the sample"));
    l.fields.push_back(shell::UnsignedField(kIdVTDelay, &o.delay, s, "V(T)_Delay", 0, 10000,
                                            "Delay between measurements (ms)"));
    l.fields.push_back(shell::FloatField(kIdVTDeltaT, &o.deltaT, s, "V(T)_DeltaT", 0, 1000,
                                         "Minimum interval between data points (K)"));
    l.fields.push_back(shell::CheckField(kIdVTAntiThermoEMF, &o.antiThermoEMF, s,
                                         "V(T)_AntiTermoEMF",
                                         "Anti termo-EMF (reversing sweep1)"));
    return l;
  }();
  return list;
}

int RunVTOptionsDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kVTOptionsDialogId, owner, VTGroupFields(), kVTOptionsCaption);
}

}  // namespace tsm::measure
