// The I-V family on the emulated junction: one hysteretic curve per field
// value whose switching current follows the junction's diffraction pattern,
// the parameter kinds and curve names, the curve limit, the stops and the
// other early ends, "only on the edges" and the option group.
#include <algorithm>
#include <cmath>
#include <string>

#include "measure/ivf.h"
#include "measure/services.h"
#include "platform/profile.h"
#include "shell/settings.h"
#include "tests/measure/modes_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;
using platform::UiCall;

class IVFTest : public ModesTest {
 protected:
  IVFTest() {
    // The field's coil current: DAC card 0 channel 1, the junction's field input.
    DefineCurrent(1, channels::kPlusSweep2, 0, 1, 1000.0f);
  }
  static int RunIVF() { return RunHere(m::Mode::IVF); }
};

// The emulated junction's critical current in its 12-bit units for a field
// of f units: |sin(f/100) / (f/100)| x 1500 + 60.
double IcUnits(double f) {
  const double u = f / 100.0;
  return (u == 0 ? 1.0 : std::fabs(std::sin(u) / u)) * 1500.0 + 60.0;
}
// A bias in amperes (DAC card 0, 1000 Ohm) in those units.
double BiasUnits(double amperes) { return amperes * 1000.0 * 32768.0 / 10.0 / 16.0; }

TEST_F(IVFTest, KindZeroGivesOneHystereticCurvePerFieldValueFollowingTheDiffractionPattern) {
  SetRange(32768, 61440, 64, true);  // 0 .. 8.75 mA and back, 449 points each way
  SetRange2(32768, 36864, 1024, false);  // field 0, 64, .. 256 units
  ASSERT_EQ(RunIVF(), 1);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  curves::CurveFamily& f = Family();
  ASSERT_EQ(f.Count(), 5u);
  EXPECT_STREQ(f.GraphName(), "IVF");
  EXPECT_STREQ(f.UnitX(), "A");
  EXPECT_STREQ(f.UnitY(), "V");
  const std::uint32_t n = 449;
  for (std::uint32_t s = 0; s < 5; ++s) {
    const curves::Curve& c = f.Curve(s);
    ASSERT_EQ(c.Count(), 2 * n) << s;
    // The parameter is the field current (1024 codes = 0.3125 mA a step).
    EXPECT_NEAR(c.Parameter(), s * 0.3125e-3, 1e-9) << s;
    // The switching point: the first forward point with the ohmic voltage.
    // The field (and the bias) carry up to 5 units of noise; one step is 4.
    const double field = s * 64.0;
    double lo = 1e9, hi = 0;
    for (double g = field - 5; g <= field + 5; g += 0.5) {
      lo = std::min(lo, IcUnits(g) - 5);
      hi = std::max(hi, IcUnits(g) + 5 + 4);
    }
    double switched = -1;
    for (std::uint32_t i = 0; i < n && switched < 0; ++i)
      if (c.Point(i).y > 0.5) switched = BiasUnits(c.Point(i).x);
    EXPECT_GE(switched, lo) << s;
    EXPECT_LE(switched, hi) << s;
    // Hysteresis: on the way back the ohmic branch goes on below the
    // critical current, down to the return branch near 1 mA.
    const double ic = IcUnits(field) * 16 * 10.0 / 32768.0 / 1000.0;
    int ohmicBelowIc = 0;
    for (std::uint32_t i = n; i < 2 * n; ++i) {
      const curves::CurvePoint p = c.Point(i);
      if (p.x > 1.2e-3 && p.x < ic - 0.2e-3) {
        EXPECT_NEAR(p.y, p.x * 1000.0, 0.06) << s << " I = " << p.x;
        ++ohmicBelowIc;
      }
    }
    EXPECT_GT(ohmicBelowIc, 0) << s;
  }
  EXPECT_EQ(f.Curve(1).Name(), std::string("Voltage#0 (I_H=+312.5 \xB5" "A)"));
  EXPECT_EQ(f.Curve(4).Name(), std::string("Voltage#0 (I_H=+1.250 mA)"));
  // Both currents end where they were.
  EXPECT_EQ(channels::PresentCode(0), 32768);
  EXPECT_EQ(channels::PresentCode(1), 32768);
}

