#include "measure/ivc_options.h"

#include "shell/optiongroups.h"

namespace tsm::measure {

namespace {
IVCOptions& Options() {
  static IVCOptions options;
  return options;
}

void AddXAxisFields(shell::FieldList& l) {
  IVCOptions& o = Options();
  l.fields.push_back(shell::RadioField(kIdIVCKind, &o.xAxisKind, kIVCSection,
                                       "IVC_xAxis_WhatKindOfParam",
                                       {"Sweep&1", "The value is increased &automatically"},
                                       "x axis"));
  l.fields.push_back(shell::FloatField(kIdIVCFactor, &o.factor, kIVCSection, "IVC_xAxis_Factor",
                                       shell::kNoMinimum, shell::kNoMaximum,
                                       "x axis factor (e.g. to get Oe from mA)"));
  l.fields.push_back(shell::TextField(kIdIVCUnits, o.units, kIVCUnitsLength, kIVCSection,
                                      "IVC_xAxis_Units", "x axis units (e.g. A)"));
  l.fields.push_back(shell::FloatField(kIdIVCFrom, &o.from, kIVCSection, "IVC_xAxis_From",
                                       shell::kNoMinimum, shell::kNoMaximum, "&from"));
  l.fields.push_back(shell::FloatField(kIdIVCStep, &o.step, kIVCSection, "IVC_xAxis_Step",
                                       shell::kNoMinimum, shell::kNoMaximum, "with step"));
  l.fields.push_back(shell::TextField(kIdIVCAutoUnits, o.autoUnits, kIVCUnitsLength, kIVCSection,
                                      "IVC_xAxis_Auto_Units", "x axis units (e.g. dBm):"));
}

void AddOptionFields(shell::FieldList& l) {
  l.fields.push_back(shell::CheckField(kIdIVCTrigger, &Options().trigger, kIVCSection,
                                       "IVC_Trigger",
                                       "&Trigger after setting each value of sweep1"));
}
}  // namespace

IVCOptions& GetIVCOptions() { return Options(); }
void ResetIVCOptions() { Options() = IVCOptions{}; }

const char* IVCXUnits() {
  const IVCOptions& o = Options();
  return o.xAxisKind == kXAutomatic ? o.autoUnits : o.units;
}

shell::FieldList& IVCXAxisFields() {
  static shell::FieldList list = [] {
    shell::FieldList l;
    AddXAxisFields(l);
    return l;
  }();
  return list;
}

shell::FieldList& IVCOptionsFields() {
  static shell::FieldList list = [] {
    shell::FieldList l;
    AddOptionFields(l);
    return l;
  }();
  return list;
}

shell::FieldList& IVCGroupFields() {
  static shell::FieldList list = [] {
    shell::FieldList l;
    AddXAxisFields(l);
    AddOptionFields(l);
    return l;
  }();
  return list;
}

int RunIVCXAxisDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kIVCXAxisDialogId, owner, IVCXAxisFields(), kIVCXAxisCaption);
}

int RunIVCOptionsDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kIVCOptionsDialogId, owner, IVCOptionsFields(),
                               kIVCOptionsCaption);
}

shell::InfoTable IVCInfoTable() {
  shell::InfoTable t;
  t.title = kIVCOptionsCaption;
  t.Add("Trigger", shell::YesNo(Options().trigger));
  return t;
}

}  // namespace tsm::measure
