// The order of codes of a sweep, the clamped stepping of the searches and
// the normalised codes of cards with fewer than 16 bits.
#include <vector>

#include "measure/sweep.h"
#include "tests/measure/measure_fixture.h"

namespace tsm::testing {
namespace {

using measure::BoundedCode;
using measure::SweepIterator;
using measure::SweepRange;

std::vector<std::uint32_t> Codes(std::uint32_t start, std::uint32_t stop, std::uint32_t step,
                                 bool two) {
  SweepRange r;
  r.start = start;
  r.stop = stop;
  r.step = step;
  r.twoDirections = two;
  std::vector<std::uint32_t> codes;
  for (SweepIterator it(r); it.Valid() && codes.size() < 100; it.Next()) codes.push_back(it.Code());
  EXPECT_EQ(codes.size(), measure::TotalPoints(r));
  return codes;
}

using V = std::vector<std::uint32_t>;

TEST(SweepIterator, AStepThatDoesNotDivideTheSpanNeverMeasuresStopOnTheWayOut) {
  EXPECT_EQ(Codes(0, 10, 3, false), (V{0, 3, 6, 9}));
  // The way back begins exactly at stop.
  EXPECT_EQ(Codes(0, 10, 3, true), (V{0, 3, 6, 9, 10, 7, 4, 1}));
  EXPECT_EQ(Codes(10, 0, 3, true), (V{10, 7, 4, 1, 0, 3, 6, 9}));
}

TEST(SweepIterator, ADividingStepMeasuresStopTwice) {
  EXPECT_EQ(Codes(0, 9, 3, true), (V{0, 3, 6, 9, 9, 6, 3, 0}));
}

TEST(SweepIterator, StartEqualToStopGivesOnePointPerDirection) {
  EXPECT_EQ(Codes(5, 5, 3, false), (V{5}));
  EXPECT_EQ(Codes(5, 5, 3, true), (V{5, 5}));
  EXPECT_EQ(Codes(0, 0, 1, true), (V{0, 0}));
}

TEST(SweepIterator, SteppingBelowZeroOrAboveTheTopLeavesTheRange) {
  EXPECT_EQ(Codes(5, 0, 3, false), (V{5, 2}));
  EXPECT_EQ(Codes(65530, 65535, 4, true), (V{65530, 65534, 65535, 65531}));
  // A step of 0 would never end: it counts as 1.
  EXPECT_EQ(Codes(0, 2, 0, false), (V{0, 1, 2}));
}

TEST(SweepIterator, TheWholeRangeWithStepOneHas65536PointsPerDirection) {
  SweepRange r;
  r.twoDirections = true;
  EXPECT_EQ(measure::PointsPerDirection(r), 65536u);
  EXPECT_EQ(measure::TotalPoints(r), 131072u);
}

TEST(BoundedCode, StepsToTheLimitThenRefuses) {
  BoundedCode c{90, 10, 100};
  EXPECT_EQ(c.Raise(5), 0);
  EXPECT_EQ(c.value, 95u);
  EXPECT_EQ(c.Raise(5), 0);  // reaching the limit exactly is an ordinary step
  EXPECT_EQ(c.value, 100u);
  EXPECT_EQ(c.Raise(1), -1);
  EXPECT_EQ(c.value, 100u);
  c.value = 97;
  EXPECT_EQ(c.Raise(10), 1);
  EXPECT_EQ(c.value, 100u);

  c.value = 14;
  EXPECT_EQ(c.Lower(10), 1);
  EXPECT_EQ(c.value, 10u);
  EXPECT_EQ(c.Lower(1), -1);
  EXPECT_EQ(c.Lower(0), 0);  // a zero step at the limit is no failure
  EXPECT_EQ(c.value, 10u);
}

class NormalisedCodes : public MeasureTest {};

TEST_F(NormalisedCodes, FollowTheResolutionOfTheDrivingCard) {
  // DAC card 1 is a 12-bit card: 4096 codes, so one card code is 16
  // normalised ones.
  DefineCurrent(1, channels::kPlusSweep2, 1, 0);
  EXPECT_EQ(measure::NormalisationFactor(0), 1u);
  EXPECT_EQ(measure::NormalisationFactor(1), 16u);
  EXPECT_EQ(measure::NormalisationFactor(-1), 1u);
  EXPECT_EQ(measure::NormalisationFactor(5), 1u);  // undefined current: no card range

  SweepRange r = measure::InitialRange(measure::RangeId::IVFSweep2);
  const SweepRange card = measure::RangeInCardCodes(r);
  EXPECT_EQ(card.start, 2048u);
  EXPECT_EQ(card.stop, 2304u);
  EXPECT_EQ(card.step, 8u);  // 129 div 16
  r.step = 15;               // below one card code: at least 1
  EXPECT_EQ(measure::RangeInCardCodes(r).step, 1u);
}

}  // namespace
}  // namespace tsm::testing
