#include "shell/about.h"

#include "platform/clock.h"
#include "shell/version.h"

namespace tsm::shell {

using namespace tsm::platform;

namespace {
// Shown until the first report of the timer (and for good without a counter).
constexpr const char* kTimerWaiting = "Measuring...";

Control Label(int id, const std::string& text, int column) {
  Control c;
  c.id = id;
  c.kind = ControlKind::Static;
  c.text = text;
  c.column = column;
  return c;
}
}  // namespace

AboutDialog::AboutDialog() : DialogModel(kAboutDialogId, "About Tesmira") {
  Control picture;
  picture.id = kAboutPicture;
  picture.kind = ControlKind::Custom;
  picture.column = 0;
  AddControl(picture);
  AddControl(Label(kAboutVersion, LongVersionText(), 1));
  AddControl(Label(-1,
                   "Measurements of superconducting and Josephson devices\n"
                   "at low temperatures",
                   1));
  AddControl(Label(kAboutOs, "", 1));
  AddControl(Label(kAboutCpu, "", 1));
  AddControl(Label(kAboutCounter, "", 1));
  AddControl(Label(kAboutTimerHeading, "", 1));
  AddControl(Label(kAboutTimerStatistics, kTimerWaiting, 1));
  AddControl(Label(kAboutFreeMemory, "", 1));
  AddControl(Label(kAboutMemoryLoad, "", 1));
  Control ok;
  ok.id = IDOK;
  ok.kind = ControlKind::Button;
  ok.text = "OK";
  ok.defaultButton = true;
  AddControl(ok);
}

AboutDialog::~AboutDialog() { StopTimer(); }

void AboutDialog::OnInit() {
  statistics_ = TimerStatistics{};
  SetText(kAboutVersion, LongVersionText());
  SetText(kAboutOs, OsVersionText(QueryOsInfo()));
  SetText(kAboutCpu, CpuText(ReadCpuInfo()));
  counter_ = QueryPerformanceFrequency(&frequency_) && frequency_ > 0;
  SetText(kAboutCounter, counter_ ? CounterFrequencyText(frequency_) : std::string());
  Show(kAboutCounter, counter_);
  SetText(kAboutTimerHeading, TimerHeadingText());
  SetText(kAboutTimerStatistics, kTimerWaiting);
  RefreshMemory();
  StopTimer();
  timer_ = GetUi().StartTimer(TimerStatistics::kPeriodMs, true, [this] { OnTimer(); });
}

void AboutDialog::RefreshMemory() {
  const MemoryInfo memory = QueryMemory();
  if (!memory.ok) return;
  SetText(kAboutFreeMemory, FreeMemoryText(memory));
  SetText(kAboutMemoryLoad, MemoryLoadText(memory));
}

void AboutDialog::OnTimer() {
  std::int64_t now = 0;
  if (counter_ && QueryPerformanceCounter(&now)) {
    if (auto report = statistics_.Tick(now, frequency_)) SetText(kAboutTimerStatistics, *report);
  }
  if (statistics_.Ticks() == 0) RefreshMemory();
}

void AboutDialog::StopTimer() {
  if (timer_ != 0) GetUi().StopTimer(timer_);
  timer_ = 0;
}

void AboutDialog::OnCommand(int id, int /*code*/) {
  if (id == IDOK || id == IDCANCEL) {
    StopTimer();
    End(0);
  }
}

void AboutDialog::OnClose() {
  StopTimer();
  End(0);
}

int RunAboutDialog(WindowHandle owner) {
  AboutDialog dialog;
  GetUi().RunModal(dialog, owner);
  return 0;
}

}  // namespace tsm::shell
