// The critical-current search and the Ic(H) and Im(H) routines against a
// junction double with exact switching codes: the result to the code, the
// clamps of the search (I_reset, the card maximum), the efforts and resets,
// the failures, stops, Im(H)'s step edge, "Ic(H) with reset" and the
// statistics.
#include <algorithm>
#include <chrono>
#include <thread>

#include "measure/ic_search.h"
#include "measure/ich.h"
#include "measure/services.h"
#include "tests/measure/ic_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;
using platform::UiCall;

class IcHTest : public IcTest {};

TEST_F(IcHTest, FindsTheLastCodeBelowTheSwitchAtEveryFieldValue) {
  // Ic falls by 700 codes per field value: the prediction is then exact
  // after the second value, and the result is the switching code itself.
  junction.ic = [](int field, double) { return 45000 - (field - 32768) / 100 * 700; };
  SetFieldRange(32768, 32768 + 900, 100);  // 10 field values
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  EXPECT_TRUE(ui->MessageBoxes().empty());

  const curves::CurveFamily& f = Family();
  ASSERT_EQ(f.Count(), 1u);
  EXPECT_STREQ(f.GraphName(), "Ic(H)");
  EXPECT_STREQ(f.UnitX(), "A");
  EXPECT_STREQ(f.UnitY(), "A");
  EXPECT_STREQ(f.Curve(0).Name(), "Voltage#0/Current#0");
  ASSERT_EQ(f.Curve(0).Count(), 10u);
  for (std::uint32_t i = 0; i < 10; ++i) {
    EXPECT_NEAR(f.Curve(0).Point(i).x, Amperes(32768 + 100 * i), 1e-7) << i;
    EXPECT_NEAR(f.Curve(0).Point(i).y, Amperes(45000 - 700 * static_cast<int>(i)), 1e-7) << i;
  }
  // Both currents back at their start codes.
  EXPECT_EQ(channels::PresentCode(0), 32768);
  EXPECT_EQ(channels::PresentCode(1), 32768);

  // The forecast error is 0 from the third value on; the steps are 700.
  m::ComputeIcStatistics();
  const m::IcShownStatistics& s = m::ShownIcStatistics();
  EXPECT_TRUE(s.stepValid);
  EXPECT_DOUBLE_EQ(s.stepMean, 700.0);
  EXPECT_DOUBLE_EQ(s.stepDeviation, 0.0);
  EXPECT_DOUBLE_EQ(s.stepSpread, 0.0);
  ASSERT_TRUE(s.forecastValid);
  EXPECT_DOUBLE_EQ(s.forecastSpread, 700.0);  // -700 at field 1, then 0
  EXPECT_GT(s.tests, 10u);
}

TEST_F(IcHTest, PredictionSavesTestsOnASlope) {
  junction.ic = [](int field, double) { return 40000 + (field - 32768) / 100 * 300; };
  SetFieldRange(32768, 32768 + 3000, 100);
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  const std::uint64_t with = m::IcStatistics().tests;
  std::vector<float> first;
  for (std::uint32_t i = 0; i < Family().Curve(0).Count(); ++i)
    first.push_back(Family().Curve(0).Point(i).y);
  m::GetIcHOptions().usePrediction = false;
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  EXPECT_LT(with * 2, m::IcStatistics().tests);
  ASSERT_EQ(Family().Curve(0).Count(), first.size());
  for (std::uint32_t i = 0; i < first.size(); ++i)
    EXPECT_EQ(first[i], Family().Curve(0).Point(i).y) << i;
}

TEST_F(IcHTest, ASingleFieldValueLeavesTheStepAndForecastStatisticsAsTheyWere) {
  SetFieldRange(32768, 33768, 100);
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  const m::IcShownStatistics before = m::ShownIcStatistics();
  ASSERT_TRUE(before.stepValid);
  junction.ic = [](int, double) { return 41000; };
  SetFieldRange(32768, 32768, 100);
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  EXPECT_NEAR(Family().Curve(0).Point(0).y, Amperes(41000), 1e-7);
  const m::IcShownStatistics& after = m::ShownIcStatistics();
  EXPECT_EQ(after.stepMean, before.stepMean);
  EXPECT_EQ(after.forecastMean, before.forecastMean);
  EXPECT_NE(after.tests, before.tests);  // the counts are of the last run
  EXPECT_EQ(m::IcStatisticsLine(4).rfind("Step of Ic (bits): mean ", 0), 0u);
}

