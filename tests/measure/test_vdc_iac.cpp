// V_dc(I_ac) against a driver that records the generator calls: one start
// with symmetric bounds and one stop per point, a flat waveform at
// mid-scale, the generator's failures, "only on the edges", the cool-down,
// and the option group with its "%12G" reals.
#include <algorithm>
#include <numeric>

#include "measure/services.h"
#include "measure/vdc_iac.h"
#include "platform/profile.h"
#include "shell/settings.h"
#include "tests/daq/generator_fixture.h"
#include "tests/measure/modes_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;
using platform::UiCall;

// The generator's recording double, keeping the order of starts ('o'),
// stops ('c') and writes of the bias channel ('w' with the driver code), the
// bounds of every buffer started, and failing the n-th start or stop.
class VdcDriver : public WfmRecordingDriver {
 public:
  struct Event {
    char kind;
    int code;
  };
  struct Wave {
    int low, high;
    double mean;
  };

  daq::DriverStatus WFM_Op(std::int16_t slot, std::int16_t count, const std::int16_t* list,
                           const std::int16_t* buffer, std::uint32_t n, std::uint32_t iterations,
                           double rate) override {
    wfmStatus = ++starts == failStart ? daq::kStatusFailed : 0;
    const daq::DriverStatus st =
        WfmRecordingDriver::WFM_Op(slot, count, list, buffer, n, iterations, rate);
    const auto [lo, hi] = std::minmax_element(codes.begin(), codes.end());
    waves.push_back({*lo, *hi, std::accumulate(codes.begin(), codes.end(), 0.0) / codes.size()});
    events.push_back({'o', 0});
    return st;
  }
  daq::DriverStatus WFM_Group_Control(std::int16_t slot, std::int16_t group,
                                      std::int16_t op) override {
    if (op == daq::kWfmClear) {
      clearStatus = ++clears == failClear ? daq::kStatusFailed : 0;
      events.push_back({'c', 0});
    }
    return WfmRecordingDriver::WFM_Group_Control(slot, group, op);
  }
  daq::DriverStatus Output_Write(std::int16_t slot, std::int16_t channel,
                                 std::int16_t code) override {
    if (slot == 3 && channel == 0) events.push_back({'w', code});
    return WfmRecordingDriver::Output_Write(slot, channel, code);
  }

  // The last bias write before each start.
  std::vector<int> CodesBeforeStarts() const {
    std::vector<int> out;
    int last = -100000;
    for (const Event& e : events) {
      if (e.kind == 'w') last = e.code;
      if (e.kind == 'o') out.push_back(last);
    }
    return out;
  }

  std::vector<Event> events;
  std::vector<Wave> waves;
  int starts = 0, clears = 0;
  int failStart = 0, failClear = 0;  // 1-based; 0: none fails
};

class VdcIacTest : public ModesTest {
 protected:
  VdcIacTest() { daq::SetDriver(&driver); }
  ~VdcIacTest() override { daq::SetDriver(nullptr); }

  static void SetVdcRange(std::uint32_t start, std::uint32_t stop, std::uint32_t step,
                          bool twoDirections) {
    SetRangeOf(m::RangeId::VdcIac, start, stop, step, twoDirections);
  }
  static int RunVdc() { return RunHere(m::Mode::VdcIac); }

  VdcDriver driver;
};

