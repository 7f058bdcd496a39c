// The emulated driver: the answers detection and the measurements rely on.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "daq/emulated_driver.h"

namespace tsm::daq {
namespace {

double Above(double v) { return std::nextafter(v, 1e9); }
double Below(double v) { return std::nextafter(v, -1e9); }

bool Scales(EmulatedDriver& d, std::int16_t slot, std::int16_t channel, double volts,
            std::int16_t* code = nullptr) {
  std::int16_t c = 0;
  const bool ok = d.Output_Scale(slot, channel, volts, &c) == kStatusOk;
  if (code) *code = c;
  return ok;
}

bool Accepts(EmulatedDriver& d, std::int16_t slot, std::int16_t channel, int reading,
             double* volts = nullptr) {
  double v = 0;
  const bool ok = d.Input_Scale(slot, channel, 1, 1.0, 0.0, static_cast<std::int16_t>(reading),
                                &v) == kStatusOk;
  if (volts) *volts = v;
  return ok;
}

std::int16_t Read(EmulatedDriver& d, std::int16_t slot, std::int16_t channel) {
  std::int16_t r = 0;
  EXPECT_EQ(d.Input_Read(slot, channel, 1, &r), kStatusOk);
  return r;
}

TEST(EmulatedDriver, OutputScaleBoundsAreStrictOnSlot3AndInclusiveOnSlots4And7) {
  EmulatedDriver d;
  std::int16_t code = 0;
  EXPECT_FALSE(Scales(d, 3, 0, 9.99969482421875));
  EXPECT_TRUE(Scales(d, 3, 1, Below(9.99969482421875), &code));
  EXPECT_EQ(code, 32767);
  EXPECT_TRUE(Scales(d, 3, 0, -10.0, &code));
  EXPECT_EQ(code, -32767);  // -32767.5 truncated towards zero
  EXPECT_FALSE(Scales(d, 3, 0, Below(-10.0)));
  EXPECT_FALSE(Scales(d, 3, 2, 0.0));

  EXPECT_TRUE(Scales(d, 4, 5, 4.99755859375, &code));
  EXPECT_EQ(code, 2047);
  EXPECT_FALSE(Scales(d, 4, 0, Above(4.99755859375)));
  EXPECT_TRUE(Scales(d, 4, 0, -5.0, &code));
  EXPECT_EQ(code, -2047);
  EXPECT_FALSE(Scales(d, 4, 0, Below(-5.0)));
  EXPECT_FALSE(Scales(d, 4, 6, 0.0));

  EXPECT_TRUE(Scales(d, 7, 1, 1.9990234375, &code));
  EXPECT_EQ(code, 2047);
  EXPECT_FALSE(Scales(d, 7, 0, Above(1.9990234375)));
  EXPECT_TRUE(Scales(d, 7, 0, -2.0));
  EXPECT_FALSE(Scales(d, 7, 0, Below(-2.0)));
  EXPECT_FALSE(Scales(d, 7, 2, 0.0));

  EXPECT_TRUE(Scales(d, 3, 0, 1.0, &code));
  EXPECT_EQ(code, 3277);  // 3276.8 + 0.5 truncated
  EXPECT_FALSE(Scales(d, 5, 0, 0.0));
  EXPECT_FALSE(Scales(d, 3, 0, std::nan("")));
}

TEST(EmulatedDriver, InputScaleClassifiesSlot7As12BitAndSlot3As16Bit) {
  EmulatedDriver d;
  double v = 0;
  EXPECT_FALSE(Accepts(d, 7, 0, 2048));
  EXPECT_FALSE(Accepts(d, 7, 0, 4096));
  EXPECT_FALSE(Accepts(d, 7, 0, 2049));
  EXPECT_TRUE(Accepts(d, 7, 15, -2048, &v));
  EXPECT_DOUBLE_EQ(v, -10.0);
  EXPECT_TRUE(Accepts(d, 7, 0, 2047, &v));
  EXPECT_DOUBLE_EQ(v, 2047 * 10.0 / 2048);
  EXPECT_FALSE(Accepts(d, 7, 16, 0));

  for (int ch = 0; ch <= 7; ++ch)
    for (int r = -32768; r <= 32767; r += 257) ASSERT_TRUE(Accepts(d, 3, ch, r)) << ch << " " << r;
  EXPECT_TRUE(Accepts(d, 3, 0, 32767, &v));
  EXPECT_DOUBLE_EQ(v, 9.99969482421875);
  EXPECT_TRUE(Accepts(d, 3, 0, -32768, &v));
  EXPECT_DOUBLE_EQ(v, -10.0);
  EXPECT_FALSE(Accepts(d, 3, 8, 0));

  for (int r : {-32768, -1, 0, 1, 32767}) EXPECT_FALSE(Accepts(d, 4, 0, r));
  EXPECT_FALSE(Accepts(d, 1, 0, 0));
}

TEST(EmulatedDriver, DeviceQueryAnswersTypesOnlyForTheCardTypeAttribute) {
  EmulatedDriver d;
  std::uint32_t type = 0;
  for (std::int16_t slot : {3, 4, 7}) EXPECT_NE(d.Device_Query(slot, 15301, &type), kStatusOk);
  EXPECT_EQ(d.Device_Query(3, kAttributeCardType, &type), kStatusOk);
  EXPECT_EQ(type, 39u);
  EXPECT_EQ(d.Device_Query(4, kAttributeCardType, &type), kStatusOk);
  EXPECT_EQ(type, 15u);
  EXPECT_EQ(d.Device_Query(7, kAttributeCardType, &type), kStatusOk);
  EXPECT_EQ(type, 31234u);
  for (std::int16_t slot : {0, 1, 2, 5, 6, 8, 16, 17})
    EXPECT_NE(d.Device_Query(slot, kAttributeCardType, &type), kStatusOk);
  std::uint32_t version = 0;
  EXPECT_EQ(d.Get_Zentra_Version(&version), kStatusOk);
  EXPECT_EQ(version, 0x0500u);
}

TEST(EmulatedDriver, OutputWriteStoresCodesWithinEachCardsRange) {
  EmulatedDriver d;
  EXPECT_EQ(d.Output_Write(3, 0, 32767), kStatusOk);
  EXPECT_EQ(d.Slot3Output(0), 2047);
  EXPECT_EQ(d.Output_Write(3, 1, -17), kStatusOk);
  EXPECT_EQ(d.Slot3Output(1), -1);  // truncated towards zero
  EXPECT_NE(d.Output_Write(3, 2, 0), kStatusOk);

  EXPECT_EQ(d.Output_Write(4, 5, -2048), kStatusOk);
  EXPECT_EQ(d.Slot4Output(5), -2048);
  EXPECT_NE(d.Output_Write(4, 0, 2048), kStatusOk);
  EXPECT_NE(d.Output_Write(4, 6, 0), kStatusOk);

  EXPECT_EQ(d.Output_Write(7, 1, 2047), kStatusOk);
  EXPECT_EQ(d.Slot7Output(1), 2047);
  EXPECT_NE(d.Output_Write(7, 0, -2049), kStatusOk);
  EXPECT_NE(d.Output_Write(7, 2, 0), kStatusOk);
  EXPECT_NE(d.Output_Write(5, 0, 0), kStatusOk);
}

TEST(EmulatedDriver, ReadingsAreClampedBeforeTheFactor16AndNoiseIsMinus5To4) {
  EmulatedDriver d;
  d.Output_Write(3, 0, 32767);  // 2047 plus noise would overflow 12 bits
  d.Output_Write(3, 1, -32768);
  std::set<int> noise;
  for (int i = 0; i < 2000; ++i) {
    const int high = Read(d, 3, 4);
    EXPECT_TRUE(high % 16 == 0 && high >= (2047 - 5) * 16 && high <= 32752) << high;
    const int low = Read(d, 3, 6);
    EXPECT_TRUE(low % 16 == 0 && low >= -32768 && low <= (-2048 + 4) * 16) << low;
    noise.insert(Read(d, 7, i % 16));
  }
  EXPECT_EQ(noise, (std::set<int>{-5, -4, -3, -2, -1, 0, 1, 2, 3, 4}));

  d.Output_Write(3, 0, 1000 * 16);
  for (int i = 0; i < 100; ++i) {
    const int r0 = Read(d, 3, 0) / 16;  // 0.9 x 1000 plus noise
    EXPECT_TRUE(r0 >= 895 && r0 <= 904) << r0;
    const int r3 = Read(d, 3, 3) / 16;
    EXPECT_TRUE(r3 >= -5 && r3 <= 4) << r3;
  }
  std::int16_t r = 0;
  EXPECT_NE(d.Input_Read(3, 8, 1, &r), kStatusOk);
  EXPECT_NE(d.Input_Read(7, 16, 1, &r), kStatusOk);
  EXPECT_NE(d.Input_Read(4, 0, 1, &r), kStatusOk);
}

TEST(EmulatedDriver, TheSameSeedGivesTheSameNoise) {
  EmulatedDriver a(77), b(77), c(78);
  bool differs = false;
  for (int i = 0; i < 200; ++i) {
    const int x = a.Random();
    EXPECT_EQ(x, b.Random());
    EXPECT_TRUE(x >= 0 && x <= 32767);
    differs = differs || x != c.Random();
  }
  EXPECT_TRUE(differs);
}

// Channel 1 with the field at zero: superconducting (1 plus noise) up to the
// critical current 1560, ohmic above, the return branch below 200 on the
// way down, superconducting again below 50.
TEST(EmulatedDriver, JunctionSwitchesWithHysteresisWhileTheBiasRisesAndFalls) {
  EmulatedDriver d;
  auto bias = [&](int units) { ASSERT_EQ(d.Output_Write(3, 0, units * 16), kStatusOk); };
  auto read = [&] { return Read(d, 3, 1) / 16; };

  for (int units = 0; units <= 1540; units += 20) {
    bias(units);
    for (int i = 0; i < 3; ++i) {
      const int v = read();
      ASSERT_TRUE(v >= -4 && v <= 5) << units << ": " << v;
      ASSERT_EQ(d.Junction(), EmulatedDriver::kSuperconducting) << units;
    }
  }
  bias(1600);
  int v = read();
  EXPECT_EQ(d.Junction(), EmulatedDriver::kResistive);
  EXPECT_TRUE(v >= 1590 && v <= 1608) << v;

  for (int units : {1000, 500, 250, 210}) {
    bias(units);
    v = read();
    EXPECT_EQ(d.Junction(), EmulatedDriver::kResistive) << units;
    EXPECT_TRUE(v >= units - 10 && v <= units + 8) << units << ": " << v;
  }
  bias(150);
  v = read();
  EXPECT_EQ(d.Junction(), EmulatedDriver::kReturnBranch);
  EXPECT_TRUE(v >= 100 + 14 - 5 && v <= 100 + 15 + 4) << v;  // 100 + a / 10
  bias(-150);
  v = read();
  EXPECT_EQ(d.Junction(), EmulatedDriver::kReturnBranch);
  EXPECT_TRUE(v <= -100 - 14 + 4 && v >= -100 - 15 - 5) << v;  // the sign follows the bias
  bias(30);
  v = read();
  EXPECT_EQ(d.Junction(), EmulatedDriver::kSuperconducting);
  EXPECT_TRUE(v >= -4 && v <= 5) << v;

  // The return branch switches back to ohmic above 800 without a field.
  bias(150);
  read();
  bias(1600);
  read();
  ASSERT_EQ(d.Junction(), EmulatedDriver::kResistive);
  bias(150);
  read();
  ASSERT_EQ(d.Junction(), EmulatedDriver::kReturnBranch);
  bias(700);
  read();
  EXPECT_EQ(d.Junction(), EmulatedDriver::kReturnBranch);
  bias(900);
  read();
  EXPECT_EQ(d.Junction(), EmulatedDriver::kResistive);
}

// With field 150 the critical current is |sin 1.5 / 1.5| x 1500 + 60 = 1057,
// far below the zero-field 1560: the pattern needs real division of F.
TEST(EmulatedDriver, FieldLowersTheCriticalCurrentAlongTheFraunhoferPattern) {
  EmulatedDriver d;
  d.Output_Write(3, 1, 150 * 16);
  d.Output_Write(3, 0, 1000 * 16);
  for (int i = 0; i < 20; ++i) Read(d, 3, 1);
  EXPECT_EQ(d.Junction(), EmulatedDriver::kSuperconducting);
  d.Output_Write(3, 0, 1120 * 16);
  Read(d, 3, 1);
  EXPECT_EQ(d.Junction(), EmulatedDriver::kResistive);

  // Channel 2 adds a hundredth of the field to the junction voltage.
  EmulatedDriver e;
  e.Output_Write(3, 1, 1000 * 16);
  for (int i = 0; i < 50; ++i) {
    const int v = Read(e, 3, 2) / 16;
    EXPECT_TRUE(v >= 1 + 9 - 5 && v <= 1 + 10 + 4) << v;
  }
  EXPECT_EQ(e.Junction(), EmulatedDriver::kSuperconducting);
}

TEST(EmulatedDriver, ScanFillsACountingPatternAndWaveformProgressGrowsBy12) {
  EmulatedDriver d;
  std::int16_t buffer[450] = {};
  const std::int16_t channels[2] = {0, 1}, gains[2] = {1, 1};
  EXPECT_EQ(d.SCAN_Op(3, 2, channels, gains, buffer, 450, 1000.0, 500.0), kStatusOk);
  EXPECT_EQ(buffer[0], 2048);
  EXPECT_EQ(buffer[199], 2048 + 199);
  EXPECT_EQ(buffer[200], 2048);
  EXPECT_EQ(buffer[449], 2048 + 49);

  const double volts[2] = {1.0, 2.0};
  std::int16_t codes[2] = {111, 222};
  EXPECT_NE(d.Waveform_Scale(3, 0, 2, 1.0, volts, codes), kStatusOk);
  EXPECT_EQ(codes[0], 111);
  EXPECT_EQ(codes[1], 222);

  std::int16_t status = -1;
  std::uint32_t points = 9, iterations = 0;
  std::vector<std::uint32_t> seen;
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(d.WFM_Check(3, 0, &status, &points, &iterations), kStatusOk);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(points, 0u);
    seen.push_back(iterations);
  }
  EXPECT_EQ(seen, (std::vector<std::uint32_t>{12, 24, 36, 48, 60, 72, 84, 96, 8, 20}));
}

}  // namespace
}  // namespace tsm::daq
