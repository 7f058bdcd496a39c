// The modal measurement dialog as a toolkit-free model: sweep limits, the
// live rows of virtual currents and voltages (refreshed every 250 ms, also
// while the worker runs), progress, and "&Do It", which takes the undo copy
// and starts the one worker thread that runs the mode's routine; the worker
// ends the dialog with the routine's result. gui/ renders it with the
// generic dialog view plus a painter for the Indicator bars; tests and the
// batch mode drive it directly through its control ids.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "measure/description.h"
#include "measure/indicator.h"
#include "measure/sweep.h"
#include "platform/dialog.h"
#include "platform/ui.h"

namespace tsm::measure {

// --- dialog resources (one per template) ----------------------------------
inline constexpr int kCommonDialogId = 4900;
inline constexpr int kIVFDialogId = 4901;
inline constexpr int kCompactDialogId = 4902;
inline constexpr int kTemperatureDialogId = 4903;
inline constexpr int kVtimeDialogId = 4904;
int DialogResourceOf(DialogTemplate t);

// --- control ids ------------------------------------------------------------
// The two buttons that start and end: "&Do It" is IDOK (1) and "&Cancel" /
// "Stop" is IDCANCEL (2), so a headless run that presses OK starts the
// measurement and the close box is "&Cancel" (or "Stop" while running).
inline constexpr int kIdDoIt = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdOptions = 4001;    // "&Options"
inline constexpr int kIdXAxis = 4002;      // "x axis"
inline constexpr int kIdYAxis = 4003;      // "y axis"
inline constexpr int kIdGenerator = 4004;  // check box "&Generator"
inline constexpr int kIdAutoZero = 4005;   // check box "Auto&Zero"
inline constexpr int kIdPause = 4006;      // "paus.": pause the generator
inline constexpr int kIdResume = 4007;     // "resum": resume it
inline constexpr int kIdClear = 4008;      // "CLR": stop it at its present point
inline constexpr int kIdProgressText = 4010;
inline constexpr int kIdProgressBar = 4011;  // Indicator, 0..100
inline constexpr int kIdStatusLine = 4012;   // phase messages
inline constexpr int kIdTemperature = 4013;  // temperature template only
inline constexpr int kIdMemory = 4014;       // "Memory: %s"

// A sweep group: Sweep1 at kSweep1Base, Sweep2 (IVF template) at kSweep2Base.
inline constexpr int kSweep1Base = 4020;
inline constexpr int kSweep2Base = 4040;
inline constexpr int kOffBox = 0;           // group box
// Start and stop show normalised codes; a code or a current ("1.5 mA",
// "-20 uA") typed there sets the limit (the nearest code of that current).
inline constexpr int kOffStart = 1;
inline constexpr int kOffStop = 2;
inline constexpr int kOffStep = 3;          // step, typed in card codes
inline constexpr int kOffStepScroll = 4;    // step scroll bar 1..1024 (card codes)
inline constexpr int kOffPoints = 5;        // "Points": count, or done/total; typed without finder
inline constexpr int kOffSetStart = 6;      // "set start"
inline constexpr int kOffSetStop = 7;       // "set stop"
inline constexpr int kOffTwoDirections = 8; // "&2 directions"
inline constexpr int kOffSymmetric = 9;     // "&symmetric"
inline constexpr int kOffReset = 10;        // "&reset"
inline constexpr int kOffExchange = 11;     // "&Xchange"
inline constexpr int kOffGoStart = 12;      // ">>" (go start)
inline constexpr int kOffGoStop = 13;       // ">>" (go stop)
// The current of the range's virtual current at start, at stop and for one
// step, in amperes with a prefix (empty without a current).
inline constexpr int kOffStartAmperes = 14;
inline constexpr int kOffStopAmperes = 15;
inline constexpr int kOffStepAmperes = 16;
inline constexpr int kGroupControls = 17;   // offsets 0 .. 16

// The scrolling rows. Row r (0-based) of the currents shows virtual current
// first + r: its index button opens the current's settings, the value is
// its amperes, the scroll bar (0..65535 normalised) sets its code, "reset"
// moves it to its card's zero code. Row r of the voltages: the index button
// opens the voltage's settings, the Indicator shows the volts as its text
// and the raw reading as its bar.
inline constexpr int kIdCurrentRowsScroll = 4090;  // first current shown
inline constexpr int kIdResetAll = 4091;           // "&all"
inline constexpr int kIdResetSweep1 = 4092;        // "&sweep 1"
inline constexpr int kIdVoltageRowsScroll = 4093;  // first voltage shown
inline constexpr int kIdCurrentsBox = 4094;
inline constexpr int kIdVoltagesBox = 4095;
inline constexpr int kIdGeneratorBox = 4096;
inline constexpr int kIdCurrentButton = 4100;  // + row, rows 0..31
inline constexpr int kIdCurrentValue = 4140;
inline constexpr int kIdCurrentScroll = 4180;
inline constexpr int kIdCurrentReset = 4220;
inline constexpr int kIdVoltageButton = 4300;     // + row, rows 0..127
inline constexpr int kIdVoltageIndicator = 4450;  // + row

// Notification code of a moved scroll bar (WM_HSCROLL).
inline constexpr int kScrolled = 0x0114;
inline constexpr unsigned kRefreshMs = 250;
inline constexpr std::uint32_t kMaxStepScroll = 1024;
inline constexpr std::uint32_t kMaxTypedStep = 32768;
// A point count typed for a range without finder: 1 .. 65536.
inline constexpr std::uint32_t kMaxTypedPoints = 65536;
inline constexpr std::size_t kMaxCaption = 255;

// --- texts ------------------------------------------------------------------
inline constexpr const char* kCaptionPrefix = "Measurements -- ";
inline constexpr const char* kDoItText = "&Do It";
inline constexpr const char* kCancelText = "&Cancel";
inline constexpr const char* kStopText = "Stop";
inline constexpr const char* kTimerFailedText =
    "Can not run timer.\nCurrent and voltage readings\nwill not be animated";
inline constexpr const char* kTimerFailedCaption = "Error in MeasureDlg_OnInitDialog()";
inline constexpr const char* kThreadFailedText = "Can not create a measurement thread";
inline constexpr const char* kThreadFailedCaption = "Starting measurement..";
inline constexpr const char* kMemoryFormat = "Memory: %s";
inline constexpr const char* kPointsFormat = "%u/%u";

// Rows the template holds.
struct TemplateLayout {
  int currentRows;
  int voltageRows;
  bool sweepLimits;  // the Sweep1 group with its limits and check boxes
  bool sweep2Group;
  bool temperature;
};
TemplateLayout LayoutOf(DialogTemplate t);

// The memory estimate: (N1 x 8 x (2 if two directions) + 146) x N2 x (2 if
// two directions) x voltages bytes; N1, N2 per direction (N2 = 1 without a
// second range).
double MemoryEstimate(std::uint32_t n1, bool twoDirections1, std::uint32_t n2,
                      bool twoDirections2, std::size_t voltages);
// "Memory: %s" with unit "B", or "Memory: ???" for 0.
std::string MemoryText(double bytes);

class MeasureDialog : public platform::DialogModel, public IndicatorHost {
 public:
  explicit MeasureDialog(const MeasurementDescription& description);
  // Asks a worker that still runs to stop and waits for it.
  ~MeasureDialog() override;

