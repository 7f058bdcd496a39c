// The V(I) sweep on the emulated junction: the hysteretic curve of a whole
// two-direction sweep, the x values of both kinds and of "only on the
// edges", stops, the trigger and the start checks.
#include <cmath>

#include "channels/measurement_options.h"
#include "measure/ivc.h"
#include "measure/services.h"
#include "tests/measure/measure_fixture.h"

namespace tsm::testing {
namespace {

using measure::IVCOptions;
using platform::UiCall;

class IVCTest : public MeasureTest {};

// The current of program code c of DAC card 0 (-10..10 V) through 1000 Ohm.
// The emulation adds up to 10 units of 12 bits of noise to a reading (0.05 V).
constexpr double kNoise = 0.06;

double Amperes(std::uint32_t code) {
  return (static_cast<double>(code) - 32768.0) * 10.0 / 32768.0 / 1000.0;
}

TEST_F(IVCTest, ATwoDirectionSweepOfTheJunctionIsHysteretic) {
  SetRange(0, 65535, 256, true);
  ui->PushAnswer(platform::IDOK);  // nothing should ask; an answer left over shows it
  const int result = measure::RunMeasurement(measure::Mode::IVC, nullptr);
  ASSERT_EQ(result, 1);
  EXPECT_TRUE(ui->MessageBoxes().empty());

  curves::CurveFamily& f = Family();
  ASSERT_EQ(f.Count(), 1u);
  EXPECT_STREQ(f.GraphName(), "IVC");
  EXPECT_STREQ(f.UnitX(), "A");
  EXPECT_STREQ(f.UnitY(), "V");
  EXPECT_STREQ(f.Curve(0).Name(), "Voltage#0");
  EXPECT_GE(f.TimeSpent(), 0.0f);
  EXPECT_NE(f.DateTime(), 0u);
  const curves::Curve& c = f.Curve(0);
  const std::uint32_t n = 65535 / 256 + 1;  // 256 per direction
  ASSERT_EQ(c.Count(), 2 * n);

  // Forward leg: x is the Sweep1 current; from small positive currents up to
  // the critical current (about 7.6 mA) the junction shows no voltage, above
  // it the ohmic branch V = I R.
  double ic = 0;
  for (std::uint32_t i = 0; i < n; ++i) {
    const curves::CurvePoint p = c.Point(i);
    EXPECT_NEAR(p.x, Amperes(i * 256), 1e-6) << i;
    if (p.x > 0.1e-3 && p.x < 7.2e-3) {
      EXPECT_LT(std::fabs(p.y), kNoise) << "forward, I = " << p.x;
    }
    if (p.x > 8.0e-3) {
      EXPECT_NEAR(p.y, p.x * 1000.0, kNoise) << "forward, I = " << p.x;
    }
    if (ic == 0 && p.x > 0 && p.y > 0.5) ic = p.x;
  }
  EXPECT_NEAR(ic, 7.6e-3, 0.2e-3);

  // Way back from the top: the ohmic branch goes on far below the critical
  // current (hysteresis), then the return branch (about 0.5 V) near zero
  // current, then no voltage again.
  bool returnBranch = false;
  for (std::uint32_t i = n; i < 2 * n; ++i) {
    const curves::CurvePoint p = c.Point(i);
    if (p.x > 2.0e-3 && p.x < 9.5e-3) {
      EXPECT_NEAR(p.y, p.x * 1000.0, kNoise) << "back, I = " << p.x;
    }
    if (p.x > 0.4e-3 && p.x < 0.9e-3) {
      EXPECT_GT(p.y, 0.45) << "back, I = " << p.x;
      EXPECT_LT(p.y, 0.75) << "back, I = " << p.x;
      returnBranch = true;
    }
    if (p.x < -0.1e-3 && p.x > -7.2e-3) {
      EXPECT_LT(std::fabs(p.y), kNoise) << "back, I = " << p.x;
    }
  }
  EXPECT_TRUE(returnBranch);
  // The way back begins at stop itself and ends one step above start.
  EXPECT_NEAR(c.Point(n).x, Amperes(65535), 1e-6);
  EXPECT_NEAR(c.Point(2 * n - 1).x, Amperes(255), 1e-6);

  // The current ends where it was before the start (the card's zero).
  EXPECT_EQ(channels::PresentCode(0), 32768);
  EXPECT_FALSE(curves::GetCurvesState().plotShowsUndo.load());
}

TEST_F(IVCTest, EveryMeasuredVoltageGivesACurveNamedAfterIt) {
  SetRange(2000, 3000, 100, false);  // the ohmic branch, far above the noise
  channels::VirtualVoltage v = channels::GetVoltage(0);
  std::snprintf(v.comment, sizeof v.comment, "%s", "junction");
  channels::SetVoltage(0, v);
  DefineVoltage(3, channels::kNegative, 0, 1);
  DefineVoltage(4, channels::kTSensor, 0, 2);  // not measured
  ASSERT_EQ(RunIVCHere(), 1);
  ASSERT_EQ(Family().Count(), 2u);
  EXPECT_STREQ(Family().Curve(0).Name(), "junction");
  EXPECT_STREQ(Family().Curve(1).Name(), "Voltage#3");
  EXPECT_EQ(Family().Curve(1).Count(), 11u);
  // The negative voltage mirrors the same junction (a few units of noise).
  for (std::uint32_t i = 0; i < 11; ++i)
    EXPECT_NEAR(Family().Curve(1).Point(i).y, -Family().Curve(0).Point(i).y, 2 * kNoise);
}

TEST_F(IVCTest, StartChecksLeaveTheFamilyAsItWas) {
  Family().SetCount(1);
  Family().Curve(0).Append(1, 2);
  DefineVoltage(0, channels::kNotConnected, 0, 1);
  EXPECT_EQ(RunIVCHere(), 0);
  DefineCurrent(0, channels::kConstant, 0, 0);
  EXPECT_EQ(RunIVCHere(), 0);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, measure::kNoVoltagesText);
  EXPECT_EQ(boxes[1].text, "No Sweep1 virtual current found!");
  for (const UiCall& b : boxes) {
    EXPECT_EQ(b.caption, "Can not start measurements");
    EXPECT_EQ(b.type & platform::MB_ICONMASK, platform::MB_ICONHAND);
  }
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 1u);
}

