// How comedi samples, ranges and gains become the program's driver values:
// the exact mapping of 12- and 16-bit converters that detection relies on,
// the rescaling of other widths, and the choice of a range for a gain.
#include <gtest/gtest.h>

#include <cmath>

#include "daq/comedi/comedi_scaling.h"

namespace tsm::daq::comedi {
namespace {

TEST(ComediSampleFormat, TwelveAndSixteenBitSamplesAreShiftedByHalfTheirSpanWhenBipolar) {
  const SampleFormat b12(4095, true);
  EXPECT_EQ(b12.Bits(), 12u);
  EXPECT_EQ(b12.DriverValue(0), -2048);
  EXPECT_EQ(b12.DriverValue(2048), 0);
  EXPECT_EQ(b12.DriverValue(4095), 2047);
  std::uint32_t a = 0;
  // Detection tells 12-bit inputs by refusing 4096 and 2049 (bipolar).
  EXPECT_FALSE(b12.Aligned(4096, &a));
  EXPECT_FALSE(b12.Aligned(2049, &a));
  EXPECT_FALSE(b12.Aligned(-2049, &a));
  ASSERT_TRUE(b12.Aligned(-2048, &a));
  EXPECT_EQ(a, 0u);

  const SampleFormat b16(65535, true);
  EXPECT_EQ(b16.Bits(), 16u);
  EXPECT_EQ(b16.DriverValue(0), -32768);
  EXPECT_EQ(b16.DriverValue(65535), 32767);
  for (int v : {-32768, -1, 0, 4096, 32767}) {
    ASSERT_TRUE(b16.Aligned(static_cast<std::int16_t>(v), &a)) << v;
    EXPECT_EQ(b16.DriverValue(b16.Sample(a)), v);
  }

  // Unipolar: the sample itself; a 16-bit one wraps into the negative words.
  const SampleFormat u12(4095, false);
  EXPECT_EQ(u12.DriverValue(4095), 4095);
  EXPECT_TRUE(u12.Aligned(2049, &a));
  EXPECT_FALSE(u12.Aligned(4096, &a));
  EXPECT_FALSE(u12.Aligned(-1, &a));
  const SampleFormat u16(65535, false);
  EXPECT_EQ(u16.DriverValue(65535), -1);
  ASSERT_TRUE(u16.Aligned(-32767, &a));
  EXPECT_EQ(a, 32769u);
}

TEST(ComediSampleFormat, OtherWidthsAreRescaledFullScaleToFullScale) {
  const SampleFormat b14(16383, true);  // shown as 16 bits
  EXPECT_EQ(b14.Bits(), 16u);
  EXPECT_EQ(b14.DriverValue(0), -32768);
  EXPECT_EQ(b14.DriverValue(16383), 32767);
  std::uint32_t a = 0;
  ASSERT_TRUE(b14.Aligned(32767, &a));
  EXPECT_EQ(b14.Sample(a), 16383u);
  ASSERT_TRUE(b14.Aligned(0, &a));
  EXPECT_EQ(b14.Sample(a), 8192u);

  const SampleFormat b18(262143, true);  // loses its two lowest bits
  EXPECT_EQ(b18.DriverValue(262143), 32767);
  EXPECT_EQ(b18.DriverValue(3), -32767);
  ASSERT_TRUE(b18.Aligned(32767, &a));
  EXPECT_EQ(b18.Sample(a), 262143u);

  const SampleFormat b8(255, false);  // shown as 12 bits
  EXPECT_EQ(b8.Bits(), 12u);
  EXPECT_EQ(b8.DriverValue(255), 4095);
}

TEST(ComediSampleFormat, VoltsFollowTheRangeOverTheFullSpanBothWays) {
  const Range r{-10.0, 10.0, kUnitVolt};
  const SampleFormat f(65535, true);
  EXPECT_DOUBLE_EQ(VoltsOf(r, f, 0), -10.0);
  EXPECT_DOUBLE_EQ(VoltsOf(r, f, 65535), 10.0);
  std::uint32_t a = 0;
  ASSERT_TRUE(AlignedOfVolts(r, f, 10.0, &a));
  EXPECT_EQ(a, 65535u);
  ASSERT_TRUE(AlignedOfVolts(r, f, 0.0, &a));
  EXPECT_EQ(f.ValueOfAligned(a), 0);  // 0 V is code 0, the card's zero
  ASSERT_TRUE(AlignedOfVolts(r, f, -10.0, &a));
  EXPECT_EQ(a, 0u);
  // Detection bisects for the limits on exactly these refusals.
  EXPECT_FALSE(AlignedOfVolts(r, f, 10.000001, &a));
  EXPECT_FALSE(AlignedOfVolts(r, f, -10.000001, &a));
  EXPECT_FALSE(AlignedOfVolts(r, f, std::nan(""), &a));
}

TEST(ComediGains, AGainSelectsTheRangeOfFullScaleOverTheGain) {
  // A card with decade and 1-2-5 ranges offers exactly its gains.
  const std::vector<Range> ranges{{-10, 10, kUnitVolt}, {-5, 5, kUnitVolt},   {-2, 2, kUnitVolt},
                                  {-1, 1, kUnitVolt},   {-0.5, 0.5, kUnitVolt}, {-0.2, 0.2, kUnitVolt},
                                  {-0.1, 0.1, kUnitVolt}, {0, 10, kUnitVolt}, {0, 5, kUnitVolt}};
  EXPECT_EQ(FullScaleRange(ranges), 0);
  EXPECT_EQ(RangeForGain(ranges, 1), 0);
  EXPECT_EQ(RangeForGain(ranges, 2), 1);
  EXPECT_EQ(RangeForGain(ranges, 5), 2);
  EXPECT_EQ(RangeForGain(ranges, 10), 3);
  EXPECT_EQ(RangeForGain(ranges, 100), 6);
  // No range for these: 0.5 (+-20 V), 4, 1000, and codes of no linear gain.
  for (std::int16_t code : {-1, 4, 1000, 0, -20}) EXPECT_EQ(RangeForGain(ranges, code), -1) << code;
  // A unipolar range of the same span never stands in for a bipolar one.
  EXPECT_EQ(RangeForGain(ranges, 2), 1);

  // Ranges a little off the nominal ratio still match.
  const std::vector<Range> binary{{-10.24, 10.24, kUnitVolt}, {-5.12, 5.12, kUnitVolt},
                                  {-2.56, 2.56, kUnitVolt}, {-1.25, 1.25, kUnitVolt}};
  EXPECT_EQ(RangeForGain(binary, 2), 1);
  EXPECT_EQ(RangeForGain(binary, 4), 2);
  EXPECT_EQ(RangeForGain(binary, 8), 3);  // 2.4 % off
  EXPECT_EQ(RangeForGain(binary, 5), -1);
}

TEST(ComediGains, FullScaleIsTheWidestBipolarVoltRange) {
  EXPECT_EQ(FullScaleRange({{0, 10, kUnitVolt}, {-5, 5, kUnitVolt}}), 1);
  EXPECT_EQ(FullScaleRange({{0, 5, kUnitVolt}, {0, 10, kUnitVolt}}), 1);
  EXPECT_EQ(FullScaleRange({{0, 20, 1u /* mA */}, {-1, 1, kUnitVolt}}), 1);
  EXPECT_EQ(FullScaleRange({{0, 20, 1u}}), -1);
  EXPECT_EQ(RangeForGain({{0, 20, 1u}}, 1), -1);
  // Without bipolar ranges the unipolar ones take the gains.
  EXPECT_EQ(RangeForGain({{0, 10, kUnitVolt}, {0, 5, kUnitVolt}}, 2), 1);
}

}  // namespace
}  // namespace tsm::daq::comedi
