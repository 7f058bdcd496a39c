// The virtual channels: 32 currents driven by DAC channels and 128 voltages
// read from ADC channels, each bound to a card of the inventory with the
// role, resistance and gains that turn codes and readings into amperes and
// volts. The measurements address channels only through these records, and
// move currents only through SetCurrentCode (bounded steps, sweep groups
// moving together).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tsm::channels {

inline constexpr int kCurrentCount = 32;
inline constexpr int kVoltageCount = 128;
inline constexpr std::size_t kCommentLength = 128;  // 127 characters + terminator

// Roles of a current (index into kCurrentKindNames).
inline constexpr std::uint16_t kDisconnected = 0;
inline constexpr std::uint16_t kConstant = 1;
inline constexpr std::uint16_t kPlusSweep1 = 2;
inline constexpr std::uint16_t kMinusSweep1 = 3;
inline constexpr std::uint16_t kPlusSweep2 = 4;
inline constexpr std::uint16_t kMinusSweep2 = 5;
inline constexpr std::uint16_t kTrigger = 6;
inline constexpr std::uint16_t kWaveForm0 = 7;  // kind - 7 is the waveform number
inline constexpr std::uint16_t kWaveForm15 = 22;
inline constexpr int kCurrentKindCount = 23;
extern const char* const kCurrentKindNames[kCurrentKindCount];

// Roles of a voltage.
inline constexpr std::uint16_t kNotConnected = 0;
inline constexpr std::uint16_t kPositive = 1;
inline constexpr std::uint16_t kNegative = 2;
inline constexpr std::uint16_t kTSensor = 3;
inline constexpr int kVoltageKindCount = 4;
extern const char* const kVoltageKindNames[kVoltageKindCount];

// Flag bit 0 of a current: measured through its monitor ADC channel.
inline constexpr std::uint16_t kMonitorFlag = 1;

struct VirtualCurrent {
  std::uint16_t kind = kDisconnected;
  std::uint16_t dacCard = 0;     // index into the DAC card table
  std::int16_t dacChannel = -1;  // -1: none chosen
  char comment[kCommentLength] = {};
  std::uint16_t adcCard = 0;  // monitor
  std::uint16_t adcChannel = 0;
  float adcGain = 1.0f;  // dB when the monitor card's gains are logarithmic
  float extGain = 1.0f;
  float R = 1.0f;  // ohms
  std::uint16_t flags = 0;

  bool Monitored() const { return (flags & kMonitorFlag) != 0; }
};

struct VirtualVoltage {
  std::uint16_t kind = kNotConnected;
  char comment[kCommentLength] = {};
  std::uint16_t adcCard = 0;
  std::uint16_t adcChannel = 0;
  float adcGain = 1.0f;  // dB when the card's gains are logarithmic
  float extGain = 1.0f;
  std::uint16_t noAutoZero = 0;  // 1: AutoZero leaves this voltage alone
};

// What AutoZero keeps for a voltage: the mean volts and the mean reading
// minus the card's zero reading.
struct VoltageZero {
  double volts = 0.0;
  std::int32_t bits = 0;
};

// --- the tables ------------------------------------------------------------
// Records are copied in and out whole under a lock, so a dialog confirming a
// record while the worker measures never tears it. An index outside the
// table reads a default record and writes nothing (a program error).
VirtualCurrent GetCurrent(int index);
void SetCurrent(int index, const VirtualCurrent& record);
VirtualVoltage GetVoltage(int index);
void SetVoltage(int index, const VirtualVoltage& record);
std::array<VirtualCurrent, kCurrentCount> AllCurrents();
std::array<VirtualVoltage, kVoltageCount> AllVoltages();

// The present code (program code of its DAC card) of each current. Atomic:
// the worker moves currents while the dialog's refresh shows them.
std::uint16_t PresentCode(int index);

// Zero states (AutoZero). Reading them is safe on any thread.
float CurrentZeroShift(int index);
void SetCurrentZeroShift(int index, float amperes);
VoltageZero GetVoltageZero(int index);
void SetVoltageZero(int index, const VoltageZero& zero);
void ClearVoltageZero(int index);

// Every record, present code and zero state back to program start, and the
// latest measured values forgotten (test fixtures).
void ResetVirtualChannels();

