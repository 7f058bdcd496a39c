#include "measure/ivf_options.h"

#include <string>

#include "platform/dialog_buttons.h"
#include "shell/stringex.h"

namespace tsm::measure {

const char* const kIVFKindCaptions[kParamKinds] = {
    "Sweep&2", "&Temperature", "Input &manually (ask after each IVC)",
    "The value is increased &automatically"};

namespace {
IVFOptions& Options() {
  static IVFOptions options;
  return options;
}

shell::FieldList MakeFields() {
  IVFOptions& o = Options();
  shell::FieldList l;
  auto add = [&l](shell::Field f, int column) {
    f.column = column;
    l.fields.push_back(std::move(f));
  };
  add(shell::RadioField(kIdIVFKind, &o.kind, kIVFSection, "IVF_WhatKindOfParam",
                        {kIVFKindCaptions[0], kIVFKindCaptions[1], kIVFKindCaptions[2],
                         kIVFKindCaptions[3]},
                        kIVFParamGroupCaption),
      0);
  // The prefix and suffix of the typed kind, then the automatic kind's four.
  add(shell::TextField(kIdIVFAskPrefix, o.askPrefix, kIVFAffixLength, kIVFSection,
                       "IVF_AskParam_Prefix", "prefix"),
      1);
  add(shell::TextField(kIdIVFAskSuffix, o.askSuffix, kIVFAffixLength, kIVFSection,
                       "IVF_AskParam_Suffix", "suffix"),
      1);
  add(shell::FloatField(kIdIVFAutoFrom, &o.autoFrom, kIVFSection, "IVF_AutoParam_From",
                        shell::kNoMinimum, shell::kNoMaximum, "&from"),
      1);
  add(shell::FloatField(kIdIVFAutoStep, &o.autoStep, kIVFSection, "IVF_AutoParam_Step",
                        shell::kNoMinimum, shell::kNoMaximum, "with step"),
      1);
  add(shell::TextField(kIdIVFAutoPrefix, o.autoPrefix, kIVFAffixLength, kIVFSection,
                       "IVF_AutoParam_Prefix", "prefix"),
      1);
  add(shell::TextField(kIdIVFAutoSuffix, o.autoSuffix, kIVFAffixLength, kIVFSection,
                       "IVF_AutoParam_Suffix", "suffix"),
      1);
  add(shell::UnsignedField(kIdIVFSigDig, &o.sigDigits, kIVFSection, "IVF_Param_SigDig", 3, 19,
                           "Number of significant digits to show:"),
      0);
  add(shell::CheckField(kIdIVFResetSweep1, &o.resetSweep1BetweenCurves, kIVFSection,
                        "IVF_ResetSweep1BetweenCurves",
                        "Reset sweep1 to initial value while waiting between curves"),
      0);
  add(shell::CheckField(kIdIVFTrigger, &o.trigger, kIVFSection, "IVF_Trigger",
                        "&Trigger after setting each Sweep2 (H)"),
      0);
  return l;
}
}  // namespace

IVFOptions& GetIVFOptions() { return Options(); }
void ResetIVFOptions() { Options() = IVFOptions{}; }

std::string IVFKindName(unsigned kind) {
  if (kind >= kParamKinds) return "?";
  std::string name = kIVFKindCaptions[kind];
  std::erase(name, '&');
  return name;
}

Affixes IVFAffixes(const IVFOptions& o) {
  switch (o.kind) {
    case kParamSweep2: return {"I_H=", "A"};
    case kParamTemperature: return {"T=", "K"};
    case kParamManual: return {o.askPrefix, o.askSuffix};
    default: return {o.autoPrefix, o.autoSuffix};
  }
}

shell::FieldList& IVFGroupFields() {
  static shell::FieldList list = MakeFields();
  return list;
}

int RunIVFOptionsDialog(platform::WindowHandle owner) {
  // The framework's controls of the fields, with the two "prefix" and
  // "suffix" pairs framed under the names of the kinds they belong to.
  shell::FieldList& list = IVFGroupFields();
  const shell::SetupDialog built(kIVFOptionsDialogId, kIVFOptionsCaption, list);
  shell::SetupDialog dialog(kIVFOptionsDialogId, kIVFOptionsCaption, list,
                            shell::SetupDialog::Layout::Caller);
  auto frame = [&dialog](unsigned kind, int count) {
    platform::Control c;
    c.id = -1;
    c.kind = platform::ControlKind::GroupBox;
    c.text = IVFKindName(kind);
    c.column = 1;
    c.frameCount = count;
    dialog.AddControl(c);
  };
  for (const platform::Control& c : built.Controls()) {
    if (c.id == kIdIVFAskPrefix) frame(kParamManual, 2);
    if (c.id == kIdIVFAutoFrom) frame(kParamAutomatic, 4);
    dialog.AddControl(c);
  }
  platform::AddOkCancelButtons(dialog);
  dialog.AddControl(platform::PushButton(shell::kSetupSave, "&Save"));
  dialog.AddControl(platform::PushButton(shell::kSetupLoad, "&Load"));
  return platform::GetUi().RunModal(dialog, owner) == 1 ? 1 : 0;
}

shell::InfoTable IVFInfoTable() {
  shell::InfoTable t;
  t.title = kIVFOptionsCaption;
  t.Add("Parameter is", IVFKindName(Options().kind));
  return t;
}

int AskIVFParameter(platform::WindowHandle owner, unsigned curve, const char* prefix,
                    const char* suffix, double* value) {
  double typed = *value;
  shell::FieldList list;
  list.fields.push_back(shell::FloatField(kIdParamValue, &typed, "", "", shell::kNoMinimum,
                                          shell::kNoMaximum, prefix ? prefix : ""));
  shell::SetupDialog dialog(kParamDialogId, kParamCaption, list,
                            shell::SetupDialog::Layout::Caller);
  dialog.AddControl(shell::TextControl(kIdParamCurve, shell::Format(kParamCurveFormat, curve)));
  dialog.AddControl(shell::TextControl(kIdParamPrompt, kParamPromptText));
  // The prefix is the edit's label, the suffix follows it: "prefix [value] suffix".
  platform::Control edit;
  edit.id = kIdParamValue;
  edit.kind = platform::ControlKind::Edit;
  edit.label = prefix ? prefix : "";
  dialog.AddControl(edit);
  platform::Control after = shell::TextControl(kIdParamSuffix, suffix ? suffix : "");
  after.sameLine = true;
  dialog.AddControl(after);
  platform::AddOkCancelButtons(dialog);
  if (platform::GetUi().RunModal(dialog, owner) != 1) return 0;
  *value = typed;
  return 1;
}

}  // namespace tsm::measure
