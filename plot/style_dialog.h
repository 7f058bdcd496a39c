// The style dialog of a curve (command 229, dialog 208): colour, line style,
// symbol, line width and symbol size of the style the curve uses.
#pragma once

#include <cstdint>

#include "platform/ui.h"
#include "plot/symbols.h"

namespace tsm::plot {

inline constexpr int kStyleDialogId = 208;
inline constexpr int kStyleLineControl = 1400;    // radio group 1400..1405
inline constexpr int kStyleSymbolControl = 1410;  // radio group 1410..1416
inline constexpr int kStyleWidthControl = 1420;
inline constexpr int kStyleSizeControl = 1421;
inline constexpr int kStyleColorSwatch = 1422;  // owner-drawn: its text is "0x%06X"
inline constexpr int kStyleColorButton = 1423;
inline constexpr const char* kStyleCaptionFormat = "Style of curve %u";
// Names of the symbols as the dialog shows them, symbol 0 first.
extern const char* const kSymbolNames[kSymbolCount];

// Edits style curveIndex modulo 14. Returns 1 after OK (the style changed;
// the caller redraws), 0 after Cancel.
int RunStyleDialog(platform::WindowHandle owner, std::uint32_t curveIndex);

}  // namespace tsm::plot
