#include "math/options.h"

#include "shell/optiongroups.h"

namespace tsm::math {

namespace {

using shell::CheckField;
using shell::Field;
using shell::FieldList;
using shell::FloatField;
using shell::UnsignedField;

// Limits of the stored values; a loaded value outside them keeps the default.
constexpr double kMaxSmoothParameter = 128;
constexpr double kMaxFilterParameter = 1e10;
constexpr double kMaxCriticalAngle = 90;
constexpr double kMinDerivePoints = 2;
constexpr double kMaxDerivePoints = 1000;

Field SmoothField(MathOptions& o) {
  return UnsignedField(kSmoothPointsControl, &o.smoothParameter, kMathSection, kSmoothParameterKey,
                       0, kMaxSmoothParameter, kSmoothPointsLabel);
}
Field FilterField(MathOptions& o) {
  return FloatField(kFilterAmplitudeControl, &o.filterParameter, kMathSection, kFilterParameterKey,
                    0, kMaxFilterParameter, kFilterAmplitudeLabel);
}
Field AngleField(MathOptions& o) {
  return FloatField(kCriticalAngleControl, &o.criticalAngle, kMathSection, kCriticalAngleKey, 0,
                    kMaxCriticalAngle, kCriticalAngleLabel);
}

platform::Control Description(const char* text) {
  platform::Control c;
  c.id = kDescriptionControl;
  c.kind = platform::ControlKind::Static;
  c.text = text;
  return c;
}

FieldList DialogList(Field field, const char* description) {
  FieldList list;
  list.fields.push_back(std::move(field));
  list.extraControls.push_back(Description(description));
  return list;
}

// The options and the field lists bound to them live together, so the lists'
// pointers stay valid for the whole run (the registry keeps a pointer to the
// group list).
struct MathState {
  MathOptions options;
  FieldList group;
  FieldList smooth;
  FieldList filter;
  FieldList skip;

  MathState() {
    group.fields = {
        SmoothField(options),
        FilterField(options),
        AngleField(options),
        UnsignedField(kDerivePointsControl, &options.derivePoints, kMathSection,
                      kDerivePointsKey, kMinDerivePoints, kMaxDerivePoints, kDerivePointsLabel),
        CheckField(kDeriveDiscardEdgeControl, &options.deriveDiscardEdge, kMathSection,
                   kDeriveDiscardEdgeKey, kDeriveDiscardEdgeLabel),
        shell::RadioField(kDeriveDiscardDirControl, &options.deriveDiscardDir, kMathSection,
                          kDeriveDiscardDirKey,
                          {"Both directions", "Increasing x only", "Decreasing x only"},
                          kDeriveDiscardDirLabel),
    };
    smooth = DialogList(SmoothField(options), kSmoothDescription);
    filter = DialogList(FilterField(options), kFilterDescription);
    skip = DialogList(AngleField(options), kSkipDescription);
  }
};

MathState& State() {
  static MathState state;
  return state;
}

}  // namespace

MathOptions& GetMathOptions() { return State().options; }

void ResetMathOptions() { State().options = MathOptions{}; }

const FieldList& MathGroupFields() { return State().group; }
FieldList& SmoothDialogFields() { return State().smooth; }
FieldList& FilterDialogFields() { return State().filter; }
FieldList& SkipDialogFields() { return State().skip; }

void RegisterOptionGroups() {
  shell::RegisterOptionGroup(shell::OptionGroupId::Math,
                             shell::FieldListGroup(kMathSection, MathGroupFields()));
}

}  // namespace tsm::math
