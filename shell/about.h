// The About box: the program version and live information about the machine
// (operating system, processors, the high-resolution counter, the measured
// behaviour of a 10 ms timer, memory). A dialog model; gui/ draws the
// picture control.
#pragma once

#include "platform/dialog.h"
#include "platform/ui.h"
#include "shell/sysinfo.h"

namespace tsm::shell {

inline constexpr int kAboutDialogId = 216;
inline constexpr int kAboutVersion = 1130;
inline constexpr int kAboutOs = 1296;
inline constexpr int kAboutCpu = 1297;
inline constexpr int kAboutCounter = 1245;
inline constexpr int kAboutTimerHeading = 1300;
inline constexpr int kAboutTimerStatistics = 1247;
inline constexpr int kAboutFreeMemory = 533;
inline constexpr int kAboutMemoryLoad = 534;
inline constexpr int kAboutPicture = 1298;

class AboutDialog : public platform::DialogModel {
 public:
  AboutDialog();
  ~AboutDialog() override;

  // One tick of the 10 ms timer (public so tests can drive it).
  void OnTimer();

 protected:
  void OnInit() override;
  void OnCommand(int id, int code) override;
  void OnClose() override;

 private:
  void StopTimer();
  void RefreshMemory();

  platform::TimerId timer_ = 0;
  bool counter_ = false;
  std::int64_t frequency_ = 0;
  TimerStatistics statistics_;
};

// Command 2 "&About": runs the About box owned by the given window. 0.
int RunAboutDialog(platform::WindowHandle owner);

}  // namespace tsm::shell
