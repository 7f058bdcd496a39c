#include "shell/phyunits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/assert.h"

namespace tsm::shell {
namespace {

std::string F(float v, const char* unit = "V", int* flags = nullptr) {
  return FormatWithPrefix(v, unit, flags);
}

TEST(PhyUnits, FormatWithPrefixExamples) {
  int flags = -1;
  EXPECT_EQ(F(0.012346f, "V", &flags), "+12.35 mV");
  EXPECT_EQ(flags, 0);
  EXPECT_EQ(F(123.4f), "+123.4  V");
  EXPECT_EQ(F(-2.5e-6f, "A"), "-2.500 \xB5" "A");
  EXPECT_EQ(F(1.0f, "Ohm"), "+1.000  Ohm");
  EXPECT_EQ(F(4.7e3f, "Ohm"), "+4.700 kOhm");
  EXPECT_EQ(F(0.3f, "K"), "+300.0 mK");
  EXPECT_EQ(F(0.0f, "V", &flags), "+0.000 pV");
  EXPECT_EQ(flags, 0);
  EXPECT_EQ(F(-0.0f, "A"), "+0.000 pA");
  EXPECT_EQ(F(-1e-16f, "A"), "+0.000 pA");  // rounds to zero: no "-0.000"
  EXPECT_EQ(F(-1e-15f, "A"), "-0.001 pA");
  EXPECT_EQ(F(5e13f, "V", &flags), "+50.00 TV");
  EXPECT_EQ(flags, 0);
  EXPECT_EQ(F(5e15f, "V", &flags), "+5000.0 TV");
  EXPECT_EQ(flags, kAbovePrefixRange);
  // Below the smallest prefix: still shown with "p", and said so.
  EXPECT_EQ(F(2e-14f, "A", &flags), "+0.020 pA");
  EXPECT_EQ(flags, kBelowPrefixRange);
  EXPECT_EQ(F(3e-12f, "A", &flags), "+3.000 pA");
  EXPECT_EQ(flags, 0);
}

TEST(PhyUnits, NonFiniteValuesDoNotBreakTheFormat) {
  int flags = 0;
  EXPECT_EQ(F(INFINITY, "V", &flags), "  +inf TV");
  EXPECT_EQ(flags, kAbovePrefixRange);
  EXPECT_EQ(F(NAN, "V", &flags), "  +nan  V");
  EXPECT_EQ(flags, 0);
}

TEST(PhyUnits, LongUnitsAndSmallBuffers) {
  char buf[32] = "untouched";
  const std::string unit26(26, 'u');
  EXPECT_EQ(FormatWithPrefix(buf, sizeof buf, 1.0f, unit26.c_str()), kUnitTooLong);
  EXPECT_STREQ(buf, "untouched");
  const std::string unit25(25, 'u');
  EXPECT_EQ(FormatWithPrefix(buf, sizeof buf, 1.0f, unit25.c_str()), kOutputTruncated);
  EXPECT_EQ(std::strlen(buf), 31u);
  char small[6];
  EXPECT_EQ(FormatWithPrefix(small, sizeof small, 5e15f, "V"), kAbovePrefixRange | kOutputTruncated);
  EXPECT_STREQ(small, "+5000");
}

TEST(PhyUnits, SignificantDigits) {
  EXPECT_EQ(FormatWithSigDigits(0.012346f, 4, "V"), "+12.35 mV");
  EXPECT_EQ(FormatWithSigDigits(0.012346f, 6, "V"), "+12.3460 mV");
  EXPECT_EQ(FormatWithSigDigits(1.5f, 2, "A"), "  +1.5  A");
  EXPECT_EQ(FormatWithSigDigits(150.f, 2, "A"), "  +150  A");  // never below 0 decimals
  EXPECT_EQ(FormatWithSigDigits(-15.f, 3, "A"), " -15.0  A");
  platform::ClearAssertions();
  EXPECT_EQ(FormatWithSigDigits(1.5f, 1, "A"), "  +1.5  A");  // reported, then 2 digits
  EXPECT_TRUE(platform::HasAssertion("SigDig>1", "phyunits"));
  platform::ClearAssertions();
  EXPECT_EQ(FormatWithSigDigits(1.0f, 1000, "A").size(), 46u);  // capped at 40 decimals
}

TEST(PhyUnits, AxisPrefix) {
  double factor = 0;
  const char* prefix = nullptr;
  EXPECT_EQ(AxisPrefix(5e-13, &factor, &prefix), -1);
  EXPECT_STREQ(prefix, "p");
  EXPECT_EQ(factor, 1e-12);
  EXPECT_EQ(AxisPrefix(5e-10, &factor, &prefix), 0);
  EXPECT_STREQ(prefix, "p");
  EXPECT_EQ(AxisPrefix(1e-9, &factor, &prefix), 0);
  EXPECT_STREQ(prefix, "n");
  EXPECT_EQ(AxisPrefix(2e-6, &factor, &prefix), 0);
  EXPECT_STREQ(prefix, "\xB5");
  EXPECT_EQ(factor, 1e-6);
  EXPECT_EQ(AxisPrefix(1.0, &factor, &prefix), 0);
  EXPECT_STREQ(prefix, " ");
  EXPECT_EQ(factor, 1.0);
  EXPECT_EQ(AxisPrefix(999.9, &factor, &prefix), 0);
  EXPECT_STREQ(prefix, " ");
  EXPECT_EQ(AxisPrefix(1000.0, &factor, &prefix), 0);
  EXPECT_STREQ(prefix, "k");
  EXPECT_EQ(AxisPrefix(9.99e14, &factor, &prefix), 0);
  EXPECT_STREQ(prefix, "T");
  EXPECT_EQ(AxisPrefix(1e15, &factor, &prefix), 1);
  EXPECT_STREQ(prefix, "T");
  EXPECT_EQ(factor, 1e12);
  EXPECT_EQ(AxisPrefix(NAN, &factor, &prefix), 0);
  EXPECT_STREQ(prefix, " ");
}

TEST(PhyUnits, UnitMultiplierSplitsTheFirstMatchingPrefix) {
  char mv[] = "mV", min[] = "min", blank[] = " V", ohm[] = "Ohm", micro[] = "\xB5" "A",
       mega[] = "MOhm", empty[] = "";
  EXPECT_EQ(UnitMultiplier(mv), 1e-3);
  EXPECT_STREQ(mv, "V");
  EXPECT_EQ(UnitMultiplier(min), 1e-3);
  EXPECT_STREQ(min, "in");
  EXPECT_EQ(UnitMultiplier(blank), 1.0);
  EXPECT_STREQ(blank, "V");
  EXPECT_EQ(UnitMultiplier(ohm), 1.0);
  EXPECT_STREQ(ohm, "Ohm");
  EXPECT_EQ(UnitMultiplier(micro), 1e-6);
  EXPECT_STREQ(micro, "A");
  EXPECT_EQ(UnitMultiplier(mega), 1e6);
  EXPECT_STREQ(mega, "Ohm");
  EXPECT_EQ(UnitMultiplier(empty), 1.0);
  std::string s = "kK";
  EXPECT_EQ(UnitMultiplier(s), 1e3);
  EXPECT_EQ(s, "K");
}

TEST(PhyUnits, ParseWithPrefixReadsTypedValuesWithTheirUnit) {
  double v = 0;
  EXPECT_TRUE(ParseWithPrefix("1.5 mA", "A", &v));
  EXPECT_DOUBLE_EQ(v, 1.5e-3);
  EXPECT_TRUE(ParseWithPrefix("  -20 uA ", "A", &v));
  EXPECT_DOUBLE_EQ(v, -20e-6);
  EXPECT_TRUE(ParseWithPrefix("20 \xB5" "A", "A", &v));
  EXPECT_DOUBLE_EQ(v, 20e-6);
  EXPECT_TRUE(ParseWithPrefix("2e-3A", "A", &v));
  EXPECT_DOUBLE_EQ(v, 2e-3);
  EXPECT_TRUE(ParseWithPrefix("3 A", "A", &v));
  EXPECT_DOUBLE_EQ(v, 3.0);
  EXPECT_TRUE(ParseWithPrefix("1 kOhm", "Ohm", &v));
  EXPECT_DOUBLE_EQ(v, 1e3);
  // A bare number, another unit, an unknown prefix, a prefix alone, no
  // number, text after the unit, not a number at all.
  for (const char* bad : {"15", "1.5 mV", "1.5 xA", "1.5 m", "mA", "1.5 mA x", "", "nan A",
                          "inf A"})
    EXPECT_FALSE(ParseWithPrefix(bad, "A", &v)) << bad;
}

}  // namespace
}  // namespace tsm::shell
