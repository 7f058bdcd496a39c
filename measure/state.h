// The measurement state shared by the UI thread and the worker: the stop
// flag, the open measurement dialog and its description, the point counters
// shown in "Points", the remembered dialog settings and the sweep range
// records of every mode. One instance; tests reset it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

#include "measure/description.h"
#include "measure/sweep.h"
#include "platform/ui.h"

namespace tsm::measure {

inline constexpr std::size_t kRangeCount = static_cast<std::size_t>(RangeId::Count);

struct MeasureState {
  // Set by "Stop" on the UI thread, polled by the worker after every point,
  // cleared only by "&Do It".
  std::atomic<int> stopFlag{0};
  // The open measurement dialog (null when none) and its description.
  std::atomic<MeasureDialog*> dialog{nullptr};
  std::atomic<const MeasurementDescription*> description{nullptr};
  // Points of the Sweep1 and Sweep2 ranges done, as shown in "Points".
  std::atomic<std::uint32_t> points1{0};
  std::atomic<std::uint32_t> points2{0};
  // The "Auto&Zero" box as it was left (UI thread only).
  bool autoZeroBeforeStart = false;
  // The first virtual current and voltage shown in the scrolling rows.
  std::atomic<int> firstCurrentRow{0};
  std::atomic<int> firstVoltageRow{0};
  // The phase log's two switches; the Ic(H) options own and store them
  // (plain, so a field list can bind them: they change only while no
  // measurement runs).
  bool showPhaseMessage = false;  // Ic(X)ShowPhaseMessage
  bool createLogFile = false;     // Ic(X)CreateLogFile
  // Called on the UI thread when the live curves of a running measurement
  // changed (the main window repaints its plot); set by the program's top.
  std::function<void()> livePlotChanged;
  // The range records of the descriptions (UI thread; a routine reads the
  // dialog's copy).
  std::array<SweepRange, kRangeCount> ranges{};
};

MeasureState& GetMeasureState();
// Stop flag clear, no dialog, every range at its initial value.
void ResetMeasureState();

// The range record of an id; null for RangeId::None.
SweepRange* Range(RangeId id);
// The initial value of a range record (a fresh range for RangeId::None:
// 0..65535 step 1, no flags, no finder).
SweepRange InitialRange(RangeId id);

// The repaint the measurement dialog's refresh asks for when the live
// curves grew (empty: none).
void SetLivePlotHook(std::function<void()> hook);

bool StopRequested();
void RequestStop();
void ClearStop();

}  // namespace tsm::measure
