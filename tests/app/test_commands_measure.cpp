// The Measure menu's commands: which are available, and what follows a
// measurement (rescale, the axes swap of V(I), the unsaved mark).
#include "plot/view.h"
#include "app/commands.h"
#include "measure/ich.h"
#include "measure/ich_options.h"
#include "measure/ict_options.h"
#include "tests/measure/measure_fixture.h"

namespace tsm::testing {
namespace {

class MeasureCommandsTest : public MeasureTest {
 protected:
  MeasureCommandsTest() {
    app::ResetCommandState();
    app::RegisterMeasureCommands(app::Commands());
    app::RegisterMathCommands(app::Commands());
    plot::ResetPlotView();
    SetRange(30000, 31000, 100, false);
  }
  ~MeasureCommandsTest() override { app::ResetCommandState(); }
};

TEST_F(MeasureCommandsTest, EveryMeasurementAndItsOptionDialogCanStart) {
  for (int id : {29, 268, 213, 185, 151, 152, 149, 267, 153, 219, 261, 262, 209, 215, 186, 154,
                 279, 169, 278})
    EXPECT_TRUE(app::CommandEnabled(id)) << id;
  EXPECT_TRUE(ui->CallsOf(platform::UiCall::Kind::Modal).empty());
}

TEST_F(MeasureCommandsTest, AMeasurementRescalesAndMarksTheDataUnsaved) {
  shell::SetDataSaved(true);
  plot::GetPlotView().autoScale = false;
  EXPECT_EQ(app::RunCommand(29), app::CommandResult::Done);
  EXPECT_FALSE(shell::DataSaved());
  EXPECT_TRUE(plot::GetPlotView().autoScale);
  EXPECT_STREQ(curves::CurrentFamily().UnitX(), "A");

  // Without rescaling, and cancelled: nothing changes.
  channels::GetMeasurementOptions().general.rescalePlotAfterMeasurement = false;
  plot::GetPlotView().autoScale = false;
  shell::SetDataSaved(true);
  ui->PushDialog([](platform::DialogModel& d) { d.Command(measure::kIdCancel); });
  EXPECT_EQ(app::RunCommand(29), app::CommandResult::Failed);
  EXPECT_TRUE(shell::DataSaved());
  EXPECT_FALSE(plot::GetPlotView().autoScale);
}

TEST_F(MeasureCommandsTest, SwapXYAxesExchangesTheCurvesAndTheViewOnce) {
  channels::GetMeasurementOptions().general.swapXYAxes = true;
  channels::GetMeasurementOptions().general.rescalePlotAfterMeasurement = false;
  plot::PlotView& v = plot::GetPlotView();
  v.autoScale = false;
  v.xMin = -1;
  v.xMax = 1;
  v.yMin = -5;
  v.yMax = 5;
  EXPECT_EQ(app::RunCommand(29), app::CommandResult::Done);
  EXPECT_STREQ(curves::CurrentFamily().UnitX(), "V");
  EXPECT_STREQ(curves::CurrentFamily().UnitY(), "A");
  EXPECT_FLOAT_EQ(v.xMin, -5);
  EXPECT_FLOAT_EQ(v.yMax, 1);
}

TEST_F(MeasureCommandsTest, TheVIOptionsCommandOpensTheIVCOptions) {
  ui->PushDialog([](platform::DialogModel& d) { d.SetCheck(measure::kIdIVCTrigger, 1); });
  EXPECT_EQ(app::RunCommand(268), app::CommandResult::Done);
  EXPECT_TRUE(measure::GetIVCOptions().trigger);
  EXPECT_EQ(ui->CallsOf(platform::UiCall::Kind::Modal)[0].caption, "IVC Options");
}

TEST_F(MeasureCommandsTest, TheCriticalCurrentCommandsMeasureWithoutSwappingAxes) {
  // The emulated junction with its field current, a few field values.
  DefineCurrent(1, channels::kPlusSweep2, 0, 1, 1000.0f);
  measure::ResetIcHOptions();
  measure::GetIcHOptions().criterion = 0.2f;
  measure::SweepRange& r = *measure::Range(measure::RangeId::IcH);
  r.start = 30000;
  r.stop = 35000;
  r.step = 1000;
  channels::GetMeasurementOptions().general.swapXYAxes = true;
  for (const auto& [id, title] :
       {std::pair{213, "Ic(H)"}, std::pair{185, "Im(H)"}, std::pair{151, "Ic(H)"}}) {
    shell::SetDataSaved(true);
    EXPECT_EQ(app::RunCommand(id), app::CommandResult::Done) << id;
    EXPECT_STREQ(curves::CurrentFamily().GraphName(), title);
    EXPECT_STREQ(curves::CurrentFamily().UnitX(), "A");  // not swapped
    // Im(H) with its default step and reset voltages (both 0) never gets
    // beyond the step: it tells so and keeps nothing.
    if (id != 185) {
      EXPECT_EQ(curves::CurrentFamily().Curve(0).Count(), 6u);
    }
    EXPECT_FALSE(shell::DataSaved());
  }
  EXPECT_FALSE(measure::ResetFieldForced());
  measure::ResetIcHOptions();

  ui->PushDialog([](platform::DialogModel& d) { EXPECT_EQ(d.Caption(), "Ic(H) Options"); });
  EXPECT_EQ(app::RunCommand(149), app::CommandResult::Done);
  ui->PushDialog([](platform::DialogModel& d) { EXPECT_EQ(d.Caption(), "Ic(T) Options"); });
  EXPECT_EQ(app::RunCommand(267), app::CommandResult::Done);
}

}  // namespace
}  // namespace tsm::testing