TEST_F(IcHTest, AResultBelowTheLastResetCodeRestartsFromIt) {
  // Ic drops from 40000 to 33000 between two field values; backing off in
  // steps of 2048 from 40000 would pass below I_reset (just above 32776).
  junction.ic = [](int field, double) { return field == 32768 ? 40000 : 33000; };
  m::GetIcHOptions().backwardStep = 2048;
  SetFieldRange(32768, 32868, 100);
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  ASSERT_EQ(Family().Curve(0).Count(), 2u);
  EXPECT_NEAR(Family().Curve(0).Point(1).y, Amperes(33000), 1e-7);
  // From the first reset on (the dialog's refresh read at 32768 before it).
  const auto first = std::find(junction.tested.begin(), junction.tested.end(), 32768 + 8);
  ASSERT_NE(first, junction.tested.end());
  const int lowest = *std::min_element(first, junction.tested.end());
  EXPECT_GE(lowest, 32768 + 8);  // never below the first reset code
}

TEST_F(IcHTest, EffortsAndTheResetToGetIcCountTheirResets) {
  SetFieldRange(32768, 32768, 100);
  // The climb's overshoots reset as well, the same number in every run:
  // each effort after the first and the reset to get Ic add one.
  auto resets = [](unsigned efforts, bool resetToGetIc) {
    m::GetIcHOptions().numberOfTimes = efforts;
    m::GetIcHOptions().resetToGetIc = resetToGetIc;
    EXPECT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
    EXPECT_NEAR(Family().Curve(0).Point(0).y, Amperes(40000), 1e-7);
    return m::IcStatistics().resets;
  };
  const std::uint64_t base = resets(1, false);
  EXPECT_EQ(resets(1, true), base + 1);
  EXPECT_EQ(resets(3, false), base + 2);
  EXPECT_EQ(resets(3, true), base + 3);
}

TEST_F(IcHTest, SeveralEffortsKeepTheHighestSwitchingCode) {
  // A noisy switch: the threshold of the n-th switching cycles through
  // 39000, 40000, 39500, so any three switchings in a row include 40000.
  int switchings = 0;
  junction.volts = [this, &switchings](int bias, int) {
    static const int kThresholds[] = {39000, 40000, 39500};
    if (!junction.resistive && bias > kThresholds[switchings % 3]) {
      junction.resistive = true;
      ++switchings;
    }
    if (junction.resistive && bias < junction.retrap) junction.resistive = false;
    return junction.resistive ? 4.9 : 0.0;
  };
  SetFieldRange(32768, 32768, 100);
  m::GetIcHOptions().numberOfTimes = 3;
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  EXPECT_NEAR(Family().Curve(0).Point(0).y, Amperes(40000), 1e-7);
}

TEST_F(IcHTest, RaisingAtTheCardMaximumLandsOnItThenFails) {
  // Switching only above 65534: the climb's last step lands exactly on the
  // card maximum (65535), which switches; the result is 65534.
  junction.ic = [](int, double) { return 65534; };
  SetFieldRange(32768, 32768, 100);
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  EXPECT_TRUE(Errors().empty());
  EXPECT_NEAR(Family().Curve(0).Point(0).y, Amperes(65534), 1e-7);

  // Never switching: raising at the maximum fails with the message; the
  // family keeps what was found before (here nothing).
  junction.ic = [](int, double) { return 70000; };
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0].text, m::kNonZeroUnreachableText);
  EXPECT_EQ(Errors()[0].owner, nullptr);
  EXPECT_EQ(Errors()[0].type & 0x70u, platform::MB_ICONHAND);
  EXPECT_EQ(Family().Count(), 0u);
  EXPECT_EQ(channels::PresentCode(0), 32768);
}

TEST_F(IcHTest, AFailedSearchKeepsThePointsFoundBeforeIt) {
  junction.ic = [](int field, double) { return field < 33000 ? 40000 : 70000; };
  SetFieldRange(32768, 33268, 100);  // the third value cannot switch
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  ASSERT_EQ(Errors().size(), 1u);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 3u);
  EXPECT_STREQ(Family().Curve(0).Name(), "Voltage#0/Current#0");
}

TEST_F(IcHTest, AJunctionThatNeverResetsEmptiesTheFamily) {
  junction.volts = [](int, int) { return 4.9; };
  SetFieldRange(32768, 33768, 100);
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0].text, m::kZeroUnreachableText);
  EXPECT_EQ(Family().Count(), 0u);
}

TEST_F(IcHTest, AStopDuringTheFifthFieldValueEmptiesTheFamilyAndTheSixthKeepsFive) {
  for (const int stopAt : {4, 5}) {
    junction.onField = [stopAt](int changes) {
      // Field value i is the i-th change (the first value is the code the
      // field has already).
      if (changes == stopAt) m::RequestStop();
    };
    junction.fieldChanges = 0;
    junction.field = 32768;
    SetFieldRange(32768, 33768, 100);
    ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
    if (stopAt == 4) {
      EXPECT_EQ(Family().Count(), 0u);
    } else {
      ASSERT_EQ(Family().Count(), 1u);
      EXPECT_EQ(Family().Curve(0).Count(), 5u);
    }
    EXPECT_EQ(channels::PresentCode(0), 32768);
    EXPECT_EQ(channels::PresentCode(1), 32768);
  }
}

