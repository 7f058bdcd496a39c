#include "math/junction_options.h"

#include "math/options.h"
#include "shell/optiongroups.h"

namespace tsm::math {

namespace {

using shell::CheckField;
using shell::Field;
using shell::FieldList;
using shell::FloatField;
using shell::RadioField;
using shell::UnsignedField;

constexpr double kMaxCriterion = 1e3;        // volts
constexpr double kMaxStartPoints = 1000000;
constexpr double kMaxExceedIcBy = 100;
constexpr double kMaxSelfFactor = 1e30;

Field SelfFactorField(JunctionOptions& o) {
  return FloatField(kSelfFieldFactorControl, &o.selfFieldFactor, kMathSection,
                    kSelfFieldFactorKey, -kMaxSelfFactor, kMaxSelfFactor, kSelfFieldFactorLabel);
}

// The options and the lists bound to them live together, so the registry's
// pointer to the group list stays valid for the whole run.
struct JunctionState {
  JunctionOptions options;
  FieldList group;
  FieldList dialog;
  FieldList selfField;

  JunctionState() {
    dialog.fields = {
        FloatField(kIcCriterionControl, &options.icCriterion, kMathSection, kIcCriterionKey, 0,
                   kMaxCriterion, "Ic criterion (V):"),
        RadioField(kRnMethodControl, &options.rnMethod, kMathSection, kRnMethodKey,
                   {"Converging Least Square Fit", "V/I at the largest |I|"}, "Rn"),
        UnsignedField(kRnStartPointsControl, &options.rnStartPoints, kMathSection,
                      kRnStartPointsKey, kMinStartPoints, kMaxStartPoints,
                      "Points the fit starts from:"),
        CheckField(kRnDrawLinesControl, &options.rnDrawLines, kMathSection, kRnDrawLinesKey,
                   "Draw the fitted lines (the family is kept)"),
        RadioField(kVcMethodControl, &options.vcMethod, kMathSection, kVcMethodKey,
                   {"Ic x Rn", "V at I = Ic (1 + exceed)"}, "Vc"),
        FloatField(kVcExceedIcByControl, &options.vcExceedIcBy, kMathSection, kVcExceedIcByKey, 0,
                   kMaxExceedIcBy, "Exceed Ic by (fraction):"),
    };
    selfField.fields = {SelfFactorField(options)};
    selfField.extraControls = {shell::TextControl(kSelfFieldTextControl, kSelfFieldText)};
    group.fields = dialog.fields;
    group.fields.push_back(SelfFactorField(options));
  }
};

JunctionState& State() {
  static JunctionState state;
  return state;
}

}  // namespace

JunctionOptions& GetJunctionOptions() { return State().options; }

void ResetJunctionOptions() { State().options = JunctionOptions{}; }

void RegisterJunctionOptionGroup() {
  shell::RegisterOptionGroup(shell::OptionGroupId::Junction,
                             shell::FieldListGroup("Junction parameters", State().group));
}

int RunJunctionDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kJunctionDialogId, owner, State().dialog, kJunctionCaption);
}

int RunSelfFieldDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kSelfFieldDialogId, owner, State().selfField, kSelfFieldCaption);
}

}  // namespace tsm::math
