#include "measure/description.h"

#include "daq/waveform_options.h"
#include "measure/calibration.h"
#include "measure/calibration_options.h"
#include "measure/ich.h"
#include "measure/ich_options.h"
#include "measure/ict.h"
#include "measure/ict_options.h"
#include "measure/ivc.h"
#include "measure/ivc_options.h"
#include "measure/ivf.h"
#include "measure/vdc_iac.h"
#include "measure/vdc_iac_options.h"
#include "measure/vt.h"
#include "measure/vt_options.h"
#include "measure/vtime.h"
#include "measure/vtime_options.h"
#include "measure/wfm.h"

namespace tsm::measure {

int ZubRoutine(MeasureDialog& /*dialog*/) { return 1; }

namespace {
using T = DialogTemplate;
using R = RangeId;

// In the order of Mode. Modes whose routine is not part of the program yet
// keep their record with a null routine: their commands stay greyed, and
// adding a mode is filling in its routine and option dialogs here.
const MeasurementDescription kDescriptions[kModeCount] = {
    {IVC, "IVC", R::SharedVI, R::None, RunIVCOptionsDialog, RunIVCXAxisDialog, nullptr,
     T::Common},
    {IVF, "IVF", R::SharedVI, R::IVFSweep2, RunIVFOptionsDialog, nullptr, nullptr, T::IVF},
    {IcH, "Ic(H)", R::IcH, R::None, RunIcHOptionsDialog, RunIcHXAxisDialog, nullptr, T::Common},
    {ImH, "Im(H)", R::IcH, R::None, RunIcHOptionsDialog, RunIcHXAxisDialog, nullptr, T::Common},
    {ZubRoutine, "Zub", R::IcH, R::None, nullptr, nullptr, nullptr, T::Compact},
    {WFM, "WFM", R::SharedVI, R::None, daq::RunWaveformGeneralDialog, nullptr, nullptr,
     T::Compact},
    {IcT, "Ic(T)", R::IcTPoints, R::None, RunIcTOptionsDialog, nullptr, nullptr, T::Temperature},
    {VT, "V(T)/R(T)", R::VTPoints, R::None, RunVTOptionsDialog, nullptr, nullptr,
     T::Temperature},
    {Vtime, "V(time)", R::VtimePoints, R::None, RunVtimeOptionsDialog, nullptr, nullptr,
     T::Vtime},
    {VdcIac, "V_dc(I_ac)", R::VdcIac, R::None, RunVdcIacOptionsDialog, nullptr, nullptr,
     T::Compact},
    {VoltageCalibration, "Voltage Calibration", R::None, R::None, RunCalibratorDialog, nullptr,
     nullptr, T::Common},
};
}  // namespace

const MeasurementDescription& Description(Mode mode) {
  const std::size_t i = static_cast<std::size_t>(mode);
  return kDescriptions[i < kModeCount ? i : 0];
}

bool ModeAvailable(Mode mode) { return Description(mode).routine != nullptr; }

}  // namespace tsm::measure
