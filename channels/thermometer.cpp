#include "channels/thermometer.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <strings.h>

#include "channels/averaging.h"
#include "channels/virtual_channels.h"
#include "curves/state.h"
#include "curves/undo.h"
#include "platform/assert.h"
#include "platform/decimal.h"
#include "platform/file_access.h"
#include "shell/errors.h"
#include "shell/stringex.h"

namespace tsm::channels {

using namespace tsm::platform;

namespace {
constexpr const char* kSource = "termo";

// The table is read by the measuring worker (Ic(T), V(T)) and the display
// while the UI thread may reload it, so it is swapped and read under a lock.
struct ThermometerState {
  ThermometerSettings settings;
  std::mutex mutex;
  std::vector<CalibrationEntry> table;
  std::string path;
};

ThermometerState& State() {
  static ThermometerState state;
  return state;
}

bool IsBlank(const char* line) {
  for (; *line; ++line)
    if (*line != ' ' && *line != '\t') return false;
  return true;
}

// The entry of a line, or false for comments, blank and unreadable lines.
bool ParseLine(const char* line, CalibrationEntry* entry) {
  if (line[0] == '\0' || line[0] == ';' || line[0] == '#' || IsBlank(line)) return false;
  double t = 0, x = 0;
  bool overflow = false;
  const std::size_t used = ReadDecimal(line, &t, &overflow);
  if (used == 0 || overflow) return false;
  const char* rest = line + used;
  if (*rest != ' ' && *rest != '\t' && *rest != '-' && *rest != '+') return false;
  if (ReadDecimal(rest, &x, &overflow) == 0 || overflow) return false;
  const float tf = static_cast<float>(t), xf = static_cast<float>(x);
  if (!std::isfinite(tf) || !std::isfinite(xf)) return false;
  entry->t = tf;
  entry->x = xf;
  return true;
}

// Reads one line of at most kCalibrationLineLength characters into buffer;
// the rest of a longer line is skipped. False at the end of the file.
bool ReadLine(std::FILE* f, char (&buffer)[kCalibrationLineLength + 1]) {
  if (!std::fgets(buffer, sizeof buffer, f)) return false;
  std::size_t n = std::strlen(buffer);
  if (n > 0 && buffer[n - 1] == '\n') {
    buffer[--n] = '\0';
  } else if (!std::feof(f)) {
    for (int c = std::getc(f); c != EOF && c != '\n'; c = std::getc(f)) {
    }
  }
  if (n > 0 && buffer[n - 1] == '\r') buffer[--n] = '\0';
  return true;
}

WindowHandle Owner(WindowHandle owner) { return owner ? owner : shell::MainWindow(); }
}  // namespace

ThermometerSettings& GetThermometerSettings() { return State().settings; }

CalibrationFile ReadCalibrationFile(const std::string& path) {
  CalibrationFile result;
  if (strcasecmp(path.c_str(), "nul") == 0) {
    result.opened = true;
    return result;
  }
  // Only a regular file: a FIFO would block, /dev/zero never end a line.
  std::FILE* f = platform::OpenRegularStream(path);
  if (!f) return result;
  result.opened = true;
  try {
    result.entries.reserve(kMaxCalibrationEntries);
  } catch (const std::bad_alloc&) {
    std::fclose(f);
    result.opened = false;
    return result;
  }
  char line[kCalibrationLineLength + 1];
  CalibrationEntry entry;
  while (ReadLine(f, line)) {
    if (!ParseLine(line, &entry)) continue;
    if (result.entries.size() == kMaxCalibrationEntries) {
      result.truncated = true;
      break;
    }
    result.entries.push_back(entry);
  }
  std::fclose(f);
  return result;
}

std::uint32_t LoadCalibration(const std::string& path, WindowHandle owner) {
  CalibrationFile file = ReadCalibrationFile(path);
  if (!file.opened)
    shell::ShowMessage(Owner(owner), kCannotOpenText, kCannotOpenCaption, MB_OK | MB_ICONHAND);
  else if (file.truncated)
    shell::ShowMessage(Owner(owner), kTooManyEntriesText, kTooManyEntriesCaption,
                       MB_OK | MB_ICONINFORMATION);
  const auto count = static_cast<std::uint32_t>(file.entries.size());
  SetCalibrationTable(std::move(file.entries), path);
  return count;
}

std::vector<CalibrationEntry> CalibrationTable() {
  ThermometerState& s = State();
  std::lock_guard lock(s.mutex);
  return s.table;
}

std::uint32_t CalibrationCount() {
  ThermometerState& s = State();
  std::lock_guard lock(s.mutex);
  return static_cast<std::uint32_t>(s.table.size());
}

std::string CalibrationPath() {
  ThermometerState& s = State();
  std::lock_guard lock(s.mutex);
  return s.path;
}

void SetCalibrationTable(std::vector<CalibrationEntry> entries, const std::string& path) {
  ThermometerState& s = State();
  if (entries.size() > kMaxCalibrationEntries) entries.resize(kMaxCalibrationEntries);
  std::lock_guard lock(s.mutex);
  s.table = std::move(entries);
  s.path = path;
}

double InterpolateTemperature(double x) {
  ThermometerState& s = State();
  std::lock_guard lock(s.mutex);
  const std::vector<CalibrationEntry>& e = s.table;
  for (std::size_t i = 1; i < e.size(); ++i) {
    const double x0 = e[i - 1].x, x1 = e[i].x;
    if (!((x >= x0 && x <= x1) || (x >= x1 && x <= x0))) continue;
    // Two entries at the same X enclose only that X: their first T answers
    // rather than 0/0.
    if (x1 == x0) return e[i - 1].t;
    return e[i - 1].t + (static_cast<double>(e[i].t) - e[i - 1].t) / (x1 - x0) * (x - x0);
  }
  return kInterpErr;
}

double TemperatureFromVolts(double volts) {
  const ThermometerSettings& s = State().settings;
  double x = s.tr ? volts / s.sensorCurrent : volts;
  if (s.useAbsV) x = std::fabs(x);
  return InterpolateTemperature(x);
}

double Temperature() {
  const int sensor = FirstTSensorVoltage();
  if (sensor < 0) return kNoTSensor;
  return TemperatureFromVolts(MeasureVoltageZeroed(sensor).volts);
}

double TryTemperature() {
  const int sensor = FirstTSensorVoltage();
  if (sensor < 0) return kNoTSensor;
  return TemperatureFromVolts(TryMeasureVoltageZeroed(sensor).volts);
}

std::string FormatTemperature(double t) {
  if (t >= 0) return shell::Format("%9.3f K", t);
  if (t == kNoTSensor) return "V not def";
  if (t == kInterpErr) return "InterpErr";
  return "err ???";
}

bool FormatTemperature(double t, char* text, std::size_t size) {
  if (!text || size == 0) {
    TSM_ASSERT(!"FormatTemperature() -- no text", kSource);
    return false;
  }
  TSM_ASSERT(size > 12, kSource);
  return shell::BoundedCopy(text, FormatTemperature(t).c_str(), size);
}

int ShowCalibrationCurve(WindowHandle owner) {
  const std::vector<CalibrationEntry> table = CalibrationTable();
  if (table.empty()) {
    shell::ShowMessage(Owner(owner), kNoCurveText, kNoCurveCaption, MB_OK);
    return 0;
  }
  if (!curves::PrepareUndo()) return 0;
  curves::CurveFamily& family = curves::CurrentFamily();
  family.Clear();
  if (!family.SetCount(1) || !family.Curve(0).Reserve(static_cast<std::uint32_t>(table.size()))) {
    curves::UndoAfterOutOfMemory();
    return 0;
  }
  curves::Curve& curve = family.Curve(0);
  curve.SetName(kCalibrationCurveName);
  for (const CalibrationEntry& e : table) curve.Append(e.t, e.x);
  family.SetUnits("K", GetThermometerSettings().tr ? "Ohm" : "V");
  family.SetComment(("File:\r\n" + CalibrationPath()).c_str());
  return 1;
}

void ResetThermometer() {
  ThermometerState& s = State();
  s.settings = ThermometerSettings{};
  std::lock_guard lock(s.mutex);
  s.table.clear();
  s.path.clear();
}

}  // namespace tsm::channels
