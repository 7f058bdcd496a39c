// Settings of the plot axes and grid (grid divisions, small ticks, tick
// lengths, the caption font and the frame and grid pens), their option group
// and the "A&xes" dialog that edits them.
#pragma once

#include <string>

#include "platform/ui.h"
#include "plot/gfont.h"
#include "plot/gpen.h"
#include "shell/setupdlg.h"

namespace tsm::plot {

inline constexpr const char* kSetupSection = "Setup";
inline constexpr const char* kAxesCaptionFontKey = "AxesCaptionFont";
inline constexpr const char* kAxesLinesKey = "AxesLines";
inline constexpr const char* kGridLinesKey = "GridLines";

struct AxesSettings {
  unsigned gridX = 10;        // grid divisions of the x axis, 2..1000
  unsigned smallTicksX = 10;  // small-tick divisions per grid division, 1..1000
  unsigned gridY = 10;
  unsigned smallTicksY = 10;
  int bigTickSize = 30;    // tenths of a millimetre; negative points out of the frame
  int smallTickSize = 15;
  bool optimizeGrid = false;  // stored and edited; the drawing does not use it
  GFont captionFont;
  GPen axesLines{kPenSolid, 1, 0x800000};
  GPen gridLines{kPenDot, 0, 0xC0C0C0};
  friend bool operator==(const AxesSettings&, const AxesSettings&) = default;
};

// Control ids of the axes dialog (dialog kAxesDialogId, command 171).
inline constexpr int kAxesDialogId = 171;
inline constexpr int kGridXControl = 1165;
inline constexpr int kSmallTicksXControl = 1166;
inline constexpr int kGridYControl = 1167;
inline constexpr int kSmallTicksYControl = 1168;
inline constexpr int kBigTickSizeControl = 1169;
inline constexpr int kSmallTickSizeControl = 1170;
inline constexpr int kOptimizeGridControl = 1098;
inline constexpr int kAxesFontButton = 1171;
inline constexpr int kAxesPenButton = 1172;
inline constexpr int kGridPenButton = 1173;
inline constexpr const char* kAxesDialogCaption = "Axes";

// The field list of the six numbers and the flag over the given settings
// (the process-wide ones by default).
shell::FieldList AxesFieldList(AxesSettings& settings);

// The option group: the fields, then the font (missing keys reset to the
// defaults) and the two pens (missing keys keep the values).
int LoadAxesSettings(const std::string& file);
int SaveAxesSettings(const std::string& file);

// The "A&xes" dialog. Its extra buttons edit the font (through the Ui's font
// chooser) and the two pens (the pen dialog); those edits, like the fields,
// take effect only on OK, and Save / Load write and read them with the
// fields. Returns 1 after OK (the caller redraws), 0 after Cancel.
int RunAxesDialog(platform::WindowHandle owner);

}  // namespace tsm::plot
