// Ic(T) against a junction double whose T-sensor voltage drifts at every
// reading and whose critical current falls with temperature: the falling
// curve, the re-measurement while T moved too little, a constant
// temperature, stops and the start checks.
#include <chrono>
#include <cmath>
#include <thread>

#include "measure/ict.h"
#include "measure/services.h"
#include "tests/measure/ic_fixture.h"

namespace tsm::testing {
namespace {

namespace m = tsm::measure;
using platform::UiCall;

class IcTTest : public IcTest {
 protected:
  IcTTest() {
    // Ic falls by 100 codes per kelvin from 40000 at 0 K.
    junction.ic = [](int, double t) { return 40000 - static_cast<int>(std::lround(100 * t)); };
  }
  static void SetPoints(std::uint32_t n) { m::Range(m::RangeId::IcTPoints)->stop = n - 1; }
  std::size_t Beeps() { return ui->CallsOf(UiCall::Kind::Beep).size(); }
};

TEST_F(IcTTest, RecordsAFallingIcAgainstTheDriftingTemperature) {
  DefineThermometer(33);  // 1.007 K per sensor reading
  m::GetIcTOptions().minDeltaT = 0.5f;
  SetPoints(20);
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcT, nullptr), 1);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  const curves::CurveFamily& f = Family();
  ASSERT_EQ(f.Count(), 1u);
  EXPECT_STREQ(f.GraphName(), "Ic(T)");
  EXPECT_STREQ(f.UnitX(), "K");
  EXPECT_STREQ(f.UnitY(), "A");
  EXPECT_STREQ(f.Curve(0).Name(), "Voltage#0/Current#0");
  const curves::Curve& c = f.Curve(0);
  ASSERT_EQ(c.Count(), 20u);
  for (std::uint32_t i = 0; i < 20; ++i) {
    // The search ran at the temperature of the reading before.
    const double t = c.Point(i).x;
    const double before = t - 33 * 1000.0 / 32768.0;
    EXPECT_NEAR(c.Point(i).y, Amperes(40000 - static_cast<int>(std::lround(100 * before))),
                1e-7)
        << i;
    if (i > 0) {
      EXPECT_GT(t, c.Point(i - 1).x);
    }
  }
  EXPECT_LT(c.Point(19).y, c.Point(0).y);
  EXPECT_EQ(Beeps(), 0u);  // every reading moved 1 K, more than 0.5 K
  EXPECT_EQ(channels::PresentCode(0), 32768);
}

TEST_F(IcTTest, MeasuresAPointAgainWhileTheTemperatureMovedTooLittle) {
  DefineThermometer(4);  // 0.122 K per reading: the third one moved enough
  m::GetIcTOptions().minDeltaT = 0.25f;
  SetPoints(6);
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcT, nullptr), 1);
  const curves::Curve& c = Family().Curve(0);
  ASSERT_EQ(c.Count(), 6u);
  for (std::uint32_t i = 1; i < 6; ++i) {
    EXPECT_NEAR(c.Point(i).x - c.Point(i - 1).x, 3 * 4 * 1000.0 / 32768.0, 1e-4) << i;
  }
  // Two readings too close before every point after the first.
  EXPECT_EQ(Beeps(), 2u * 5u);
}

TEST_F(IcTTest, AConstantTemperatureBeepsUntilStoppedAndLeavesNothing) {
  DefineThermometer(0);
  junction.sensor = 3000;  // 91.6 K
  SetPoints(10);
  // Stop after a few cycles of the same temperature.
  m::MeasureDialog d(m::Description(m::Mode::IcT));
  d.Init();
  d.Command(m::kIdDoIt);
  while (!d.Ended() && Beeps() < 5) std::this_thread::yield();
  d.Command(m::kIdCancel);
  ASSERT_TRUE(d.WaitForEnd(std::chrono::seconds(30)));
  d.Finish();
  EXPECT_EQ(d.Result(), 1);
  EXPECT_GE(Beeps(), 5u);
  EXPECT_EQ(Family().Count(), 0u);
}

TEST_F(IcTTest, AStopKeepsTheAcceptedPointsFromTheFifthOn) {
  DefineThermometer(33);
  m::GetIcTOptions().minDeltaT = 0.5f;
  SetPoints(100);
  // Stop during the search of point 7: every point's search sees a new
  // temperature (one sensor reading per point).
  int temperatures = 0;
  double last = 0.0;  // before the first sensor reading (the dialog reads once at its start)
  junction.ic = [&](int, double t) {
    if (t != last) ++temperatures;
    last = t;
    if (temperatures == 8) m::RequestStop();
    return 40000;
  };
  ASSERT_EQ(m::RunMeasurement(m::Mode::IcT, nullptr), 1);
  ASSERT_EQ(Family().Count(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 7u);
  EXPECT_STREQ(Family().Curve(0).Name(), "Voltage#0/Current#0");
}

TEST_F(IcTTest, StartChecksNeedABiasAVoltageAndAThermometer) {
  EXPECT_EQ(m::RunMeasurement(m::Mode::IcT, nullptr), 0);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, m::kNoTSensorText);
  EXPECT_EQ(ui->MessageBoxes()[0].caption, m::kCannotStartCaption);
  DefineThermometer(33);
  DefineVoltage(0, channels::kNotConnected, 0, 1);
  EXPECT_EQ(m::RunMeasurement(m::Mode::IcT, nullptr), 0);
  EXPECT_EQ(ui->MessageBoxes()[1].text, m::kNoVoltagesText);
  DefineCurrent(0, channels::kConstant, 0, 0);
  EXPECT_EQ(m::RunMeasurement(m::Mode::IcT, nullptr), 0);
  EXPECT_EQ(ui->MessageBoxes()[2].text, m::kNoSweep1Text);
}

TEST_F(IcTTest, AThermometerThatCannotReadGivesNoPoint) {
  // The sensor reads outside the table (6.1 V, the table ends at 5 V).
  DefineThermometer(0);
  junction.sensor = 20000;
  SetPoints(10);
  m::MeasureDialog d(m::Description(m::Mode::IcT));
  d.Init();
  d.Command(m::kIdDoIt);
  while (!d.Ended() && Beeps() < 3) std::this_thread::yield();
  d.Command(m::kIdCancel);
  ASSERT_TRUE(d.WaitForEnd(std::chrono::seconds(30)));
  d.Finish();
  EXPECT_EQ(Family().Count(), 0u);
}

}  // namespace
}  // namespace tsm::testing