// Stops during point i (0-based): the flag is seen right after it.
void StopAtPoint(CountingDriver& d, int i) {
  // One reading of the junction belongs to the dialog's first refresh.
  d.onRead = [i](int n) {
    if (n == i + 2) measure::RequestStop();
  };
}

TEST_F(IVCTest, AStopBeforeTheFifthPointEmptiesTheFamilyLaterOnesKeepThePointsBefore) {
  SetRange(30000, 40000, 100, true);
  StopAtPoint(counting, 4);
  EXPECT_EQ(RunIVCHere(), 1);
  EXPECT_EQ(Family().Count(), 0u);
  EXPECT_EQ(channels::PresentCode(0), 32768);

  measure::ClearStop();
  counting.junctionReads = 0;
  StopAtPoint(counting, 5);
  EXPECT_EQ(RunIVCHere(), 1);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 5u);  // the point just measured is dropped
  EXPECT_NEAR(Family().Curve(0).Point(4).x, Amperes(30400), 1e-6);
  EXPECT_EQ(channels::PresentCode(0), 32768);
  // A stopped sweep plays no completion sound and is still finished.
  EXPECT_TRUE(ui->CallsOf(UiCall::Kind::Sound).empty());
  EXPECT_STREQ(Family().GraphName(), "IVC");
}

