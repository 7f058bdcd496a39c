// The critical-current search shared by Ic(H), Im(H) and Ic(T): for one
// measured voltage, the largest Sweep1 (bias) code at which the voltage
// stays below the criterion (Im(H): on or below the voltage step). It starts
// at a forecast from the last two results, climbs with a step that doubles
// after every few steps up, backs off and resets the junction to the
// zero-voltage state when it overshoots, and can repeat the last climb to
// keep the highest switching code of several efforts. Works in card codes of
// the Sweep1 DAC through BoundedCode, so it never leaves the card's range.
#pragma once

#include <cstdint>
#include <vector>

#include "curves/curvefam.h"
#include "measure/ich_options.h"
#include "measure/sweep.h"

namespace tsm::measure {

class MeasureDialog;

enum class SearchKind { Ic, Im };

// Failure messages (caption "Error in Ic<H>", error icon, owned by the
// desktop).
inline constexpr const char* kIcErrorCaption = "Error in Ic<H>";
inline constexpr const char* kNonZeroUnreachableText =
    "Can not reach the state with non zero Voltage\nConsider the following reasons:\n\n1. Too "
    "big criteria\n2. 'Sweep1' current too small or not connected\n3. Voltage not connected or "
    "small gain factor\n";
inline constexpr const char* kZeroUnreachableText =
    "Can not reach the state with zero Voltage\nConsider the following reasons:\n\n1. Too small "
    "criteria\n2. Starting bias point is on the wrong side of IVC\n3. Big shift of zero voltage "
    "-- use 'Auto Zero'\n4. Voltage is not connected physically\n5. Too big voltage gain factor "
    "which causes overload of amplifier\n6. 'BackStep' too big -- zero voltage region "
    "overstepped\n7. IVC shifted to far from origin by external current(s)\n";
inline constexpr const char* kImResetFailedText =
    "Can not reset Voltage -- state with V<Vreset\nConsider the following reasons:\n\n1. Initial "
    "point is on the oposite side of IVC\n2. ResetVoltage value is contradictory\n3. Voltage not "
    "connected or huge gain factor";
inline constexpr const char* kImStepUnreachableText =
    "Can not reach the state where V>Vstep\nConsider the following reasons:\n\n1. May be too big "
    "criteria\n2. Reset Voltage has starange value\n3. 'Sweep1' current too small or not "
    "connected\n4. Voltage not connected or small gain factor\n";

// Im(H) climbs in steps of at most this many codes, so a narrow step is
// not jumped over before the card maximum.
inline constexpr std::uint32_t kImMaxClimbStep = 1024;

// What an Im(H) reading is, with Vs the step voltage, Vr the reset voltage
// and c the criterion: on the step inside (Vs - c, Vs + c); beyond it above
// Vs + c when Vs > Vr, below Vs - c when Vs < Vr; below it otherwise.
enum class StepState { Below, OnStep, Beyond };
StepState ClassifyStep(double v, double vs, double vr, double c);
// Whether an Im(H) reset has brought the voltage to the reset side of Vr.
bool ImResetReached(double v, double vs, double vr);

// The critical-current curves carry the bias current's name after the
// voltage's: "/" and the comment of current `index` (or "Current#%d") are
// appended to every curve name (cut at the name's length).
void AppendCurrentName(curves::CurveFamily& family, int index);

struct IcSearchSetup {
  MeasureDialog* dialog = nullptr;  // the phase log's status line (may be null)
  SearchKind kind = SearchKind::Ic;
  int sweep1 = -1;                  // the bias current
  int sweep2 = -1;                  // the field current; -1 without one (Ic(T))
  // The field goes to fieldStart during every reset, and back to the code
  // given by SetFieldCode after it.
  bool resetField = false;
  std::uint16_t fieldStart = 0;
};

class IcSearch {
 public:
  // One record of I_reset, lastIc and prevIc per voltage. The options are
  // the program's at construction (they cannot change during a run).
  IcSearch(const IcSearchSetup& setup, std::vector<int> voltages);

  // The first reset of voltage j, from the Sweep1 current's present code;
  // I_reset, lastIc and prevIc become the code found. False after the
  // failure message.
  bool Initialize(std::size_t j);
  // The search of voltage j at field (or temperature) index f. Leaves the
  // Sweep1 current at the result, LastIc(j). False after a failure message.
  // Throws MeasureIcException(-1) when the stop flag is seen.
  bool Search(std::size_t j, std::uint32_t f);

  std::uint16_t LastIc(std::size_t j) const { return static_cast<std::uint16_t>(lastIc_[j]); }
  std::uint16_t ResetCode(std::size_t j) const {
    return static_cast<std::uint16_t>(reset_[j].value);
  }
  // The field code a reset returns to afterwards (the present field value).
  void SetFieldCode(std::uint16_t code) { fieldCode_ = code; }

 private:
  // The voltage test: stop check, bias to the code, settling, reading,
  // series-resistance compensation and sign. Counts into the statistics.
  double Voltage(std::size_t j, std::uint32_t code);
  // Below the criterion (Ic), not beyond the step (Im).
  bool Below(std::size_t j, std::uint32_t code);
  bool ResetReached(std::size_t j, std::uint32_t code);
  bool Reset(std::size_t j);
  // The failure message of the zero-voltage side (lowering at the card
  // minimum) or of the other side (raising at the card maximum); false.
  bool Fail(bool zeroSide) const;

  IcSearchSetup setup_;
  std::vector<int> voltages_;
  IcHOptions options_;
  unsigned systemDecayTime_ = 0;
  unsigned delayAfterSweep2_ = 0;
  bool negate_ = false;
  std::uint32_t lower_ = 0, upper_ = 0;
  std::uint16_t fieldCode_ = 0;
  std::vector<BoundedCode> reset_;
  std::vector<std::uint32_t> lastIc_, prevIc_;
};

}  // namespace tsm::measure
