#include "measure/measure_dialog.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "channels/autozero.h"
#include "channels/averaging.h"
#include "channels/channel_dialogs.h"
#include "channels/generator_control.h"
#include "channels/thermometer.h"
#include "channels/virtual_channels.h"
#include "curves/state.h"
#include "curves/undo.h"
#include "daq/cards.h"
#include "daq/generator.h"
#include "measure/services.h"
#include "measure/state.h"
#include "platform/assert.h"
#include "shell/errors.h"
#include "shell/phyunits.h"
#include "shell/stringex.h"

namespace tsm::measure {

using platform::Control;
using platform::ControlKind;

namespace {
constexpr const char* kSource = "cvc";

Control Make(int id, ControlKind kind, std::string text, int column) {
  Control c;
  c.id = id;
  c.kind = kind;
  c.text = std::move(text);
  c.column = column;
  return c;
}

// A decimal number of the whole text, or false.
bool ParseUnsigned(const std::string& text, std::uint32_t* value) {
  const char* s = text.c_str();
  while (*s == ' ' || *s == '\t') ++s;
  if (*s < '0' || *s > '9') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(s, &end, 10);
  while (*end == ' ' || *end == '\t') ++end;
  if (*end != '\0' || errno == ERANGE || v > 0xFFFFFFFFull) return false;
  *value = static_cast<std::uint32_t>(v);
  return true;
}

std::string U(std::uint32_t v) { return shell::Format("%u", static_cast<unsigned>(v)); }
}  // namespace

int DialogResourceOf(DialogTemplate t) {
  switch (t) {
    case DialogTemplate::Common: return kCommonDialogId;
    case DialogTemplate::IVF: return kIVFDialogId;
    case DialogTemplate::Compact: return kCompactDialogId;
    case DialogTemplate::Temperature: return kTemperatureDialogId;
    case DialogTemplate::Vtime: return kVtimeDialogId;
  }
  return kCommonDialogId;
}

TemplateLayout LayoutOf(DialogTemplate t) {
  switch (t) {
    case DialogTemplate::Common: return {6, 8, true, false, false};
    case DialogTemplate::IVF: return {6, 8, true, true, false};
    case DialogTemplate::Compact: return {4, 4, false, false, false};
    case DialogTemplate::Temperature: return {6, 8, false, false, true};
    case DialogTemplate::Vtime: return {4, 8, false, false, false};
  }
  return {6, 8, true, false, false};
}

double MemoryEstimate(std::uint32_t n1, bool twoDirections1, std::uint32_t n2,
                      bool twoDirections2, std::size_t voltages) {
  return (static_cast<double>(n1) * 8.0 * (twoDirections1 ? 2 : 1) + 146.0) * n2 *
         (twoDirections2 ? 2 : 1) * static_cast<double>(voltages);
}

std::string MemoryText(double bytes) {
  if (bytes <= 0) return shell::Format(kMemoryFormat, "???");
  return shell::Format(kMemoryFormat,
                       shell::FormatWithPrefix(static_cast<float>(bytes), "B").c_str());
}

// --- construction ----------------------------------------------------------------

MeasureDialog::MeasureDialog(const MeasurementDescription& description)
    : DialogModel(DialogResourceOf(description.dialogTemplate), "Measurements -- "),
      description_(description),
      layout_(LayoutOf(description.dialogTemplate)),
      g1_{kSweep1Base, SweepRange{}, false},
      g2_{kSweep2Base, SweepRange{}, false} {
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

void MeasureDialog::AddSweepGroup(int base, const char* caption, int column, bool pointsTyped) {
  Control box = Make(base + kOffBox, ControlKind::GroupBox, caption, column);
  box.frameCount = kOffGoStop;  // the thirteen controls below
  AddControl(box);
  auto edit = [&](int off, const char* label, bool readOnly) {
    Control c = Make(base + off, ControlKind::Edit, "", column);
    c.label = label;
    c.readOnly = readOnly;
    c.textLimit = 10;
    AddControl(c);
  };
  auto check = [&](int off, const char* text) {
    AddControl(Make(base + off, ControlKind::CheckBox, text, column));
  };
  auto button = [&](int off, const char* text, const char* tip = "") {
    Control c = Make(base + off, ControlKind::Button, text, column);
    c.tooltip = tip;
    AddControl(c);
  };
  edit(kOffStart, "start", true);
  check(kOffSetStart, "set start");
  button(kOffGoStart, ">>", "go start");
  edit(kOffStop, "stop", true);
  check(kOffSetStop, "set stop");
  button(kOffGoStop, ">>", "go stop");
  edit(kOffStep, "step", false);
  Control scroll = Make(base + kOffStepScroll, ControlKind::ScrollBar, "", column);
  scroll.scrollMin = 1;
  scroll.scrollMax = static_cast<int>(kMaxStepScroll);
  scroll.scrollPos = 1;
  AddControl(scroll);
  check(kOffTwoDirections, "&2 directions");
  check(kOffSymmetric, "&symmetric");
  button(kOffReset, "&reset");
  button(kOffExchange, "&Xchange");
  edit(kOffPoints, "Points", !pointsTyped);
}

void MeasureDialog::BuildControls() {
  // Column 0: sweep limits, estimate, progress, generator; column 1: the
  // current rows; column 2: the voltage rows; then the button row.
  // The points of a range that only counts them are typed by the user.
  auto typed = [](RangeId id) {
    const SweepRange* r = Range(id);
    return !r || !r->finder;
  };
  if (layout_.sweepLimits) {
    AddSweepGroup(kSweep1Base, "Sweep 1", 0, typed(description_.sweep1Range));
  } else {
    Control points = Make(kSweep1Base + kOffPoints, ControlKind::Edit, "", 0);
    points.label = "Points";
    points.textLimit = 10;
    points.readOnly = !typed(description_.sweep1Range);
    AddControl(points);
  }
  if (layout_.sweep2Group)
    AddSweepGroup(kSweep2Base, "Sweep 2", 0, typed(description_.sweep2Range));
  g1_.present = layout_.sweepLimits;
  g2_.present = layout_.sweep2Group;
  AddControl(Make(kIdMemory, ControlKind::Static, "", 0));
  if (layout_.temperature) {
    Control t = Make(kIdTemperature, ControlKind::Edit, "", 0);
    t.label = "Temperature";
    t.readOnly = true;
    AddControl(t);
  }
  AddControl(Make(kIdProgressText, ControlKind::Static, "", 0));
  AddControl(Make(kIdProgressBar, ControlKind::Custom, "", 0));
  AddControl(Make(kIdStatusLine, ControlKind::Static, "", 0));
  Control genBox = Make(kIdGeneratorBox, ControlKind::GroupBox, "", 0);
  genBox.frameCount = 4;
  AddControl(genBox);
  AddControl(Make(kIdGenerator, ControlKind::CheckBox, "&Generator", 0));
  AddControl(Make(kIdPause, ControlKind::Button, "paus.", 0));
  AddControl(Make(kIdResume, ControlKind::Button, "resum", 0));
  AddControl(Make(kIdClear, ControlKind::Button, "CLR", 0));
  AddControl(Make(kIdAutoZero, ControlKind::CheckBox, "Auto&Zero", 0));

  Control currents = Make(kIdCurrentsBox, ControlKind::GroupBox, "Currents", 1);
  currents.frameCount = 1 + 4 * layout_.currentRows + 2;
  AddControl(currents);
  Control rows = Make(kIdCurrentRowsScroll, ControlKind::ScrollBar, "", 1);
  AddControl(rows);
  for (int r = 0; r < layout_.currentRows; ++r) {
    AddControl(Make(kIdCurrentButton + r, ControlKind::Button, "", 1));
    AddControl(Make(kIdCurrentValue + r, ControlKind::Static, "", 1));
    Control bar = Make(kIdCurrentScroll + r, ControlKind::ScrollBar, "", 1);
    bar.scrollMin = 0;
    bar.scrollMax = static_cast<int>(kMaxNormalisedCode);
    AddControl(bar);
    AddControl(Make(kIdCurrentReset + r, ControlKind::Button, "reset", 1));
  }
  AddControl(Make(kIdResetAll, ControlKind::Button, "&all", 1));
  AddControl(Make(kIdResetSweep1, ControlKind::Button, "&sweep 1", 1));

  Control voltages = Make(kIdVoltagesBox, ControlKind::GroupBox, "Voltages", 2);
  voltages.frameCount = 1 + 2 * layout_.voltageRows;
  AddControl(voltages);
  AddControl(Make(kIdVoltageRowsScroll, ControlKind::ScrollBar, "", 2));
  for (int r = 0; r < layout_.voltageRows; ++r) {
    AddControl(Make(kIdVoltageButton + r, ControlKind::Button, "", 2));
    AddControl(Make(kIdVoltageIndicator + r, ControlKind::Custom, "", 2));
  }

  Control doIt = Make(kIdDoIt, ControlKind::Button, kDoItText, 0);
  doIt.defaultButton = true;
  AddControl(doIt);
  AddControl(Make(kIdCancel, ControlKind::Button, kCancelText, 0));
  AddControl(Make(kIdOptions, ControlKind::Button, "&Options", 0));
  AddControl(Make(kIdXAxis, ControlKind::Button, "x axis", 0));
  AddControl(Make(kIdYAxis, ControlKind::Button, "y axis", 0));
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

void MeasureDialog::InitGroup(Group& g, RangeId id) {
  const SweepRange* stored = Range(id);
  {
    std::lock_guard lock(rangeMutex_);
    g.range = stored ? *stored : SweepRange{};
    if (g.range.step == 0) g.range.step = 1;
  }
  const int b = g.base;
  if (g.range.finder) {
    SetCheck(b + kOffSetStart, g.range.start != 0 ? 1 : 0);
    SetCheck(b + kOffSetStop, g.range.stop != kMaxNormalisedCode ? 1 : 0);
    SetCheck(b + kOffTwoDirections, g.range.twoDirections ? 1 : 0);
    SetCheck(b + kOffSymmetric, g.range.symmetric ? 1 : 0);
  } else {
    for (int off : {kOffSetStart, kOffSetStop, kOffTwoDirections, kOffSymmetric})
      Enable(b + off, false);
  }
  ShowGroup(g);
  // A range with a finder shows the points of its limits (UpdateEstimates);
  // for a range that only counts points the user types their number.
  if (!g.range.finder) {
    SetText(b + kOffPoints, U(PointsPerDirection(g.range)));
  }
}

std::uint32_t MeasureDialog::Factor(const Group& g) const {
  return NormalisationFactor(g.range.Current());
}

void MeasureDialog::ShowGroup(const Group& g) {
  SweepRange r;
  {
    std::lock_guard lock(rangeMutex_);
    r = g.range;
  }
  const int b = g.base;
  const std::uint32_t f = NormalisationFactor(r.Current());
  SetText(b + kOffStart, U(r.start));
  SetText(b + kOffStop, U(r.stop));
  std::uint32_t cardStep = NormalisedToCard(r.step, f);
  if (cardStep == 0) cardStep = 1;
  const std::string stepText = U(cardStep);
  SetText(b + kOffStep, stepText);
  (b == kSweep1Base ? lastStepText1_ : lastStepText2_) = stepText;
  SetScrollPos(b + kOffStepScroll, static_cast<int>(std::min(cardStep, kMaxStepScroll)));
  if (r.finder) {
    Enable(b + kOffSetStop, !r.symmetric);
    if (r.symmetric) SetCheck(b + kOffSetStop, r.stop != kMaxNormalisedCode ? 1 : 0);
  }
}

void MeasureDialog::UpdateEstimates() {
  SweepRange r1, r2;
  {
    std::lock_guard lock(rangeMutex_);
    r1 = g1_.range;
    r2 = g2_.range;
  }
  std::uint32_t n1 = PointsPerDirection(RangeInCardCodes(r1));
  if (!r1.finder) {
    std::uint32_t typed = 0;
    n1 = ParseUnsigned(GetText(kSweep1Base + kOffPoints), &typed) ? typed : 0;
  } else if (!workerStarted_.load()) {
    SetText(kSweep1Base + kOffPoints, U(TotalPoints(RangeInCardCodes(r1))));
  }
  std::uint32_t n2 = 1;
  bool two2 = false;
  if (HasSweep2()) {
    n2 = PointsPerDirection(RangeInCardCodes(r2));
    two2 = r2.twoDirections;
    if (!workerStarted_.load())
      SetText(kSweep2Base + kOffPoints, U(TotalPoints(RangeInCardCodes(r2))));
  }
  const double bytes = MemoryEstimate(n1, r1.twoDirections, n2, two2,
                                      channels::MeasuredVoltages().size());
  SetText(kIdMemory, MemoryText(bytes));
}

// --- sweep group controls ------------------------------------------------------------------

bool MeasureDialog::HandleGroupCommand(Group& g, int id) {
  const int b = g.base;
  const int off = id - b;
  if (off < 0 || off > kOffGoStop || off == kOffBox || off == kOffStart || off == kOffStop ||
      off == kOffPoints)
    return false;
  if (off == kOffStep) return true;  // typed steps are picked up by SyncTypedStep

  // Control states are read and written outside the range lock, so the
  // model's lock is never taken inside it.
  const int current = g.range.Current();
  const std::uint32_t f = NormalisationFactor(current);
  const bool checked = GetCheck(id) != 0;
  const std::uint32_t present =
      current >= 0 ? CardToNormalised(channels::PresentCode(current), f) : 0;
  const int scroll = ScrollPos(id);
  std::uint32_t goCode = 0;
  bool go = false;
  SweepRange r;
  {
    std::lock_guard lock(rangeMutex_);
    SweepRange& range = g.range;
    switch (off) {
      case kOffSetStart: range.start = checked ? present : 0; break;
      case kOffSetStop: range.stop = checked ? present : kMaxNormalisedCode; break;
      case kOffTwoDirections: range.twoDirections = checked; break;
      case kOffSymmetric: range.symmetric = checked; break;
      case kOffReset:
        range.start = 0;
        range.stop = kMaxNormalisedCode;
        range.twoDirections = range.symmetric = false;
        break;
      case kOffExchange: std::swap(range.start, range.stop); break;
      case kOffGoStart:
        go = true;
        goCode = NormalisedToCard(range.start, f);
        break;
      case kOffGoStop:
        go = true;
        goCode = NormalisedToCard(range.stop, f);
        break;
      case kOffStepScroll: {
        const std::uint32_t cardStep = std::clamp<std::uint32_t>(
            static_cast<std::uint32_t>(std::max(1, scroll)), 1, kMaxStepScroll);
        range.step = CardToNormalised(cardStep, f);
        break;
      }
      default: break;
    }
    if (range.symmetric)
      range.stop = kMaxNormalisedCode - std::min(range.start, kMaxNormalisedCode);
    if (range.step == 0) range.step = 1;
    r = range;
  }
  if (off == kOffReset)
    for (int o : {kOffSetStart, kOffSetStop, kOffTwoDirections, kOffSymmetric}) SetCheck(b + o, 0);
  if (off == kOffExchange) {
    SetCheck(b + kOffSetStart, r.start != 0 ? 1 : 0);
    SetCheck(b + kOffSetStop, r.stop != kMaxNormalisedCode ? 1 : 0);
  }
  if (go && current >= 0) channels::SetCurrentCode(current, static_cast<std::uint16_t>(goCode));
  ShowGroup(g);
  UpdateEstimates();
  RefreshCurrentBars();
  return true;
}

void MeasureDialog::SyncTypedStep(Group& g) {
  if (!g.present) return;
  const int id = g.base + kOffStep;
  const std::string text = GetText(id);
  std::string& last = g.base == kSweep1Base ? lastStepText1_ : lastStepText2_;
  if (text == last) return;
  std::uint32_t typed = 0;
  if (!ParseUnsigned(text, &typed) || typed == 0 || typed > kMaxTypedStep) typed = 1;
  {
    std::lock_guard lock(rangeMutex_);
    g.range.step = CardToNormalised(typed, NormalisationFactor(g.range.Current()));
  }
  ShowGroup(g);
  UpdateEstimates();
}

// --- refresh -----------------------------------------------------------------------------

SweepRange MeasureDialog::Sweep1() const {
  std::lock_guard lock(rangeMutex_);
  return g1_.range;
}

SweepRange MeasureDialog::Sweep2() const {
  std::lock_guard lock(rangeMutex_);
  return g2_.range;
}

void MeasureDialog::Refresh() {
  if (!workerStarted_.load()) {
    SyncTypedStep(g1_);
    SyncTypedStep(g2_);
  }
  RefreshCurrentRows(true);
  RefreshCurrentBars();
  RefreshVoltageRows(true);
  if (layout_.temperature && IsVisible(kIdTemperature)) {
    const std::string t = channels::FormatTemperature(channels::TryTemperature());
    if (GetText(kIdTemperature) != t) SetText(kIdTemperature, t);
  }
}

void MeasureDialog::RefreshCurrentRows(bool measure) {
  const int first = GetMeasureState().firstCurrentRow.load();
  for (int r = 0; r < layout_.currentRows; ++r) {
    const int i = first + r;
    const std::string label = shell::Format("#%d", i);
    if (GetText(kIdCurrentButton + r) != label) SetText(kIdCurrentButton + r, label);
    std::string text;
    if (i < channels::kCurrentCount && channels::IsCurrentDefined(i)) {
      double amperes = 0;
      if (measure || !channels::GetCurrent(i).Monitored())
        amperes = channels::TryCurrentAmperes(i);
      else
        amperes = channels::LatestCurrentAmperes(i);
      text = shell::FormatWithPrefix(static_cast<float>(amperes), "A");
    }
    if (GetText(kIdCurrentValue + r) != text) SetText(kIdCurrentValue + r, text);
  }
}

void MeasureDialog::RefreshCurrentBars() {
  const int first = GetMeasureState().firstCurrentRow.load();
  for (int r = 0; r < layout_.currentRows; ++r) {
    const int i = first + r;
    const int id = kIdCurrentScroll + r;
    const bool defined = i < channels::kCurrentCount && channels::IsCurrentDefined(i);
    if (IsEnabled(id) != defined) Enable(id, defined);
    if (!defined) continue;
    const std::uint32_t f = NormalisationFactor(i);
    const int pos = static_cast<int>(
        channels::MirrorNormalised(i, CardToNormalised(channels::PresentCode(i), f)));
    if (ScrollPos(id) != pos) SetScrollPos(id, pos);
  }
}

void MeasureDialog::RefreshVoltageRows(bool measure) {
  const int first = GetMeasureState().firstVoltageRow.load();
  for (int r = 0; r < layout_.voltageRows; ++r) {
    const int i = first + r;
    const std::string label = shell::Format("#%d", i);
    if (GetText(kIdVoltageButton + r) != label) SetText(kIdVoltageButton + r, label);
    Indicator ind = GetIndicator(kIdVoltageIndicator + r);
    const bool defined = i < channels::kVoltageCount && channels::IsVoltageDefined(i);
    const channels::VirtualVoltage v = channels::GetVoltage(i);
    const daq::AdcCard* card = daq::AdcCardAt(v.adcCard);
    if (card) {
      ind.minimum = card->minReading;
      ind.maximum = card->maxReading;
    }
    if (defined) {
      const channels::VoltageReading reading =
          measure ? channels::TryMeasureVoltageZeroed(i) : channels::LatestVoltageZeroed(i);
      ind.text = shell::FormatWithPrefix(static_cast<float>(reading.volts), "V");
      ind.value = reading.mean + channels::GetVoltageZero(i).bits;
    } else {
      ind.text.clear();
      ind.value = card ? card->zeroReading : 0;
    }
    SetIndicator(kIdVoltageIndicator + r, ind);
  }
}

void MeasureDialog::ColourVoltageRows() {
  const int first = GetMeasureState().firstVoltageRow.load();
  for (int r = 0; r < layout_.voltageRows; ++r) {
    Indicator ind = GetIndicator(kIdVoltageIndicator + r);
    ind.barColor = RowSpectrumColor(r + first);
    SetIndicator(kIdVoltageIndicator + r, ind);
  }
}

Indicator MeasureDialog::GetIndicator(int controlId) const {
  std::lock_guard lock(indicatorMutex_);
  auto it = indicators_.find(controlId);
  return it == indicators_.end() ? Indicator{} : it->second;
}

void MeasureDialog::SetIndicator(int id, const Indicator& indicator) {
  bool changed = true;
  {
    std::lock_guard lock(indicatorMutex_);
    auto [it, inserted] = indicators_.try_emplace(id, indicator);
    if (!inserted) {
      changed = !(it->second == indicator);
      it->second = indicator;
    }
  }
  // The control's text carries the Indicator's text, and setting it is
  // what tells a renderer to paint the bar again.
  if (changed) SetText(id, indicator.text);
}

// --- services for the routines ----------------------------------------------------------------

void MeasureDialog::ShowPoints(std::uint32_t done, std::uint32_t total) {
  GetMeasureState().points1.store(done);
  SetText(kSweep1Base + kOffPoints, shell::Format(kPointsFormat, done, total));
  ShowLatestCurrents();
}

void MeasureDialog::ShowPoints2(std::uint32_t done, std::uint32_t total) {
  GetMeasureState().points2.store(done);
  SetText(kSweep2Base + kOffPoints, shell::Format(kPointsFormat, done, total));
  ShowLatestCurrents();
}

void MeasureDialog::ShowProgress(std::uint32_t elapsedMs, std::uint32_t done, std::uint32_t total) {
  if (done == 0 || total == 0) return;
  SetText(kIdProgressText, ProgressText(elapsedMs, done, total));
  Indicator bar = GetIndicator(kIdProgressBar);
  bar.minimum = 0;
  bar.maximum = 100;
  const double p = ProgressPercent(done, total);
  bar.value = static_cast<int>(p);
  bar.text = shell::Format("%.0f %%", p);
  SetIndicator(kIdProgressBar, bar);
}

void MeasureDialog::ShowLatestVoltages() { RefreshVoltageRows(false); }

void MeasureDialog::ShowLatestCurrents() {
  RefreshCurrentRows(false);
  RefreshCurrentBars();
}

void MeasureDialog::ShowPhase(const std::string& text) { SetText(kIdStatusLine, text); }

// --- commands ---------------------------------------------------------------------------------

void MeasureDialog::OnCommand(int id, int code) {
  (void)code;
  // A typed step arrives without a command of its own (the field only
  // changes its text): whatever is pressed next works with it.
  if (!workerStarted_.load()) {
    SyncTypedStep(g1_);
    SyncTypedStep(g2_);
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
    if (!g1_.range.finder) {
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
  SyncTypedStep(g1_);
  SyncTypedStep(g2_);
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
  SyncTypedStep(g1_);
  SyncTypedStep(g2_);
  CopyRangesBack();
  End(0);
}

void MeasureDialog::WorkerMain() {
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
