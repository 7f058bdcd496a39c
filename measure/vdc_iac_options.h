// Settings of the rectified response V_dc(I_ac): the frequency, sampling
// rate and shape of the waveform the generator plays on the Sweep1 current,
// and the cool-down wait before every point. One option group (section
// "Measure:V_dc(I_ac)") with its dialog "V_dc(I_ac) Options" and summary.
#pragma once

#include "platform/ui.h"
#include "shell/setupdlg.h"
#include "shell/texttable.h"

namespace tsm::measure {

struct VdcIacOptions {
  float frequency = 100.0f;        // "Measure:V_dc(I_ac)_Freq", Hz
  float samplingRate = 100000.0f;  // "Measure:V_dc(I_ac)_SamplingRate", points per second
  unsigned waveformType = 0;       // "Measure:V_dc(I_ac)_WaveformType": sine, ramp, rectangle, noise
  unsigned coolDownDelay = 0;      // "Measure:V_dc(I_ac)_CoolDownDelay", ms, 0..60000
};

// The program's settings (read by the worker; changed only by the group's
// load and the dialog, which cannot open while a measurement runs).
VdcIacOptions& GetVdcIacOptions();
void ResetVdcIacOptions();

inline constexpr const char* kVdcIacSection = "Measure:V_dc(I_ac)";
inline constexpr const char* kVdcIacOptionsCaption = "V_dc(I_ac) Options";
// The two reals keep the width they have always had in the settings file.
inline constexpr const char* kVdcIacRealFormat = "%12G";
inline constexpr double kMinVdcIacReal = 1E-06;
inline constexpr double kMaxVdcIacReal = 3.4E38;
inline constexpr unsigned kMaxCoolDownDelay = 60000;

// Dialog resource and control ids.
inline constexpr int kVdcIacDialogId = 5140;
inline constexpr int kIdVdcFrequency = 5141;
inline constexpr int kIdVdcSamplingRate = 5142;
inline constexpr int kIdVdcWaveform = 5143;  // four radio buttons 5143..5146
inline constexpr int kIdVdcCoolDown = 5147;

shell::FieldList& VdcIacFields();
// The group's load and save (the reals written with "%12G").
int LoadVdcIacOptions(const std::string& fileName);
int SaveVdcIacOptions(const std::string& fileName);
// 1 after OK, 0 after Cancel; its "&Save" writes as the group's save does.
int RunVdcIacOptionsDialog(platform::WindowHandle owner);
// Title "V_dc(I_ac) Options", rows "Frequency (Hz)", "Sampling rate
// (pts/sec)" and "Cool down delay (ms)".
shell::InfoTable VdcIacInfoTable();

}  // namespace tsm::measure
