// The buffer helpers of the library: test buffers, means and a text dump.
#include <cmath>
#include <cstdio>
#include <string>

#include "acqutil/acqutil.h"
#include "platform/ui.h"

namespace {

constexpr int16_t kCountZero = -14;
constexpr int16_t kNoBuffer = -12;
constexpr int16_t kBadType = -53;

constexpr int16_t kUint8 = 0;
constexpr int16_t kInt16 = 2;
constexpr int16_t kReal64 = 4;
constexpr int16_t kInt32 = 7;

constexpr uint32_t kPlottedValues = 25;

bool KnownType(int16_t type) {
  return type == kUint8 || type == kInt16 || type == kReal64 || type == kInt32;
}

int16_t CommonRefusal(const void* buffer, uint32_t count, bool typeKnown) {
  if (count == 0) return kCountZero;
  if (!buffer) return kNoBuffer;
  if (!typeKnown) return kBadType;
  return 0;
}

double ValueAt(const void* buffer, uint32_t i, int16_t type) {
  switch (type) {
    case kUint8: return static_cast<const uint8_t*>(buffer)[i];
    case kInt16: return static_cast<const int16_t*>(buffer)[i];
    case kReal64: return static_cast<const double*>(buffer)[i];
    default: return static_cast<const int32_t*>(buffer)[i];
  }
}

long IntegerAt(const void* buffer, uint32_t i, int16_t type) {
  switch (type) {
    case kUint8: return static_cast<const uint8_t*>(buffer)[i];
    case kInt16: return static_cast<const int16_t*>(buffer)[i];
    default: return static_cast<const int32_t*>(buffer)[i];
  }
}

}  // namespace

extern "C" int16_t ZentraMakeBuffer(void* buffer, uint32_t count, int16_t type) {
  // A test buffer has a plain integer count, byte values and the 16-bit
  // square wave or the real sine; 32-bit integers have no pattern defined.
  const bool known = type == kUint8 || type == kInt16 || type == kReal64;
  if (const int16_t refused = CommonRefusal(buffer, count, known)) return refused;

  const uint32_t period = count >= 21 ? count / 10 : 2;
  for (uint32_t i = 0; i < count; ++i) {
    switch (type) {
      case kUint8:
        static_cast<uint8_t*>(buffer)[i] = static_cast<uint8_t>(i & 0xFF);
        break;
      case kInt16:
        static_cast<int16_t*>(buffer)[i] = (i % period) < period / 2 ? 0 : 2047;
        break;
      default: {
        const double phase = 2.0 * M_PI * static_cast<double>(i) / static_cast<double>(period);
        static_cast<double*>(buffer)[i] = 2.495 * std::sin(phase) + 2.495;
        break;
      }
    }
  }
  return 0;
}

extern "C" int16_t ZentraMean(const void* buffer, uint32_t count, int16_t type, double* mean) {
  if (const int16_t refused = CommonRefusal(buffer, count, KnownType(type))) return refused;
  double sum = 0.0;
  for (uint32_t i = 0; i < count; ++i) sum += ValueAt(buffer, i, type);
  if (mean) *mean = sum / count;
  return 0;
}

extern "C" int16_t ZentraPlotWaveform(const void* buffer, uint32_t count, int16_t type) {
  if (const int16_t refused = CommonRefusal(buffer, count, KnownType(type))) return refused;
  try {
    const uint32_t shown = count < kPlottedValues ? count : kPlottedValues;
    std::string text;
    char line[64];
    for (uint32_t i = 0; i < shown; ++i) {
      if (type == kReal64)
        std::snprintf(line, sizeof line, "[%3d]: %f\n", static_cast<int>(i),
                      ValueAt(buffer, i, type));
      else
        std::snprintf(line, sizeof line, "[%3d]: %ld\n", static_cast<int>(i),
                      IntegerAt(buffer, i, type));
      text += line;
    }
    char caption[64];
    std::snprintf(caption, sizeof caption, "Displaying the first %d datapoints...",
                  static_cast<int>(shown));
    tsm::platform::GetUi().MessageBox(nullptr, text, caption, tsm::platform::MB_OK);
  } catch (...) {
    return -1;  // nothing may cross the C boundary
  }
  return 0;
}
