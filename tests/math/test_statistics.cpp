#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "math/commands.h"
#include "math/statistics.h"
#include "tests/math/math_fixture.h"

namespace tsm::math {
namespace {

using testing::AddCurve;
using testing::AddYs;
using testing::MathTest;

constexpr const char* kHeader =
    "   N |    Sum     |  Average   |   StdDev   |     %    |   Delta    |     %    |    min     "
    "|    max     | curve name\r\n";

class StatisticsTest : public MathTest {};

TEST_F(StatisticsTest, OneTwoThree) {
  const curves::Curve& c = AddYs(Family(), "IV", {1, 2, 3});
  const CurveStatistics s(c);
  EXPECT_EQ(s.sum, 6);
  EXPECT_EQ(s.sumOfSquares, 14);
  EXPECT_EQ(s.average, 2);
  EXPECT_DOUBLE_EQ(s.standardDeviation, std::sqrt(3.0 * 14 - 36) / 3);
  EXPECT_NEAR(s.RelativeDeviation(), 40.8248, 1e-4);
  EXPECT_EQ(s.Delta(), 2);
  EXPECT_EQ(s.RelativeSpread(), 100);
  EXPECT_EQ(s.min, 1);
  EXPECT_EQ(s.max, 3);
  EXPECT_EQ(StatisticsTable(Family()),
            std::string(kHeader) +
                "   0 |          6 |          2 |   0.816497 |  40.8248 |          2 |      100 |"
                "          1 |          3 | IV\r\n");
}

TEST_F(StatisticsTest, ZeroAverageShowsZeroPercentagesAndConstantCurvesZeroDeviation) {
  const CurveStatistics zero(AddYs(Family(), "a", {-1, 1}));
  EXPECT_EQ(zero.RelativeDeviation(), 0);
  EXPECT_EQ(zero.RelativeSpread(), 0);
  EXPECT_EQ(zero.standardDeviation, 1);

  // n * sum(y^2) - sum^2 rounds below 0 for this constant curve; its
  // deviation is 0, not NaN.
  curves::Curve& c = AddCurve(Family(), "b", {});
  for (int i = 0; i < 52; ++i) c.Append(static_cast<float>(i), 3.50360179f);
  const CurveStatistics constant(c);
  EXPECT_EQ(constant.standardDeviation, 0);
  EXPECT_EQ(constant.RelativeDeviation(), 0);
}

TEST_F(StatisticsTest, EmptyCurvesAreSkippedButIndicesKept) {
  AddYs(Family(), "a", {1});
  AddCurve(Family(), "empty", {});
  AddYs(Family(), "c", {-2});
  const std::string table = StatisticsTable(Family());
  EXPECT_NE(table.find("\r\n   0 |"), std::string::npos);
  EXPECT_EQ(table.find("\r\n   1 |"), std::string::npos);
  EXPECT_NE(table.find("\r\n   2 |         -2 |"), std::string::npos);
  EXPECT_EQ(table.find("empty"), std::string::npos);
}

TEST_F(StatisticsTest, DialogShowsTheTableReadOnlyAndChangesNothing) {
  AddYs(Family(), "a", {1, 2, 3});
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.Caption(), kStatisticsCaption);
    const auto box = d.GetControl(kStatisticsTextControl);
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->multiline);
    EXPECT_TRUE(box->readOnly);
    EXPECT_EQ(box->text, StatisticsTable(curves::CurrentFamily()));
  });
  EXPECT_FALSE(StatisticsCommand(nullptr));
  EXPECT_EQ(ui->CallsOf(platform::UiCall::Kind::Modal).size(), 1u);
  EXPECT_EQ(Family().Curve(0).Count(), 3u);
}

}  // namespace
}  // namespace tsm::math
