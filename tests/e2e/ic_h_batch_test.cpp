// Ic(H) of the emulated junction as the README's example measures it: the
// saved curve is the Fraunhofer pattern of the emulation, whose critical
// current in 12-bit units is |sin(x)/x| x 1500 + 60 with x = F / 100 (F the
// field in 12-bit units, 1560 at F = 0), within its noise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tests/e2e/program_run.h"

namespace {

using tsm::testing::Point;

// 12-bit units of a current of DAC card 0 (-10..10 V, 16 codes per unit)
// through 1000 Ohm.
double Units(double amperes) { return amperes * 1000.0 * 32768.0 / 10.0 / 16.0; }

TEST(IcHBatch, TheExampleMeasuresTheFraunhoferPatternOfTheJunction) {
  const std::string arguments = tsm::testing::ReadmeArguments("-i:examples/ic_h.ini");
  ASSERT_FALSE(arguments.empty()) << "the README lost the Ic(H) example";
  tsm::testing::TempDir dir;
  tsm::testing::CopyExamples(dir, {"ic_h.ini", "ic_h.tsm"});
  const tsm::testing::ProgramRun run = tsm::testing::RunIn(dir.Path().string(), arguments);
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("dialog 4900 [Measurements -- Ic(H)] -> 1"), std::string::npos)
      << run.out;
  const std::string companion = tsm::testing::TempDir::Read(dir.File("junction_ic_h.ini"));
  EXPECT_NE(companion.find("NameOfCurve0=junction/bias"), std::string::npos);
  EXPECT_NE(companion.find("GraphName=Ic(H)"), std::string::npos);

  // 512 field values, F = -2048, -2040, .. 2040: index k has F = -2048 + 8 k.
  const std::vector<Point> points = tsm::testing::ReadColumns(dir.File("junction_ic_h.dat"));
  ASSERT_EQ(points.size(), 512u) << run.out;
  std::vector<double> f, ic;
  for (const Point& p : points) {
    f.push_back(Units(p.x));
    ic.push_back(Units(p.y));
  }
  for (std::size_t k = 0; k < 512; ++k) ASSERT_NEAR(f[k], -2048.0 + 8.0 * k, 0.01) << k;

  // The central maximum at zero field.
  const auto top = std::max_element(ic.begin(), ic.end()) - ic.begin();
  EXPECT_NEAR(f[top], 0.0, 8.0);
  EXPECT_NEAR(ic[top], 1560.0, 12.0);

  // The first minima where F = +-100 pi, on both sides.
  auto lowestIn = [&](double from, double to) {
    std::size_t best = 0;
    for (std::size_t k = 0; k < 512; ++k)
      if (f[k] >= from && f[k] <= to && (best == 0 || ic[k] < ic[best])) best = k;
    return best;
  };
  auto highestIn = [&](double from, double to) {
    std::size_t best = 0;
    for (std::size_t k = 0; k < 512; ++k)
      if (f[k] >= from && f[k] <= to && (best == 0 || ic[k] > ic[best])) best = k;
    return best;
  };
  const double pi100 = 100.0 * std::numbers::pi;
  const std::size_t minPlus = lowestIn(200, 430), minMinus = lowestIn(-430, -200);
  EXPECT_NEAR(f[minPlus], pi100, 16.0);
  EXPECT_NEAR(f[minMinus], -pi100, 16.0);
  EXPECT_LT(ic[minPlus], 60.0 + 40.0);
  EXPECT_LT(ic[minMinus], 60.0 + 40.0);

  // The first side lobes: |sin x / x| peaks at 0.217 near x = 4.49, so
  // about 0.22 of the central lobe above the 60-unit floor.
  for (const std::size_t lobe : {highestIn(pi100, 2 * pi100), highestIn(-2 * pi100, -pi100)}) {
    EXPECT_NEAR(std::fabs(f[lobe]), 449.3, 40.0);
    EXPECT_NEAR((ic[lobe] - 60.0) / (ic[top] - 60.0), 0.22, 0.03);
  }

  // Both field directions alike: F and -F (index 512 - k) give the same
  // critical current within the noise, everywhere.
  double difference = 0;
  for (std::size_t k = 1; k < 256; ++k) difference += std::fabs(ic[k] - ic[512 - k]);
  EXPECT_LT(difference / 255.0, 25.0);
}

}  // namespace
