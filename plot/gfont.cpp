#include "plot/gfont.h"

#include "platform/profile.h"
#include "plot/gpen.h"
#include "plot/state.h"
#include "shell/stringex.h"

namespace tsm::plot {

using namespace tsm::platform;

namespace {

int ReadInt(const char* section, const std::string& key, int defaultValue,
            const std::string& file) {
  return GetPrivateProfileIntA(section, key.c_str(), defaultValue, file.c_str());
}

void WriteUnsigned(const char* section, const std::string& key, long long value,
                   const std::string& file) {
  WriteProfileInt(section, key.c_str(), static_cast<unsigned>(value), "%u", file.c_str());
}

}  // namespace

void LoadFont(GFont& font, const char* section, const std::string& base,
              const std::string& file) {
  char face[kFaceNameSize];
  GetPrivateProfileStringA(section, (base + "Name").c_str(), kDefaultFace, face, sizeof face,
                           file.c_str());
  font.face = face;
  const int size = ReadInt(section, base + "Size", kDefaultFontSize, file);
  font.size = size >= 1 && size <= kMaxFontSize ? size : kDefaultFontSize;
  font.italic = ReadInt(section, base + "Italic", 0, file) != 0;
  const int weight = ReadInt(section, base + "Weight", 0, file);
  font.weight = weight >= 0 && weight <= 1000 ? weight : 0;
  font.underline = ReadInt(section, base + "Underline", 0, file) != 0;
  font.strikeOut = ReadInt(section, base + "StrikeOut", 0, file) != 0;
  font.charSet = ReadInt(section, base + "CharSet", 0, file) & 0xFF;
  Color color = kBlack;
  ReadColorKey(section, base + kColorSuffix, file, &color);
  font.color = color;
}

void SaveFont(const GFont& font, const char* section, const std::string& base,
              const std::string& file) {
  ProfileBatch batch;
  WritePrivateProfileStringA(section, (base + "Name").c_str(), font.face.c_str(), file.c_str());
  WriteUnsigned(section, base + "Size", font.size, file);
  WriteUnsigned(section, base + "Italic", font.italic ? 1 : 0, file);
  WriteUnsigned(section, base + "Weight", font.weight, file);
  WriteUnsigned(section, base + "Underline", font.underline ? 1 : 0, file);
  WriteUnsigned(section, base + "StrikeOut", font.strikeOut ? 1 : 0, file);
  WriteUnsigned(section, base + "CharSet", font.charSet, file);
  WriteColorKey(section, base + kColorSuffix, font.color, file);
}

int FontPixelHeight(const GFont& font, const Canvas* device) {
  int dpi = 0;
  if (device) {
    dpi = device->DpiY();
  } else {
    const ScreenDpiProvider& provider = GetPlotState().screenDpi;
    const std::optional<int> screen = provider ? provider() : std::optional<int>(96);
    if (!screen) throw GFontException(kNoScreenDevice, "The screen device is not available");
    dpi = *screen;
  }
  return -MulDiv(font.size, dpi, 72);
}

CanvasFont DeviceFont(const GFont& font, const Canvas* device, bool enforceColor) {
  CanvasFont out;
  out.face = font.face;
  out.height = FontPixelHeight(font, device);
  out.italic = font.italic;
  out.weight = font.weight;
  out.underline = font.underline;
  out.strikeOut = font.strikeOut;
  out.charSet = font.charSet;
  out.color = device && IsMonochrome(*device, enforceColor) ? kBlack : font.color;
  return out;
}

FontChoice ToFontChoice(const GFont& font) {
  FontChoice c;
  c.face = font.face;
  c.pointSize = font.size;
  c.italic = font.italic;
  c.weight = font.weight;
  c.underline = font.underline;
  c.strikeOut = font.strikeOut;
  c.charSet = font.charSet;
  c.color = font.color;
  return c;
}

void FromFontChoice(GFont& font, const FontChoice& choice) {
  shell::BoundedAssign(font.face, choice.face, kFaceNameSize);
  font.size = choice.pointSize >= 1 && choice.pointSize <= kMaxFontSize ? choice.pointSize
                                                                        : kDefaultFontSize;
  font.italic = choice.italic;
  font.weight = choice.weight >= 0 && choice.weight <= 1000 ? choice.weight : 0;
  font.underline = choice.underline;
  font.strikeOut = choice.strikeOut;
  font.charSet = choice.charSet & 0xFF;
  font.color = choice.color & 0xFFFFFFu;
}

void SetScreenDpiProvider(ScreenDpiProvider provider) {
  GetPlotState().screenDpi = std::move(provider);
}

}  // namespace tsm::plot