TEST_F(IVFTest, TheAutomaticKindNamesCurvesRowByRowWithItsAffixesAndDigits) {
  DefineVoltage(3, channels::kNegative, 0, 1);
  SetRange(40000, 40400, 100, false);
  SetRange2(32768, 32770, 1, false);  // three rows
  m::IVFOptions& o = m::GetIVFOptions();
  o.kind = m::kParamAutomatic;
  o.autoFrom = 12.5f;
  o.autoStep = -2.5f;
  std::snprintf(o.autoPrefix, sizeof o.autoPrefix, "%s", "P=");
  std::snprintf(o.autoSuffix, sizeof o.autoSuffix, "%s", "dBm");
  o.sigDigits = 3;
  shell::SetProgramDirectory(dir.Path().string() + "/");
  dir.Write("IVF.wav", "RIFF");
  ASSERT_EQ(RunIVF(), 1);
  curves::CurveFamily& f = Family();
  ASSERT_EQ(f.Count(), 6u);  // row s, voltage k is curve 2 s + k
  EXPECT_EQ(f.Curve(0).Name(), std::string("Voltage#0 (P= +12.5  dBm)"));
  EXPECT_EQ(f.Curve(1).Name(), std::string("Voltage#3 (P= +12.5  dBm)"));
  EXPECT_EQ(f.Curve(2).Name(), std::string("Voltage#0 (P=+10.00  dBm)"));
  EXPECT_EQ(f.Curve(5).Name(), std::string("Voltage#3 (P= +7.50  dBm)"));
  for (std::uint32_t c = 0; c < 6; ++c) {
    // The mean of the value before and after the sweep is the value itself.
    EXPECT_FLOAT_EQ(f.Curve(c).Parameter(), 12.5f - 2.5f * (c / 2)) << c;
    EXPECT_EQ(f.Curve(c).Count(), 5u);
  }
  // The negative voltage mirrors the junction.
  EXPECT_NEAR(f.Curve(1).Point(2).y, -f.Curve(0).Point(2).y, 0.12);
  const auto sounds = ui->CallsOf(UiCall::Kind::Sound);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].text, dir.File("IVF.wav"));
}

