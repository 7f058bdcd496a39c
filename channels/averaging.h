// Averaged readings: every value reported for a virtual voltage or a
// monitored current is the trimmed mean of N readings of its ADC channel,
// taken one by one or, with turbo averaging, as one buffered acquisition.
// One reading runs at a time: the routines hold daq::DriverMutex() around the
// driver and the shared sample array. The dialog's periodic refresh uses the
// Try forms, which never wait behind the worker's long average and answer
// the worker's latest value instead.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/ui.h"
#include "shell/setupdlg.h"
#include "shell/texttable.h"

namespace tsm::channels {

struct AveragingSettings {
  unsigned currentSamples = 1;   // "GetCurrentAveragingTimes", Nc 1..65535
  unsigned currentTrim = 0;      // "GetCurrentAveragingStart", Tc <= (Nc - 1) / 2
  unsigned voltageSamples = 1;   // "GetVoltageAveragingTimes", Nv
  unsigned voltageTrim = 0;      // "GetVoltageAveragingStart", Tv
  bool turbo = false;            // "TurboAveraging"
  float sampleRate = 1000.0f;    // "TA_SampleRate", Hz, 0.00153..500000
};

inline constexpr unsigned kMaxSamples = 65535;
inline constexpr unsigned kMaxTrim = 32767;
inline constexpr float kMinSampleRate = 0.00153f;
inline constexpr float kMaxSampleRate = 500000.0f;
// Turbo acquisitions are used only above this many samples.
inline constexpr unsigned kTurboMinSamples = 4;
// Ticks of 55 ms (about 30 s) that bound one acquisition.
inline constexpr std::int32_t kTurboTimeoutTicks = 545;

// Status values of the last reading.
inline constexpr std::int16_t kStatusNotYet = -11;     // no reading since start
inline constexpr std::int16_t kStatusSingle = -13;     // single readings (turbo not tried)
inline constexpr std::int16_t kStatusNoMonitor = -12;  // a current without monitor

inline constexpr const char* kNoMemoryText = "Insufisient memory for AveragingArray";
inline constexpr const char* kNoMemoryCaption = "Averaging";
inline constexpr const char* kAveragingCaption = "Averaging Options";

// The settings of the program (read by the measuring thread; changed only by
// the group's load and the dialog, while no measurement runs).
AveragingSettings& GetAveragingSettings();
// The sample rule: N >= 1 and T <= (N - 1) / 2 for both.
bool AveragingSettingsValid(const AveragingSettings& s);

// The last turbo statuses, shown read-only in the dialog.
std::int16_t TA_IStatus();
std::int16_t TA_VStatus();

// Resizes the shared sample array to max(Nc, Nv). When the memory cannot
// be had: "Insufisient memory for AveragingArray" and Nc = Nv = 1, Tc = Tv = 0.
bool ResizeAveragingArray();
std::size_t AveragingArraySize();
// Tests: a resize beyond this many samples fails as if memory ran out.
void SetAveragingMemoryLimit(std::size_t samples);

struct VoltageReading {
  double volts = 0.0;
  std::int32_t mean = 0;  // the integer mean reading
};

// The averaged reading of voltage `index` (0..127). Kind "Negative" negates
// the volts and mirrors the mean on the card's reading range.
VoltageReading MeasureVoltage(int index);
// MeasureVoltage minus the voltage's zero kept by AutoZero.
VoltageReading MeasureVoltageZeroed(int index);
// Amperes of current `index` (0..31) before its zero shift is subtracted;
// an index above 31 or an undefined current beeps and gives 0.
double MeasureCurrent(int index);

// For the display: measures when the driver is free, else answers at once
// the value the other thread measured last for this channel (0 before any).
// `fresh` tells which of the two happened. The display's reading waits at
// most kDisplaySettleMs of the multiplexer's settling delay, so a refresh
// never hangs behind a delay of minutes (or 49 days: a key of -1).
inline constexpr std::uint32_t kDisplaySettleMs = 50;
VoltageReading TryMeasureVoltageZeroed(int index, bool* fresh = nullptr);
double TryCurrentAmperes(int index, bool* fresh = nullptr);
// The latest values measured, without touching the driver.
VoltageReading LatestVoltageZeroed(int index);
double LatestCurrentAmperes(int index);
void ForgetLatestReadings();

// The sum of samples T .. N-T-1 after sorting ascending (the samples may be
// reordered). N up to 65535.
std::uint64_t TrimmedSum(std::uint16_t* samples, std::size_t n, std::size_t trim);

// --- option group, dialog and summary ----------------------------------------
inline constexpr int kAveragingDialogId = 3200;
inline constexpr int kIdCurrentSamples = 3201;
inline constexpr int kIdCurrentTrim = 3202;
inline constexpr int kIdVoltageSamples = 3203;
inline constexpr int kIdVoltageTrim = 3204;
inline constexpr int kIdTurbo = 3205;
inline constexpr int kIdSampleRate = 3206;
inline constexpr int kIdIStatus = 3207;  // read-only status texts
inline constexpr int kIdVStatus = 3208;

// The field list of the group (section "Math").
shell::FieldList& AveragingFields();
int LoadAveragingOptions(const std::string& fileName);
int SaveAveragingOptions(const std::string& fileName);
// The dialog: refuses OK (and Save) unless the sample rule holds; the rate
// is enabled only while "TurboAveraging" is checked. 1 after OK (the sample
// array then resized), 0 after Cancel.
int RunAveragingDialog(platform::WindowHandle owner);
shell::InfoTable AveragingInfoTable();

// Back to program start: settings, statuses, an empty-but-sized array.
void ResetAveraging();

}  // namespace tsm::channels