TEST_F(IcHTest, RepeatsAndTheEdgesModeFillEveryPointOfBothDirections) {
  m::GetIcHOptions().measurementsPerField = 2;
  m::GetIcHOptions().xAxisKind = m::kIcHXAutomatic;
  channels::GetMeasurementOptions().general.currentMeasureMethod = 1;
  SetFieldRange(32768, 33168, 100);  // 5 values
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  EXPECT_STREQ(Family().UnitX(), "dBm");
  {
    const curves::Curve& c = Family().Curve(0);
    ASSERT_EQ(c.Count(), 10u);
    // x_first = -30, x_stop = -26 (index 4 at the stop code): field i gets
    // -30 + 4 i / 5 for both of its repetitions.
    for (std::uint32_t p = 0; p < 10; ++p) {
      EXPECT_FLOAT_EQ(c.Point(p).x, static_cast<float>(-30.0 + 4.0 * (p / 2) / 5.0)) << p;
      EXPECT_NEAR(c.Point(p).y, Amperes(40000), 1e-7);
    }
  }
  SetFieldRange(32768, 33168, 100, true);  // 5 values each way
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  const curves::Curve& c = Family().Curve(0);
  ASSERT_EQ(c.Count(), 20u);
  for (std::uint32_t p = 0; p < 10; ++p) EXPECT_FLOAT_EQ(c.Point(19 - p).x, c.Point(p).x) << p;
}

TEST_F(IcHTest, WithResetTheFieldReturnsToItsStartDuringEveryReset) {
  std::vector<std::pair<int, int>> reads;  // bias, field of every reading
  junction.volts = [&reads, this](int bias, int field) {
    reads.emplace_back(bias, field);
    if (!junction.resistive && bias > 40000) junction.resistive = true;
    if (junction.resistive && bias < junction.retrap) junction.resistive = false;
    return junction.resistive ? 4.9 : 0.0;
  };
  // Resets test near the bottom (above 32768, where the dialog's refresh
  // reads before the start); the field starts at 32768, the range lies
  // elsewhere.
  auto resetsAtTheStartField = [&reads] {
    int n = 0;
    for (const auto& [bias, field] : reads)
      if (bias > 32768 && bias < 33100 && field == 32768) ++n;
    return n;
  };
  SetFieldRange(40000, 40200, 100);
  ASSERT_EQ(m::RunIcHWithReset(nullptr), 1);
  EXPECT_FALSE(m::ResetFieldForced());
  EXPECT_GT(resetsAtTheStartField(), 3);  // the first reset and one per field value
  for (const auto& [bias, field] : reads) {
    // The searches themselves test at their field value.
    if (bias > 33100) {
      EXPECT_NE(field, 32768) << bias;
    }
  }
  EXPECT_EQ(channels::PresentCode(1), 32768);

  reads.clear();
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  EXPECT_EQ(resetsAtTheStartField(), 1);  // only the first reset, before the field moves
}

TEST_F(IcHTest, StartChecksAndTheTrigger) {
  DefineCurrent(1, channels::kConstant, 0, 1);
  EXPECT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 0);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, m::kNoSweep2Text);
  EXPECT_EQ(ui->MessageBoxes()[0].caption, m::kCannotStartCaption);

  DefineCurrent(1, channels::kPlusSweep2, 0, 1);
  m::GetIcHOptions().trigger = true;
  SetFieldRange(32768, 33768, 100);
  EXPECT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  ASSERT_EQ(ui->MessageBoxes().size(), 2u);
  EXPECT_EQ(ui->MessageBoxes()[1].text, m::kTriggerFailedText);
  EXPECT_EQ(ui->MessageBoxes()[1].caption, m::kIcHErrorCaption);
  EXPECT_EQ(Family().Count(), 0u);
}

TEST_F(IcHTest, NextPointCancelledKeepsTheCompletedFieldValues) {
  channels::GetMeasurementOptions().delays.stopAfterEachCurve = true;
  SetFieldRange(32768, 33768, 100);
  ui->PushAnswer(platform::IDOK);  // "Next point?" of the first value
  ui->PushAnswer(platform::IDOK);
  ui->PushAnswer(platform::IDCANCEL);
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);
  std::vector<UiCall> asked;
  for (const UiCall& c : ui->MessageBoxes())
    if (c.text == m::kNextPointText) asked.push_back(c);
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0].caption, m::kNextPointCaption);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 2u);
}

