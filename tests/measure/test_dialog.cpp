// The measurement dialog: its start, the live rows, the sweep controls, the
// worker's life from "&Do It" to the end it gives the dialog, "Stop" and
// "&Cancel", the undo copy and the failure paths.
#include <chrono>
#include <cmath>
#include <thread>

#include "curves/undo.h"
#include "measure/services.h"
#include "plot/colors.h"
#include "shell/phyunits.h"
#include "tests/measure/measure_fixture.h"

namespace tsm::testing {
namespace {

using measure::MeasureDialog;
using measure::Mode;
using platform::UiCall;
namespace m = tsm::measure;

constexpr int S1 = m::kSweep1Base;

class DialogTest : public MeasureTest {
 protected:
  static const m::MeasurementDescription& IVC() { return m::Description(Mode::IVC); }

  // Waits (bounded) until the worker has measured `points` points.
  static bool WaitForPoints(std::uint32_t points) {
    for (int k = 0; k < 2000; ++k) {
      if (m::GetMeasureState().points1.load() >= points) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
};

TEST_F(DialogTest, StartsWithTheCaptionTheRangeAndTheEstimate) {
  SetRange(0, 65535, 128, true);
  MeasureDialog d(IVC());
  d.Init();
  EXPECT_EQ(d.Caption(), "Measurements -- IVC");
  EXPECT_EQ(d.GetText(S1 + m::kOffStart), "0");
  EXPECT_EQ(d.GetText(S1 + m::kOffStop), "65535");
  EXPECT_EQ(d.GetText(S1 + m::kOffStep), "128");
  EXPECT_EQ(d.GetCheck(S1 + m::kOffTwoDirections), 1);
  EXPECT_EQ(d.GetCheck(S1 + m::kOffSetStart), 0);
  EXPECT_EQ(d.GetText(S1 + m::kOffPoints), "1024");  // 512 each way
  // (512 x 8 x 2 + 146) x 1 x 1 voltage = 8338 bytes.
  EXPECT_EQ(d.GetText(m::kIdMemory), "Memory: " + shell::FormatWithPrefix(8338.0f, "B"));
  EXPECT_TRUE(d.IsEnabled(m::kIdOptions));
  EXPECT_TRUE(d.IsEnabled(m::kIdXAxis));
  EXPECT_FALSE(d.IsEnabled(m::kIdYAxis));
  EXPECT_EQ(ui->LiveTimers(), 1u);
  EXPECT_EQ(ui->CallsOf(UiCall::Kind::TimerStart)[0].type, 250u);
  d.Finish();
  EXPECT_EQ(ui->LiveTimers(), 0u);
}

TEST_F(DialogTest, TheRefreshShowsEveryDefinedCurrentAndVoltage) {
  DefineCurrent(2, channels::kConstant, 0, 1, 1000.0f);
  MeasureDialog d(IVC());
  d.Init();
  EXPECT_EQ(d.GetText(m::kIdCurrentButton + 0), "#0");
  EXPECT_EQ(d.GetText(m::kIdCurrentValue + 0),
            shell::FormatWithPrefix(static_cast<float>(channels::CurrentAmperes(0)), "A"));
  EXPECT_EQ(d.GetText(m::kIdCurrentValue + 1), "");  // not defined
  EXPECT_FALSE(d.IsEnabled(m::kIdCurrentScroll + 1));
  EXPECT_EQ(d.ScrollPos(m::kIdCurrentScroll + 0), 32768);

  const m::Indicator v0 = d.GetIndicator(m::kIdVoltageIndicator + 0);
  EXPECT_FALSE(v0.text.empty());
  EXPECT_EQ(v0.minimum, 0);
  EXPECT_EQ(v0.maximum, 65535);
  EXPECT_NEAR(v0.value, 32768, 200);  // superconducting: about the zero reading
  const m::Indicator v1 = d.GetIndicator(m::kIdVoltageIndicator + 1);
  EXPECT_EQ(v1.text, "");
  EXPECT_EQ(v1.value, 32768);  // the card's zero reading

  // The rows carry the 14-step spectrum; scrolling the rows moves it along.
  EXPECT_EQ(d.GetIndicator(m::kIdVoltageIndicator + 3).barColor, plot::RGB_Spectrum7(3, 14));
  d.SetScrollPos(m::kIdVoltageRowsScroll, 12);
  d.Command(m::kIdVoltageRowsScroll, m::kScrolled);
  EXPECT_EQ(d.GetText(m::kIdVoltageButton + 0), "#12");
  EXPECT_EQ(d.GetIndicator(m::kIdVoltageIndicator + 3).barColor, plot::RGB_Spectrum7(1, 14));
  EXPECT_EQ(d.GetIndicator(m::kIdVoltageIndicator + 0).text, "");

  // A new reading after the current moved shows on the next tick.
  channels::SetCurrentCode(2, 40000);
  ui->FireTimers();
  EXPECT_EQ(d.GetText(m::kIdCurrentValue + 2),
            shell::FormatWithPrefix(static_cast<float>(channels::CurrentAmperes(2)), "A"));
  d.Finish();
}

TEST_F(DialogTest, TheRowScrollBarMovesTheSweepGroupTogether) {
  DefineCurrent(1, channels::kMinusSweep1, 0, 1);
  channels::GetMeasurementOptions().delays.maxDacStep = 65535;
  MeasureDialog d(IVC());
  d.Init();
  d.SetScrollPos(m::kIdCurrentScroll + 0, 50000);
  d.Command(m::kIdCurrentScroll + 0, m::kScrolled);
  EXPECT_EQ(channels::PresentCode(0), 50000);
  EXPECT_EQ(channels::PresentCode(1), 65535 - 50000);
  // A "-Sweep 1" bar shows its code mirrored, so both bars stand together.
  EXPECT_EQ(d.ScrollPos(m::kIdCurrentScroll + 1), 50000);

  d.Command(m::kIdCurrentReset + 0);
  EXPECT_EQ(channels::PresentCode(0), 32768);
  channels::SetCurrentCode(0, 1000);
  d.Command(m::kIdResetAll);
  EXPECT_EQ(channels::PresentCode(0), 32768);
  EXPECT_EQ(channels::PresentCode(1), 32768);
  channels::SetCurrentCode(0, 1000);
  d.Command(m::kIdResetSweep1);
  EXPECT_EQ(channels::PresentCode(0), 32768);
  d.Finish();
}

TEST_F(DialogTest, SweepControlsEditTheRangeAndItsEstimates) {
  SetRange(0, 65535, 128, false);
  channels::GetMeasurementOptions().delays.maxDacStep = 65535;
  channels::SetCurrentCode(0, 20000);
  MeasureDialog d(IVC());
  d.Init();

  d.SetCheck(S1 + m::kOffSetStart, 1);
  d.Command(S1 + m::kOffSetStart);
  EXPECT_EQ(d.Sweep1().start, 20000u);
  EXPECT_EQ(d.GetText(S1 + m::kOffStart), "20000");
  EXPECT_EQ(d.GetText(S1 + m::kOffPoints), "356");  // 45535 / 128 + 1

  d.SetCheck(S1 + m::kOffSymmetric, 1);
  d.Command(S1 + m::kOffSymmetric);
  EXPECT_EQ(d.Sweep1().stop, 45535u);
  EXPECT_FALSE(d.IsEnabled(S1 + m::kOffSetStop));
  EXPECT_EQ(d.GetCheck(S1 + m::kOffSetStop), 1);  // stop differs from 65535

  d.Command(S1 + m::kOffExchange);
  EXPECT_EQ(d.Sweep1().start, 45535u);
  EXPECT_EQ(d.Sweep1().stop, 20000u);

  d.Command(S1 + m::kOffGoStop);
  EXPECT_EQ(channels::PresentCode(0), 20000);
  d.Command(S1 + m::kOffGoStart);
  EXPECT_EQ(channels::PresentCode(0), 45535);

  d.Command(S1 + m::kOffReset);
  EXPECT_EQ(d.Sweep1().start, 0u);
  EXPECT_EQ(d.Sweep1().stop, 65535u);
  EXPECT_FALSE(d.Sweep1().symmetric);
  EXPECT_EQ(d.GetCheck(S1 + m::kOffSymmetric), 0);
  EXPECT_TRUE(d.IsEnabled(S1 + m::kOffSetStop));

  // Steps: the scroll bar, a typed value, and typed values out of 1..32768.
  d.SetScrollPos(S1 + m::kOffStepScroll, 1000);
  d.Command(S1 + m::kOffStepScroll, m::kScrolled);
  EXPECT_EQ(d.Sweep1().step, 1000u);
  EXPECT_EQ(d.GetText(S1 + m::kOffStep), "1000");
  d.SetText(S1 + m::kOffStep, "4096");
  d.Refresh();
  EXPECT_EQ(d.Sweep1().step, 4096u);
  EXPECT_EQ(d.GetText(S1 + m::kOffPoints), "16");
  for (const char* bad : {"0", "40000", "x12"}) {
    d.SetText(S1 + m::kOffStep, bad);
    d.Refresh();
    EXPECT_EQ(d.Sweep1().step, 1u) << bad;
    EXPECT_EQ(d.GetText(S1 + m::kOffStep), "1") << bad;
  }
  EXPECT_EQ(d.GetText(m::kIdMemory), "Memory: " + shell::FormatWithPrefix(65536 * 8 + 146, "B"));
  d.Finish();
}

// The limits in amperes beside their codes, and currents typed as limits:
// DAC card 0 gives -10 .. +10 V over its 65536 codes, through 1000 Ohm.
TEST_F(DialogTest, TheLimitsShowTheirCurrentsAndTakeTypedCurrents) {
  SetRange(0, 65535, 128, false);
  MeasureDialog d(IVC());
  d.Init();
  // A mantissa of 10 keeps three decimals (only above 10 are there two).
  EXPECT_EQ(d.GetText(S1 + m::kOffStartAmperes), "-10.000 mA");
  EXPECT_EQ(d.GetText(S1 + m::kOffStopAmperes), "+10.000 mA");
  EXPECT_EQ(d.GetText(S1 + m::kOffStepAmperes), "+39.06 \xB5" "A");  // 128 x 20 V / 65536 / 1 kOhm

  d.SetText(S1 + m::kOffStart, "1.5 mA");
  d.SetText(S1 + m::kOffStop, "-20 uA");
  d.Refresh();
  const std::uint32_t start = d.Sweep1().start;
  auto miss = [](double code, double amperes) {
    return std::fabs(channels::AmperesAtCode(0, code) - amperes);
  };
  // The code nearest to 1.5 mA: both neighbours lie farther.
  EXPECT_EQ(start, 37683u);
  EXPECT_LT(miss(start, 1.5e-3), miss(start - 1, 1.5e-3));
  EXPECT_LT(miss(start, 1.5e-3), miss(start + 1, 1.5e-3));
  EXPECT_EQ(d.GetText(S1 + m::kOffStart), "37683");
  EXPECT_EQ(d.GetText(S1 + m::kOffStartAmperes), "+1.500 mA");
  EXPECT_EQ(d.Sweep1().stop, 32702u);
  EXPECT_EQ(d.GetText(S1 + m::kOffStopAmperes), "-20.14 \xB5" "A");
  EXPECT_EQ(d.GetCheck(S1 + m::kOffSetStart), 1);
  EXPECT_EQ(d.GetCheck(S1 + m::kOffSetStop), 1);

  // A code stays a code; what is neither is refused with a beep.
  d.SetText(S1 + m::kOffStop, "40000");
  d.SetText(S1 + m::kOffStart, "12 parsecs");
  d.Refresh();
  EXPECT_EQ(d.Sweep1().stop, 40000u);
  EXPECT_EQ(d.Sweep1().start, 37683u);
  EXPECT_EQ(d.GetText(S1 + m::kOffStart), "37683");
  EXPECT_EQ(ui->CallsOf(UiCall::Kind::Beep).size(), 1u);

  // The refresh leaves a field alone while it has the focus; a command takes it.
  d.SetFocus(S1 + m::kOffStart);
  d.SetText(S1 + m::kOffStart, "0 A");
  d.Refresh();
  EXPECT_EQ(d.GetText(S1 + m::kOffStart), "0 A");
  d.Command(S1 + m::kOffExchange);
  EXPECT_EQ(d.Sweep1().start, 40000u);
  EXPECT_EQ(d.Sweep1().stop, 32768u);
  d.Finish();
}

// On a 12-bit card the typed current's code is shown on the 16-bit scale.
TEST_F(DialogTest, ATypedCurrentOfASmallerCardIsShownNormalised) {
  DefineCurrent(0, channels::kPlusSweep1, 1, 0, 1000.0f);  // 0..4095 over -5 .. +5 V
  MeasureDialog d(IVC());
  d.Init();
  d.SetText(S1 + m::kOffStart, "1 mA");
  d.Refresh();
  EXPECT_EQ(d.Sweep1().start, 2458u * 16);
  EXPECT_EQ(d.GetText(S1 + m::kOffStartAmperes), "+1.001 mA");
  d.Finish();
}

TEST_F(DialogTest, WithoutMeasuredVoltagesTheEstimateIsUnknown) {
  DefineVoltage(0, channels::kTSensor, 0, 1);
  MeasureDialog d(IVC());
  d.Init();
  EXPECT_EQ(d.GetText(m::kIdMemory), "Memory: ???");
  d.Finish();
}

TEST_F(DialogTest, CancelFromIdleKeepsTheFamilyAndTheEditedRange) {
  Family().SetCount(1);
  Family().Curve(0).Append(1, 2);
  ui->PushDialog([](platform::DialogModel& dialog) {
    dialog.SetCheck(S1 + m::kOffTwoDirections, 1);
    dialog.Command(S1 + m::kOffTwoDirections);
    dialog.Command(m::kIdCancel);
  });
  EXPECT_EQ(m::RunMeasurement(Mode::IVC, nullptr), 0);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 1u);
  EXPECT_FALSE(curves::UndoAvailable());
  EXPECT_TRUE(m::Range(m::RangeId::SharedVI)->twoDirections);
  EXPECT_EQ(m::GetMeasureState().dialog.load(), nullptr);
}

TEST_F(DialogTest, DoItTakesTheUndoCopyAndTheWorkerEndsTheDialog) {
  SetRange(30000, 31000, 100, true);
  Family().SetCount(1);
  Family().Curve(0).Append(1, 2);
  Family().Curve(0).SetName("before");
  EXPECT_EQ(m::RunMeasurement(Mode::IVC, nullptr), 1);
  EXPECT_TRUE(curves::UndoAvailable());
  EXPECT_STREQ(curves::UndoFamily().Curve(0).Name(), "before");
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 22u);
  EXPECT_FALSE(curves::GetCurvesState().plotShowsUndo.load());
  const auto modal = ui->CallsOf(UiCall::Kind::Modal);
  ASSERT_EQ(modal.size(), 1u);
  EXPECT_EQ(modal[0].text, std::to_string(m::kCommonDialogId));
  EXPECT_EQ(modal[0].answer, 1);
}

TEST_F(DialogTest, RefusingToGoOnWithoutUndoEndsWithZero) {
  Family().SetCount(1);
  Family().Curve(0).Append(1, 2);
  curves::SetAllocationHook([](std::size_t) { return true; });
  ui->PushAnswer(platform::IDNO);
  EXPECT_EQ(m::RunMeasurement(Mode::IVC, nullptr), 0);
  curves::SetAllocationHook(nullptr);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, curves::kUndoMemoryQuestion);
  EXPECT_EQ(Family().Curve(0).Count(), 1u);
}

TEST_F(DialogTest, WhileRunningThePlotShowsTheUndoCopyAndStopTwiceOnlyStops) {
  SetRange(0, 65535, 1, true);  // long enough to be stopped
  channels::GetMeasurementOptions().delays.interactionTime = 0;
  MeasureDialog d(IVC());
  d.Init();
  d.Command(m::kIdDoIt);
  ASSERT_TRUE(d.Running());
  EXPECT_EQ(d.GetText(m::kIdCancel), "Stop");
  EXPECT_FALSE(d.IsEnabled(m::kIdDoIt));
  EXPECT_FALSE(d.IsEnabled(m::kIdOptions));
  EXPECT_FALSE(d.IsEnabled(m::kIdAutoZero));
  EXPECT_FALSE(d.IsEnabled(S1 + m::kOffGoStart));
  EXPECT_TRUE(curves::GetCurvesState().plotShowsUndo.load() || d.Ended());
  d.Command(m::kIdDoIt);  // disabled in a real dialog; a second worker never starts
  ASSERT_TRUE(WaitForPoints(20));
  // The refresh goes on while the worker measures.
  ui->FireTimers();
  d.Command(m::kIdCancel);
  d.Command(m::kIdCancel);
  ASSERT_TRUE(d.WaitForEnd(std::chrono::seconds(30)));
  d.Finish();
  EXPECT_EQ(d.Result(), 1);
  EXPECT_TRUE(m::StopRequested());  // cleared only by the next "&Do It"
  ASSERT_EQ(Family().Count(), 1u);
  const std::uint32_t kept = Family().Curve(0).Count();
  EXPECT_GE(kept, 19u);
  EXPECT_LT(kept, 131072u);
  EXPECT_EQ(channels::PresentCode(0), 32768);
  EXPECT_FALSE(curves::GetCurvesState().plotShowsUndo.load());
  // The worker showed its progress while it ran.
  EXPECT_NE(d.GetText(S1 + m::kOffPoints).find('/'), std::string::npos);
  EXPECT_NE(d.GetText(m::kIdProgressText).find("% (Estimated: "), std::string::npos);
}

TEST_F(DialogTest, ProgressIsShownOnlyAfterTheFirstPoint) {
  MeasureDialog d(IVC());
  d.Init();
  d.ShowProgress(1000, 0, 4);
  EXPECT_EQ(d.GetText(m::kIdProgressText), "");
  d.ShowProgress(1000, 1, 4);
  EXPECT_EQ(d.GetText(m::kIdProgressText), "25.0 % (Estimated: 3.0 sec left, 4.0 sec total)");
  EXPECT_EQ(d.GetIndicator(m::kIdProgressBar).value, 25);
  EXPECT_EQ(d.GetIndicator(m::kIdProgressBar).maximum, 100);
  d.ShowPoints(3, 10);
  EXPECT_EQ(d.GetText(S1 + m::kOffPoints), "3/10");
  EXPECT_EQ(m::GetMeasureState().points1.load(), 3u);
  d.Finish();
}

TEST_F(DialogTest, AFailedTimerIsToldAndTheMeasurementStillRuns) {
  SetRange(30000, 30500, 100, false);
  ui->SetTimersFail(true);
  EXPECT_EQ(m::RunMeasurement(Mode::IVC, nullptr), 1);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "Can not run timer.\nCurrent and voltage readings\nwill not be animated");
  EXPECT_EQ(boxes[0].caption, "Error in MeasureDlg_OnInitDialog()");
  EXPECT_EQ(Family().Curve(0).Count(), 6u);
}

