// V(time): timed points on their absolute schedule (a slow reading makes
// late points, never skipped ones, and no drift), the stop rule, and the
// buffered way through the card path: one channel, a scan of one card,
// several cards, what it refuses and a driver that fails.
#include <cmath>

#include "measure/services.h"
#include "measure/vtime.h"
#include "tests/measure/drift_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;
using platform::UiCall;

// Volts of a driver reading of ADC card 0 (16 bits, -10..10 V).
double Slot3Volts(int driverReading) { return driverReading * 10.0 / 32768.0; }

// Records the scans asked for and fills their buffers with the word index.
class ScanDriver : public CryostatDriver {
 public:
  using CryostatDriver::CryostatDriver;
  daq::DriverStatus SCAN_Op(std::int16_t slot, std::int16_t channelCount,
                            const std::int16_t* channels, const std::int16_t* gains,
                            std::int16_t* buffer, std::uint32_t count, double sampleRate,
                            double scanRate) override {
    scans.push_back({slot, std::vector<std::int16_t>(channels, channels + channelCount),
                     std::vector<std::int16_t>(gains, gains + channelCount), count, sampleRate,
                     scanRate});
    for (std::uint32_t k = 0; k < count; ++k) buffer[k] = static_cast<std::int16_t>(k);
    return daq::kStatusOk;
  }
  struct Scan {
    int slot;
    std::vector<std::int16_t> channels, gains;
    std::uint32_t count;
    double sampleRate, scanRate;
  };
  std::vector<Scan> scans;
};

class VtimeTest : public DriftTest {
 protected:
  VtimeTest() {
    UseDriver(scan);
    DefineVoltage(0, channels::kPositive, 0, 5);
    scan.slopePerMs = 0.0;
  }
  ScanDriver scan{clock};
};

TEST_F(VtimeTest, TimedPointsKeepAnAbsoluteScheduleThroughASlowReading) {
  m::GetVtimeOptions().interval = 10;
  // A reading takes 3 ms; the 501st takes 40 ms, three slots' worth.
  scan.onSampleRead = [this](int n) { clock.now.fetch_add(n == 501 ? 40 : 3); };
  ASSERT_EQ(RunHere(m::Mode::Vtime, 1000), 1);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_STREQ(Family().GraphName(), "V(time)");
  EXPECT_STREQ(Family().UnitX(), "s");
  EXPECT_STREQ(Family().UnitY(), "V");
  const curves::Curve& c = Family().Curve(0);
  ASSERT_EQ(c.Count(), 1000u);  // nothing skipped
  EXPECT_LT(c.Point(0).x, 0.004f);  // the clock moves by every read of it
  for (std::uint32_t i = 1; i < 1000; ++i) {
    const double scheduled = i * 0.010;
    EXPECT_GT(c.Point(i).x, c.Point(i - 1).x) << i;
    EXPECT_GE(c.Point(i).x, scheduled - 1e-6) << i;  // never early
    if (i <= 500 || i >= 510) {
      EXPECT_LT(c.Point(i).x - scheduled, 0.004) << i;
    }
  }
  EXPECT_GT(c.Point(501).x - 5.01, 0.02);  // the missed slot, taken late
}

TEST_F(VtimeTest, AStopBeforeTheFifthPointEmptiesTheFamilyLaterOnesKeepEveryPoint) {
  scan.onSampleRead = [](int n) {
    if (n == 4) m::RequestStop();
  };
  ASSERT_EQ(RunHere(m::Mode::Vtime, 50), 1);
  EXPECT_EQ(Family().Count(), 0u);

  m::ClearStop();
  scan.onSampleRead = [](int n) {
    if (n == 7) m::RequestStop();
  };
  ASSERT_EQ(RunHere(m::Mode::Vtime, 50), 1);
  ASSERT_EQ(Family().Count(), 1u);
  ASSERT_EQ(Family().Curve(0).Count(), 7u);
  EXPECT_NEAR(Family().Curve(0).Point(6).x, 0.6, 0.005);  // 100 ms apart by default
  EXPECT_TRUE(ui->CallsOf(UiCall::Kind::Sound).empty());
}

