// The option groups of V(T)/R(T), V(time) and the voltage calibration: the
// sections and keys they write (what settings files and data files keep),
// what a load takes and refuses, and the V(time) dialog enabling the field
// of the chosen way.
#include "measure/calibration_options.h"
#include "measure/vt_options.h"
#include "measure/vtime_options.h"
#include "platform/profile.h"
#include "tests/measure/measure_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;

class ModeOptionsTest : public MeasureTest {
 protected:
  ModeOptionsTest() { Reset(); }
  ~ModeOptionsTest() override { Reset(); }
  static void Reset() {
    m::ResetVTOptions();
    m::ResetVtimeOptions();
    m::ResetCalibratorOptions();
    platform::ProfileCacheClear();
  }
};

TEST_F(ModeOptionsTest, TheGroupsWriteTheirSectionsAndKeys) {
  const std::string file = dir.File("tsm.ini");
  shell::SaveGroup(m::VTGroupFields(), file);
  shell::SaveGroup(m::VtimeGroupFields(), file);
  shell::SaveGroup(m::CalibratorGroupFields(), file);
  const std::string text = TempDir::Read(file);
  for (const char* line :
       {"[Measure:V(T)]", "V(T)_T(T)=0", "V(T)_Delay=100", "V(T)_DeltaT=0.1",
        "V(T)_AntiTermoEMF=0", "[Measure:V(time)]", "Measure:V(time)_Way=0",
        "Measure:V(time)_Interval=100", "Measure:V(time)_SamplingRate=1000",
        "[Voltage Standard]", "FrequencyGHz=75", "FirstStep=-60000", "LastStep=60000",
        "StepIncrement=10000"})
    EXPECT_NE(text.find(std::string(line) + "\r\n"), std::string::npos) << line;
}

TEST_F(ModeOptionsTest, ALoadTakesValuesInTheirLimitsOnly) {
  const std::string file = dir.Write(
      "tsm.ini",
      "[Measure:V(T)]\r\nV(T)_T(T)=1\r\nV(T)_Delay=20000\r\nV(T)_DeltaT=0.25\r\n"
      "[Measure:V(time)]\r\nMeasure:V(time)_Way=1\r\nMeasure:V(time)_Interval=250\r\n"
      "Measure:V(time)_SamplingRate=900000\r\n"
      "[Voltage Standard]\r\nFrequencyGHz=70.5\r\nFirstStep=100\r\nLastStep=-100\r\n"
      "StepIncrement=-25\r\n");
  shell::LoadGroup(m::VTGroupFields(), file);
  shell::LoadGroup(m::VtimeGroupFields(), file);
  shell::LoadGroup(m::CalibratorGroupFields(), file);
  EXPECT_EQ(m::GetVTOptions().mode, m::kVTModeR);
  EXPECT_EQ(m::GetVTOptions().delay, 100u);  // above 10000 ms: kept
  EXPECT_FLOAT_EQ(m::GetVTOptions().deltaT, 0.25f);
  EXPECT_EQ(m::GetVtimeOptions().way, m::kVtimeBuffered);
  EXPECT_EQ(m::GetVtimeOptions().interval, 250u);
  EXPECT_FLOAT_EQ(m::GetVtimeOptions().samplingRate, 1000.0f);  // beyond the cards: kept
  const m::CalibratorOptions& c = m::GetCalibratorOptions();
  EXPECT_DOUBLE_EQ(c.frequency, 70.5);
  EXPECT_EQ(m::CalibrationPointCount(c), 9u);  // 100, 75, ..., -100
  EXPECT_NEAR(m::StandardVolts(100, 70.5), 100 * 70.5 / 483597.8484, 1e-15);
}

TEST_F(ModeOptionsTest, TheVtimeDialogEnablesTheFieldOfTheChosenWay) {
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.Caption(), "V(time) Options");
    EXPECT_TRUE(d.IsEnabled(m::kIdVtimeInterval));
    EXPECT_FALSE(d.IsEnabled(m::kIdVtimeRate));
    d.SetCheck(m::kIdVtimeWay, 0);
    d.SetCheck(m::kIdVtimeBuffered, 1);
    d.Command(m::kIdVtimeBuffered, 0);
    EXPECT_FALSE(d.IsEnabled(m::kIdVtimeInterval));
    EXPECT_TRUE(d.IsEnabled(m::kIdVtimeRate));
  });
  EXPECT_EQ(m::RunVtimeOptionsDialog(nullptr), 1);
  EXPECT_EQ(m::GetVtimeOptions().way, m::kVtimeBuffered);
}

}  // namespace
}  // namespace tsm::testing
