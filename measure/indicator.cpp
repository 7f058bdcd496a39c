#include "measure/indicator.h"

#include "plot/colors.h"

namespace tsm::measure {

int IndicatorFill(const Indicator& indicator, int width) {
  if (width <= 0 || indicator.value < indicator.minimum) return 0;
  if (indicator.value >= indicator.maximum) return width;
  const double span = static_cast<double>(indicator.maximum) - indicator.minimum;
  const double part = (static_cast<double>(indicator.value) - indicator.minimum) / span;
  return static_cast<int>(part * width);
}

std::uint32_t RowSpectrumColor(int step) {
  constexpr int kSteps = 14;
  return plot::RGB_Spectrum7(((step % kSteps) + kSteps) % kSteps, kSteps);
}

}  // namespace tsm::measure
