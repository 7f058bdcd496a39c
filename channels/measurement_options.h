// The settings shared by every measurement mode: the general measurement
// options, the delays and the trigger pulse. They live with the virtual
// channels because moving a current (the largest DAC step) and reading a
// voltage (the settling delay) already need them; the measurement modes read
// them directly on the worker thread.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui.h"
#include "shell/setupdlg.h"
#include "shell/texttable.h"

namespace tsm::channels {

struct GeneralMeasurementOptions {
  // "CurrentMesureMethod": 0 in each point, 1 only on the edges (linear).
  unsigned currentMeasureMethod = 0;
  bool swapXYAxes = false;                  // "SwapXY_Axes"
  bool rescalePlotAfterMeasurement = true;  // "RescalePlotAfterMeasurement"
};

struct DelayOptions {
  std::uint32_t delayAfterJumpToStart = 0;  // "DelayAfterJumpToStart", ms
  std::uint32_t systemDecayTime = 0;        // "SystemDecayTime", ms
  std::uint32_t delayAfterSweep2 = 0;       // "DelayAfterSweep2", ms
  std::uint32_t delayBeforeVoltage = 0;     // "DelayBeforeVoltage", ms
  std::uint32_t maxDacStep = 256;           // "MaxDACStep", DAC units
  std::uint32_t primitiveGeneratorStep = 256;  // "PrimitiveGeneratorStep"
  std::uint32_t interactionTime = 500;      // "InteractionTime", ms
  bool stopAfterEachCurve = false;          // "StopAfterEachCurve"
};

struct TriggerOptions {
  float level1 = 0.0f;      // "Level1", -1..1
  float level2 = 1.0f;      // "Level2", -1..1
  std::uint32_t delay = 0;  // "Delay", ms
};

struct MeasurementOptions {
  GeneralMeasurementOptions general;
  DelayOptions delays;
  TriggerOptions trigger;
};

// The process-wide options (factory defaults until the groups are loaded).
MeasurementOptions& GetMeasurementOptions();
void ResetMeasurementOptions();

// --- option groups, dialogs and summaries ------------------------------------
inline constexpr const char* kGeneralCaption = "General Measurement Options";
inline constexpr const char* kDelaysCaption = "Delays Options";
inline constexpr const char* kTriggerCaption = "Trigger Options";
inline constexpr const char* kTriggerDescription =
    "When the trigger is called\n1. the trigger current will be set to the level1,\n2. the "
    "program will wait (see delay),\n3. the trigger current will be set to the level2,\n4. the "
    "prgram will wait again.\nThen the measurements will continue.";

// Dialog resources and control ids of the three dialogs.
inline constexpr int kGeneralDialogId = 3100;
inline constexpr int kIdMeasureMethod = 3101;  // radio group: 3101, 3102
inline constexpr int kIdSwapXY = 3103;
inline constexpr int kIdRescale = 3104;
inline constexpr int kDelaysDialogId = 3110;
inline constexpr int kIdDelayAfterJump = 3111;
inline constexpr int kIdSystemDecay = 3112;
inline constexpr int kIdDelayAfterSweep2 = 3113;
inline constexpr int kIdDelayBeforeVoltage = 3114;
inline constexpr int kIdMaxDacStep = 3115;
inline constexpr int kIdPrimitiveStep = 3116;
inline constexpr int kIdInteraction = 3117;
inline constexpr int kIdStopAfterEachCurve = 3118;
inline constexpr int kTriggerDialogId = 3120;
inline constexpr int kIdLevel1 = 3121;
inline constexpr int kIdLevel2 = 3122;
inline constexpr int kIdTriggerDelay = 3123;
inline constexpr int kIdTriggerText = 3124;

// The field lists of the groups (sections "Measure", "Setup", "Trigger").
shell::FieldList& GeneralMeasurementFields();
shell::FieldList& DelaysFields();
shell::FieldList& TriggerFields();

// The modal dialogs: 1 after OK, 0 after Cancel.
int RunGeneralMeasurementDialog(platform::WindowHandle owner);
int RunDelaysDialog(platform::WindowHandle owner);
int RunTriggerDialog(platform::WindowHandle owner);

shell::InfoTable GeneralMeasurementInfoTable();
shell::InfoTable DelaysInfoTable();
shell::InfoTable TriggerInfoTable();

// A trigger level l in -1..+1 as a code of a card [minCode, maxCode]:
// min + (max - min)(l + 1) / 2, so -1 is the minimum and +1 the maximum.
std::uint16_t TriggerLevelCode(float level, std::uint16_t minCode, std::uint16_t maxCode);

}  // namespace tsm::channels
