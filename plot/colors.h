// The rainbow colour ramp that gives the curve styles their default colours:
// black, red, yellow, green, cyan, blue, magenta and back towards black.
#pragma once

#include "plot/canvas.h"

namespace tsm::plot {

// Colour i of a ramp of n (0 <= i < n <= 0x1FFFFF); index 0 is black.
// Arguments out of range are a program error and give black.
Color RGB_Spectrum7(int i, int n);

}  // namespace tsm::plot