TEST_F(IcHTest, AStopTakesEffectWithinOneSettlingDelay) {
  // A 150 ms settling delay after every bias change: the stop is seen at the
  // next voltage test, so the run ends about one delay after it.
  channels::GetMeasurementOptions().delays.systemDecayTime = 150;
  SetFieldRange(0, 65535, 128);
  m::MeasureDialog d(m::Description(m::Mode::IcH));
  d.Init();
  d.Command(m::kIdDoIt);
  ASSERT_TRUE(d.Running());
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  ui->FireTimers();
  const auto stop = std::chrono::steady_clock::now();
  d.Command(m::kIdCancel);  // "Stop"
  ASSERT_TRUE(d.WaitForEnd(std::chrono::seconds(30)));
  const auto took = std::chrono::steady_clock::now() - stop;
  d.Finish();
  EXPECT_EQ(d.Result(), 1);
  EXPECT_LT(took, std::chrono::milliseconds(2 * 150 + 200));
  EXPECT_EQ(Family().Count(), 0u);  // stopped during the first field value
  EXPECT_EQ(channels::PresentCode(0), 32768);
}

// --- Im(H) -------------------------------------------------------------------------

class ImHTest : public IcTest {
 protected:
  ImHTest() {
    m::IcHOptions& o = m::GetIcHOptions();
    o.stepVoltage = 1.0f;
    o.resetVoltage = 0.5f;
    o.criterion = 0.2f;
    SetFieldRange(32768, 33168, 100);
  }
};

TEST(StepClassification, FollowsTheSideOfTheResetVoltage) {
  using m::StepState;
  // Step above the reset voltage: beyond is above the step.
  EXPECT_EQ(m::ClassifyStep(1.0, 1.0, 0.5, 0.2), StepState::OnStep);
  EXPECT_EQ(m::ClassifyStep(1.3, 1.0, 0.5, 0.2), StepState::Beyond);
  EXPECT_EQ(m::ClassifyStep(0.7, 1.0, 0.5, 0.2), StepState::Below);
  EXPECT_EQ(m::ClassifyStep(1.2, 1.0, 0.5, 0.2), StepState::Below);  // the edge itself
  // Step below the reset voltage: beyond is below the step.
  EXPECT_EQ(m::ClassifyStep(-1.3, -1.0, 0.0, 0.2), StepState::Beyond);
  EXPECT_EQ(m::ClassifyStep(-0.5, -1.0, 0.0, 0.2), StepState::Below);
  EXPECT_TRUE(m::ImResetReached(0.4, 1.0, 0.5));
  EXPECT_FALSE(m::ImResetReached(0.6, 1.0, 0.5));
  EXPECT_TRUE(m::ImResetReached(0.1, -1.0, 0.0));
}

TEST_F(ImHTest, FindsTheUpperEdgeOfTheVoltageStep) {
  // 0 V up to 38000, the step (1 V) up to an edge that moves with the
  // field, 3 V beyond.
  junction.volts = [](int bias, int field) {
    const int edge = 45000 + (field - 32768) * 3;
    if (bias < 38000) return 0.0;
    return bias <= edge ? 1.0 : 3.0;
  };
  ASSERT_EQ(m::RunMeasurement(m::Mode::ImH, nullptr), 1);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  EXPECT_STREQ(Family().GraphName(), "Im(H)");
  const curves::Curve& c = Family().Curve(0);
  ASSERT_EQ(c.Count(), 5u);
  for (std::uint32_t i = 0; i < 5; ++i)
    EXPECT_NEAR(c.Point(i).y, Amperes(45000 + 300 * static_cast<int>(i)), 1e-7) << i;
}

TEST_F(ImHTest, TheTwoFailureMessages) {
  junction.volts = [](int, int) { return 3.0; };  // never back below Vr
  ASSERT_EQ(m::RunMeasurement(m::Mode::ImH, nullptr), 1);
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0].text, m::kImResetFailedText);
  EXPECT_EQ(Family().Count(), 0u);

  // On the step from 34000 up to the card maximum.
  junction.volts = [](int bias, int) { return bias < 34000 ? 0.0 : 1.0; };
  ASSERT_EQ(m::RunMeasurement(m::Mode::ImH, nullptr), 1);
  ASSERT_EQ(Errors().size(), 2u);
  EXPECT_EQ(Errors()[1].text, m::kImStepUnreachableText);
  EXPECT_EQ(Errors()[1].caption, "Error in Ic<H>");
}

}  // namespace
}  // namespace tsm::testing