TEST_F(VdcIacTest, EveryPointStartsTheGeneratorSymmetricallyAroundMidScaleAndStopsIt) {
  SetVdcRange(40000, 48000, 2000, false);
  ASSERT_EQ(RunVdc(), 1);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  // Start, stop, start, stop...: each point plays its own waveform.
  ASSERT_EQ(driver.events.size() - std::count_if(driver.events.begin(), driver.events.end(),
                                                 [](const VdcDriver::Event& e) {
                                                   return e.kind == 'w';
                                                 }),
            10u);
  char expected = 'o';
  for (const VdcDriver::Event& e : driver.events) {
    if (e.kind == 'w') continue;
    EXPECT_EQ(e.kind, expected);
    expected = expected == 'o' ? 'c' : 'o';
  }
  ASSERT_EQ(driver.waves.size(), 5u);
  const std::vector<int> before = driver.CodesBeforeStarts();
  for (std::uint32_t i = 0; i < 5; ++i) {
    const int a = 40000 + 2000 * static_cast<int>(i);
    // The sine between a and 65536 - a (driver codes: minus the zero 32768),
    // centred on the zero code.
    EXPECT_EQ(driver.waves[i].high, a - 32768) << i;
    EXPECT_EQ(driver.waves[i].low, 65536 - a - 32768) << i;
    EXPECT_NEAR(driver.waves[i].mean, 0.0, 0.5) << i;
    // Before its waveform the bias was set to a, and x is its current.
    EXPECT_EQ(before[i], a - 32768) << i;
    EXPECT_NEAR(Family().Curve(0).Point(i).x, Amperes(a), 1e-7) << i;
  }
  EXPECT_DOUBLE_EQ(driver.rate, 100000.0);  // the sampling rate
  EXPECT_EQ(driver.codes.size(), 1000u);    // 100000 / 100 Hz points a period
  EXPECT_EQ(driver.wfmIterations, 0u);      // repeated until stopped
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 5u);
  EXPECT_STREQ(Family().GraphName(), "V_dc(I_ac)");
  EXPECT_STREQ(Family().UnitX(), "A");
  EXPECT_EQ(channels::PresentCode(0), 32768);
  EXPECT_FALSE(daq::WaveformGeneratorRunning());
}

TEST_F(VdcIacTest, AtMidScaleEveryWaveformIsFlat) {
  SetVdcRange(32768, 32768, 1, false);
  for (unsigned type = 0; type < 4; ++type) {
    m::GetVdcIacOptions().waveformType = type;
    ASSERT_EQ(RunVdc(), 1);
    ASSERT_FALSE(driver.codes.empty());
    EXPECT_TRUE(std::all_of(driver.codes.begin(), driver.codes.end(),
                            [](std::int16_t c) { return c == 0; }))
        << type;
  }
  // The extremes: a = 0 has no mirror on the scale and gets the top code.
  EXPECT_EQ(m::SymmetricExtreme(0), 65535u);
  EXPECT_EQ(m::SymmetricExtreme(65535), 1u);
  EXPECT_EQ(m::SymmetricExtreme(32768), 32768u);
}

TEST_F(VdcIacTest, AGeneratorThatFailsEndsTheRunWithThePointsBefore) {
  SetVdcRange(40000, 50000, 1000, false);  // 11 points
  driver.failStart = 7;                    // the start of point 6
  EXPECT_EQ(RunVdc(), 1);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 6u);
  EXPECT_EQ(driver.starts, 7);
  EXPECT_EQ(channels::PresentCode(0), 32768);

  driver = VdcDriver{};
  driver.failStart = 3;  // before the fifth point: nothing is kept
  EXPECT_EQ(RunVdc(), 1);
  EXPECT_EQ(Family().Count(), 0u);

  driver = VdcDriver{};
  driver.failClear = 6;  // the stop of point 5
  EXPECT_EQ(RunVdc(), 1);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 5u);
  EXPECT_EQ(driver.starts, 6);
  EXPECT_TRUE(ui->CallsOf(UiCall::Kind::Sound).empty());

  // A period of fewer than three points never reaches the driver: told.
  ui->Clear();
  driver = VdcDriver{};
  m::GetVdcIacOptions().samplingRate = m::GetVdcIacOptions().frequency;
  EXPECT_EQ(RunVdc(), 1);
  EXPECT_EQ(driver.starts, 0);
  EXPECT_EQ(Family().Count(), 0u);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Can not start FastSweepGenerator\nZentra Error code: -8\n");
  EXPECT_EQ(boxes[0].caption, "Error");
}

