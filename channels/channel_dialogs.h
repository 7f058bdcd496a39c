// The settings dialogs of one virtual current ("Current#%d") and one virtual
// voltage ("Voltage#%d") as dialog models: role, card, channel and gain
// lists filled from the card inventory, the fields, the tool-tip hints, and
// the voltage dialog's two buttons that copy a gain to every voltage of the
// same kind.
#pragma once

#include <string>

#include "platform/dialog.h"
#include "platform/ui.h"

namespace tsm::channels {

// Tool-tip hints, as the program has always shown them.
inline constexpr const char* kHintDacGain = "Chose D/A Conv. Gain factor for this current";
inline constexpr const char* kHintCurrentExtGain =
    "Choose the Gain factor of External Current Source/Amplifier";
inline constexpr const char* kHintDacCard = "Choose the  D/A Conv. device or board";
inline constexpr const char* kHintDacChannel = "Choose the chanel of selected A/D Conv. device";
inline constexpr const char* kHintMonitorGain =
    "Choose Gain Factor of A/D Conv. that will measure this Current";
inline constexpr const char* kHintVoltageExtGain =
    "Choose the Gain Factor of External Volatge Amplifier (if any)";
inline constexpr const char* kHintAdcCard = "Choose the A/D Conv. device or board";
inline constexpr const char* kHintAdcChannel = "Choose the chanal of used A/D Conv.";
inline constexpr const char* kHintResistance = "Choose the resistance to measure volatge on.";

inline constexpr const char* kCopyGainFailedText =
    "The effort to set this ADC Gain value\nhas failed because it is invalid for\nsome "
    "channels.\nThose channels still have the old value of ADC Gain.";
inline constexpr const char* kCopyGainFailedCaption = "Operation did not succeed completely";

// Control ids of the current dialog.
inline constexpr int kCurrentDialogId = 3400;
inline constexpr int kIdCurRole = 3401;
inline constexpr int kIdCurComment = 3402;
inline constexpr int kIdCurDacCard = 3403;
inline constexpr int kIdCurDacChannel = 3404;
inline constexpr int kIdCurR = 3405;
inline constexpr int kIdCurExtGain = 3406;
inline constexpr int kIdCurMonitor = 3407;
inline constexpr int kIdCurAdcCard = 3408;
inline constexpr int kIdCurAdcChannel = 3409;
inline constexpr int kIdCurAdcGain = 3410;

// Control ids of the voltage dialog.
inline constexpr int kVoltageDialogId = 3420;
inline constexpr int kIdVolRole = 3421;
inline constexpr int kIdVolComment = 3422;
inline constexpr int kIdVolAdcCard = 3423;
inline constexpr int kIdVolAdcChannel = 3424;
inline constexpr int kIdVolAdcGain = 3425;
inline constexpr int kIdVolExtGain = 3426;
inline constexpr int kIdVolNoAutoZero = 3427;
inline constexpr int kIdVolCopyGain = 3428;
inline constexpr int kIdVolCopyExtGain = 3429;

// A list's selection changed (the Win32 CBN_SELCHANGE / LBN_SELCHANGE code).
inline constexpr int kNotifySelChange = 1;

class CurrentDialog : public platform::DialogModel {
 public:
  explicit CurrentDialog(int index);
  int Index() const { return index_; }

 protected:
  void OnInit() override;
  void OnCommand(int id, int code) override;

 private:
  void FillDacChannels(int channel);
  void FillMonitorLists(int channel, float gain);
  void ApplyMonitorState();
  bool Confirm();
  int index_;
};

class VoltageDialog : public platform::DialogModel {
 public:
  explicit VoltageDialog(int index);
  int Index() const { return index_; }

 protected:
  void OnInit() override;
  void OnCommand(int id, int code) override;

 private:
  void FillCardLists(int channel, float gain);
  bool SelectedGain(float* gain) const;
  void CopyGain();
  void CopyExtGain();
  bool Confirm();
  int index_;
};

// Run the dialogs modally: 1 after OK (the record changed), 0 after Cancel.
int RunCurrentDialog(platform::WindowHandle owner, int index);
int RunVoltageDialog(platform::WindowHandle owner, int index);

}  // namespace tsm::channels
