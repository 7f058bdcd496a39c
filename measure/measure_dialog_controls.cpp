// The controls of the measurement dialog per template: the sweep groups, the
// live rows, the generator box and the buttons, with the template table and
// the memory estimate.
#include "measure/measure_dialog.h"

#include "channels/virtual_channels.h"
#include "measure/measure_dialog_internal.h"
#include "measure/state.h"
#include "shell/phyunits.h"
#include "shell/stringex.h"

namespace tsm::measure {

using namespace dialog_detail;
using platform::Control;
using platform::ControlKind;

int DialogResourceOf(DialogTemplate t) {
  switch (t) {
    case DialogTemplate::Common: return kCommonDialogId;
    case DialogTemplate::IVF: return kIVFDialogId;
    case DialogTemplate::Compact: return kCompactDialogId;
    case DialogTemplate::Temperature: return kTemperatureDialogId;
    case DialogTemplate::Vtime: return kVtimeDialogId;
  }
  return kCommonDialogId;
}

TemplateLayout LayoutOf(DialogTemplate t) {
  switch (t) {
    case DialogTemplate::Common: return {6, 8, true, false, false};
    case DialogTemplate::IVF: return {6, 8, true, true, false};
    case DialogTemplate::Compact: return {4, 4, false, false, false};
    case DialogTemplate::Temperature: return {6, 8, false, false, true};
    case DialogTemplate::Vtime: return {4, 8, false, false, false};
  }
  return {6, 8, true, false, false};
}

double MemoryEstimate(std::uint32_t n1, bool twoDirections1, std::uint32_t n2,
                      bool twoDirections2, std::size_t voltages) {
  return (static_cast<double>(n1) * 8.0 * (twoDirections1 ? 2 : 1) + 146.0) * n2 *
         (twoDirections2 ? 2 : 1) * static_cast<double>(voltages);
}

std::string MemoryText(double bytes) {
  if (bytes <= 0) return shell::Format(kMemoryFormat, "???");
  return shell::Format(kMemoryFormat,
                       shell::FormatWithPrefix(static_cast<float>(bytes), "B").c_str());
}


namespace {

// Layout widths, in characters: codes, ampere read-outs ("+12.35 mA"),
// point counts ("65536/65536"), the progress line.
constexpr int kCodeChars = 7;
constexpr int kAmpereChars = 10;
constexpr int kPointsChars = 11;
constexpr int kProgressChars = 52;

Control OnLine(Control c) {
  c.sameLine = true;
  return c;
}

Control Wide(Control c, int chars, bool fixedPitch) {
  c.widthChars = chars;
  c.fixedPitch = fixedPitch;
  return c;
}

}  // namespace

void MeasureDialog::AddSweepGroup(int base, const char* caption, int column, bool pointsTyped) {
  // One line per limit: the code, the current it gives, its check box and
  // its ">>"; then the step, the step bar, the direction boxes, the two
  // buttons and the points.
  Control box = Make(base + kOffBox, ControlKind::GroupBox, caption, column);
  box.frameCount = kGroupControls - 1;
  AddControl(box);
  auto edit = [&](int off, const char* label, bool readOnly, int chars) {
    Control c = Wide(Make(base + off, ControlKind::Edit, "", column), chars, true);
    c.label = label;
    c.readOnly = readOnly;
    c.textLimit = 16;
    return c;
  };
  auto amperes = [&](int off) {
    return OnLine(Wide(Make(base + off, ControlKind::Static, "", column), kAmpereChars, true));
  };
  auto button = [&](int off, const char* text, const char* tip = "") {
    Control c = Make(base + off, ControlKind::Button, text, column);
    c.tooltip = tip;
    return c;
  };
  auto check = [&](int off, const char* text) {
    return Make(base + off, ControlKind::CheckBox, text, column);
  };
  AddControl(edit(kOffStart, "start", false, kCodeChars));
  AddControl(amperes(kOffStartAmperes));
  AddControl(OnLine(check(kOffSetStart, "set start")));
  AddControl(OnLine(Wide(button(kOffGoStart, ">>", "go start"), 2, false)));
  AddControl(edit(kOffStop, "stop", false, kCodeChars));
  AddControl(amperes(kOffStopAmperes));
  AddControl(OnLine(check(kOffSetStop, "set stop")));
  AddControl(OnLine(Wide(button(kOffGoStop, ">>", "go stop"), 2, false)));
  AddControl(edit(kOffStep, "step", false, kCodeChars));
  AddControl(amperes(kOffStepAmperes));
  Control scroll = OnLine(Make(base + kOffStepScroll, ControlKind::ScrollBar, "", column));
  scroll.scrollMin = 1;
  scroll.scrollMax = static_cast<int>(kMaxStepScroll);
  scroll.scrollPos = 1;
  AddControl(scroll);
  AddControl(check(kOffTwoDirections, "&2 directions"));
  AddControl(OnLine(check(kOffSymmetric, "&symmetric")));
  AddControl(OnLine(button(kOffReset, "&reset")));
  AddControl(OnLine(button(kOffExchange, "&Xchange")));
  AddControl(edit(kOffPoints, "Points", !pointsTyped, kPointsChars));
}

void MeasureDialog::BuildControls() {
  // Column 0: sweep limits, estimate, progress, generator; column 1: the
  // current rows; column 2: the voltage rows; then the button row. Every
  // changing text has a fixed width, so the dialog keeps its size from
  // Idle to running and back.
  SetPlacement(platform::DialogPlacement::BesideOwner);
  // The points of a range that only counts them are typed by the user.
  auto typed = [](RangeId id) {
    const SweepRange* r = Range(id);
    return !r || !r->finder;
  };
  if (layout_.sweepLimits) {
    AddSweepGroup(kSweep1Base, "Sweep 1", 0, typed(description_.sweep1Range));
  } else {
    Control points = Wide(Make(kSweep1Base + kOffPoints, ControlKind::Edit, "", 0),
                          kPointsChars, true);
    points.label = "Points";
    points.textLimit = 10;
    points.readOnly = !typed(description_.sweep1Range);
    AddControl(points);
  }
  if (layout_.sweep2Group)
    AddSweepGroup(kSweep2Base, "Sweep 2", 0, typed(description_.sweep2Range));
  g1_.present = layout_.sweepLimits;
  g2_.present = layout_.sweep2Group;
  AddControl(Wide(Make(kIdMemory, ControlKind::Static, "", 0), 24, false));
  if (layout_.temperature) {
    Control t = Wide(Make(kIdTemperature, ControlKind::Edit, "", 0), 12, true);
    t.label = "Temperature";
    t.readOnly = true;
    AddControl(t);
  }
  AddControl(Wide(Make(kIdProgressText, ControlKind::Static, "", 0), kProgressChars, false));
  AddControl(Make(kIdProgressBar, ControlKind::Custom, "", 0));
  AddControl(Wide(Make(kIdStatusLine, ControlKind::Static, "", 0), kProgressChars, false));
  Control genBox = Make(kIdGeneratorBox, ControlKind::GroupBox, "", 0);
  genBox.frameCount = 4;
  AddControl(genBox);
  AddControl(Make(kIdGenerator, ControlKind::CheckBox, "&Generator", 0));
  AddControl(OnLine(Make(kIdPause, ControlKind::Button, "paus.", 0)));
  AddControl(OnLine(Make(kIdResume, ControlKind::Button, "resum", 0)));
  AddControl(OnLine(Make(kIdClear, ControlKind::Button, "CLR", 0)));
  AddControl(Make(kIdAutoZero, ControlKind::CheckBox, "Auto&Zero", 0));

  // A row: the index button ("#31"), the amperes, the code's bar, "reset".
  Control currents = Make(kIdCurrentsBox, ControlKind::GroupBox, "Currents", 1);
  currents.frameCount = 1 + 4 * layout_.currentRows + 2;
  AddControl(currents);
  AddControl(Make(kIdCurrentRowsScroll, ControlKind::ScrollBar, "", 1));
  for (int r = 0; r < layout_.currentRows; ++r) {
    AddControl(Wide(Make(kIdCurrentButton + r, ControlKind::Button, "", 1), 3, false));
    AddControl(OnLine(Wide(Make(kIdCurrentValue + r, ControlKind::Static, "", 1), kAmpereChars, true)));
    Control bar = OnLine(Make(kIdCurrentScroll + r, ControlKind::ScrollBar, "", 1));
    bar.scrollMin = 0;
    bar.scrollMax = static_cast<int>(kMaxNormalisedCode);
    AddControl(bar);
    AddControl(OnLine(Make(kIdCurrentReset + r, ControlKind::Button, "reset", 1)));
  }
  AddControl(Make(kIdResetAll, ControlKind::Button, "&all", 1));
  AddControl(OnLine(Make(kIdResetSweep1, ControlKind::Button, "&sweep 1", 1)));

  // A row: the index button, the Indicator with the volts.
  Control voltages = Make(kIdVoltagesBox, ControlKind::GroupBox, "Voltages", 2);
  voltages.frameCount = 1 + 2 * layout_.voltageRows;
  AddControl(voltages);
  AddControl(Make(kIdVoltageRowsScroll, ControlKind::ScrollBar, "", 2));
  for (int r = 0; r < layout_.voltageRows; ++r) {
    AddControl(Wide(Make(kIdVoltageButton + r, ControlKind::Button, "", 2), 4, false));
    AddControl(OnLine(Make(kIdVoltageIndicator + r, ControlKind::Custom, "", 2)));
  }

  Control doIt = Make(kIdDoIt, ControlKind::Button, kDoItText, 0);
  doIt.defaultButton = true;
  AddControl(doIt);
  AddControl(Make(kIdCancel, ControlKind::Button, kCancelText, 0));
  AddControl(Make(kIdOptions, ControlKind::Button, "&Options", 0));
  AddControl(Make(kIdXAxis, ControlKind::Button, "x axis", 0));
  AddControl(Make(kIdYAxis, ControlKind::Button, "y axis", 0));
}

}  // namespace tsm::measure
