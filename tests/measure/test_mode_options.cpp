// The option groups of V(T)/R(T), V(time) and the voltage calibration: the
// sections and keys they write (what settings files and data files keep),
// and the V(time) dialog enabling the field of the chosen way.
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
