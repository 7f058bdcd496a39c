// The Ic(H) and Ic(T) option groups: one set of search values behind both
// key sets, their own keys and limits, and the two option dialogs with the
// read-only statistics and the series resistance shown "Off".
#include "measure/register_groups.h"
#include "platform/profile.h"
#include "shell/optiongroups.h"
#include "tests/measure/ic_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;

class IcOptionsTest : public IcTest {
 protected:
  IcOptionsTest() { m::RegisterOptionGroups(); }
  ~IcOptionsTest() override { shell::ResetOptionGroups(); }

  std::string Load(shell::OptionGroupId id, const char* name, const std::string& text) {
    const std::string file = dir.Write(name, text);
    platform::ProfileCacheClear();
    shell::LoadOptionGroup(id, file);
    return file;
  }
  static std::string Saved(shell::OptionGroupId id, const std::string& file) {
    shell::SaveOptionGroup(id, file);
    platform::ProfileCacheClear();
    return TempDir::Read(file);
  }
};

TEST_F(IcOptionsTest, BothKeySetsHoldTheLastValueLoadedThroughEither) {
  Load(shell::OptionGroupId::IcT, "t.ini",
       "[Math]\r\nIc(T)Criterion=0.3\r\nIc(T)ForwardStep=4\r\nIc(T)ResetStabilizationStep=1500\r\n"
       "Ic(H)UseAbsV=1\r\nIc(T)MinDeltaT=0.2\r\nIc(H)StepVoltage=7\r\n");
  const m::IcHOptions& o = m::GetIcHOptions();
  EXPECT_FLOAT_EQ(o.criterion, 0.3f);
  EXPECT_EQ(o.forwardStep, 4u);
  EXPECT_EQ(o.resetStabStep, 1500u);  // Ic(T) allows up to 2048
  EXPECT_TRUE(o.useAbsV);
  EXPECT_FLOAT_EQ(m::GetIcTOptions().minDeltaT, 0.2f);
  EXPECT_FLOAT_EQ(o.stepVoltage, 0.0f);  // not a key of the Ic(T) group

  const std::string h = Saved(shell::OptionGroupId::IcH, dir.File("h.ini"));
  for (const char* line : {"Ic(H)Criterion=0.3", "Ic(H)ForwardStep=4", "Ic(H)UseAbsV=1",
                           "Ic(H)ResetStabStep=1500", "Ic(X)AccelCount=4", "Ic(H)UsePrediction=1",
                           "Ic(X)ShowPhaseMessage=1", "Ic(X)CreateLogFile=0",
                           "Ic(H)_xAxis_Sweep2_Units=A", "Ic(H)_xAxis_Auto_Units=dBm",
                           "Ic(X)MeasurementsPerOneFieldValue=1", "Ic(H)Anyway=0"})
    EXPECT_NE(h.find(line), std::string::npos) << line;
  EXPECT_EQ(h.find("Ic(T)"), std::string::npos);

  // Through Ic(H) back into the Ic(T) keys; 1500 is beyond Ic(H)'s 1024
  // and stays as it was.
  Load(shell::OptionGroupId::IcH, "h2.ini",
       "[Math]\r\nIc(H)Criterion=5E-06\r\nIc(H)NumberOfTimes=3\r\nIc(H)ResetStabStep=1500\r\n");
  EXPECT_EQ(o.numberOfTimes, 3u);
  EXPECT_EQ(o.resetStabStep, 1500u);
  const std::string t = Saved(shell::OptionGroupId::IcT, dir.File("t2.ini"));
  for (const char* line : {"Ic(T)Criterion=5E-06", "Ic(T)NumberOfTimes=3",
                           "Ic(T)ResetStabilizationStep=1500", "Ic(T)MinDeltaT=0.2",
                           "Ic(T)AutoZeroSweep1forEachH=0", "Ic(X)ResetToGetIc=1"})
    EXPECT_NE(t.find(line), std::string::npos) << line;
  EXPECT_EQ(t.find("Ic(H)Criterion"), std::string::npos);
  EXPECT_EQ(t.find("Ic(H)StepVoltage"), std::string::npos);
}

