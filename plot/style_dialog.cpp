#include "plot/style_dialog.h"

#include <vector>

#include "plot/curve_styles.h"
#include "plot/gpen.h"
#include "plot/state.h"
#include "plot/symbols.h"
#include "shell/setupdlg.h"
#include "shell/stringex.h"

namespace tsm::plot {

using namespace tsm::platform;

const char* const kSymbolNames[kSymbolCount] = {"N&one",         "&Circle",        "S&quare",
                                               "&Diamond",      "Triangle &up",   "Triangle do&wn",
                                               "&Pixel"};

int RunStyleDialog(WindowHandle owner, std::uint32_t curveIndex) {
  CurveStyle& style = GetPlotState().styles[curveIndex % kCurveStyleCount];
  CurveStyle edit = style;
  if (edit.lineStyle >= kPenStyleCount) edit.lineStyle = kPenSolid;
  if (edit.symbol >= kSymbolCount) edit.symbol = kSymbolCircle;

  shell::FieldList list;
  list.fields = {
      shell::RadioField(kStyleLineControl, &edit.lineStyle, "", "",
                        std::vector<std::string>(kPenStyleNames, kPenStyleNames + kPenStyleCount),
                        "Line"),
      shell::RadioField(kStyleSymbolControl, &edit.symbol, "", "",
                        std::vector<std::string>(kSymbolNames, kSymbolNames + kSymbolCount),
                        "Symbol"),
      shell::UnsignedField(kStyleWidthControl, &edit.lineWidth, "", "", 0, kMaxStyleLength,
                           "Line &width (0.1 mm):"),
      shell::UnsignedField(kStyleSizeControl, &edit.symbolSize, "", "", 0, kMaxStyleLength,
                           "Symbol si&ze (0.1 mm):"),
  };
  list.fields[1].column = 1;
  Control swatch;
  swatch.id = kStyleColorSwatch;
  swatch.kind = ControlKind::Custom;
  swatch.label = "Colour:";
  swatch.text = ColorSwatchText(edit.color);
  Control button;
  button.id = kStyleColorButton;
  button.kind = ControlKind::Button;
  button.text = "C&olor...";
  list.extraControls = {swatch, button};
  list.hook = [](shell::SetupDialog& dialog, int id, int) {
    if (id != kStyleColorButton) return false;
    Color chosen = ColorOfSwatchText(dialog.GetText(kStyleColorSwatch));
    if (GetUi().ChooseColor(chosen)) dialog.SetText(kStyleColorSwatch, ColorSwatchText(chosen));
    return true;
  };

  shell::SetupDialog dialog(kStyleDialogId,
                            shell::Format(kStyleCaptionFormat, static_cast<unsigned>(curveIndex)),
                            list);
  if (GetUi().RunModal(dialog, owner) != 1) return 0;
  edit.color = ColorOfSwatchText(dialog.GetText(kStyleColorSwatch));
  style = edit;
  return 1;
}

}  // namespace tsm::plot