TEST_F(IVCTest, KindOneXKeepsGrowingOnTheWayBack) {
  SetRange(0, 9, 3, true);
  measure::GetIVCOptions().xAxisKind = measure::kXAutomatic;
  ASSERT_EQ(RunIVCHere(), 1);
  const curves::Curve& c = Family().Curve(0);
  ASSERT_EQ(c.Count(), 8u);
  for (std::uint32_t i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(c.Point(i).x, -30.0f + i);
  EXPECT_STREQ(Family().UnitX(), "dBm");
}

TEST_F(IVCTest, OnlyOnTheEdgesInterpolatesBetweenTheFirstPointAndStop) {
  measure::GetIVCOptions().xAxisKind = measure::kXAutomatic;
  channels::GetMeasurementOptions().general.currentMeasureMethod = 1;

  // Two directions: x_stop is the x of the last point at the stop code
  // (i = 4, -26); forward point j gets -30 + j (4 / 4) and the way back
  // mirrors it.
  SetRange(0, 9, 3, true);
  ASSERT_EQ(RunIVCHere(), 1);
  const curves::Curve& c = Family().Curve(0);
  ASSERT_EQ(c.Count(), 8u);
  for (std::uint32_t j = 0; j < 4; ++j) {
    EXPECT_FLOAT_EQ(c.Point(j).x, -30.0f + j) << j;
    EXPECT_FLOAT_EQ(c.Point(7 - j).x, c.Point(j).x) << j;
  }

  // One direction, stop reached: the last forward point gets
  // x_first + (N - 1) / N (x_stop - x_first), not x_stop.
  SetRange(0, 9, 3, false);
  ASSERT_EQ(RunIVCHere(), 1);
  EXPECT_FLOAT_EQ(Family().Curve(0).Point(3).x, -30.0f + 3.0f * 3.0f / 4.0f);

  // One direction, stop never measured (10 is not reached by steps of 3):
  // x_stop is the x of the last forward point (-27).
  SetRange(0, 10, 3, false);
  ASSERT_EQ(RunIVCHere(), 1);
  ASSERT_EQ(Family().Curve(0).Count(), 4u);
  for (std::uint32_t j = 0; j < 4; ++j)
    EXPECT_FLOAT_EQ(Family().Curve(0).Point(j).x, -30.0f + j * 3.0f / 4.0f) << j;
}

TEST_F(IVCTest, KindZeroXIsTheSweepCurrentTimesTheFactor) {
  measure::GetIVCOptions().factor = 1000.0f;  // mA
  std::snprintf(measure::GetIVCOptions().units, measure::kIVCUnitsLength, "%s", "mA");
  SetRange(49152, 49152, 1, false);  // +5 mA
  ASSERT_EQ(RunIVCHere(), 1);
  EXPECT_NEAR(Family().Curve(0).Point(0).x, 5.0, 1e-4);
  EXPECT_STREQ(Family().UnitX(), "mA");
}

TEST_F(IVCTest, AnUnknownXKindIsAProgramErrorAndMeasuresNothing) {
  measure::GetIVCOptions().xAxisKind = 7;
  EXPECT_EQ(RunIVCHere(), 0);
  EXPECT_TRUE(platform::HasAssertion(measure::kIVCUnknownKindText, "cvc"));
  EXPECT_DOUBLE_EQ(measure::IVC_GetParamValue(3, 0), 0.0);
}

TEST_F(IVCTest, AMissingTriggerCurrentStopsTheSweepWithItsMessage) {
  SetRange(30000, 31000, 100, false);
  measure::GetIVCOptions().trigger = true;
  Family().SetCount(1);
  Family().Curve(0).Append(1, 2);
  EXPECT_EQ(RunIVCHere(), 1);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "Cannot trigger as requested.\nProbably the trigger current is not defined.");
  EXPECT_EQ(boxes[0].caption, "IVC Error");
  EXPECT_EQ(Family().Count(), 0u);  // failed at the first point
  EXPECT_EQ(channels::PresentCode(0), 32768);
}

TEST_F(IVCTest, TheTriggerPulseGoesToBothLevelsAfterEveryValue) {
  DefineCurrent(2, channels::kTrigger, 0, 1);
  channels::GetMeasurementOptions().trigger.level1 = -1.0f;
  channels::GetMeasurementOptions().trigger.level2 = 1.0f;
  channels::GetMeasurementOptions().delays.maxDacStep = 65535;
  measure::GetIVCOptions().trigger = true;
  SetRange(30000, 30200, 100, false);
  ASSERT_EQ(RunIVCHere(), 1);
  EXPECT_EQ(Family().Curve(0).Count(), 3u);
  EXPECT_EQ(channels::PresentCode(2), 65535);
  int lows = 0, highs = 0;
  for (const auto& [slot, channel, code] : counting.writes) {
    if (slot != 3 || channel != 1) continue;
    if (code == -32768) ++lows;
    if (code == 32767) ++highs;
  }
  EXPECT_EQ(lows, 3);
  EXPECT_EQ(highs, 3);
}

TEST_F(IVCTest, ACompleteSweepPlaysItsSoundFromTheProgramDirectory) {
  SetRange(30000, 30100, 100, false);
  shell::SetProgramDirectory(dir.Path().string() + "/");
  ASSERT_EQ(RunIVCHere(), 1);
  EXPECT_TRUE(ui->CallsOf(UiCall::Kind::Sound).empty());  // no file: silent

  dir.Write("IVC.wav", "RIFF");
  ASSERT_EQ(RunIVCHere(), 1);
  const auto sounds = ui->CallsOf(UiCall::Kind::Sound);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].text, dir.File("IVC.wav"));
}

}  // namespace
}  // namespace tsm::testing