// Start-up, after card detection: every current's present code becomes the
// zero code of the DAC card it refers to (the cards come up at 0 V). After a
// load or a dialog only currents whose card or channel changed are bound
// again (RebindChangedCurrents), so a reload does not forget where a current
// really is.
void BindVirtualChannels();
void RebindChangedCurrents();

// --- queries ---------------------------------------------------------------
bool IsCurrentDefined(int index);  // kind not 0
int FirstDefinedCurrent();         // -1 when none
int DefinedCurrentCount();
int Sweep1CurrentCount();          // kinds "+Sweep 1" and "-Sweep 1"
bool IsSweep1Kind(std::uint16_t kind);
bool IsSweep2Kind(std::uint16_t kind);
bool IsMirroredKind(std::uint16_t kind);  // "-Sweep 1", "-Sweep 2"
bool IsWaveformCurrent(int index);        // kinds 7..22
std::vector<int> WaveformCurrents();
int HighestWaveformNumber();  // -1 when no waveform current exists
// The first current of a sweep-1 (sweep-2) kind, of the trigger kind, -1.
int FirstSweep1Current();
int FirstSweep2Current();
int FirstTriggerCurrent();

bool IsVoltageDefined(int index);   // kind not 0
bool IsVoltageMeasured(int index);  // "Positive" or "Negative"
std::vector<int> MeasuredVoltages();
int FirstTSensorVoltage();

// The mirror of the negative roles: a normalised code c of a "-Sweep" current
// is shown and swept as 65535 - c; its card code is max + min - c.
std::uint32_t MirrorNormalised(int index, std::uint32_t normalisedCode);
std::uint16_t MirrorCardCode(int index, std::uint16_t cardCode);

// --- conversions -----------------------------------------------------------
// Volts of a mean reading of voltage `index` (0 for a card that does not
// exist or a zero divisor).
double ReadingToVolts(int index, double reading);
// Amperes of current `index` from x: the mean monitor reading when the
// monitor flag is set, else a code of its DAC card. The zero shift is not
// subtracted here.
double CurrentFromValue(int index, double x);
// The current that code `cardCode` of its DAC card gives current `index`
// by its wiring (the card's volts through R, whatever the monitor flag),
// minus its zero shift, as the dialogs show it; 0 without a card.
double AmperesAtCode(int index, double cardCode);
// The code of its DAC card whose current (as AmperesAtCode shows it) lies
// nearest to `amperes`, kept inside the card's codes; false without a card,
// for a card without a voltage span or a value that is not a number.
bool CodeForAmperes(int index, double amperes, std::uint16_t* code);
// The present current in amperes (a monitored current averaged by MeasureCurrent),
// minus its zero shift. An index above 31 or an undefined current beeps and
// gives 0.
double CurrentAmperes(int index);

// --- moving currents ---------------------------------------------------------
// Moves current `index` to `code` of its DAC card (clamped to the card's
// range) in steps of at most "MaxDACStep"; a sweep current moves its whole
// group in the same passes: currents of its kind towards the code, those of
// the opposite sign towards the mirrored code (on cards of another range the
// same fraction of their range). An index outside 0..31 or a current without
// an existing card does nothing. Takes the driver lock per pass: never call
// it while holding daq::DriverMutex().
void SetCurrentCode(int index, std::uint16_t code);
// d in -1..1 (clamped) onto the card's codes: min + int((d + 1)(max - min)/2).
void SetCurrentNormalised(int index, double d);
// The code of a normalised value d, as SetCurrentNormalised moves to.
std::uint16_t NormalisedToCode(int index, double d);
// Moves every current with a target (-1 = leave alone) towards it, all in
// the same passes and each alone (no group rule): AutoZero's "every current
// to zero" and its restoring.
void MoveCurrents(const std::array<int, kCurrentCount>& targets);

// The card range of a current's DAC card: false when the card does not exist.
bool CurrentCardRange(int index, std::uint16_t* minCode, std::uint16_t* maxCode,
                      std::uint16_t* zeroCode = nullptr);

// Card list text of the dialogs and tables: "%u:%s" (slot, name).
std::string DacCardText(std::size_t cardIndex);
std::string AdcCardText(std::size_t cardIndex);

}  // namespace tsm::channels
