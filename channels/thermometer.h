// The thermometer: a calibration table read from a "*.t" file maps the
// sensor's resistance (T(R): volts / sensor current) or its voltage (T(V))
// to kelvin by linear interpolation between neighbouring entries; the
// sensor is the first virtual voltage of kind "T-sensor". Also the
// thermometer settings (section "TermoMeter") with their dialog and summary,
// and "Show Calibration Curve".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "shell/setupdlg.h"
#include "shell/texttable.h"

namespace tsm::channels {

inline constexpr std::size_t kMaxCalibrationEntries = 1024;
// Longer lines are read as their first 511 characters; the rest is dropped.
inline constexpr std::size_t kCalibrationLineLength = 511;
inline constexpr std::size_t kThermometerPathLength = 260;  // terminator included
inline constexpr const char* kThermometerSection = "TermoMeter";

// Answers of Temperature besides kelvin.
inline constexpr double kNoTSensor = -1.0;  // no voltage of kind "T-sensor"
inline constexpr double kInterpErr = -2.0;  // outside the table

inline constexpr const char* kCannotOpenText = "Can not open temperature curve file";
inline constexpr const char* kCannotOpenCaption = "TermoInit Error";
inline constexpr const char* kTooManyEntriesText =
    "The number of entries in temperature curve file\nis larger than 1024. Extra entries are "
    "ignored.";
inline constexpr const char* kTooManyEntriesCaption = "Loading calibration curve";
inline constexpr const char* kEntriesReadText = "%d entries were read from file \n%s";
inline constexpr const char* kEntriesReadCaption = "Information";
inline constexpr const char* kNoCurveText =
    "Can not show Temperature calibration curve\nsince it contains no points or the file "
    "was\nnot found.";
inline constexpr const char* kNoCurveCaption = "Error";
inline constexpr const char* kCalibrationCurveName = "T calibration curve";

struct CalibrationEntry {
  float t = 0.0f;  // kelvin
  float x = 0.0f;  // ohms (T(R)) or volts (T(V))
};

struct ThermometerSettings {
  unsigned tr = 0;             // "T(R)?": 1 = T(R) table, 0 = T(V)
  float sensorCurrent = 0.0f;  // "SensorCurrent", amperes, 1e-10..1e10 (T(R) only)
  unsigned useAbsV = 0;        // "UseAbsV"
  char fileName[kThermometerPathLength] = "nul";  // "FileName"
};

ThermometerSettings& GetThermometerSettings();

// --- the calibration table ---------------------------------------------------------
// What a "*.t" file holds: one entry per line, temperature first, then X,
// separated by white space. Empty lines and lines beginning with ";" or "#"
// are comments; lines of blanks and tabs only, and lines that do not begin
// with two numbers, give no entry. Reading stops after 1024 entries;
// `truncated` tells that a further entry followed. The name "nul" (any case)
// is the null device: an empty table, opened.
struct CalibrationFile {
  bool opened = false;
  bool truncated = false;
  std::vector<CalibrationEntry> entries;
};
CalibrationFile ReadCalibrationFile(const std::string& path);

// Reads the file into the program's table and returns the entry count.
// A file that cannot be opened shows "Can not open temperature curve file"
// and empties the table; more than 1024 entries show the information that
// the extra entries are ignored.
std::uint32_t LoadCalibration(const std::string& path, platform::WindowHandle owner = nullptr);
std::vector<CalibrationEntry> CalibrationTable();
std::uint32_t CalibrationCount();
// The path the table was last read from.
std::string CalibrationPath();
void SetCalibrationTable(std::vector<CalibrationEntry> entries, const std::string& path);

// --- temperature -------------------------------------------------------------------
// Kelvin for X, interpolated in the first pair of neighbouring entries that
// encloses X (either order, bounds included); kInterpErr when none does.
double InterpolateTemperature(double x);
// X of a sensor voltage by the settings (T(R): V / SensorCurrent; |X| with
// UseAbsV), then InterpolateTemperature.
double TemperatureFromVolts(double volts);
// Measures the first "T-sensor" voltage (MeasureVoltageZeroed); kNoTSensor
// without one.
double Temperature();
// The same for the display: never waits behind the worker's reading (takes
// the worker's latest value of the sensor then).
double TryTemperature();

// "%9.3f K" for t >= 0, "V not def" for -1, "InterpErr" for -2, "err ???"
// for any other negative value.
std::string FormatTemperature(double t);
// The C form: the text must hold more than 12 characters (a smaller buffer
// is a program error and gets what fits). False when the text was cut.
bool FormatTemperature(double t, char* text, std::size_t size);

// --- "Show &Calibration Curve" (command 263) ---------------------------------------
// Replaces the current family, after its undo copy, by one curve "T
// calibration curve" of (T, X) with units "K" and "Ohm" or "V" and the
// comment "File:\r\n" + path. An empty table shows the "Error" message and
// changes nothing. 1 when shown (the caller redraws and clears dataSaved).
int ShowCalibrationCurve(platform::WindowHandle owner = nullptr);

// --- settings group (slot 10), dialog (command 166) and summary -----------------------
inline constexpr int kThermometerDialogId = 3400;
inline constexpr int kThermometerCommand = 166;
inline constexpr int kShowCalibrationCommand = 263;
inline constexpr int kIdTableType = 3401;  // radio "T(V)" 3401, "T(R)" 3402
inline constexpr int kIdTableTypeTR = 3402;
inline constexpr int kIdSensorCurrent = 3403;
inline constexpr int kIdUseAbsV = 3404;
inline constexpr int kIdFileName = 3405;
inline constexpr int kIdBrowse = 3406;
inline constexpr const char* kThermometerCaption = "Termometer Options";
inline constexpr const char* kCalibrationFilter = "Temperature curve  files  (*.t)";
inline constexpr const char* kCalibrationPattern = "*.t";

shell::FieldList& ThermometerFields();
// Loading reads the four keys, then the calibration file they name.
int LoadThermometerOptions(const std::string& fileName);
int SaveThermometerOptions(const std::string& fileName);
// The dialog: the sensor current is enabled only for a T(R) table; the
// browse button chooses a "*.t" file. After OK the table is read again and
// "%d entries were read from file \n%s" shown. 1 after OK, 0 after Cancel.
int RunThermometerDialog(platform::WindowHandle owner);
shell::InfoTable ThermometerInfoTable();

void RegisterThermometerOptionGroup();

// Back to program start: settings at their defaults, an empty table.
void ResetThermometer();

}  // namespace tsm::channels
