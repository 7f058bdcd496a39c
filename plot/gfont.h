// Font descriptions of the plot (tick labels and unit captions): face, size
// in points, style, character set and colour, their settings keys (the
// owner's base key followed by "Name", "Size", "Italic", "Weight",
// "Underline", "StrikeOut", "CharSet", "Color") and the device font they give.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "plot/canvas.h"
#include "platform/ui.h"

namespace tsm::plot {

inline constexpr std::size_t kFaceNameSize = 32;  // terminator included
inline constexpr const char* kDefaultFace = "Arial";
inline constexpr int kDefaultFontSize = 9;
inline constexpr int kMaxFontSize = 720;

struct GFont {
  std::string face = kDefaultFace;  // at most 31 bytes
  int size = kDefaultFontSize;      // points
  bool italic = false;
  int weight = 0;  // 0 default, 400 normal, 700 bold
  bool underline = false;
  bool strikeOut = false;
  int charSet = 0;
  Color color = kBlack;
  friend bool operator==(const GFont&, const GFont&) = default;
};

// Codes of GFontException: the screen's device could not be obtained, or
// could not be released.
inline constexpr int kNoScreenDevice = -1;
inline constexpr int kScreenNotReleased = -2;

class GFontException : public std::runtime_error {
 public:
  GFontException(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// Reads every key of the font. A missing key resets its property to the
// default ("Arial", 9 points, 0 for the rest), not to the current value; a
// size outside 1..720 points or a weight outside 0..1000 is taken as missing.
void LoadFont(GFont& font, const char* section, const std::string& base,
              const std::string& file);
// Writes every key: the name as text, the numbers "%u", the colour "0x%06X".
void SaveFont(const GFont& font, const char* section, const std::string& base,
              const std::string& file);

// The pixel height of the font on the device: size * vertical pixels per
// inch / 72, rounded, as a negative (character) height. Without a device the
// screen's resolution is used; GFontException(kNoScreenDevice) when there
// is no screen to ask.
int FontPixelHeight(const GFont& font, const Canvas* device);
// The device font; the colour is black on a monochrome device unless
// colour is enforced.
CanvasFont DeviceFont(const GFont& font, const Canvas* device, bool enforceColor = false);

// The font chooser's view of a font and back.
platform::FontChoice ToFontChoice(const GFont& font);
void FromFontChoice(GFont& font, const platform::FontChoice& choice);

// Where a font without a device gets its vertical resolution: the front end
// installs the screen's; none (an empty result) makes FontPixelHeight throw.
// Until one is installed the screen is taken as 96 pixels per inch.
using ScreenDpiProvider = std::function<std::optional<int>()>;
void SetScreenDpiProvider(ScreenDpiProvider provider);

}  // namespace tsm::plot