TEST_F(IVFTest, TheTypedKindAsksBeforeEveryCurveAndKeepsTheValueAsTyped) {
  SetRange(40000, 40400, 100, false);
  SetRange2(32768, 36768, 2000, false);  // three rows
  m::IVFOptions& o = m::GetIVFOptions();
  o.kind = m::kParamManual;
  std::snprintf(o.askPrefix, sizeof o.askPrefix, "%s", "T_bath=");
  std::snprintf(o.askSuffix, sizeof o.askSuffix, "%s", "K");
  // The first answer is no number: the dialog refuses it and stays open.
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.Caption(), "Parameter value");
    EXPECT_EQ(d.GetText(m::kIdParamCurve), "The curve 0 is about to be measured.");
    EXPECT_EQ(d.GetText(m::kIdParamPrompt), "Input the value of parameter for this curve.");
    EXPECT_EQ(d.GetControl(m::kIdParamValue)->label, "T_bath=");
    EXPECT_EQ(d.GetText(m::kIdParamSuffix), "K");
    d.SetText(m::kIdParamValue, "warm");
    d.Command(platform::IDOK);
    EXPECT_FALSE(d.Ended());
    d.SetText(m::kIdParamValue, "4.2");
  });
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.GetText(m::kIdParamCurve), "The curve 1 is about to be measured.");
    EXPECT_EQ(d.GetText(m::kIdParamValue), "4.2");  // the value before
    d.SetText(m::kIdParamValue, "1.5");
  });
  ui->PushDialog([](platform::DialogModel& d) { d.SetText(m::kIdParamValue, "0.3"); });
  ASSERT_EQ(RunIVF(), 1);
  EXPECT_EQ(ui->PendingAnswers(), 0u);
  curves::CurveFamily& f = Family();
  ASSERT_EQ(f.Count(), 3u);
  EXPECT_DOUBLE_EQ(f.Curve(0).Parameter(), 4.2f);
  EXPECT_DOUBLE_EQ(f.Curve(1).Parameter(), 1.5f);
  EXPECT_DOUBLE_EQ(f.Curve(2).Parameter(), 0.3f);
  EXPECT_EQ(f.Curve(0).Name(), std::string("Voltage#0 (T_bath=+4.200  K)"));
  EXPECT_EQ(ui->CallsOf(UiCall::Kind::Beep).size(), 1u);

  // Cancelling the dialog before the second curve keeps the first.
  ui->PushDialog([](platform::DialogModel& d) { d.SetText(m::kIdParamValue, "7"); });
  ui->PushDialog([](platform::DialogModel& d) { d.Command(platform::IDCANCEL); });
  ASSERT_EQ(RunIVF(), 1);
  ASSERT_EQ(f.Count(), 1u);
  EXPECT_EQ(f.Curve(0).Count(), 5u);
  EXPECT_DOUBLE_EQ(f.Curve(0).Parameter(), 7.0);
  EXPECT_EQ(channels::PresentCode(0), 32768);
  EXPECT_EQ(channels::PresentCode(1), 32768);
}

TEST_F(IVFTest, SixtyFiveThousandFiveHundredThirtyFiveCurvesAreTheLimit) {
  SetRange(32768, 32768, 1, false);
  // 65535 Sweep2 values x 1 voltage: accepted; the stop at the first point
  // ends it at once.
  SetRange2(0, 65534, 1, false);
  std::uint32_t sized = 0;
  counting.onRead = [&sized](int n) {
    if (n == 2) {  // the dialog's first refresh reads once
      sized = Family().Count();
      m::RequestStop();
    }
  };
  EXPECT_EQ(RunIVF(), 1);
  EXPECT_EQ(sized, 65535u);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  EXPECT_EQ(Family().Count(), 0u);

  // 32768 values both ways: 65536 curves, refused before anything moves.
  counting.onRead = nullptr;
  m::ClearStop();
  Family().SetCount(1);
  SetRange2(0, 32767, 1, true);
  const auto writes = counting.writes.size();
  EXPECT_EQ(RunIVF(), 0);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "U will get too many curves");
  EXPECT_EQ(boxes[0].caption, "Can not Measure");
  EXPECT_EQ(Family().Count(), 1u);
  EXPECT_EQ(counting.writes.size(), writes);
}

TEST_F(IVFTest, StopsKeepTheCompletedRowsAndAtLeastFivePointsOfTheRowStopped) {
  SetRange(40000, 41000, 100, false);  // 11 points a row
  SetRange2(32768, 34768, 1000, false);
  // Read n of the junction is point j of row s with n = 2 + 11 s + j.
  auto stopAt = [this](int s, int j) {
    counting.junctionReads = 0;
    m::ClearStop();
    counting.onRead = [s, j](int n) {
      if (n == 2 + 11 * s + j) m::RequestStop();
    };
  };
  stopAt(0, 3);  // the fourth point of the first row
  EXPECT_EQ(RunIVF(), 1);
  EXPECT_EQ(Family().Count(), 0u);

  stopAt(1, 3);  // too few points of row 1: row 0 alone
  EXPECT_EQ(RunIVF(), 1);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 11u);

  stopAt(1, 6);  // row 1 keeps the six points before the one just measured
  EXPECT_EQ(RunIVF(), 1);
  ASSERT_EQ(Family().Count(), 2u);
  EXPECT_EQ(Family().Curve(0).Count(), 11u);
  EXPECT_EQ(Family().Curve(1).Count(), 6u);
  EXPECT_NEAR(Family().Curve(1).Parameter(), Amperes(33768), 1e-9);
  EXPECT_EQ(channels::PresentCode(0), 32768);
  EXPECT_EQ(channels::PresentCode(1), 32768);
  EXPECT_TRUE(ui->CallsOf(UiCall::Kind::Sound).empty());
}