TEST_F(DialogTest, ARangeThatCountsPointsTakesTheTypedNumber) {
  // A mode whose range has no finder: the points field is typed.
  static const m::MeasurementDescription counter = {
      [](MeasureDialog& dialog) {
        const m::SweepRange r = dialog.Sweep1();
        return r.start == 0 && r.stop == 41 && r.step == 1 ? 1 : 0;
      },
      "count", m::RangeId::IcTPoints, m::RangeId::None, nullptr, nullptr, nullptr,
      m::DialogTemplate::Temperature};
  MeasureDialog d(counter);
  d.Init();
  EXPECT_EQ(d.GetText(S1 + m::kOffPoints), "10000");
  EXPECT_FALSE(d.IsEnabled(S1 + m::kOffTwoDirections));
  EXPECT_FALSE(d.GetControl(S1 + m::kOffPoints)->readOnly);
  EXPECT_TRUE(d.HasControl(m::kIdTemperature));
  EXPECT_EQ(d.GetText(m::kIdTemperature), "V not def");
  EXPECT_FALSE(d.IsEnabled(m::kIdOptions));

  d.SetText(S1 + m::kOffPoints, "0");
  d.Command(m::kIdDoIt);  // refused: the field is marked, nothing starts
  EXPECT_FALSE(d.Running());
  EXPECT_EQ(d.Focus(), S1 + m::kOffPoints);
  d.SetText(S1 + m::kOffPoints, "42");
  d.Command(m::kIdDoIt);
  ASSERT_TRUE(d.WaitForEnd(std::chrono::seconds(30)));
  d.Finish();
  EXPECT_EQ(d.Result(), 1);
  EXPECT_EQ(m::Range(m::RangeId::IcTPoints)->stop, 41u);
}

