// The run of a measurement: "&Do It" with its undo copy and worker thread,
// "&Cancel"/"Stop", the refresh timer, the worker's end and RunMeasurement.
#include "measure/measure_dialog.h"

#include <system_error>
#include "channels/autozero.h"
#include "curves/live.h"
#include "curves/state.h"
#include "curves/undo.h"
#include "daq/timing.h"
#include "measure/measure_dialog_internal.h"
#include "measure/services.h"
#include "measure/state.h"
#include "platform/assert.h"
#include "shell/errors.h"

namespace tsm::measure {

using namespace dialog_detail;
using platform::Control;
using platform::ControlKind;

// --- start, stop, worker ---------------------------------------------------------------------

void MeasureDialog::StartTimer() {
  if (timer_ != 0) return;
  timer_ = platform::GetUi().StartTimer(kRefreshMs, true, [this] { Refresh(); });
}

void MeasureDialog::StopTimer() {
  if (timer_ == 0) return;
  platform::GetUi().StopTimer(timer_);
  timer_ = 0;
}

bool MeasureDialog::CopyRangesBack() {
  // A range that only counts points takes the number the user typed.
  bool ok = true;
  {
    std::lock_guard lock(rangeMutex_);
    if (!g1_.range.finder && description_.sweep1Range != RangeId::None) {
      std::uint32_t n = 0;
      if (ParseUnsigned(GetText(kSweep1Base + kOffPoints), &n) && n >= 1 && n <= kMaxTypedPoints) {
        g1_.range.start = 0;
        g1_.range.stop = n - 1;
        g1_.range.step = 1;
      } else {
        ok = false;
      }
    }
  }
  if (SweepRange* r = Range(description_.sweep1Range)) *r = Sweep1();
  if (SweepRange* r = Range(description_.sweep2Range)) *r = Sweep2();
  GetMeasureState().autoZeroBeforeStart = GetCheck(kIdAutoZero) != 0;
  ClearStop();
  return ok;
}

void MeasureDialog::DoIt() {
  if (workerStarted_.load()) return;  // one worker at a time
  StopTimer();
  SyncTyped(g1_);
  SyncTyped(g2_);
  if (!CopyRangesBack()) {
    // A point count that is no number of 1 .. 65536: the field is marked
    // for correction and nothing starts.
    platform::GetUi().MessageBeep(platform::MB_ICONHAND);
    SetFocus(kSweep1Base + kOffPoints);
    SelectText(kSweep1Base + kOffPoints, 0, -1);
    StartTimer();
    return;
  }
  if (!curves::PrepareUndo()) {
    End(0);
    return;
  }
  channels::RedoAutoZero(Owner());
  SetControlsForRun(true);
  curves::SetPlotShowsUndo(true);
  workerStarted_.store(true);
  try {
    worker_ = std::thread(&MeasureDialog::WorkerMain, this);
  } catch (const std::system_error&) {
    workerStarted_.store(false);
    curves::SetPlotShowsUndo(false);
    shell::ShowMessage(Owner(), kThreadFailedText, kThreadFailedCaption,
                       platform::MB_OK | platform::MB_ICONHAND);
    End(0);
    return;
  }
  SetText(kIdCancel, kStopText);
  // The readings go on showing while the worker measures.
  StartTimer();
}

void MeasureDialog::SetControlsForRun(bool running) {
  for (int id : {kIdDoIt, kIdOptions, kIdGenerator, kSweep1Base + kOffGoStart,
                 kSweep1Base + kOffGoStop, kSweep2Base + kOffGoStart, kSweep2Base + kOffGoStop,
                 kIdPause, kIdResume, kIdClear, kIdAutoZero, kIdResetAll, kIdResetSweep1})
    Enable(id, !running);
}

void MeasureDialog::CancelOrStop() {
  if (workerStarted_.load()) {
    // The routine sees the flag after its present point and ends the dialog.
    RequestStop();
    return;
  }
  StopTimer();
  SyncTyped(g1_);
  SyncTyped(g2_);
  CopyRangesBack();
  End(0);
}

void MeasureDialog::WorkerMain() {
  // Every wait of the routine (settling, jump to start, multiplexing,
  // trigger, cool-down) ends when "Stop" sets the flag.
  daq::WaitAbortScope stopCutsWaits(GetMeasureState().stopFlag);
  int result = 0;
  try {
    result = description_.routine ? description_.routine(*this) : 0;
  } catch (const MeasureIcException& e) {
    shell::ShowMessage(Owner(), e.what(), description_.title,
                       platform::MB_OK | platform::MB_ICONHAND);
  } catch (...) {
    shell::ShowMessage(Owner(), kUnknownExceptionText, description_.title,
                       platform::MB_OK | platform::MB_ICONHAND);
  }
  curves::SetPlotShowsUndo(false);
  End(result);
}

void MeasureDialog::Finish() {
  StopTimer();
  if (worker_.joinable()) {
    // Normally the worker has ended the dialog and is about to return. If
    // the dialog was closed some other way, it is told to stop first.
    if (!Ended()) RequestStop();
    worker_.join();
  }
  // The live picture has served; the plot draws the family again.
  curves::ReleaseLiveSnapshot();
  MeasureDialog* self = this;
  GetMeasureState().dialog.compare_exchange_strong(self, nullptr);
}

int RunMeasurement(const MeasurementDescription& description, platform::WindowHandle owner) {
  if (!TSM_ASSERT(description.routine != nullptr, kSource)) return 0;
  MeasureDialog dialog(description);
  const int result = platform::GetUi().RunModal(dialog, owner);
  dialog.Finish();
  return result;
}

int RunMeasurement(Mode mode, platform::WindowHandle owner) {
  return RunMeasurement(Description(mode), owner);
}

}  // namespace tsm::measure
