// The measurement dialog model: its life (construction, initialisation) and
// the dispatch of its commands. The controls, the sweep groups, the live rows
// and the run have files of their own (measure_dialog_*.cpp).
#include "measure/measure_dialog.h"

#include <algorithm>
#include <array>
#include <cstring>
#include "channels/autozero.h"
#include "channels/channel_dialogs.h"
#include "channels/generator_control.h"
#include "channels/virtual_channels.h"
#include "daq/generator.h"
#include "daq/waveform_options.h"
#include "measure/measure_dialog_internal.h"
#include "measure/services.h"
#include "measure/state.h"
#include "shell/errors.h"
#include "shell/stringex.h"

namespace tsm::measure {

using namespace dialog_detail;
using platform::Control;
using platform::ControlKind;

// --- construction ----------------------------------------------------------------

MeasureDialog::MeasureDialog(const MeasurementDescription& description)
    : DialogModel(DialogResourceOf(description.dialogTemplate), "Measurements -- "),
      description_(description),
      layout_(LayoutOf(description.dialogTemplate)),
      g1_{kSweep1Base, SweepRange{}, false, {}, {}, {}},
      g2_{kSweep2Base, SweepRange{}, false, {}, {}, {}} {
  BuildControls();
}

MeasureDialog::~MeasureDialog() {
  StopTimer();
  if (worker_.joinable()) {
    RequestStop();
    worker_.join();
  }
  MeasureDialog* self = this;
  GetMeasureState().dialog.compare_exchange_strong(self, nullptr);
}


platform::WindowHandle MeasureDialog::Owner() const { return shell::MainWindow(); }

// --- initialisation ------------------------------------------------------------------

void MeasureDialog::OnInit() {
  MeasureState& s = GetMeasureState();
  std::string caption = kCaptionPrefix;
  if (caption.size() + std::strlen(description_.title) > kMaxCaption)
    shell::ReportInternalError(shell::kInternalError, __LINE__, kSource);
  else
    caption += description_.title;
  SetCaption(caption);
  s.dialog.store(this);
  s.description.store(&description_);
  s.points1.store(0);
  s.points2.store(0);

  // Row scroll bars: over the rows the template cannot show at once.
  auto rowsBar = [this](int id, int rows, int total, std::atomic<int>& first) {
    if (rows < total) {
      first.store(std::clamp(first.load(), 0, total - rows));
      SetScrollRange(id, 0, total - rows);
      SetScrollPos(id, first.load());
    } else {
      first.store(0);
      Show(id, false);
    }
  };
  rowsBar(kIdCurrentRowsScroll, layout_.currentRows, channels::kCurrentCount, s.firstCurrentRow);
  rowsBar(kIdVoltageRowsScroll, layout_.voltageRows, channels::kVoltageCount, s.firstVoltageRow);

  Indicator progress;
  progress.minimum = 0;
  progress.maximum = 100;
  progress.value = 0;
  SetIndicator(kIdProgressBar, progress);
  ColourVoltageRows();

  InitGroup(g1_, description_.sweep1Range);
  if (HasSweep2()) InitGroup(g2_, description_.sweep2Range);

  Enable(kIdOptions, description_.optionsDialog != nullptr);
  Enable(kIdXAxis, description_.xAxisDialog != nullptr);
  Enable(kIdYAxis, description_.yAxisDialog != nullptr);
  SetCheck(kIdGenerator, daq::WaveformGeneratorRunning() ? 1 : 0);
  SetCheck(kIdAutoZero, s.autoZeroBeforeStart ? 1 : 0);
  UpdateEstimates();

  StartTimer();
  if (timer_ == 0)
    shell::ShowMessage(Owner(), kTimerFailedText, kTimerFailedCaption,
                       platform::MB_OK | platform::MB_ICONHAND);
  Refresh();
}


// --- commands ---------------------------------------------------------------------------------

void MeasureDialog::OnCommand(int id, int code) {
  (void)code;
  // A typed step arrives without a command of its own (the field only
  // changes its text): whatever is pressed next works with it.
  if (!workerStarted_.load()) {
    SyncTyped(g1_);
    SyncTyped(g2_);
  }
  if (id == kIdDoIt) return DoIt();
  if (id == kIdCancel) return CancelOrStop();
  if (g1_.present && HandleGroupCommand(g1_, id)) return;
  if (g2_.present && HandleGroupCommand(g2_, id)) return;

  MeasureState& s = GetMeasureState();
  if (id >= kIdCurrentButton && id < kIdCurrentButton + layout_.currentRows) {
    channels::RunCurrentDialog(Owner(), s.firstCurrentRow.load() + id - kIdCurrentButton);
    UpdateEstimates();
    Refresh();
    return;
  }
  if (id >= kIdCurrentScroll && id < kIdCurrentScroll + layout_.currentRows) {
    OnCurrentScroll(id - kIdCurrentScroll);
    return;
  }
  if (id >= kIdCurrentReset && id < kIdCurrentReset + layout_.currentRows) {
    const int i = s.firstCurrentRow.load() + id - kIdCurrentReset;
    std::uint16_t zero = 0;
    if (channels::IsCurrentDefined(i) && channels::CurrentCardRange(i, nullptr, nullptr, &zero))
      channels::SetCurrentCode(i, zero);
    ShowLatestCurrents();
    return;
  }
  if (id >= kIdVoltageButton && id < kIdVoltageButton + layout_.voltageRows) {
    channels::RunVoltageDialog(Owner(), s.firstVoltageRow.load() + id - kIdVoltageButton);
    UpdateEstimates();
    Refresh();
    return;
  }
  switch (id) {
    case kIdCurrentRowsScroll:
      s.firstCurrentRow.store(ScrollPos(id));
      RefreshCurrentRows(true);
      RefreshCurrentBars();
      return;
    case kIdVoltageRowsScroll:
      s.firstVoltageRow.store(ScrollPos(id));
      ColourVoltageRows();
      RefreshVoltageRows(true);
      return;
    case kIdResetAll: {
      std::array<int, channels::kCurrentCount> targets;
      targets.fill(-1);
      for (int i = 0; i < channels::kCurrentCount; ++i) {
        std::uint16_t zero = 0;
        if (channels::IsCurrentDefined(i) &&
            channels::CurrentCardRange(i, nullptr, nullptr, &zero))
          targets[i] = zero;
      }
      channels::MoveCurrents(targets);
      ShowLatestCurrents();
      return;
    }
    case kIdResetSweep1: {
      const int i = channels::FirstSweep1Current();
      std::uint16_t zero = 0;
      if (i >= 0 && channels::CurrentCardRange(i, nullptr, nullptr, &zero))
        channels::SetCurrentCode(i, zero);
      ShowLatestCurrents();
      return;
    }
    case kIdOptions:
    case kIdXAxis:
    case kIdYAxis: {
      const ModeDialogFn fn = id == kIdOptions ? description_.optionsDialog
                              : id == kIdXAxis ? description_.xAxisDialog
                                               : description_.yAxisDialog;
      if (fn) fn(Owner());
      UpdateEstimates();
      return;
    }
    case kIdGenerator:
      OnGenerator();
      return;
    case kIdAutoZero:
      SetCheck(kIdAutoZero, channels::RunAutoZero(Owner(), GetCheck(kIdAutoZero) != 0) ? 1 : 0);
      Refresh();
      return;
    case kIdPause:
      daq::PauseWaveformGenerator();
      return;
    case kIdResume:
      daq::ResumeWaveformGenerator();
      return;
    case kIdClear:
      if (daq::WaveformGeneratorRunning()) channels::StopWaveformAtPoint();
      SetCheck(kIdGenerator, daq::WaveformGeneratorRunning() ? 1 : 0);
      ShowLatestCurrents();
      return;
    default:
      return;
  }
}

void MeasureDialog::OnCurrentScroll(int row) {
  const int i = GetMeasureState().firstCurrentRow.load() + row;
  if (i >= channels::kCurrentCount || !channels::IsCurrentDefined(i)) return;
  // The bar shows a "-Sweep" current mirrored; the mirror is its own inverse.
  const std::uint32_t pos =
      static_cast<std::uint32_t>(std::max(0, ScrollPos(kIdCurrentScroll + row)));
  const std::uint32_t normalised = channels::MirrorNormalised(i, pos);
  const std::uint32_t card = NormalisedToCard(normalised, NormalisationFactor(i));
  // SetCurrentCode moves the whole sweep group of a sweep current; every
  // bar then follows its current.
  channels::SetCurrentCode(i, static_cast<std::uint16_t>(std::min<std::uint32_t>(card, 65535)));
  ShowLatestCurrents();
}

void MeasureDialog::OnGenerator() {
  if (!GetCheck(kIdGenerator)) {
    if (daq::WaveformGeneratorRunning() && channels::StopWaveformAtPoint() == 0 &&
        daq::WaveformGeneratorRunning())
      SetCheck(kIdGenerator, 1);
    ShowLatestCurrents();
    return;
  }
  const bool wfm = &description_ == &measure::Description(Mode::WFM);
  if (wfm) {
    const daq::DriverStatus st = channels::StartFastWaveformGenerator(Owner());
    if (st < 0) {
      shell::ShowMessage(Owner(), shell::Format(channels::kFastWaveformFailedText, int(st)),
                         channels::kFastGeneratorFailedCaption,
                         platform::MB_OK | platform::MB_ICONHAND);
      SetCheck(kIdGenerator, 0);
    }
    return;
  }
  channels::GeneratorRange range;  // the full range, step 16, both directions
  const SweepRange r = Sweep1();
  const int current = r.Current();
  if (r.finder && current >= 0 && channels::IsSweep1Kind(channels::GetCurrent(current).kind)) {
    range.start = r.start;
    range.stop = r.stop;
    range.step = r.step;
    range.twoDirections = r.twoDirections;
  }
  const daq::DriverStatus st = channels::StartFastSweepGenerator(
      range, daq::GetWaveformSettings().frequency, Owner());
  if (st < 0) {
    shell::ShowMessage(Owner(), shell::Format(channels::kFastSweepFailedText, int(st)),
                       channels::kFastGeneratorFailedCaption,
                       platform::MB_OK | platform::MB_ICONHAND);
    SetCheck(kIdGenerator, 0);
  }
}

}  // namespace tsm::measure