TEST_F(VtimeTest, OneBufferedVoltageIsOneDaqOpOfNSamples) {
  m::GetVtimeOptions().way = m::kVtimeBuffered;
  m::GetVtimeOptions().samplingRate = 2000.0f;
  scan.daqStatus = daq::kStatusOk;
  scan.pattern = [](std::uint32_t k) { return static_cast<std::int16_t>(100 * k); };
  ASSERT_EQ(RunHere(m::Mode::Vtime, 300), 1);
  EXPECT_EQ(scan.daqOps, 1);
  EXPECT_EQ(scan.lastDaqCount, 300u);
  EXPECT_DOUBLE_EQ(scan.lastRate, 2000.0);
  EXPECT_EQ(scan.lastTimeoutTicks, daq::kTimeoutForever);  // set back after the acquisition
  const curves::Curve& c = Family().Curve(0);
  ASSERT_EQ(c.Count(), 300u);
  for (std::uint32_t i : {0u, 1u, 150u, 299u}) {
    EXPECT_FLOAT_EQ(c.Point(i).x, static_cast<float>(i / 2000.0)) << i;
    EXPECT_NEAR(c.Point(i).y, Slot3Volts(static_cast<std::int16_t>(100 * i)), 1e-6) << i;
  }
  EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(VtimeTest, SeveralVoltagesAreScannedCardByCard) {
  m::GetVtimeOptions().way = m::kVtimeBuffered;
  m::GetVtimeOptions().samplingRate = 1000.0f;
  scan.daqStatus = daq::kStatusOk;
  DefineVoltage(1, channels::kNegative, 0, 2, 10.0f);  // same card, gain 10
  DefineVoltage(2, channels::kPositive, 1, 4);         // ADC card 1 (slot 7) alone
  ASSERT_EQ(RunHere(m::Mode::Vtime, 100), 1);

  ASSERT_EQ(scan.scans.size(), 1u);
  const ScanDriver::Scan& s = scan.scans[0];
  EXPECT_EQ(s.slot, 3);
  EXPECT_EQ(s.channels, (std::vector<std::int16_t>{5, 2}));
  EXPECT_EQ(s.gains, (std::vector<std::int16_t>{1, 10}));
  EXPECT_EQ(s.count, 200u);  // channels x scans
  EXPECT_DOUBLE_EQ(s.sampleRate, 2000.0);
  EXPECT_DOUBLE_EQ(s.scanRate, 1000.0);
  EXPECT_EQ(scan.daqOps, 1);  // card 1 on its own

  ASSERT_EQ(Family().Count(), 3u);
  for (std::uint32_t k = 0; k < 3; ++k) ASSERT_EQ(Family().Curve(k).Count(), 100u) << k;
  // The scan interleaves the channels: word 2i is voltage 0, word 2i + 1
  // voltage 1 (negative, through its gain of 10).
  for (std::uint32_t i : {0u, 7u, 99u}) {
    EXPECT_NEAR(Family().Curve(0).Point(i).y, Slot3Volts(2 * i), 1e-6) << i;
    EXPECT_NEAR(Family().Curve(1).Point(i).y, -Slot3Volts(2 * i + 1) / 10.0, 1e-6) << i;
    EXPECT_FLOAT_EQ(Family().Curve(1).Point(i).x, static_cast<float>(i / 1000.0)) << i;
  }
}

TEST_F(VtimeTest, TheBufferedWayRefusesWhatTheCardsCannotTake) {
  m::GetVtimeOptions().way = m::kVtimeBuffered;
  scan.daqStatus = daq::kStatusOk;
  Family().SetCount(1);
  DefineVoltage(1, channels::kPositive, 0, 2);
  m::GetVtimeOptions().samplingRate = 300000.0f;  // two channels: 600000 a second
  EXPECT_EQ(RunHere(m::Mode::Vtime, 1000), 0);
  m::GetVtimeOptions().samplingRate = 10.0f;  // 100 s in one acquisition
  EXPECT_EQ(RunHere(m::Mode::Vtime, 1000), 0);
  m::GetVtimeOptions().samplingRate = 1e6f;  // beyond any card
  EXPECT_EQ(RunHere(m::Mode::Vtime, 10), 0);

  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text,
            "Sampling 2 voltages of the card in slot 3 at 300000 Hz each\nneeds 600000 samples "
            "per second; a card takes at most 500000.\nLower the sampling rate or measure "
            "fewer voltages.");
  EXPECT_EQ(boxes[1].text,
            "1000 samples at 10 Hz take 100.0 s, but one buffered\nacquisition may last at most "
            "30.0 s (the card's time-out).\nTake fewer samples, sample faster or use timed "
            "points.");
  EXPECT_EQ(boxes[2].text.rfind("The sampling rate of 1E+06 Hz is outside", 0), 0u);
  for (const UiCall& b : boxes) EXPECT_EQ(b.caption, "Can not start measurements");
  EXPECT_EQ(scan.daqOps + static_cast<int>(scan.scans.size()), 0);
  EXPECT_EQ(Family().Count(), 1u);
}

TEST_F(VtimeTest, AFailedAcquisitionIsReportedAndLeavesTheFamilyAsItWas) {
  m::GetVtimeOptions().way = m::kVtimeBuffered;
  scan.daqStatus = -10;
  Family().SetCount(2);
  EXPECT_EQ(RunHere(m::Mode::Vtime, 100), 0);
  EXPECT_EQ(Family().Count(), 2u);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("DAQ_Op(..)"), std::string::npos);
  EXPECT_EQ(scan.lastTimeoutTicks, daq::kTimeoutForever);
}

}  // namespace
}  // namespace tsm::testing
