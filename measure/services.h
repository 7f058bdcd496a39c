// What every measurement routine shares besides its dialog: the start-check
// messages, the trigger pulse, naming the curves after the measured
// voltages, finishing the family, the completion sounds, the progress text,
// the phase log "Ic(H).log" and the exception of the critical-current
// searches.
#pragma once

#include <cstdint>
#include <ctime>
#include <exception>
#include <string>
#include <vector>

#include "curves/curvefam.h"
#include "platform/ui.h"
#include "resources/sounds.h"

namespace tsm::measure {

class MeasureDialog;

// --- start checks (caption "Can not start measurements", error icon)
inline constexpr const char* kCannotStartCaption = "Can not start measurements";
inline constexpr const char* kNoSweep1Text = "No Sweep1 virtual current found!";
inline constexpr const char* kNoSweep2Text = "No Sweep2 virtual current found!";
inline constexpr const char* kNoVoltagesText =
    "I don't know what are you going to measure,\nsince all virtual voltages are "
    "disconnected.\nChoose Options | Virtual Voltages from menu\nto select at least one voltage";
inline constexpr const char* kNoTSensorText =
    "I don't know what are you going to measure,\nsince you didn't define any voltage "
    "for\ntemperature sensoring\nChoose Options | Virtual Voltages from menu\nto select one "
    "voltage as T-sensor";
// Shows one of the texts above with its caption and the error icon.
void ShowCannotStart(platform::WindowHandle owner, const char* text);
// The channels a swept measurement starts from: the first Sweep1 current,
// the first Sweep2 current (when the mode needs one) and the measured
// voltages, looked for in that order. The first that is missing is told
// with its text above and the result is false.
struct StartChannels {
  int sweep1 = -1;
  int sweep2 = -1;
  std::vector<int> voltages;
};
bool FindStartChannels(platform::WindowHandle owner, bool needSweep2, StartChannels* out);

inline constexpr const char* kNotEnoughMemoryText = "Not Enough Memory";
inline constexpr const char* kCannotMeasureCaption = "Can not Measure";
// "Not Enough Memory" with its caption and the error icon.
void ShowNotEnoughMemory(platform::WindowHandle owner);

// --- trigger pulse
inline constexpr const char* kTriggerFailedText =
    "Cannot trigger as requested.\nProbably the trigger current is not defined.";
// The first "Trigger" current to Level1, wait Delay, to Level2, wait Delay
// (levels -1..+1 on its card's codes). -1 without a trigger current, else 0.
int FireTriggerPulse();

// --- curves
// The name a curve of virtual voltage `index` gets: its comment, or
// "Voltage#%d" when the comment is empty.
std::string VoltageCurveName(int index);
// Names curve k after voltages[k]; the family must hold exactly one curve
// per voltage (a program error otherwise, and nothing is named).
bool NameCurvesAfterVoltages(curves::CurveFamily& family, const std::vector<int>& voltages);
// The end of every routine: time spent (seconds), the calendar time now,
// the title and the units.
void FinishFamily(curves::CurveFamily& family, double seconds, const char* title,
                  const char* unitX, const char* unitY);
// The family of one curve of n points per voltage, named after them. When
// the memory is not there: an empty family, "Not Enough Memory" (caption
// "Can not Measure"), false (SizeFamilyForRun below).
bool SizeCurvesForVoltages(curves::CurveFamily& family, const std::vector<int>& voltages,
                           std::uint32_t n, platform::WindowHandle owner);
// Keeps the first n points of every curve.
void TruncateCurves(curves::CurveFamily& family, std::uint32_t n);
// A sweep stopped before this many points leaves an empty family.
inline constexpr std::uint32_t kMinimumPointsKept = 5;
// A run that ended early keeps the first n points of every curve, or
// nothing at all when n < kMinimumPointsKept.
void KeepFirstPoints(curves::CurveFamily& family, std::uint32_t n);
// Sizes the family for a run: the old curves go, then `curves` curves of
// `points` points each (zeros). When the storage cannot be had, or would
// take more than the memory the machine has free (the run would only end
// in swapping or be killed by the system), the family is left empty,
// "Not Enough Memory" (caption "Can not Measure") is shown and the result
// is false.
bool SizeFamilyForRun(platform::WindowHandle owner, curves::CurveFamily& family,
                      std::uint64_t curves, std::uint64_t points);
// Whether a family of that shape fits into the free memory (true when the
// free memory cannot be told).
bool FamilyFitsInMemory(std::uint64_t curves, std::uint64_t points);

// --- completion sounds, played asynchronously from the program directory
// (the files are listed in resources/sounds.h, which the build makes them from)
using resources::kSoundIcH;
using resources::kSoundIcT;
using resources::kSoundIVC;
using resources::kSoundIVF;
using resources::kSoundRT;
using resources::kSoundVdcIac;
using resources::kSoundVT;
using resources::kSoundVtime;
using resources::kSoundWFM;
// A missing file is silent (the Ui is not asked to play it).
void PlayMeasurementSound(const char* name);

// --- progress
inline constexpr const char* kProgressFormat =
    "%.1f %% (Estimated: %.1lf sec left, %.1lf sec total)";
// The text for t ms elapsed with d of n points done; empty for d = 0.
std::string ProgressText(std::uint32_t elapsedMs, std::uint32_t done, std::uint32_t total);
// Percent done (0 for d = 0 or n = 0).
double ProgressPercent(std::uint32_t done, std::uint32_t total);

// --- phase log
inline constexpr const char* kLogFileName = "Ic(H).log";
inline constexpr std::size_t kPhaseTextLength = 128;
// "[%02u:%02u:%04u %02u:%02u:%02u.%03u]:" of day, month, year, hour, minute,
// second and millisecond.
std::string LogTimeStamp(const std::tm& local, unsigned milliseconds);
// Formats the text (cut to 128 characters), shows it in the dialog's status
// line when Ic(X)ShowPhaseMessage is on and, when Ic(X)CreateLogFile is on,
// appends a time-stamped line to "Ic(H).log" in the current directory (a
// file that cannot be opened loses the line, nothing else). `dialog` may be
// null.
void PhaseLog(MeasureDialog* dialog, const char* format, ...) __attribute__((format(printf, 2, 3)));

// --- the critical-current searches' abort
class MeasureIcException : public std::exception {
 public:
  explicit MeasureIcException(int code) : code_(code) {}
  int Code() const { return code_; }
  // "Abort requested" for -1, "Unknown exception" otherwise.
  const char* what() const noexcept override;

 private:
  int code_;
};
inline constexpr const char* kAbortRequestedText = "Abort requested";
inline constexpr const char* kUnknownExceptionText = "Unknown exception";

}  // namespace tsm::measure
