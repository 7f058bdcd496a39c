#include "plot/colors.h"

#include "platform/assert.h"

namespace tsm::plot {

namespace {
constexpr const char* kSource = "colorspectra";
constexpr int kMaxRampLength = 0x1FFFFF;
}  // namespace

Color RGB_Spectrum7(int i, int n) {
  if (i < 0 || n <= 0 || i >= n || n > kMaxRampLength) {
    TSM_ASSERT(!"RGB_Spectrum7() -- wrong color cube zone!", kSource);
    return kBlack;
  }
  // Seven zones of 256 steps each; 64 bits because i * 1792 leaves int.
  const long long t = static_cast<long long>(i) * 1792 / n;
  const unsigned d = static_cast<unsigned>(t % 256);
  const unsigned e = 255 - d;
  switch (t / 256) {
    case 0: return MakeRgb(d, 0, 0);
    case 1: return MakeRgb(255, d, 0);
    case 2: return MakeRgb(e, 255, 0);
    case 3: return MakeRgb(0, 255, d);
    case 4: return MakeRgb(0, e, 255);
    case 5: return MakeRgb(d, 0, 255);
    case 6: return MakeRgb(e, 0, e);
    default:
      TSM_ASSERT(!"RGB_Spectrum7() -- wrong color cube zone!", kSource);
      return kBlack;
  }
}

}  // namespace tsm::plot