  const MeasurementDescription& Description() const { return description_; }
  const TemplateLayout& Layout() const { return layout_; }

  // True from "&Do It" on while the worker exists: the dialog ends itself.
  bool Running() const override { return workerStarted_.load(); }
  // After the modal run: stops the refresh timer and joins the worker (which
  // has ended the dialog, so it is not waiting for this thread).
  void Finish();

  // The owner of the messages this dialog raises.
  platform::WindowHandle Owner() const;

  // --- the ranges as the dialog holds them (normalised codes) -------------
  SweepRange Sweep1() const;
  SweepRange Sweep2() const;
  bool HasSweep2() const { return description_.sweep2Range != RangeId::None; }

  // --- the 250 ms timer tick: every shown current and voltage (through the
  // readings that never wait behind the worker), the temperature. Also
  // picks up a step typed since the last tick.
  void Refresh();

  // --- services for the routines (any thread) -----------------------------
  // "%u/%u" into the Sweep1 (Sweep2) "Points" field; refreshes the current rows.
  void ShowPoints(std::uint32_t done, std::uint32_t total);
  void ShowPoints2(std::uint32_t done, std::uint32_t total);
  // Progress text and bar after t ms with d of n done; nothing for d = 0.
  void ShowProgress(std::uint32_t elapsedMs, std::uint32_t done, std::uint32_t total);
  // The voltage (current) rows from the values measured last, without
  // touching the driver (what the worker shows between its points).
  void ShowLatestVoltages();
  void ShowLatestCurrents();
  // The current rows as ShowLatestCurrents shows them, but every Sweep1-role
  // current shows `amperes` (what a routine takes as the Sweep1 value while
  // the generator, not the present code, drives it).
  void ShowSweep1Amperes(double amperes);
  void ShowPhase(const std::string& text);
  // The row of virtual voltage `index` shows `text` instead of its reading
  // from now on (the dialog ends with the run): a routine that shows values of its own there (ohms
  // of R(T)) or marks a reading it takes itself ("not updated").
  void HoldVoltageRow(int index, const std::string& text);
  // The temperature field, in the template that has one (FormatTemperature).
  void ShowTemperature(double kelvin);

