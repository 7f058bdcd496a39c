// The I-V family, V(I_wfm) and V_dc(I_ac) on the measurement worker while
// the UI thread refreshes the dialog and copies the live curves for the plot
// as fast as it can (this executable also runs under ThreadSanitizer): the
// names and parameters a family sets while it runs, the currents the dialog
// shows, the generator the worker starts and stops.
#include <chrono>
#include <string>

#include "tests/measure/modes_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;

class ModesThreadsTest : public ModesTest {
 protected:
  // Runs the mode's dialog with "&Do It" on its worker while this thread
  // fires the refresh and reads the plot's family; the dialog's result.
  int RunOnWorker(m::Mode mode) {
    channels::GetMeasurementOptions().delays.interactionTime = 1;
    m::MeasureDialog d(m::Description(mode));
    d.Init();
    d.Command(m::kIdDoIt);
    EXPECT_TRUE(d.Running());
    const auto start = std::chrono::steady_clock::now();
    while (!d.Ended() && std::chrono::steady_clock::now() - start < std::chrono::seconds(60)) {
      ui->FireTimers();
      const curves::CurveFamily& plot = curves::FamilyForPlot();
      for (std::uint32_t c = 0; c < plot.Count(); ++c) names_ += plot.Curve(c).Name()[0];
    }
    EXPECT_TRUE(d.WaitForEnd(std::chrono::seconds(60)));
    d.Finish();
    return d.Result();
  }
  std::string names_;
};

TEST_F(ModesThreadsTest, AFamilyNamesItsCurvesWhileThePlotCopiesThem) {
  DefineCurrent(1, channels::kPlusSweep2, 0, 1, 1000.0f);
  DefineVoltage(1, channels::kPositive, 0, 2);
  SetRange(30000, 36000, 20, true);  // 301 points each way
  SetRange2(32768, 33768, 100, false);
  m::GetIVFOptions().kind = m::kParamAutomatic;
  ASSERT_EQ(RunOnWorker(m::Mode::IVF), 1);
  ASSERT_EQ(Family().Count(), 22u);
  EXPECT_EQ(Family().Curve(21).Count(), 602u);
  EXPECT_EQ(std::string(Family().Curve(21).Name()), "Voltage#1 (+10.000  )");
  EXPECT_EQ(channels::PresentCode(0), 32768);
  EXPECT_EQ(channels::PresentCode(1), 32768);
}

TEST_F(ModesThreadsTest, WaveformsAndTheGeneratorRunOnTheWorker) {
  DefineCurrent(2, channels::kWaveForm0, 0, 0, 1000.0f);
  daq::WaveformDefinition& w = daq::GetWaveformSettings().waveforms[0];
  std::snprintf(w.sequence, sizeof w.sequence, "%s", "T/\\");
  w.value0 = -1.0f;
  daq::GetWaveformSettings().general.samplesPerLogUnit = 256;
  daq::GetWaveformSettings().general.samplingTimeInterval = 0;
  ASSERT_EQ(RunOnWorker(m::Mode::WFM), 1);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 768u);
  EXPECT_EQ(channels::PresentCode(2), 32768);

  m::Range(m::RangeId::VdcIac)->step = 64;  // 512 points
  ASSERT_EQ(RunOnWorker(m::Mode::VdcIac), 1);
  EXPECT_EQ(Family().Curve(0).Count(), 512u);
  EXPECT_FALSE(daq::WaveformGeneratorRunning());
  EXPECT_EQ(channels::PresentCode(0), 32768);
}

// "Stop" during V_dc(I_ac)'s cool-down between waveforms (a minute here; a
// key of -1 reads as 49 days) ends it at once: the waveform of the point
// plays, the generator is stopped and the bias goes back.
TEST_F(ModesThreadsTest, StopEndsTheCoolDown) {
  DefineCurrent(2, channels::kWaveForm0, 0, 0, 1000.0f);
  m::GetVdcIacOptions().coolDownDelay = 60000;
  m::Range(m::RangeId::VdcIac)->step = 64;
  EXPECT_EQ(StopWhileItWaits(m::Mode::VdcIac), 1);
  EXPECT_FALSE(daq::WaveformGeneratorRunning());
  EXPECT_EQ(channels::PresentCode(0), 32768);
}

}  // namespace
}  // namespace tsm::testing
