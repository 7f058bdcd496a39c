// The field lists, dialogs and summaries of the general measurement
// options, the delays and the trigger pulse.
#include <algorithm>
#include <cmath>

#include "channels/measurement_options.h"
#include "shell/stringex.h"

namespace tsm::channels {

namespace {
constexpr double kMaxUnsigned = 4294967295.0;

shell::FieldList MakeGeneral() {
  GeneralMeasurementOptions& o = GetMeasurementOptions().general;
  shell::FieldList l;
  l.fields.push_back(shell::RadioField(
      kIdMeasureMethod, &o.currentMeasureMethod, "Measure", "CurrentMesureMethod",
      {"In each point", "Only on the edges and assume it's linear"}, "How to Measure Current"));
  l.fields.push_back(shell::CheckField(kIdSwapXY, &o.swapXYAxes, "Setup", "SwapXY_Axes",
                                       "Swap X-Y Axes after IVC && IVF"));
  l.fields.push_back(shell::CheckField(kIdRescale, &o.rescalePlotAfterMeasurement, "Setup",
                                       "RescalePlotAfterMeasurement",
                                       "Rescale plot after measurement"));
  return l;
}

shell::FieldList MakeDelays() {
  DelayOptions& o = GetMeasurementOptions().delays;
  shell::FieldList l;
  auto field = [&l](int id, std::uint32_t* v, const char* key, double lo, double hi,
                    const char* label) {
    l.fields.push_back(shell::UnsignedField(id, v, "Measure", key, lo, hi, label));
  };
  field(kIdDelayAfterJump, &o.delayAfterJumpToStart, "DelayAfterJumpToStart", 0, kMaxUnsigned,
        "After the current jumps at the 1st point: (ms). . . . . . . . .");
  field(kIdSystemDecay, &o.systemDecayTime, "SystemDecayTime", 0, kMaxUnsigned,
        "After Sweep1 is set (ms). . . . . . . . . . . . . . . . . . . . . . . . . ");
  field(kIdDelayAfterSweep2, &o.delayAfterSweep2, "DelayAfterSweep2", 0, kMaxUnsigned,
        "After Sweep2 is set (ms). . . . . . . . . . . . . . . . . . . . . ");
  field(kIdDelayBeforeVoltage, &o.delayBeforeVoltage, "DelayBeforeVoltage", 0, kMaxUnsigned,
        "After MUXing (ms). . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . ");
  field(kIdMaxDacStep, &o.maxDacStep, "MaxDACStep", 1, kMaxUnsigned,
        "Maximum DAC step (DAC units). . . . . . . . . . . . . . . .");
  field(kIdPrimitiveStep, &o.primitiveGeneratorStep, "PrimitiveGeneratorStep", 1, 1024,
        "Primitive Generator step (DAC units). . . . . . . . . . . ");
  field(kIdInteraction, &o.interactionTime, "InteractionTime", 0, kMaxUnsigned,
        "Interactivity (ms). . . . . . . . . . . ");
  l.fields.push_back(shell::CheckField(kIdStopAfterEachCurve, &o.stopAfterEachCurve, "Measure",
                                       "StopAfterEachCurve",
                                       "Stop after each curve/point in IVF, Ic(H), Im(H)"));
  return l;
}

shell::FieldList MakeTrigger() {
  TriggerOptions& o = GetMeasurementOptions().trigger;
  shell::FieldList l;
  l.fields.push_back(shell::FloatField(kIdLevel1, &o.level1, "Trigger", "Level1", -1, 1,
                                       "Level 1 [-1..+1] . . . . . . . . . . . . "));
  l.fields.push_back(shell::FloatField(kIdLevel2, &o.level2, "Trigger", "Level2", -1, 1,
                                       "Level 2 [-1..+1] . . . . . . . . . . . . "));
  l.fields.push_back(shell::UnsignedField(kIdTriggerDelay, &o.delay, "Trigger", "Delay", 0,
                                          kMaxUnsigned, "Delay (ms) . . . . . . . . . . . . "));
  l.extraControls.push_back(shell::TextControl(kIdTriggerText, kTriggerDescription));
  return l;
}
}  // namespace

shell::FieldList& GeneralMeasurementFields() {
  static shell::FieldList list = MakeGeneral();
  return list;
}

shell::FieldList& DelaysFields() {
  static shell::FieldList list = MakeDelays();
  return list;
}

shell::FieldList& TriggerFields() {
  static shell::FieldList list = MakeTrigger();
  return list;
}

int RunGeneralMeasurementDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kGeneralDialogId, owner, GeneralMeasurementFields(),
                               kGeneralCaption);
}

int RunDelaysDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kDelaysDialogId, owner, DelaysFields(), kDelaysCaption);
}

int RunTriggerDialog(platform::WindowHandle owner) {
  return shell::RunSetupDialog(kTriggerDialogId, owner, TriggerFields(), kTriggerCaption);
}

shell::InfoTable GeneralMeasurementInfoTable() {
  shell::InfoTable t;
  t.title = "General Measurement Options";
  t.Add("How the sweep current is measured",
        GetMeasurementOptions().general.currentMeasureMethod == 0 ? "in each point"
                                                                  : "only on the edges");
  return t;
}

shell::InfoTable DelaysInfoTable() {
  const DelayOptions& o = GetMeasurementOptions().delays;
  auto u = [](std::uint32_t v) { return shell::Format("%u", static_cast<unsigned>(v)); };
  shell::InfoTable t;
  t.title = "Delays";
  t.Add("Delay after current jumps to the first point (ms)", u(o.delayAfterJumpToStart));
  t.Add("Delay after Sweep1 is set (ms)", u(o.systemDecayTime));
  t.Add("Delay after Sweep2 is set (ms)", u(o.delayAfterSweep2));
  t.Add("Delay after multiplexing  (ms)", u(o.delayBeforeVoltage));
  t.Add("Interactivity time (ms)", u(o.interactionTime));
  t.Add("Stop After Each Curve?", shell::YesNo(o.stopAfterEachCurve));
  return t;
}

shell::InfoTable TriggerInfoTable() {
  const TriggerOptions& o = GetMeasurementOptions().trigger;
  shell::InfoTable t;
  t.title = "Trigger Options";
  t.Add("Level 1", shell::FormatFloatG(o.level1));
  t.Add("Level 2", shell::FormatFloatG(o.level2));
  t.Add("Delay (ms)", shell::Format("%u", static_cast<unsigned>(o.delay)));
  return t;
}

std::uint16_t TriggerLevelCode(float level, std::uint16_t minCode, std::uint16_t maxCode) {
  double l = level;
  if (!(l >= -1.0)) l = -1.0;
  if (l > 1.0) l = 1.0;
  const double code = minCode + (static_cast<double>(maxCode) - minCode) * (l + 1.0) / 2.0;
  return static_cast<std::uint16_t>(std::clamp(code, static_cast<double>(minCode),
                                               static_cast<double>(maxCode)));
}

}  // namespace tsm::channels
