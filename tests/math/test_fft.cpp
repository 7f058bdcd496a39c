#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "curves/undo.h"
#include "math/commands.h"
#include "math/fft.h"
#include "math/fft_command.h"
#include "tests/math/math_fixture.h"

namespace tsm::math {
namespace {

using curves::Curve;
using platform::IDNO;
using platform::IDYES;
using testing::AddCurve;
using testing::MathTest;
using testing::PointsOf;

// F_k = sum y_j exp(2 pi i j k / n), summed directly.
std::complex<double> DirectTerm(const std::vector<double>& y, std::size_t k) {
  const std::size_t n = y.size();
  std::complex<double> f;
  for (std::size_t j = 0; j < n; ++j)
    f += y[j] * std::polar(1.0, 2.0 * std::numbers::pi * static_cast<double>((j * k) % n) /
                                    static_cast<double>(n));
  return f;
}

std::vector<double> RandomValues(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  std::vector<double> y(n);
  for (double& v : y) v = value(random);
  return y;
}

// The packed value of F_k (k = 0 .. n/2).
std::complex<double> PackedTerm(const std::vector<double>& packed, std::size_t k) {
  const std::size_t n = packed.size();
  if (k == 0) return packed[0];
  if (k == n / 2) return packed[1];
  return {packed[2 * k], packed[2 * k + 1]};
}

TEST(FFTTest, PackedTransformAgreesWithTheDirectSum) {
  for (std::size_t n : {2u, 4u, 8u, 16u, 32u, 128u, 512u, 2048u}) {
    const std::vector<double> y = RandomValues(n, static_cast<unsigned>(n));
    std::vector<double> packed = y;
    RealFFT(packed.data(), n);
    for (std::size_t k = 0; k <= n / 2; ++k) {
      const std::complex<double> expected = DirectTerm(y, k);
      const std::complex<double> got = PackedTerm(packed, k);
      EXPECT_NEAR(got.real(), expected.real(), 1e-11) << "n=" << n << " k=" << k;
      EXPECT_NEAR(got.imag(), expected.imag(), 1e-11) << "n=" << n << " k=" << k;
    }
  }
}

TEST(FFTTest, LongTransformsAgreeWithTheDirectSumAtSampledFrequencies) {
  // Long enough that the butterflies run both block by block and over the
  // whole array; every k checked would make the direct sums too slow.
  for (std::size_t n : {std::size_t{1} << 14, std::size_t{1} << 17}) {
    const std::vector<double> y = RandomValues(n, 3);
    std::vector<double> packed = y;
    RealFFT(packed.data(), n);
    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> index(1, n / 2 - 1);
    std::vector<std::size_t> ks{0, 1, n / 4, n / 2 - 1, n / 2};
    for (int i = 0; i < 12; ++i) ks.push_back(index(random));
    for (std::size_t k : ks) {
      const std::complex<double> expected = DirectTerm(y, k);
      const std::complex<double> got = PackedTerm(packed, k);
      EXPECT_NEAR(got.real(), expected.real(), 1e-9) << "n=" << n << " k=" << k;
      EXPECT_NEAR(got.imag(), expected.imag(), 1e-9) << "n=" << n << " k=" << k;
    }
  }
}

class FFTCommandTest : public MathTest {
 protected:
  // n points at spacing dt starting at t0, y from the function.
  template <class F>
  Curve& AddSampled(std::uint32_t n, double dt, F y, double t0 = 0.0) {
    Curve& c = AddCurve(Family(), "trace", {});
    for (std::uint32_t j = 0; j < n; ++j) {
      const double t = t0 + j * dt;
      c.Append(static_cast<float>(t), static_cast<float>(y(t)));
    }
    return c;
  }
};

TEST_F(FFTCommandTest, SineGivesItsPeakAtItsFrequencyWithItsAmplitude) {
  constexpr std::uint32_t n = 1024;
  constexpr double dt = 1e-3;
  constexpr std::uint32_t bin = 100;
  const double f0 = bin / (n * dt);  // 97.65625 Hz, exactly on a bin
  constexpr double amplitude = 0.25;
  AddSampled(n, dt,
             [&](double t) { return 0.5 + amplitude * std::sin(2 * std::numbers::pi * f0 * t); });
  Family().SetUnitX("s");
  ASSERT_TRUE(FFTCommand(nullptr));
  EXPECT_TRUE(ui->MessageBoxes().empty());

  const Curve& c = Family().Curve(0);
  ASSERT_EQ(c.Count(), n / 2 + 1);
  std::uint32_t peak = 1;
  for (std::uint32_t k = 1; k < c.Count(); ++k)
    if (c.Point(k).y > c.Point(peak).y) peak = k;
  EXPECT_EQ(peak, bin);
  EXPECT_NEAR(c.Point(peak).x, f0, 1e-3);
  // |F_k| = A n / 2, times dt.
  EXPECT_NEAR(c.Point(peak).y, amplitude * n / 2 * dt, 1e-4);
  EXPECT_NEAR(c.Point(0).y, 0.5 * n, 1e-2);  // |F_0|, not multiplied by dt
  EXPECT_LT(c.Point(bin + 3).y, 1e-4);
  EXPECT_STREQ(Family().UnitX(), "Hz");
}

TEST_F(FFTCommandTest, FrequencyAxisEndsAtHalfTheSamplingRate) {
  AddSampled(
      1024, 1e-3, [](double t) { return std::cos(t); }, 2.0);
  ASSERT_TRUE(FFTCommand(nullptr));
  const Curve& c = Family().Curve(0);
  ASSERT_EQ(c.Count(), 513u);
  EXPECT_EQ(c.Point(0).x, 0.0f);
  EXPECT_NEAR(c.Point(1).x, 1000.0 / 1024, 1e-3);
  EXPECT_NEAR(c.Point(512).x, 500.0, 1e-2);
}

TEST_F(FFTCommandTest, RefusalsLeaveEveryCurve) {
  struct Case {
    std::vector<float> xs;
    const char* text;
  };
  const Case cases[] = {
      {{0, 1}, kFFTTooShortText},
      {{0, 0, 1, 2}, kFFTZeroDistanceText},
      {{0, 1, 2, 3.02f}, kFFTUnequalDistanceText},
  };
  for (const Case& k : cases) {
    curves::ResetCurvesState();
    ui->Clear();
    AddSampled(4, 1.0, [](double t) { return t; });
    Curve& bad = AddCurve(Family(), "bad", {});
    for (float x : k.xs) bad.Append(x, 1);
    EXPECT_FALSE(FFTCommand(nullptr));
    ExpectOneMessage(k.text, kFFTCaption, platform::MB_ICONHAND);
    EXPECT_EQ(Family().Curve(0).Count(), 4u);
    EXPECT_EQ(Family().Curve(1).Count(), k.xs.size());
  }
}

TEST_F(FFTCommandTest, HalfPercentUnevenSpacingPasses) {
  AddCurve(Family(), "a", {{0, 1}, {1, 0}, {2.005f, 1}, {3.005f, 0}});
  EXPECT_TRUE(FFTCommand(nullptr));
  EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(FFTCommandTest, TruncationIsAskedOnceAndNoKeepsEverything) {
  AddSampled(6, 1.0, [](double t) { return t; });
  AddSampled(4, 1.0, [](double t) { return t; });
  AddSampled(5, 1.0, [](double t) { return t; });
  ui->PushAnswer(IDNO);
  EXPECT_FALSE(FFTCommand(nullptr));
  ExpectOneMessage(kFFTTruncateQuestion, kFFTCaption, platform::MB_ICONQUESTION);
  EXPECT_EQ(Family().Curve(0).Count(), 6u);
  EXPECT_EQ(Family().Curve(2).Count(), 5u);

  ui->Clear();
  ui->PushAnswer(IDYES);
  ASSERT_TRUE(FFTCommand(nullptr));
  EXPECT_EQ(ui->MessageBoxes().size(), 1u);
  for (std::uint32_t i = 0; i < 3; ++i) EXPECT_EQ(Family().Curve(i).Count(), 3u);  // 4 -> 2 + 1
}

TEST_F(FFTCommandTest, OtherUnitsBecomeTheirInverseCutToTheField) {
  AddSampled(4, 1.0, [](double t) { return t; });
  Family().SetUnitX("0123456789abcde");
  ASSERT_TRUE(FFTCommand(nullptr));
  EXPECT_STREQ(Family().UnitX(), "1/0123456789abc");
  EXPECT_EQ(FrequencyUnits("sec"), "Hz");
}

}  // namespace
}  // namespace tsm::math
