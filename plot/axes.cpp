#include "plot/axes.h"

#include "platform/profile.h"
#include "plot/curve_styles.h"
#include "plot/state.h"
#include "shell/errors.h"
#include "shell/settings.h"

namespace tsm::plot {

using namespace tsm::platform;

namespace {

void LoadFontAndPens(AxesSettings& s, const std::string& file) {
  LoadFont(s.captionFont, kSetupSection, kAxesCaptionFontKey, file);
  LoadPen(s.axesLines, kSetupSection, kAxesLinesKey, file);
  LoadPen(s.gridLines, kSetupSection, kGridLinesKey, file);
}

void SaveFontAndPens(const AxesSettings& s, const std::string& file) {
  SaveFont(s.captionFont, kSetupSection, kAxesCaptionFontKey, file);
  SavePen(s.axesLines, kSetupSection, kAxesLinesKey, file);
  SavePen(s.gridLines, kSetupSection, kGridLinesKey, file);
}

Control Button(int id, const char* text) {
  Control c;
  c.id = id;
  c.kind = ControlKind::Button;
  c.text = text;
  c.column = 1;
  return c;
}

}  // namespace

shell::FieldList AxesFieldList(AxesSettings& s) {
  using shell::SignedField;
  using shell::UnsignedField;
  shell::FieldList list;
  list.fields = {
      UnsignedField(kGridXControl, &s.gridX, kSetupSection, "GridX", 2, 1000,
                    "&Grid divisions X:"),
      UnsignedField(kSmallTicksXControl, &s.smallTicksX, kSetupSection, "SmallTicksX", 1, 1000,
                    "Small ticks per division X:"),
      UnsignedField(kGridYControl, &s.gridY, kSetupSection, "GridY", 2, 1000,
                    "G&rid divisions Y:"),
      UnsignedField(kSmallTicksYControl, &s.smallTicksY, kSetupSection, "SmallTicksY", 1, 1000,
                    "Small ticks per division Y:"),
      SignedField(kBigTickSizeControl, &s.bigTickSize, kSetupSection, "BigTickSize", -100, 100,
                  "&Big tick (0.1 mm):"),
      SignedField(kSmallTickSizeControl, &s.smallTickSize, kSetupSection, "SmallTickSize", -100,
                  100, "S&mall tick (0.1 mm):"),
      shell::CheckField(kOptimizeGridControl, &s.optimizeGrid, kGraphicsSection,
                        "OptimizeGrid", "&Optimize grid"),
  };
  return list;
}

int LoadAxesSettings(const std::string& file) {
  AxesSettings& s = GetPlotState().axes;
  shell::LoadGroup(AxesFieldList(s), file);
  LoadFontAndPens(s, file);
  return 1;
}

int SaveAxesSettings(const std::string& file) {
  ProfileBatch batch;
  AxesSettings& s = GetPlotState().axes;
  shell::SaveGroup(AxesFieldList(s), file);
  SaveFontAndPens(s, file);
  return 1;
}

int RunAxesDialog(WindowHandle owner) {
  AxesSettings& settings = GetPlotState().axes;
  // Font and pens are edited on a copy that OK commits.
  AxesSettings working = settings;
  shell::FieldList list = AxesFieldList(settings);
  list.extraControls = {Button(kAxesFontButton, "&Font..."),
                        Button(kAxesPenButton, "&Axes lines..."),
                        Button(kGridPenButton, "Gr&id lines...")};
  list.hook = [&](shell::SetupDialog& dialog, int id, int code) {
    if (code != 0) return false;
    switch (id) {
      case kAxesFontButton: {
        FontChoice choice = ToFontChoice(working.captionFont);
        const FontDialogResult r = GetUi().ChooseFont(choice);
        if (r.ok) FromFontChoice(working.captionFont, choice);
        else shell::ReportCommDlgError(r.errorCode);
        return true;
      }
      case kAxesPenButton:
      case kGridPenButton:
        try {
          if (id == kAxesPenButton) EditPen(working.axesLines, "Axes lines", owner);
          else EditPen(working.gridLines, "Grid lines", owner);
        } catch (const GPenUIException&) {
          shell::ReportInternalError(shell::kInternalError, __LINE__, "gpen");
        }
        return true;
      case shell::kSetupSave:
        // The fields as the framework saves them, then the font and pens.
        if (dialog.ReadFields()) {
          ProfileBatch batch;
          const std::string file = shell::SettingsFileName();
          shell::WriteGroupValues(dialog.List(), dialog.EditValues(), file);
          SaveFontAndPens(working, file);
        }
        return true;
      case shell::kSetupLoad:
        LoadFontAndPens(working, shell::SettingsFileName());
        return false;  // the framework reloads the fields
      default:
        return false;
    }
  };
  shell::SetupDialog dialog(kAxesDialogId, kAxesDialogCaption, list);
  if (GetUi().RunModal(dialog, owner) != 1) return 0;
  settings.captionFont = working.captionFont;
  settings.axesLines = working.axesLines;
  settings.gridLines = working.gridLines;
  return 1;
}

}  // namespace tsm::plot
