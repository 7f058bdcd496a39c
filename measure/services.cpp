#include "measure/services.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <filesystem>

#include "channels/measurement_options.h"
#include "channels/virtual_channels.h"
#include "daq/timing.h"
#include "measure/measure_dialog.h"
#include "measure/state.h"
#include "platform/assert.h"
#include "shell/errors.h"
#include "shell/settings.h"
#include "shell/stringex.h"
#include "shell/sysinfo.h"

namespace tsm::measure {

namespace {
constexpr const char* kSource = "cvc";
}

void ShowCannotStart(platform::WindowHandle owner, const char* text) {
  shell::ShowMessage(owner, text, kCannotStartCaption, platform::MB_OK | platform::MB_ICONHAND);
}

bool FindStartChannels(platform::WindowHandle owner, bool needSweep2, StartChannels* out) {
  out->sweep1 = channels::FirstSweep1Current();
  if (out->sweep1 < 0) {
    ShowCannotStart(owner, kNoSweep1Text);
    return false;
  }
  if (needSweep2) {
    out->sweep2 = channels::FirstSweep2Current();
    if (out->sweep2 < 0) {
      ShowCannotStart(owner, kNoSweep2Text);
      return false;
    }
  }
  out->voltages = channels::MeasuredVoltages();
  if (out->voltages.empty()) {
    ShowCannotStart(owner, kNoVoltagesText);
    return false;
  }
  return true;
}

void ShowNotEnoughMemory(platform::WindowHandle owner) {
  shell::ShowMessage(owner, kNotEnoughMemoryText, kCannotMeasureCaption,
                     platform::MB_OK | platform::MB_ICONHAND);
}

int FireTriggerPulse() {
  const int t = channels::FirstTriggerCurrent();
  if (t < 0) return -1;
  std::uint16_t lo = 0, hi = 0;
  channels::CurrentCardRange(t, &lo, &hi);
  const channels::TriggerOptions o = channels::GetMeasurementOptions().trigger;
  channels::SetCurrentCode(t, channels::TriggerLevelCode(o.level1, lo, hi));
  daq::Delay(o.delay);
  channels::SetCurrentCode(t, channels::TriggerLevelCode(o.level2, lo, hi));
  daq::Delay(o.delay);
  return 0;
}

std::string VoltageCurveName(int index) {
  const channels::VirtualVoltage v = channels::GetVoltage(index);
  if (v.comment[0] != '\0') return std::string(v.comment);
  return shell::Format("Voltage#%d", index);
}

bool NameCurvesAfterVoltages(curves::CurveFamily& family, const std::vector<int>& voltages) {
  if (!TSM_ASSERT(family.Count() == voltages.size(), kSource)) return false;
  for (std::uint32_t k = 0; k < family.Count(); ++k)
    family.Curve(k).SetName(VoltageCurveName(voltages[k]).c_str());
  return true;
}

bool SizeCurvesForVoltages(curves::CurveFamily& family, const std::vector<int>& voltages,
                           std::uint32_t n, platform::WindowHandle owner) {
  return SizeFamilyForRun(owner, family, voltages.size(), n) &&
         NameCurvesAfterVoltages(family, voltages);
}

void FinishFamily(curves::CurveFamily& family, double seconds, const char* title,
                  const char* unitX, const char* unitY) {
  family.SetTimeSpent(static_cast<float>(seconds));
  family.SetDateTime(static_cast<std::uint32_t>(std::time(nullptr)));
  family.SetGraphName(title);
  family.SetUnits(unitX, unitY);
}

void TruncateCurves(curves::CurveFamily& family, std::uint32_t n) {
  for (std::uint32_t k = 0; k < family.Count(); ++k) {
    curves::Curve& c = family.Curve(k);
    if (c.Count() > n) c.SetSize(n);
  }
}

void KeepFirstPoints(curves::CurveFamily& family, std::uint32_t n) {
  if (n < kMinimumPointsKept)
    family.SetCount(0);
  else
    TruncateCurves(family, n);
}

bool FamilyFitsInMemory(std::uint64_t curves, std::uint64_t points) {
  const shell::MemoryInfo memory = shell::QueryMemory();
  if (!memory.ok) return true;
  const double bytes = static_cast<double>(curves) *
                       (static_cast<double>(points) * sizeof(curves::CurvePoint) +
                        sizeof(curves::Curve));
  return bytes <= static_cast<double>(memory.availableKb) * 1024.0;
}

bool SizeFamilyForRun(platform::WindowHandle owner, curves::CurveFamily& family,
                      std::uint64_t curves, std::uint64_t points) {
  family.SetCount(0);
  if (curves <= UINT32_MAX && points <= UINT32_MAX && FamilyFitsInMemory(curves, points) &&
      family.SetCount(static_cast<std::uint32_t>(curves)) &&
      family.SetAllSizes(static_cast<std::uint32_t>(points)))
    return true;
  family.SetCount(0);
  ShowNotEnoughMemory(owner);
  return false;
}

void PlayMeasurementSound(const char* name) {
  const std::string path = shell::ProgramDirectory() + name;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return;
  platform::GetUi().PlaySound(path);
}

double ProgressPercent(std::uint32_t done, std::uint32_t total) {
  if (done == 0 || total == 0) return 0.0;
  return 100.0 * done / total;
}

std::string ProgressText(std::uint32_t elapsedMs, std::uint32_t done, std::uint32_t total) {
  if (done == 0 || total == 0) return {};
  const double t = elapsedMs;
  const double left = t * (static_cast<double>(total) / done - 1.0) / 1000.0;
  const double all = t / 1000.0 + left;
  return shell::Format(kProgressFormat, ProgressPercent(done, total), left, all);
}

std::string LogTimeStamp(const std::tm& local, unsigned milliseconds) {
  return shell::Format("[%02u:%02u:%04u %02u:%02u:%02u.%03u]:", unsigned(local.tm_mday),
                       unsigned(local.tm_mon + 1), unsigned(local.tm_year + 1900),
                       unsigned(local.tm_hour), unsigned(local.tm_min), unsigned(local.tm_sec),
                       milliseconds % 1000);
}

void PhaseLog(MeasureDialog* dialog, const char* format, ...) {
  char text[kPhaseTextLength + 1];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);

  const MeasureState& s = GetMeasureState();
  if (dialog && s.showPhaseMessage) dialog->ShowPhase(text);
  if (!s.createLogFile) return;

  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
  std::tm local{};
  localtime_r(&seconds, &local);
  std::FILE* f = std::fopen(kLogFileName, "a");
  if (!f) return;
  const std::string stamp = LogTimeStamp(local, static_cast<unsigned>(ms.count() % 1000));
  std::fprintf(f, "%s%s\n", stamp.c_str(), text);
  std::fclose(f);
}

const char* MeasureIcException::what() const noexcept {
  return code_ == -1 ? kAbortRequestedText : kUnknownExceptionText;
}

}  // namespace tsm::measure
