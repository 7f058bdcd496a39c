#include "measure/vtime_options.h"

#include "channels/averaging.h"

namespace tsm::measure {

namespace {
VtimeOptions& Options() {
  static VtimeOptions options;
  return options;
}
}  // namespace

VtimeOptions& GetVtimeOptions() { return Options(); }
void ResetVtimeOptions() { Options() = VtimeOptions{}; }

shell::FieldList& VtimeGroupFields() {
  static shell::FieldList list = [] {
    VtimeOptions& o = Options();
    const char* s = kVtimeSection;
    shell::FieldList l;
    l.fields.push_back(shell::RadioField(
        kIdVtimeWay, &o.way, s, "Measure:V(time)_Way",
        {"&Timed points (averaged readings)", "&Buffered acquisition (turbo path)"},
        "How to take the points"));
    l.fields.push_back(shell::UnsignedField(kIdVtimeInterval, &o.interval, s,
                                            "Measure:V(time)_Interval", 0, kMaxVtimeInterval,
                                            "Interval between timed points (ms)"));
    // The turbo path's own limits.
    l.fields.push_back(shell::FloatField(kIdVtimeRate, &o.samplingRate, s,
                                         "Measure:V(time)_SamplingRate",
                                         channels::kMinSampleRate, channels::kMaxSampleRate,
                                         "Sampling rate of the buffered way (Hz)"));
    l.dependencies.push_back({shell::kRuleEnableIfChecked2, kIdVtimeBuffered, {kIdVtimeRate}});
    l.dependencies.push_back(
        {shell::kRuleDisableIfChecked2, kIdVtimeBuffered, {kIdVtimeInterval}});
    return l;
  }();
  return list;
}

int RunVtimeOptionsDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kVtimeOptionsDialogId, owner, VtimeGroupFields(),
                               kVtimeOptionsCaption);
}

}  // namespace tsm::measure
