#include "plot/gpen.h"

#include <cstdlib>
#include <vector>

#include "platform/profile.h"
#include "shell/setupdlg.h"
#include "shell/stringex.h"

namespace tsm::plot {

using namespace tsm::platform;

const char* const kPenStyleNames[kPenStyleCount] = {
    "&Solid", "D&ash", "&Dot", "Dash-D&ot", "Dash-Dot-Do&t", "&None"};

long long ParseColorValue(const char* text) {
  if (!text) return 0;
  while (*text == ' ' || *text == '\t') ++text;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    long long v = 0;
    for (const char* p = text + 2; *p; ++p) {
      int digit;
      if (*p >= '0' && *p <= '9') digit = *p - '0';
      else if (*p >= 'a' && *p <= 'f') digit = *p - 'a' + 10;
      else if (*p >= 'A' && *p <= 'F') digit = *p - 'A' + 10;
      else break;
      v = (v << 4) | digit;
      if (v > 0xFFFFFFFFLL) v &= 0xFFFFFFFFLL;  // long garbage keeps the low bits
    }
    return v;
  }
  bool negative = false;
  if (*text == '-') {
    negative = true;
    ++text;
  }
  long long v = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    v = v * 10 + (*text - '0');
    if (v > 0xFFFFFFFFLL) v &= 0xFFFFFFFFLL;
  }
  return negative ? -v : v;
}

bool ReadColorKey(const char* section, const std::string& key, const std::string& file,
                  Color* out) {
  // A default no value can have tells an absent key from a present one.
  char buffer[64];
  GetPrivateProfileStringA(section, key.c_str(), "\x01", buffer, sizeof buffer, file.c_str());
  if (buffer[0] == '\x01' && buffer[1] == '\0') return false;
  *out = static_cast<Color>(ParseColorValue(buffer)) & 0xFFFFFFu;
  return true;
}

void WriteColorKey(const char* section, const std::string& key, Color color,
                   const std::string& file) {
  WritePrivateProfileStringA(section, key.c_str(), shell::Format("0x%06X", color).c_str(),
                             file.c_str());
}

void LoadPen(GPen& pen, const char* section, const std::string& base, const std::string& file) {
  const int style = GetPrivateProfileIntA(section, (base + kPenStyleSuffix).c_str(), pen.style,
                                          file.c_str());
  if ((style & 0xF) <= 5) pen.style = style & 0xF;
  const int width = GetPrivateProfileIntA(section, (base + kPenWidthSuffix).c_str(), pen.width,
                                          file.c_str());
  if (width >= 0) pen.width = width;
  Color color;
  if (ReadColorKey(section, base + kColorSuffix, file, &color)) pen.color = color;
}

void SavePen(const GPen& pen, const char* section, const std::string& base,
             const std::string& file) {
  ProfileBatch batch;
  WriteProfileInt(section, (base + kPenStyleSuffix).c_str(), static_cast<unsigned>(pen.style),
                  "%u", file.c_str());
  WriteProfileInt(section, (base + kPenWidthSuffix).c_str(), static_cast<unsigned>(pen.width),
                  "%u", file.c_str());
  WriteColorKey(section, base + kColorSuffix, pen.color, file);
}

int DeviceLengthX(const Canvas& canvas, int tenthsMm) {
  const int mm = canvas.WidthMm();
  if (mm > 0) return MulDiv(tenthsMm, canvas.Width(), mm * 10);
  // A device that does not know its size: fall back to its resolution.
  return MulDiv(tenthsMm, canvas.DpiX(), 254);
}

bool IsMonochrome(const Canvas& canvas, bool enforceColor) {
  return !enforceColor && canvas.BitsPerPixel() == 1;
}

CanvasPen DevicePen(const Canvas& canvas, const GPen& pen, bool enforceColor) {
  CanvasPen out;
  out.style = pen.style >= 0 && pen.style < kPenStyleCount ? pen.style : kPenSolid;
  out.width = pen.width > 0 ? DeviceLengthX(canvas, pen.width) : 0;
  if (out.width < 0) out.width = 0;
  out.color = IsMonochrome(canvas, enforceColor) ? kBlack : pen.color;
  return out;
}

std::string ColorSwatchText(Color color) { return shell::Format("0x%06X", color & 0xFFFFFFu); }

Color ColorOfSwatchText(const std::string& text) {
  return static_cast<Color>(ParseColorValue(text.c_str())) & 0xFFFFFFu;
}

bool EditPen(GPen& pen, const std::string& caption, WindowHandle owner) {
  unsigned style = pen.style >= 0 && pen.style < kPenStyleCount ? pen.style : 0;
  unsigned width = pen.width >= 0 ? pen.width : 0;

  shell::FieldList list;
  std::vector<std::string> names(kPenStyleNames, kPenStyleNames + kPenStyleCount);
  list.fields.push_back(shell::RadioField(kPenStyleControl, &style, "", "", names, "Style"));
  list.fields.push_back(shell::UnsignedField(kPenWidthControl, &width, "", "", 0, 100,
                                             "&Width (0.1 mm):"));
  Control button;
  button.id = kPenColorButton;
  button.kind = ControlKind::Button;
  button.text = "&Color...";
  Control swatch;
  swatch.id = kPenColorSwatch;
  swatch.kind = ControlKind::Custom;
  swatch.label = "Colour:";
  swatch.text = ColorSwatchText(pen.color);
  list.extraControls = {swatch, button};
  list.hook = [](shell::SetupDialog& dialog, int id, int) {
    if (id != kPenColorButton) return false;
    Color chosen = ColorOfSwatchText(dialog.GetText(kPenColorSwatch));
    if (GetUi().ChooseColor(chosen)) dialog.SetText(kPenColorSwatch, ColorSwatchText(chosen));
    return true;
  };

  shell::SetupDialog dialog(kPenDialogId, caption, list);
  const int result = GetUi().RunModal(dialog, owner);
  if (result != 0 && result != 1)
    throw GPenUIException(result, "The pen dialog could not be shown");
  if (result != 1) return false;
  pen.style = static_cast<int>(style);
  pen.width = static_cast<int>(width);
  pen.color = ColorOfSwatchText(dialog.GetText(kPenColorSwatch));
  return true;
}

}  // namespace tsm::plot
