// Pen descriptions of the plot (frame and ticks, grid lines): style, width in
// tenths of a millimetre and colour, their settings keys (the owner's base key
// followed by "Style", "Width", "Color"), the device pen they give, and the
// small dialog that edits one. GPenUIException reports a pen editor that
// could not run.
#pragma once

#include <stdexcept>
#include <string>

#include "plot/canvas.h"
#include "platform/ui.h"

namespace tsm::plot {

inline constexpr const char* kPenStyleSuffix = "Style";
inline constexpr const char* kPenWidthSuffix = "Width";
inline constexpr const char* kColorSuffix = "Color";

struct GPen {
  int style = kPenSolid;  // 0..5
  int width = 0;          // tenths of a millimetre
  Color color = kBlack;
  friend bool operator==(const GPen&, const GPen&) = default;
};

// Reads base + "Style", "Width", "Color" from the section. A missing key
// keeps the current value; a style whose low 4 bits exceed 5 and a negative
// width are ignored.
void LoadPen(GPen& pen, const char* section, const std::string& base, const std::string& file);
// Writes the three keys: "%u", "%u", "0x%06X".
void SavePen(const GPen& pen, const char* section, const std::string& base,
             const std::string& file);

// A length in tenths of a millimetre in device pixels along x:
// length * width in pixels / (width in millimetres * 10), rounded.
int DeviceLengthX(const Canvas& canvas, int tenthsMm);
// The device pen: width converted (0 stays the thinnest line), black on a
// monochrome device unless colour is enforced.
CanvasPen DevicePen(const Canvas& canvas, const GPen& pen, bool enforceColor = false);
// Whether colours become black on this device.
bool IsMonochrome(const Canvas& canvas, bool enforceColor);

// Reads a colour value: "0x" or "0X" and hexadecimal digits, else a decimal
// number (a minus sign allowed); 0 when there is no leading number.
long long ParseColorValue(const char* text);
// Reads base + "Color" ("0x%06X" as written); false when the key is absent.
bool ReadColorKey(const char* section, const std::string& key, const std::string& file,
                  Color* out);
void WriteColorKey(const char* section, const std::string& key, Color color,
                   const std::string& file);

class GPenUIException : public std::runtime_error {
 public:
  GPenUIException(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// The pen dialog (resource kPenDialogId): line style, width in tenths of a
// millimetre and a colour button. Returns true after OK with the pen changed,
// false after Cancel with the pen as it was. Throws GPenUIException when the
// dialog could not be shown.
inline constexpr int kPenDialogId = 209;
inline constexpr int kPenStyleControl = 1300;  // radio group 1300..1305
inline constexpr int kPenWidthControl = 1310;
inline constexpr int kPenColorButton = 1311;
inline constexpr int kPenColorSwatch = 1312;  // owner-drawn: its text is "0x%06X"
bool EditPen(GPen& pen, const std::string& caption, platform::WindowHandle owner);

// Names of the pen styles shown by the dialogs, style 0 first.
extern const char* const kPenStyleNames[kPenStyleCount];
// The text of a colour swatch control ("0x%06X") and back.
std::string ColorSwatchText(Color color);
Color ColorOfSwatchText(const std::string& text);

}  // namespace tsm::plot
