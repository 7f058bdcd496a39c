// The services the routines share (phase log, progress, memory estimate,
// Indicator fill) and the V(I) option group with its two dialogs.
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "measure/indicator.h"
#include "measure/register_groups.h"
#include "measure/services.h"
#include "platform/profile.h"
#include "shell/optiongroups.h"
#include "tests/measure/measure_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;

class ServicesTest : public MeasureTest {};

// Runs the body with the current directory inside a temporary folder.
class InDirectory {
 public:
  explicit InDirectory(const TempDir& dir) {
    char here[PATH_MAX];
    previous_ = ::getcwd(here, sizeof here) ? here : "/";
    EXPECT_EQ(::chdir(dir.Path().c_str()), 0);
  }
  ~InDirectory() { EXPECT_EQ(::chdir(previous_.c_str()), 0); }

 private:
  std::string previous_;
};

TEST_F(ServicesTest, ThePhaseLogAppendsTimeStampedLinesWhenAsked) {
  std::tm t{};
  t.tm_mday = 3;
  t.tm_mon = 1;
  t.tm_year = 2024 - 1900;
  t.tm_hour = 4;
  t.tm_min = 5;
  t.tm_sec = 6;
  EXPECT_EQ(m::LogTimeStamp(t, 7), "[03:02:2024 04:05:06.007]:");

  InDirectory in(dir);
  m::MeasureDialog d(m::Description(m::Mode::IVC));
  m::PhaseLog(&d, "phase %d", 1);  // both switches off: nothing
  EXPECT_EQ(d.GetText(m::kIdStatusLine), "");
  EXPECT_FALSE(std::filesystem::exists(dir.File("Ic(H).log")));

  m::GetMeasureState().showPhaseMessage = true;
  m::GetMeasureState().createLogFile = true;
  m::PhaseLog(&d, "phase %d", 2);
  m::PhaseLog(nullptr, "%s", std::string(300, 'x').c_str());
  EXPECT_EQ(d.GetText(m::kIdStatusLine), "phase 2");
  const std::string log = TempDir::Read(dir.File("Ic(H).log"));
  const std::size_t first = log.find('\n');
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(log.substr(26, first - 26), "phase 2");
  EXPECT_EQ(log[0], '[');
  EXPECT_EQ(log.substr(24, 2), "]:");
  // The text is cut to 128 characters.
  EXPECT_EQ(log.substr(first + 1 + 26), std::string(128, 'x') + "\n");
}

TEST_F(ServicesTest, ALogFileThatCannotBeOpenedLosesOnlyTheLine) {
  InDirectory in(dir);
  std::filesystem::create_directory(dir.File("Ic(H).log"));  // a folder of that name
  m::GetMeasureState().createLogFile = true;
  m::PhaseLog(nullptr, "lost");
  EXPECT_TRUE(ui->Calls().empty());
}

TEST(Progress, TextAndPercentFollowTheElapsedTime) {
  EXPECT_EQ(m::ProgressText(2000, 0, 10), "");
  EXPECT_EQ(m::ProgressText(2000, 5, 10), "50.0 % (Estimated: 2.0 sec left, 4.0 sec total)");
  EXPECT_DOUBLE_EQ(m::ProgressPercent(1, 3), 100.0 / 3);
  EXPECT_DOUBLE_EQ(m::ProgressPercent(0, 3), 0.0);
}

TEST(MemoryEstimate, CountsBothDirectionsOfBothRanges) {
  EXPECT_DOUBLE_EQ(m::MemoryEstimate(10, true, 3, true, 2), (10 * 8 * 2 + 146) * 3 * 2 * 2);
  EXPECT_DOUBLE_EQ(m::MemoryEstimate(10, false, 1, false, 0), 0.0);
  EXPECT_EQ(m::MemoryText(0), "Memory: ???");
}

TEST(Indicator, FillsInProportionAndClampsOutsideItsRange) {
  m::Indicator i;
  EXPECT_EQ(i.barColor, m::Rgb(128, 0, 128));
  EXPECT_EQ(i.value, 2048);
  EXPECT_EQ(m::IndicatorFill(i, 4095), 2048);
  i.value = -1;
  EXPECT_EQ(m::IndicatorFill(i, 100), 0);
  i.value = 5000;
  EXPECT_EQ(m::IndicatorFill(i, 100), 100);
  i.minimum = i.maximum = 10;  // an empty range neither divides by 0 nor crashes
  i.value = 10;
  EXPECT_EQ(m::IndicatorFill(i, 100), 100);
  i.value = 9;
  EXPECT_EQ(m::IndicatorFill(i, 100), 0);
}

TEST_F(ServicesTest, TheIVCGroupHasItsKeysAndDefaults) {
  m::RegisterOptionGroups();
  const std::string file = dir.Write("tsm.ini", "");
  m::GetIVCOptions().xAxisKind = 1;
  m::GetIVCOptions().trigger = true;
  shell::LoadOptionGroup(shell::OptionGroupId::IVC, file);  // empty file: values stay
  EXPECT_EQ(m::GetIVCOptions().xAxisKind, 1u);
  shell::SaveOptionGroup(shell::OptionGroupId::IVC, file);
  platform::ProfileCacheClear();
  const std::string text = TempDir::Read(file);
  for (const char* line : {"[Measurements]", "IVC_xAxis_WhatKindOfParam=1", "IVC_xAxis_Factor=1",
                           "IVC_xAxis_Units=A", "IVC_xAxis_From=-30", "IVC_xAxis_Step=1",
                           "IVC_xAxis_Auto_Units=dBm", "IVC_Trigger=1"})
    EXPECT_NE(text.find(line), std::string::npos) << line;

  m::ResetIVCOptions();
  dir.Write("other.ini",
            "[Measurements]\r\nIVC_xAxis_Factor=1000\r\nIVC_xAxis_Units=mA\r\nIVC_Trigger=1\r\n");
  platform::ProfileCacheClear();
  shell::LoadOptionGroup(shell::OptionGroupId::IVC, dir.File("other.ini"));
  EXPECT_FLOAT_EQ(m::GetIVCOptions().factor, 1000.0f);
  EXPECT_STREQ(m::GetIVCOptions().units, "mA");
  EXPECT_TRUE(m::GetIVCOptions().trigger);
  EXPECT_STREQ(m::IVCXUnits(), "mA");
  EXPECT_EQ(m::IVCInfoTable().title, "IVC Options");
  ASSERT_NE(m::IVCInfoTable().Find("Trigger"), nullptr);
  EXPECT_EQ(m::IVCInfoTable().Find("Trigger")->values[0], "Yes");
}

TEST_F(ServicesTest, TheTwoIVCDialogsEditTheirFields) {
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.Caption(), "IVC x-axis");
    EXPECT_EQ(d.GetText(m::kIdIVCAutoUnits), "dBm");
    d.SetCheck(m::kIdIVCKind, 0);
    d.SetCheck(m::kIdIVCKind + 1, 1);
    d.SetText(m::kIdIVCStep, "0.5");
  });
  EXPECT_EQ(m::RunIVCXAxisDialog(nullptr), 1);
  EXPECT_EQ(m::GetIVCOptions().xAxisKind, 1u);
  EXPECT_FLOAT_EQ(m::GetIVCOptions().step, 0.5f);

  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.Caption(), "IVC Options");
    d.SetCheck(m::kIdIVCTrigger, 1);
  });
  EXPECT_EQ(m::RunIVCOptionsDialog(nullptr), 1);
  EXPECT_TRUE(m::GetIVCOptions().trigger);
}

}  // namespace
}  // namespace tsm::testing