  Indicator GetIndicator(int controlId) const override;

 protected:
  void OnInit() override;
  void OnCommand(int id, int code) override;

 private:
  struct Group {
    int base;
    SweepRange range;
    bool present;  // the group's controls exist in the template
    // The texts the fields were last given, so a typed change is told
    // from what the dialog wrote itself.
    std::string shownStart, shownStop, shownStep;
  };

  void BuildControls();
  void AddSweepGroup(int base, const char* caption, int column, bool pointsTyped);
  void InitGroup(Group& g, RangeId id);
  void ShowGroup(Group& g);
  void UpdateEstimates();
  bool HandleGroupCommand(Group& g, int id);
  // Takes what was typed into the step, start and stop fields since they
  // were shown; a field that has the focus is left alone while `typing`
  // (the user may not have finished it).
  void SyncTyped(Group& g, bool typing = false);
  bool TypedLimit(const Group& g, const std::string& text, std::uint32_t* normalised) const;
  std::uint32_t Factor(const Group& g) const;

  void DoIt();
  void CancelOrStop();
  bool CopyRangesBack();
  void StartTimer();
  void StopTimer();
  void WorkerMain();
  void SetControlsForRun(bool running);

  void RefreshCurrentRows(bool measure);
  void RefreshVoltageRows(bool measure);
  void RefreshCurrentBars();
  void ColourVoltageRows();
  std::optional<std::string> HeldVoltageRow(int index) const;
  void OnCurrentScroll(int row);
  void OnGenerator();
  void SetIndicator(int id, const Indicator& indicator);

  const MeasurementDescription& description_;
  const TemplateLayout layout_;
  mutable std::mutex rangeMutex_;  // the groups' ranges: UI thread and worker
  Group g1_, g2_;
  platform::TimerId timer_ = 0;
  std::thread worker_;
  std::atomic<bool> workerStarted_{false};
  mutable std::mutex indicatorMutex_;
  std::map<int, Indicator> indicators_;
  std::map<int, std::string> heldVoltageRows_;  // voltage index -> text; indicatorMutex_
};

// Runs the measurement dialog of a mode modally (what every measurement
// command does); returns the routine's result: 1 measured, 0 not (also for a
// mode without routine).
int RunMeasurement(const MeasurementDescription& description, platform::WindowHandle owner);
int RunMeasurement(Mode mode, platform::WindowHandle owner);

}  // namespace tsm::measure