TEST_F(VdcIacTest, OnlyOnTheEdgesMeasuresBothEndsOnceAndRetracesTheWayBack) {
  channels::GetMeasurementOptions().general.currentMeasureMethod = 1;
  SetVdcRange(40000, 44000, 1000, true);  // 5 points each way
  ASSERT_EQ(RunVdc(), 1);
  const curves::Curve& c = Family().Curve(0);
  ASSERT_EQ(c.Count(), 10u);
  const double is = Amperes(40000), ie = Amperes(44000), step = (ie - is) / 5;
  // Up from I_start by (I_stop - I_start) / N0 per point; point 5, the first
  // of the way back (measured at stop itself), is I_stop; then one step back
  // per point.
  const double expected[10] = {is,         is + step,     is + 2 * step, is + 3 * step,
                               is + 4 * step, ie,         ie - step,     ie - 2 * step,
                               ie - 3 * step, ie - 4 * step};
  for (std::uint32_t i = 0; i < 10; ++i) EXPECT_NEAR(c.Point(i).x, expected[i], 1e-7) << i;
  // The bias went to start, stop and mid-scale before the first waveform,
  // and no write came between the waveforms.
  std::vector<int> writes;
  for (const VdcDriver::Event& e : driver.events) {
    if (e.kind == 'o') break;
    if (e.kind == 'w') writes.push_back(e.code);
  }
  EXPECT_NE(std::find(writes.begin(), writes.end(), 40000 - 32768), writes.end());
  EXPECT_NE(std::find(writes.begin(), writes.end(), 44000 - 32768), writes.end());
  EXPECT_EQ(writes.back(), 0);
  const auto firstStart = std::find_if(driver.events.begin(), driver.events.end(),
                                       [](const VdcDriver::Event& e) { return e.kind == 'o'; });
  const auto lastStop = std::find_if(driver.events.rbegin(), driver.events.rend(),
                                     [](const VdcDriver::Event& e) { return e.kind == 'c'; });
  EXPECT_EQ(std::count_if(firstStart, lastStop.base(),
                          [](const VdcDriver::Event& e) { return e.kind == 'w'; }),
            0);
}

TEST_F(VdcIacTest, TheCoolDownPutsTheBiasAtMidScaleBeforeEveryWaveform) {
  SetVdcRange(40000, 44000, 1000, false);
  m::GetVdcIacOptions().coolDownDelay = 3;
  ASSERT_EQ(RunVdc(), 1);
  const std::vector<int> before = driver.CodesBeforeStarts();
  ASSERT_EQ(before.size(), 5u);
  for (int code : before) EXPECT_EQ(code, 0);
  // x is still the current at a.
  EXPECT_NEAR(Family().Curve(0).Point(4).x, Amperes(44000), 1e-7);
}

TEST_F(VdcIacTest, TheOptionGroupWritesItsRealsWithTwelveColumns) {
  const std::string file = dir.File("tsm.ini");
  m::GetVdcIacOptions().frequency = 250.0f;
  m::GetVdcIacOptions().coolDownDelay = 40;
  ASSERT_EQ(m::SaveVdcIacOptions(file), 1);
  platform::ProfileCacheClear();
  const std::string text = TempDir::Read(file);
  EXPECT_NE(text.find("Measure:V_dc(I_ac)_Freq=         250"), std::string::npos) << text;
  EXPECT_NE(text.find("Measure:V_dc(I_ac)_SamplingRate=      100000"), std::string::npos);
  EXPECT_NE(text.find("Measure:V_dc(I_ac)_CoolDownDelay=40"), std::string::npos);
  m::ResetVdcIacOptions();
  ASSERT_EQ(m::LoadVdcIacOptions(file), 1);
  EXPECT_FLOAT_EQ(m::GetVdcIacOptions().frequency, 250.0f);
  EXPECT_EQ(m::GetVdcIacOptions().coolDownDelay, 40u);

  const shell::InfoTable t = m::VdcIacInfoTable();
  EXPECT_EQ(t.title, "V_dc(I_ac) Options");
  EXPECT_EQ(t.Find("Frequency (Hz)")->values[0], "250");
  EXPECT_EQ(t.Find("Sampling rate (pts/sec)")->values[0], "100000");
  EXPECT_EQ(t.Find("Cool down delay (ms)")->values[0], "40");

  // The dialog's "&Save" writes the reals the same way.
  shell::SetSettingsFileName(file);
  ui->PushDialog([](platform::DialogModel& d) {
    d.SetText(m::kIdVdcFrequency, "50");
    d.Command(shell::kSetupSave);
  });
  EXPECT_EQ(m::RunVdcIacOptionsDialog(nullptr), 1);
  platform::ProfileCacheClear();
  EXPECT_NE(TempDir::Read(file).find("Measure:V_dc(I_ac)_Freq=          50"), std::string::npos);
}

}  // namespace
}  // namespace tsm::testing
