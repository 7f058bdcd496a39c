#include "plot/curve_styles.h"

#include <algorithm>

#include "platform/profile.h"
#include "plot/colors.h"
#include "plot/gpen.h"
#include "plot/state.h"
#include "plot/symbols.h"
#include "shell/stringex.h"

namespace tsm::plot {

using namespace tsm::platform;

namespace {

std::string KeyOf(const char* pattern, std::size_t index) {
  return shell::Format(pattern, static_cast<unsigned>(index));
}

// The mathematical remainder, so negative numbers land inside 0..m-1 too.
int Modulo(long long v, int m) { return static_cast<int>(((v % m) + m) % m); }

// Reads a style length; a value outside 0..kMaxStyleLength keeps the default.
unsigned ReadLength(const char* key, unsigned defaultValue, const std::string& file) {
  const int v = GetPrivateProfileIntA(kGraphicsSection, key, static_cast<int>(defaultValue),
                                      file.c_str());
  return v >= 0 && static_cast<unsigned>(v) <= kMaxStyleLength ? static_cast<unsigned>(v)
                                                                : defaultValue;
}

}  // namespace

CurveStyles DefaultCurveStyles(unsigned lineWidth, unsigned symbolSize) {
  CurveStyles styles;
  for (std::size_t i = 0; i < kCurveStyleCount; ++i) {
    CurveStyle& s = styles[i];
    s.color = RGB_Spectrum7(static_cast<int>(i), static_cast<int>(kCurveStyleCount));
    s.lineStyle = kPenSolid;
    s.symbol = kSymbolCircle;
    s.lineWidth = lineWidth;
    s.symbolSize = symbolSize;
  }
  return styles;
}

const CurveStyle& StyleOfCurve(std::size_t curveIndex) {
  return GetPlotState().styles[curveIndex % kCurveStyleCount];
}

int ApplyCurveColorValue(CurveStyle& style, const char* value) {
  // The shape of sscanf("%d,%d,%d,%d,%d"): blanks before a number are
  // skipped, the commas must follow the numbers at once.
  long long numbers[5] = {};
  int count = 0;
  const char* p = value ? value : "";
  while (count < 5) {
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    if (*p < '0' || *p > '9') break;
    long long v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) v = std::min(v * 10 + (*p - '0'), 0x7FFFFFFFLL);
    numbers[count++] = negative ? -v : v;
    if (*p != ',') break;
    ++p;
  }
  if (count >= 3)
    style.color = MakeRgb(Modulo(numbers[0], 256), Modulo(numbers[1], 256),
                          Modulo(numbers[2], 256));
  if (count >= 4) style.lineStyle = Modulo(numbers[3], kPenStyleCount);
  if (count >= 5) style.symbol = Modulo(numbers[4], kSymbolCount);
  return count;
}

std::string CurveColorValue(const CurveStyle& style) {
  return shell::Format("%u,%u,%u,%u,%u", RedOf(style.color), GreenOf(style.color),
                       BlueOf(style.color), style.lineStyle, style.symbol);
}

int LoadCurveStyles(const std::string& file) {
  const unsigned width = ReadLength(kPenWidthKey, kDefaultPenWidth, file);
  const unsigned size = ReadLength(kGraphSymbolSizeKey, kDefaultSymbolSize, file);
  CurveStyles styles = DefaultCurveStyles(width, size);
  for (std::size_t i = 0; i < kCurveStyleCount; ++i) {
    CurveStyle& s = styles[i];
    char value[128];
    GetPrivateProfileStringA(kGraphicsSection, KeyOf(kCurveColorKey, i).c_str(), "", value,
                             sizeof value, file.c_str());
    ApplyCurveColorValue(s, value);
    s.symbolSize = ReadLength(KeyOf(kCurveSymbolSizeKey, i).c_str(), s.symbolSize, file);
    s.lineWidth = ReadLength(KeyOf(kCurveLineWidthKey, i).c_str(), s.lineWidth, file);
  }
  GetPlotState().styles = styles;
  return 1;
}

int SaveCurveStyles(const std::string& file) {
  ProfileBatch batch;
  const CurveStyles& styles = GetPlotState().styles;
  for (std::size_t i = 0; i < kCurveStyleCount; ++i) {
    const CurveStyle& s = styles[i];
    WritePrivateProfileStringA(kGraphicsSection, KeyOf(kCurveColorKey, i).c_str(),
                               CurveColorValue(s).c_str(), file.c_str());
    WriteProfileInt(kGraphicsSection, KeyOf(kCurveSymbolSizeKey, i).c_str(), s.symbolSize, "%u",
                    file.c_str());
    WriteProfileInt(kGraphicsSection, KeyOf(kCurveLineWidthKey, i).c_str(), s.lineWidth, "%u",
                    file.c_str());
  }
  return 1;
}

CanvasPen CurvePen(const Canvas& canvas, const CurveStyle& style, bool enforceColor) {
  CanvasPen pen;
  pen.style = static_cast<int>(style.lineStyle % kPenStyleCount);
  pen.width = std::max(1, DeviceLengthX(canvas, static_cast<int>(style.lineWidth)));
  pen.color = IsMonochrome(canvas, enforceColor) ? kBlack : style.color;
  return pen;
}

CanvasPen SymbolPen(const Canvas& canvas, const CurveStyle& style, bool enforceColor) {
  CanvasPen pen;
  pen.style = kPenSolid;
  pen.width = 0;
  pen.color = IsMonochrome(canvas, enforceColor) ? kBlack : style.color;
  return pen;
}

int SymbolPixels(const Canvas& canvas, const CurveStyle& style) {
  return std::max(0, DeviceLengthX(canvas, static_cast<int>(style.symbolSize)));
}

}  // namespace tsm::plot
