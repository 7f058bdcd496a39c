// The I-V family ("IVF"): one V(I) sweep of the Sweep1 current for every
// value of the Sweep2 current, each curve labelled with a parameter (the
// Sweep2 current, the temperature, a value typed before the curve or a value
// growing by a step). Curve s x V + k holds voltage k of Sweep2 value s.
#pragma once

#include <cstdint>
#include <string>

#include "measure/ivf_options.h"

namespace tsm::measure {

class MeasureDialog;

inline constexpr const char* kIVFTitle = "IVF";
inline constexpr std::uint32_t kMaxIVFCurves = 65535;
inline constexpr const char* kTooManyCurvesText = "U will get too many curves";
// The trigger failure of the family carries this caption.
inline constexpr const char* kIVFTriggerCaption = "Ic(H) Error";
inline constexpr const char* kNextCurveText = "Next curve?";
inline constexpr const char* kNextCurveCaption = "Delay";
inline constexpr const char* kIVFUnknownKindText = "GetParamValue() -- Unknown type of param";

// "%s (%s%s%s)": the voltage's curve name, the kind's prefix, the value
// with "IVF_Param_SigDig" significant digits, the kind's suffix.
std::string IVFCurveName(const std::string& voltageName, const IVFOptions& options,
                         double value);
// "V_%d(%s)": the virtual voltage's index and the Sweep2 current with unit
// "A" (the names of "only on the edges").
std::string IVFEdgeCurveName(int voltageIndex, double amperes);

// The routine of the "IVF" description (worker thread). 0 when a start
// check fails (message shown, family unchanged): no Sweep1 or Sweep2
// current, no measured voltage, no T-sensor for the temperature kind, more
// than 65535 curves, no memory for the curves (family emptied). Otherwise 1,
// with the family cut as follows: a stop during the Sweep1 sweep of row s at
// point j keeps the rows before s and, when j >= 5, row s's first j points;
// a missing trigger current, "Next curve?" answered Cancel or the
// "Parameter value" dialog cancelled keep the rows before s. Both currents
// end at the codes they had at the start.
//
// The parameter is measured before the sweep of its row and, except for the
// typed kind, once more after it; the row keeps the mean. "Only on the
// edges" ("CurrentMesureMethod" 1), after a complete run: x of point j of
// every curve becomes I1_first + j (I1_stop - I1_first) / N1 (mirrored for
// two Sweep1 directions), and with the Sweep2 current as parameter row s
// gets I2_first + s (P_stop - I2_first) / N2 (the mirrored row the same) and
// the names "V_%d(%s)". The other kinds keep their parameters: interpolating
// between a current and a temperature or a typed number means nothing.
// I1_stop (P_stop) is taken at the last point (row) measured at the stop
// code, else at the last forward one.
int IVF(MeasureDialog& dialog);

}  // namespace tsm::measure