TEST_F(DialogTest, ZubDoesNothingAndReturnsOne) {
  EXPECT_EQ(m::RunMeasurement(Mode::Zub, nullptr), 1);
  EXPECT_EQ(ui->CallsOf(UiCall::Kind::Modal)[0].text, std::to_string(m::kCompactDialogId));
  // A mode without routine cannot start.
  static const m::MeasurementDescription none = {nullptr, "none", m::RangeId::None,
                                                 m::RangeId::None, nullptr, nullptr, nullptr,
                                                 m::DialogTemplate::Common};
  EXPECT_EQ(m::RunMeasurement(none, nullptr), 0);
  EXPECT_EQ(ui->CallsOf(UiCall::Kind::Modal).size(), 1u);
}

TEST_F(DialogTest, AnExceptionOfTheRoutineIsToldAndEndsWithZero) {
  static const m::MeasurementDescription throwing = {
      [](MeasureDialog&) -> int { throw m::MeasureIcException(-1); }, "Ic(H)", m::RangeId::IcH,
      m::RangeId::None, nullptr, nullptr, nullptr, m::DialogTemplate::Common};
  EXPECT_EQ(m::RunMeasurement(throwing, nullptr), 0);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, "Abort requested");
  EXPECT_STREQ(m::MeasureIcException(0).what(), "Unknown exception");
  EXPECT_STREQ(m::MeasureIcException(5).what(), "Unknown exception");
  EXPECT_FALSE(curves::GetCurvesState().plotShowsUndo.load());
}

}  // namespace
}  // namespace tsm::testing