TEST_F(IcOptionsTest, TheOptionsDialogShowsTheStatisticsAndOffForTheSeriesResistance) {
  // Statistics of a run: steps of 700 between field values.
  junction.ic = [](int field, double) { return 45000 - (field - 32768) / 100 * 700; };
  SetFieldRange(32768, 33168, 100);
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcH, nullptr), 1);

  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.Caption(), "Ic(H) Options");
    EXPECT_EQ(d.GetText(m::kIdIcStatisticsFirst + 4),
              "Step of Ic (bits): mean 700.00, deviation 0.00, spread 0");
    EXPECT_EQ(d.GetText(m::kIdIcStatisticsFirst + 2).rfind("Voltage tests: ", 0), 0u);
    EXPECT_EQ(d.GetText(m::kIdIcHSeriesR), "Off");
    EXPECT_FALSE(d.IsEnabled(m::kIdIcHSeriesR));
    d.SetCheck(m::kIdIcHCompensateSeriesR, 1);
    d.Command(m::kIdIcHCompensateSeriesR);
    EXPECT_EQ(d.GetText(m::kIdIcHSeriesR), "0");
    EXPECT_TRUE(d.IsEnabled(m::kIdIcHSeriesR));
    d.SetText(m::kIdIcHSeriesR, "12.5");
    d.SetText(m::kIdIcHCriterion, "0.25");
  });
  EXPECT_EQ(m::RunIcHOptionsDialog(nullptr), 1);
  EXPECT_TRUE(m::GetIcHOptions().compensateSeriesR);
  EXPECT_FLOAT_EQ(m::GetIcHOptions().seriesR, 12.5f);
  EXPECT_FLOAT_EQ(m::GetIcHOptions().criterion, 0.25f);

  // Unchecked again: "Off", and the resistance keeps its value.
  ui->PushDialog([](platform::DialogModel& d) {
    d.SetCheck(m::kIdIcHCompensateSeriesR, 0);
    d.Command(m::kIdIcHCompensateSeriesR);
    EXPECT_EQ(d.GetText(m::kIdIcHSeriesR), "Off");
  });
  EXPECT_EQ(m::RunIcHOptionsDialog(nullptr), 1);
  EXPECT_FALSE(m::GetIcHOptions().compensateSeriesR);
  EXPECT_FLOAT_EQ(m::GetIcHOptions().seriesR, 12.5f);

  // The Ic(T) dialog edits the same criterion and shows the same lines.
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.Caption(), "Ic(T) Options");
    EXPECT_EQ(d.GetText(m::kIdIcHCriterion), "0.25");
    EXPECT_EQ(d.GetText(m::kIdIcStatisticsFirst + 4),
              "Step of Ic (bits): mean 700.00, deviation 0.00, spread 0");
    d.SetText(m::kIdIcTMinDeltaT, "0.05");
    d.SetText(m::kIdIcHResetStabStep, "2000");
  });
  EXPECT_EQ(m::RunIcTOptionsDialog(nullptr), 1);
  EXPECT_FLOAT_EQ(m::GetIcTOptions().minDeltaT, 0.05f);
  EXPECT_EQ(m::GetIcHOptions().resetStabStep, 2000u);

  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.Caption(), "Ic(H) x-axis");
    d.SetCheck(m::kIdIcHXKind, 0);
    d.SetCheck(m::kIdIcHXKind + 1, 1);
    d.SetText(m::kIdIcHXAutoUnits, "Oe");
  });
  EXPECT_EQ(m::RunIcHXAxisDialog(nullptr), 1);
  EXPECT_STREQ(m::IcHXUnits(), "Oe");
}

}  // namespace
}  // namespace tsm::testing
