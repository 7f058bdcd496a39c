// The Indicator: a horizontal bar with a text, used for the progress of a
// measurement and for the reading of every voltage row. The model holds its
// colours, value and limits; gui/ paints it (black background, the text
// centred, the bar and the rest drawn with an XOR pen over it so the text
// stays readable, then a frame, double-buffered).
#pragma once

#include <cstdint>
#include <string>

namespace tsm::measure {

// COLORREF 0x00BBGGRR.
constexpr std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

struct Indicator {
  std::uint32_t barColor = Rgb(128, 0, 128);
  std::uint32_t secondColor = Rgb(255, 255, 255);
  std::uint32_t textColor = Rgb(0, 255, 0);
  std::uint32_t frameColor = Rgb(0, 0, 0);
  int value = 2048;
  int minimum = 0;
  int maximum = 4095;
  std::string text;
  friend bool operator==(const Indicator&, const Indicator&) = default;
};

// Pixels of a bar `width` wide filled in the bar colour: the part
// proportional to (value - minimum) / (maximum - minimum); 0 below the
// minimum, the whole width above the maximum (and for an empty range with
// the value at or above it).
int IndicatorFill(const Indicator& indicator, int width);

// What owns Indicators (a dialog model): the painter asks it by control id.
class IndicatorHost {
 public:
  virtual ~IndicatorHost() = default;
  virtual Indicator GetIndicator(int controlId) const = 0;
};

// Colour step k (0..13) of the 14-step spectrum the voltage rows use.
std::uint32_t RowSpectrumColor(int step);

}  // namespace tsm::measure
