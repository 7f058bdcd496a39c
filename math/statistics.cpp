#include "math/statistics.h"

#include <cmath>
#include <cstdio>

#include "curves/state.h"
#include "math/commands.h"
#include "platform/dialog_buttons.h"
#include "platform/ui.h"

namespace tsm::math {

CurveStatistics::CurveStatistics(const curves::Curve& curve) {
  const std::uint32_t n = curve.Count();
  if (n == 0) return;
  const curves::CurvePoint* p = curve.Data();
  min = max = p[0].y;
  for (std::uint32_t i = 0; i < n; ++i) {
    const double y = p[i].y;
    sum += y;
    sumOfSquares += y * y;
    if (y < min) min = y;
    if (y > max) max = y;
  }
  average = sum / n;
  // Rounding can leave n*sum(y^2) - sum^2 a hair below 0 for a constant
  // curve; its deviation is 0, not the square root of a negative number.
  const double variance = n * sumOfSquares - sum * sum;
  standardDeviation = variance > 0.0 ? std::sqrt(variance) / n : 0.0;
}

double CurveStatistics::RelativeDeviation() const {
  return average == 0.0 ? 0.0 : standardDeviation / average * 100.0;
}

double CurveStatistics::RelativeSpread() const {
  return average == 0.0 ? 0.0 : (max - min) / average * 100.0;
}

std::string StatisticsTable(const curves::CurveFamily& family) {
  char line[kStatisticsLineSize];
  // The formats stay literal so the compiler checks them against the values.
  std::snprintf(line, sizeof line,
                "   N |    Sum     |  Average   |   StdDev   |     %%    |   Delta    |     %%    "
                "|    min     |    max     | curve name\r\n");
  std::string text = line;
  for (std::uint32_t i = 0; i < family.Count(); ++i) {
    const curves::Curve& c = family.Curve(i);
    if (c.Count() == 0) continue;
    const CurveStatistics s(c);
    std::snprintf(line, sizeof line,
                  "% 4d | %10G | %10G | %10G | %8G | %10G | %8G | %10G | %10G | %s\r\n",
                  static_cast<int>(i), s.sum, s.average, s.standardDeviation, s.RelativeDeviation(),
                  s.Delta(), s.RelativeSpread(), s.min, s.max, c.Name());
    text += line;
  }
  return text;
}

StatisticsDialog::StatisticsDialog(const std::string& table)
    : DialogModel(kStatisticsDialogId, kStatisticsCaption) {
  AddControl(platform::ReadOnlyTable(kStatisticsTextControl, table));
  platform::AddOkButton(*this);
}

bool StatisticsCommand(platform::WindowHandle owner) {
  StatisticsDialog dialog(StatisticsTable(curves::CurrentFamily()));
  platform::GetUi().RunModal(dialog, owner);
  return false;
}

}  // namespace tsm::math