TEST_F(IVFTest, NextCurveTheTriggerAndTheResetOfSweep1) {
  SetRange(40000, 41000, 500, false);
  SetRange2(32768, 34768, 1000, false);
  // "Next curve?" before every curve: OK, then Cancel before the second.
  channels::GetMeasurementOptions().delays.stopAfterEachCurve = true;
  m::GetIVFOptions().resetSweep1BetweenCurves = true;
  ui->PushAnswer(platform::IDOK);
  ui->PushAnswer(platform::IDOK);
  ui->PushAnswer(platform::IDCANCEL);
  EXPECT_EQ(RunIVF(), 1);
  auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[2].text, "Next curve?");
  EXPECT_EQ(boxes[2].caption, "Delay");
  EXPECT_EQ(boxes[2].type & 0xF, platform::MB_OKCANCEL);
  ASSERT_EQ(Family().Count(), 2u);
  EXPECT_EQ(Family().Curve(1).Count(), 3u);
  // Between the curves Sweep1 went back to where it was (driver code 0)
  // after its last value of row 0 (41000), before row 1 began at 40000.
  auto& w = counting.writes;
  const auto top = std::find(w.begin(), w.end(), std::make_tuple(3, 0, 41000 - 32768));
  const auto reset = std::find(top, w.end(), std::make_tuple(3, 0, 0));
  EXPECT_NE(std::find(reset, w.end(), std::make_tuple(3, 0, 40000 - 32768)), w.end());

  // A trigger without trigger current: its message, nothing kept.
  channels::GetMeasurementOptions().delays.stopAfterEachCurve = false;
  m::GetIVFOptions().trigger = true;
  ui->Clear();
  EXPECT_EQ(RunIVF(), 1);
  boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "Cannot trigger as requested.\nProbably the trigger current is not defined.");
  EXPECT_EQ(boxes[0].caption, "Ic(H) Error");
  EXPECT_EQ(Family().Count(), 0u);
}

TEST_F(IVFTest, OnlyOnTheEdgesInterpolatesXAndTheSweep2CurrentMirroredBothWays) {
  channels::GetMeasurementOptions().general.currentMeasureMethod = 1;
  SetRange(40000, 40400, 100, true);    // 5 points each way
  SetRange2(32768, 34768, 1000, true);  // 3 rows each way
  ASSERT_EQ(RunIVF(), 1);
  curves::CurveFamily& f = Family();
  ASSERT_EQ(f.Count(), 6u);
  for (std::uint32_t s = 0; s < 3; ++s) {
    // I2_first + s (P_stop - I2_first) / N2, the mirrored row the same.
    const double p = Amperes(32768) + s * (Amperes(34768) - Amperes(32768)) / 3;
    EXPECT_NEAR(f.Curve(s).Parameter(), p, 1e-9) << s;
    EXPECT_FLOAT_EQ(f.Curve(5 - s).Parameter(), f.Curve(s).Parameter()) << s;
    const std::string name = m::IVFEdgeCurveName(0, f.Curve(s).Parameter());
    EXPECT_EQ(f.Curve(s).Name(), name);
    EXPECT_EQ(f.Curve(5 - s).Name(), name);
  }
  EXPECT_EQ(f.Curve(1).Name(), std::string("V_0(+203.5 \xB5" "A)"));
  for (std::uint32_t c = 0; c < 6; ++c)
    for (std::uint32_t j = 0; j < 5; ++j) {
      const double x = Amperes(40000) + j * (Amperes(40400) - Amperes(40000)) / 5;
      EXPECT_NEAR(f.Curve(c).Point(j).x, x, 1e-7) << c << " " << j;
      EXPECT_FLOAT_EQ(f.Curve(c).Point(9 - j).x, f.Curve(c).Point(j).x);
    }

  // A parameter that is no current keeps its values and names.
  m::GetIVFOptions().kind = m::kParamAutomatic;
  ASSERT_EQ(RunIVF(), 1);
  for (std::uint32_t s = 0; s < 6; ++s) EXPECT_FLOAT_EQ(f.Curve(s).Parameter(), float(s));
  EXPECT_EQ(f.Curve(5).Name(), std::string("Voltage#0 (+5.000  )"));
}

