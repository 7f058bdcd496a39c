// The settings shared by every measurement mode: the general measurement
// options, the delays and the trigger pulse. They live with the virtual
// channels because moving a current (the largest DAC step) and reading a
// voltage (the settling delay) already need them; the measurement modes read
// them directly on the worker thread.
#pragma once

#include <cstdint>

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

}  // namespace tsm::channels
