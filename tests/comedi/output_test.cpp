// The backend's waveform output against the fake device, which plays in
// real time and runs dry when not fed: progress, the end of a finite
// output, PAUSE/RESUME with the caller's changed codes, CLEAR, failures, and
// the program's waveform generator driving it.
#include <cerrno>
#include <numeric>

#include "daq/cards.h"
#include "daq/generator.h"
#include "tests/comedi/comedi_fixture.h"

namespace tsm::testing {
namespace {

namespace dc = daq::comedi;

class ComediOutputTest : public ComediTest {
 protected:
  struct Progress {
    daq::DriverStatus result = 0;
    std::int16_t status = -1;
    std::uint32_t points = 0, iterations = 0;
  };
  Progress Check() {
    Progress p;
    p.result = driver->WFM_Check(1, 0, &p.status, &p.points, &p.iterations);
    return p;
  }

  // 100 points of a ramp on channel 0.
  std::vector<std::int16_t> Ramp() {
    std::vector<std::int16_t> codes(100);
    for (int i = 0; i < 100; ++i) codes[i] = static_cast<std::int16_t>(i * 600 - 30000);
    return codes;
  }

  const std::int16_t channel0 = 0;
};

TEST_F(ComediOutputTest, AnEndlessOutputIsKeptFedReportsProgressAndStopsOnClear) {
  // The buffer holds 8192 points (0.4 s): playing for longer without
  // running dry takes the feeder, with room for a machine under load.
  fake->SetBufferBytes(16384);
  std::vector<std::int16_t> codes = Ramp();
  ASSERT_EQ(driver->WFM_Op(1, 1, &channel0, codes.data(), 100, 0, 20000.0), 0);
  const dc::Command cmd = fake->StartedCommands().back();
  EXPECT_EQ(cmd.startSrc, dc::kTrigInt);
  EXPECT_EQ(cmd.stopSrc, dc::kTrigNone);
  EXPECT_EQ(cmd.scanBeginArg, 50000u);

  ASSERT_TRUE(Eventually([&] { return Check().iterations >= 200; }));
  EXPECT_FALSE(fake->OutputRanDry());
  const Progress p = Check();
  EXPECT_EQ(p.result, 0);
  EXPECT_EQ(p.status, 0);
  EXPECT_LT(p.points, 100u);
  const std::uint32_t sample = fake->OutputSample(0);
  EXPECT_EQ((sample - 2768) % 600, 0u) << sample;  // one of the ramp's codes

  ASSERT_EQ(driver->WFM_Group_Control(1, 1, daq::kWfmClear), 0);
  EXPECT_FALSE(fake->OutputRunning());
  const std::uint64_t played = fake->OutputBytesPlayed();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(fake->OutputBytesPlayed(), played);
  EXPECT_EQ(Check().result, dc::kBadValue);  // nothing runs any more
  EXPECT_EQ(driver->WFM_Group_Control(1, 1, daq::kWfmClear), 0);
}

TEST_F(ComediOutputTest, AFiniteOutputEndsAfterItsIterations) {
  std::vector<std::int16_t> codes(2 * 50);
  std::iota(codes.begin(), codes.end(), std::int16_t{-50});
  const std::int16_t channels[] = {2, 5};
  ASSERT_EQ(driver->WFM_Op(1, 2, channels, codes.data(), 100, 3, 50000.0), 0);
  EXPECT_EQ(fake->StartedCommands().back().stopArg, 150u);
  ASSERT_TRUE(Eventually([&] { return Check().status == 1; }));
  const Progress p = Check();
  EXPECT_EQ(p.iterations, 3u);
  EXPECT_EQ(p.points, 0u);
  EXPECT_FALSE(fake->OutputRanDry());
  // The channels hold the last point's codes.
  EXPECT_EQ(fake->OutputSample(2), 32768u + 48);
  EXPECT_EQ(fake->OutputSample(5), 32768u + 49);
  EXPECT_EQ(driver->WFM_Group_Control(1, 1, daq::kWfmClear), 0);
}

TEST_F(ComediOutputTest, ResumePlaysTheCodesTheCallerChangedWhilePaused) {
  std::vector<std::int16_t> codes(64, 1000);
  ASSERT_EQ(driver->WFM_Op(1, 1, &channel0, codes.data(), 64, 0, 20000.0), 0);
  ASSERT_TRUE(Eventually([&] { return fake->OutputSample(0) == 33768u; }));
  ASSERT_EQ(driver->WFM_Group_Control(1, 1, daq::kWfmPause), 0);
  EXPECT_FALSE(fake->OutputRunning());
  const Progress paused = Check();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(Check().iterations, paused.iterations);
  EXPECT_EQ(Check().points, paused.points);

  std::fill(codes.begin(), codes.end(), std::int16_t{-200});
  ASSERT_EQ(driver->WFM_Group_Control(1, 1, daq::kWfmResume), 0);
  ASSERT_TRUE(Eventually([&] { return fake->OutputSample(0) == 32568u; }));
  // Progress goes on from where the pause left it.
  EXPECT_GE(Check().iterations, paused.iterations);
  ASSERT_EQ(driver->WFM_Group_Control(1, 1, daq::kWfmClear), 0);
}

TEST_F(ComediOutputTest, FailuresOfTheOutputGiveTheirStatus) {
  std::vector<std::int16_t> codes = Ramp();
  const std::int16_t two[] = {0, 1};
  EXPECT_EQ(driver->WFM_Op(1, 2, two, codes.data(), 99, 0, 1000.0), dc::kBadValue);
  const std::int16_t bad = 8;
  EXPECT_EQ(driver->WFM_Op(1, 1, &bad, codes.data(), 100, 0, 1000.0), dc::kBadChannel);
  EXPECT_EQ(driver->WFM_Op(1, 1, &channel0, codes.data(), 100, 0, 0.0), dc::kBadValue);
  EXPECT_EQ(driver->WFM_Op(1, 1, &channel0, codes.data(), 100, 0x7fffffff, 1000.0), dc::kBadValue);
  EXPECT_EQ(driver->WFM_Group_Control(1, 1, 3), dc::kBadValue);

  fake->FailCall("comedi_internal_trigger", EIO);
  EXPECT_EQ(driver->WFM_Op(1, 1, &channel0, codes.data(), 100, 0, 1000.0), dc::kLibraryError);
  EXPECT_EQ(driver->LastErrorDetail(), "/dev/comedi0: comedi_internal_trigger: Input/output error");
  EXPECT_EQ(Check().result, dc::kBadValue);  // nothing was left running
  fake->FailCall("comedi_internal_trigger", 0);

  // An output whose buffer cannot be fed any more stops with lost data.
  ASSERT_EQ(driver->WFM_Op(1, 1, &channel0, codes.data(), 100, 0, 20000.0), 0);
  fake->FailCall("write", EPIPE);
  ASSERT_TRUE(Eventually([&] { return Check().result == dc::kDataLost; }));
  EXPECT_EQ(driver->LastErrorDetail(), "/dev/comedi0: write: Broken pipe");
  EXPECT_EQ(driver->WFM_Group_Control(1, 1, daq::kWfmClear), 0);
}

// The program's generator over the backend: it keeps the codes of a running
// output and changes them in place while paused, so ramping to zero only
// works when RESUME plays the changed codes.
TEST_F(ComediOutputTest, TheGeneratorRampsARealOutputDownToZero) {
  TempDir dir;
  ASSERT_EQ(Detect(dir), 0);
  fake->SetBufferBytes(65536);  // 0.5 s of playing: a slow machine does not run it dry
  daq::ResetWaveforms();
  daq::GeneratorOutput out;
  out.cardIndex = 0;
  out.channels = {0, 1};
  out.points = 32;
  out.updateRate = 32000.0;
  for (std::uint32_t j = 0; j < out.points; ++j) {
    out.codes.push_back(static_cast<std::int16_t>(j * 300));
    out.codes.push_back(static_cast<std::int16_t>(-static_cast<int>(j) * 200));
  }
  ASSERT_EQ(daq::StartGeneratorOutput(out), 0);
  ASSERT_TRUE(daq::WaveformGeneratorRunning());
  ASSERT_EQ(daq::RampWaveformToZero(), 0);
  EXPECT_FALSE(daq::WaveformGeneratorRunning());
  EXPECT_EQ(fake->OutputSample(0), 32768u);
  EXPECT_EQ(fake->OutputSample(1), 32768u);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  daq::ResetWaveforms();
}

}  // namespace
}  // namespace tsm::testing