TEST_F(IVFTest, StartChecksAndMemoryLeaveNothingHalfDone) {
  Family().SetCount(2);
  m::GetIVFOptions().kind = m::kParamTemperature;
  EXPECT_EQ(RunIVF(), 0);  // no T-sensor voltage
  DefineCurrent(1, channels::kConstant, 0, 1);
  EXPECT_EQ(RunIVF(), 0);  // no Sweep2 current
  auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, m::kNoTSensorText);
  EXPECT_EQ(boxes[1].text, "No Sweep2 virtual current found!");
  EXPECT_EQ(boxes[1].caption, "Can not start measurements");
  EXPECT_EQ(Family().Count(), 2u);

  // Curves that cannot be had: the family is emptied and the run refused.
  DefineCurrent(1, channels::kPlusSweep2, 0, 1, 1000.0f);
  m::GetIVFOptions().kind = m::kParamSweep2;
  SetRange(0, 65535, 1, false);
  curves::SetAllocationHook([](std::size_t bytes) { return bytes > 100000; });
  EXPECT_EQ(RunIVF(), 0);
  curves::SetAllocationHook(nullptr);
  boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[2].text, "Not Enough Memory");
  EXPECT_EQ(boxes[2].caption, "Can not Measure");
  EXPECT_EQ(Family().Count(), 0u);
  EXPECT_EQ(channels::PresentCode(1), 32768);
}

TEST_F(IVFTest, TheOptionGroupAndItsSummary) {
  const std::string file = dir.Write("tsm.ini",
                                     "[Measurements.IVF]\nIVF_WhatKindOfParam=2\n"
                                     "IVF_AskParam_Prefix=T=\nIVF_Param_SigDig=2\n"
                                     "IVF_AutoParam_Step=0.5\nIVF_Trigger=1\n");
  shell::LoadGroup(m::IVFGroupFields(), file);
  const m::IVFOptions& o = m::GetIVFOptions();
  EXPECT_EQ(o.kind, m::kParamManual);
  EXPECT_STREQ(o.askPrefix, "T=");
  EXPECT_EQ(o.sigDigits, 4u);  // 2 is below the limit of 3
  EXPECT_FLOAT_EQ(o.autoStep, 0.5f);
  EXPECT_TRUE(o.trigger);
  const shell::InfoTable t = m::IVFInfoTable();
  EXPECT_EQ(t.title, "I-V Family Options");
  ASSERT_NE(t.Find("Parameter is"), nullptr);
  EXPECT_EQ(t.Find("Parameter is")->values[0], "Input manually (ask after each IVC)");

  // The dialog: the fields of the group, the affixes framed under their kinds.
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.Caption(), "I-V Family Options");
    EXPECT_EQ(d.GetText(m::kIdIVFAskPrefix), "T=");
    EXPECT_EQ(d.GetCheck(m::kIdIVFKind + 2), 1);
    d.SetCheck(m::kIdIVFKind + 2, 0);
    d.SetCheck(m::kIdIVFKind + 3, 1);
  });
  EXPECT_EQ(m::RunIVFOptionsDialog(nullptr), 1);
  EXPECT_EQ(o.kind, m::kParamAutomatic);
}

}  // namespace
}  // namespace tsm::testing
