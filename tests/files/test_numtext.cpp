#include "files/numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tsm::files {
namespace {

std::string Field(double v, int width) {
  char out[128];
  char* end = FormatField(out, v, width, width - 4);
  return std::string(out, end);
}

std::string Printf(double v, int width) {
  // Sized by a first call: a fixed buffer draws a truncation warning for
  // widths the compiler cannot bound.
  const int n = std::snprintf(nullptr, 0, "%*.*g", width, width - 4, v);
  std::string out(static_cast<std::size_t>(n), '\0');
  std::snprintf(out.data(), out.size() + 1, "%*.*g", width, width - 4, v);
  return out;
}

std::vector<double> EdgeValues() {
  std::vector<double> v = {0.0, -0.0, 1e-5, -1e-5, 0.0001, 0.001, 1e-4 * 0.99999999,
                           std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<float>::denorm_min(),
                           std::numeric_limits<float>::min(), std::numeric_limits<float>::max(),
                           -std::numeric_limits<float>::max(),
                           std::numeric_limits<double>::denorm_min(), 5e-324, 1e-310,
                           0.5, 1.5, 2.5, 99999999.5, 999999995.0, 0.000999999995, 9.9999999,
                           99.999999, 123456789.0, 12345678.0, 0.1f, 1.0f / 3.0f,
                           // exact ties at some precision: half to even
                           0.125, 1.125, 1.375, 0.0625, 12.5, 1002.5, 1003.5, 99999.5,
                           1048576.5, 3.0517578125e-05};
  for (int e = -40; e <= 40; ++e) {
    const double p = std::pow(10.0, e);
    v.push_back(p);
    v.push_back(-p);
    v.push_back(static_cast<float>(p));
    // Just below a decade: rounding carries into the next one for most
    // precisions ("9.99..." becoming "1e+...").
    v.push_back(p * (1 - 1e-12));
    v.push_back(static_cast<float>(p * 0.99999999));
  }
  return v;
}

TEST(NumberText, FieldsMatchPrintfForEdgeValuesAtEveryWidth) {
  const std::vector<double> values = EdgeValues();
  for (int width = 6; width <= 32; ++width)
    for (double v : values) ASSERT_EQ(Field(v, width), Printf(v, width)) << v << " W=" << width;
}

TEST(NumberText, FieldsMatchPrintfForRandomFloatsAndDoubles) {
  std::mt19937_64 rng(20261208);
  for (int i = 0; i < 60000; ++i) {
    const int width = 6 + static_cast<int>(rng() % 27);
    std::uint32_t bits32 = static_cast<std::uint32_t>(rng());
    float f;
    std::memcpy(&f, &bits32, sizeof f);
    ASSERT_EQ(Field(f, width), Printf(f, width)) << f << " W=" << width;
    std::uint64_t bits64 = rng();
    double d;
    std::memcpy(&d, &bits64, sizeof d);
    ASSERT_EQ(Field(d, width), Printf(d, width)) << d << " W=" << width;
    // Values of measured size, where most fields fall.
    const double m = std::ldexp(static_cast<double>(rng() % (1u << 24)), -static_cast<int>(rng() % 60));
    ASSERT_EQ(Field(static_cast<float>(m), width), Printf(static_cast<float>(m), width));
  }
}

// Runs of consecutive floats where the integer conversion has its corners:
// decades, the rounding carry, the limits of the range it takes.
TEST(NumberText, FieldsMatchPrintfForRunsOfConsecutiveFloats) {
  for (float start : {1.0f, 0.001f, 1e-5f, 9.99999e-5f, 0.5f, 99999.99f, 1e9f, 9.99995e9f,
                      1.00001e-20f, 3.0e-38f, 123456.7f}) {
    float v = start;
    for (int i = 0; i < 3000; ++i, v = std::nextafter(v, 2 * v)) {
      for (int width = 6; width <= 21; ++width) {
        ASSERT_EQ(Field(v, width), Printf(v, width)) << v << " W=" << width;
        ASSERT_EQ(Field(-v, width), Printf(-v, width)) << -v << " W=" << width;
      }
    }
  }
}

TEST(NumberText, ExamplesOfTheColumnFormat) {
  EXPECT_EQ(Field(0.001, 12), "       0.001");
  EXPECT_EQ(Field(12345678, 12), "    12345678");
  EXPECT_EQ(Field(123456789, 12), "1.2345679e+08");  // wider than the field
  EXPECT_EQ(Field(1e-5, 12), "       1e-05");
  EXPECT_EQ(Field(-0.0, 8), "      -0");
}

TEST(NumberText, ReaderAcceptsWhatTheWriterAndOlderWritersProduce) {
  auto read = [](const char* text, double* v) {
    const char* end = ParseNumber(text, text + std::strlen(text), v);
    return end ? static_cast<int>(end - text) : -1;
  };
  double v = 0;
  EXPECT_EQ(read("1.5e-05\t", &v), 7);
  EXPECT_EQ(v, 1.5e-05);
  EXPECT_EQ(read("+2.5,", &v), 4);
  EXPECT_EQ(v, 2.5);
  EXPECT_EQ(read("-nan ", &v), 4);
  EXPECT_TRUE(std::isnan(v));
  EXPECT_EQ(read("NaN", &v), 3);
  EXPECT_TRUE(std::isnan(v));
  EXPECT_EQ(read("-inf", &v), 4);
  EXPECT_EQ(v, -std::numeric_limits<double>::infinity());
  EXPECT_EQ(read("1e999", &v), 5);
  EXPECT_EQ(v, std::numeric_limits<double>::infinity());
  EXPECT_EQ(read("-1e999", &v), 6);
  EXPECT_EQ(v, -std::numeric_limits<double>::infinity());
  EXPECT_EQ(read("1e-999", &v), 6);
  EXPECT_EQ(v, 0.0);
  EXPECT_EQ(read("1-2", &v), 1);  // the next number starts at the sign
  EXPECT_EQ(read("abc", &v), -1);
  EXPECT_EQ(read("+-1", &v), -1);
  EXPECT_EQ(read(".", &v), -1);
  EXPECT_EQ(read("0x10", &v), 1);  // no hexadecimal: the 0, then a word
}

}  // namespace
}  // namespace tsm::files
