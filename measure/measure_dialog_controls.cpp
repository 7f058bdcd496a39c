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


void MeasureDialog::AddSweepGroup(int base, const char* caption, int column, bool pointsTyped) {
  Control box = Make(base + kOffBox, ControlKind::GroupBox, caption, column);
  box.frameCount = kOffGoStop;  // the thirteen controls below
  AddControl(box);
  auto edit = [&](int off, const char* label, bool readOnly) {
    Control c = Make(base + off, ControlKind::Edit, "", column);
    c.label = label;
    c.readOnly = readOnly;
    c.textLimit = 10;
    AddControl(c);
  };
  auto check = [&](int off, const char* text) {
    AddControl(Make(base + off, ControlKind::CheckBox, text, column));
  };
  auto button = [&](int off, const char* text, const char* tip = "") {
    Control c = Make(base + off, ControlKind::Button, text, column);
    c.tooltip = tip;
    AddControl(c);
  };
  edit(kOffStart, "start", true);
  check(kOffSetStart, "set start");
  button(kOffGoStart, ">>", "go start");
  edit(kOffStop, "stop", true);
  check(kOffSetStop, "set stop");
  button(kOffGoStop, ">>", "go stop");
  edit(kOffStep, "step", false);
  Control scroll = Make(base + kOffStepScroll, ControlKind::ScrollBar, "", column);
  scroll.scrollMin = 1;
  scroll.scrollMax = static_cast<int>(kMaxStepScroll);
  scroll.scrollPos = 1;
  AddControl(scroll);
  check(kOffTwoDirections, "&2 directions");
  check(kOffSymmetric, "&symmetric");
  button(kOffReset, "&reset");
  button(kOffExchange, "&Xchange");
  edit(kOffPoints, "Points", !pointsTyped);
}

void MeasureDialog::BuildControls() {
  // Column 0: sweep limits, estimate, progress, generator; column 1: the
  // current rows; column 2: the voltage rows; then the button row.
  // The points of a range that only counts them are typed by the user.
  auto typed = [](RangeId id) {
    const SweepRange* r = Range(id);
    return !r || !r->finder;
  };
  if (layout_.sweepLimits) {
    AddSweepGroup(kSweep1Base, "Sweep 1", 0, typed(description_.sweep1Range));
  } else {
    Control points = Make(kSweep1Base + kOffPoints, ControlKind::Edit, "", 0);
    points.label = "Points";
    points.textLimit = 10;
    points.readOnly = !typed(description_.sweep1Range);
    AddControl(points);
  }
  if (layout_.sweep2Group)
    AddSweepGroup(kSweep2Base, "Sweep 2", 0, typed(description_.sweep2Range));
  g1_.present = layout_.sweepLimits;
  g2_.present = layout_.sweep2Group;
  AddControl(Make(kIdMemory, ControlKind::Static, "", 0));
  if (layout_.temperature) {
    Control t = Make(kIdTemperature, ControlKind::Edit, "", 0);
    t.label = "Temperature";
    t.readOnly = true;
    AddControl(t);
  }
  AddControl(Make(kIdProgressText, ControlKind::Static, "", 0));
  AddControl(Make(kIdProgressBar, ControlKind::Custom, "", 0));
  AddControl(Make(kIdStatusLine, ControlKind::Static, "", 0));
  Control genBox = Make(kIdGeneratorBox, ControlKind::GroupBox, "", 0);
  genBox.frameCount = 4;
  AddControl(genBox);
  AddControl(Make(kIdGenerator, ControlKind::CheckBox, "&Generator", 0));
  AddControl(Make(kIdPause, ControlKind::Button, "paus.", 0));
  AddControl(Make(kIdResume, ControlKind::Button, "resum", 0));
  AddControl(Make(kIdClear, ControlKind::Button, "CLR", 0));
  AddControl(Make(kIdAutoZero, ControlKind::CheckBox, "Auto&Zero", 0));

  Control currents = Make(kIdCurrentsBox, ControlKind::GroupBox, "Currents", 1);
  currents.frameCount = 1 + 4 * layout_.currentRows + 2;
  AddControl(currents);
  Control rows = Make(kIdCurrentRowsScroll, ControlKind::ScrollBar, "", 1);
  AddControl(rows);
  for (int r = 0; r < layout_.currentRows; ++r) {
    AddControl(Make(kIdCurrentButton + r, ControlKind::Button, "", 1));
    AddControl(Make(kIdCurrentValue + r, ControlKind::Static, "", 1));
    Control bar = Make(kIdCurrentScroll + r, ControlKind::ScrollBar, "", 1);
    bar.scrollMin = 0;
    bar.scrollMax = static_cast<int>(kMaxNormalisedCode);
    AddControl(bar);
    AddControl(Make(kIdCurrentReset + r, ControlKind::Button, "reset", 1));
  }
  AddControl(Make(kIdResetAll, ControlKind::Button, "&all", 1));
  AddControl(Make(kIdResetSweep1, ControlKind::Button, "&sweep 1", 1));

  Control voltages = Make(kIdVoltagesBox, ControlKind::GroupBox, "Voltages", 2);
  voltages.frameCount = 1 + 2 * layout_.voltageRows;
  AddControl(voltages);
  AddControl(Make(kIdVoltageRowsScroll, ControlKind::ScrollBar, "", 2));
  for (int r = 0; r < layout_.voltageRows; ++r) {
    AddControl(Make(kIdVoltageButton + r, ControlKind::Button, "", 2));
    AddControl(Make(kIdVoltageIndicator + r, ControlKind::Custom, "", 2));
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
