// Sigma Ic: the spread of the switching currents of the marked curves, for
// each sign of the current and for both together (as magnitudes): n, mean,
// standard deviation, sigma / mean in percent, minimum, maximum and spread.
#pragma once

#include <string>
#include <vector>

#include "math/junction_table.h"
#include "shell/statistic.h"

namespace tsm::math {

inline constexpr int kSigmaIcDialogId = 3133;
inline constexpr const char* kSigmaIcCaption = "Sigma Ic";
inline constexpr const char* kSigmaIcNoneText =
    "No marked curve switches to the resistive state\n(its voltage never reaches the Ic "
    "criterion).";

// The three columns: Ic+, |Ic-| and both together.
struct SigmaIc {
  shell::Statistic plus, minus, both;
};
SigmaIc SigmaIcOf(const std::vector<JunctionRow>& rows);

// The table as shown (values with unit and prefix) and as tab-separated
// text (plain numbers); an empty column shows "-" (an empty field).
std::string SigmaIcText(const SigmaIc& s);
std::string SigmaIcTabText(const SigmaIc& s);

}  // namespace tsm::math
