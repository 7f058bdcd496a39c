// Statistics of the y values of each curve and the "Curve Family Statistics"
// table that the S&tatistics command shows in a read-only text box.
#pragma once

#include <string>

#include "curves/curvefam.h"
#include "platform/dialog.h"

namespace tsm::math {

struct CurveStatistics {
  double sum = 0.0;
  double sumOfSquares = 0.0;
  double average = 0.0;
  double standardDeviation = 0.0;  // population form
  double min = 0.0;
  double max = 0.0;

  CurveStatistics() = default;
  // An empty curve gives all fields 0.
  explicit CurveStatistics(const curves::Curve& curve);

  // Standard deviation / average * 100; 0 when the average is exactly 0.
  double RelativeDeviation() const;
  // (max - min) / average * 100; 0 when the average is exactly 0.
  double RelativeSpread() const;
  double Delta() const { return max - min; }
};

inline constexpr const char* kStatisticsCaption = "Curve Family Statistics";
inline constexpr int kStatisticsDialogId = 3121;
inline constexpr int kStatisticsTextControl = 1350;
// Each line of the table, terminator included, holds at most this many bytes.
inline constexpr std::size_t kStatisticsLineSize = 300;

// The header line and one line per non-empty curve (its family index kept),
// each ending "\r\n".
std::string StatisticsTable(const curves::CurveFamily& family);

// The dialog: one multi-line read-only text box with the table, and OK.
class StatisticsDialog : public platform::DialogModel {
 public:
  explicit StatisticsDialog(const std::string& table);
};

}  // namespace tsm::math
