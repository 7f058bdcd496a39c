#include "curves/live.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/curves/curves_fixture.h"

namespace tsm::curves {
namespace {

using testing::AddCurve;
using testing::CurvesTest;

class LiveTest : public CurvesTest {
 protected:
  // What a routine does before its loop: a family of `curves` curves of
  // `points` points each, named, with the previous picture in the undo copy.
  CurveFamily& Prepare(std::uint32_t curves, std::uint32_t points) {
    AddCurve(UndoFamily(), "before", {{1, 1}});
    SetPlotShowsUndo(true);
    CurveFamily& f = CurrentFamily();
    f.SetCount(curves);
    for (std::uint32_t k = 0; k < curves; ++k) f.Curve(k).SetName(k == 0 ? "V0" : "V1");
    f.SetAllSizes(points);
    return f;
  }
};

TEST_F(LiveTest, ThePlotShowsOnlyPublishedPointsAndFallsBackToTheUndoCopy) {
  CurveFamily& f = Prepare(2, 10);
  // Before the publisher's first snapshot the plot keeps the old picture.
  EXPECT_STREQ(FamilyForPlot().Curve(0).Name(), "before");
  {
    LivePublisher live(f);
    live.SetUnits("A", "V");
    EXPECT_STREQ(FamilyForPlot().Curve(0).Name(), "before");
    ASSERT_TRUE(UpdateLiveSnapshot());
    CurveFamily& shown = FamilyForPlot();
    ASSERT_EQ(shown.Count(), 2u);
    EXPECT_STREQ(shown.Curve(1).Name(), "V1");
    EXPECT_STREQ(shown.UnitX(), "A");
    EXPECT_EQ(shown.Curve(0).Count(), 0u);

    for (std::uint32_t i = 0; i < 3; ++i) {
      f.Curve(0).Point(i) = {float(i), float(10 * i)};
      f.Curve(1).Point(i) = {float(i), -float(i)};
    }
    live.PublishAll(3);
    EXPECT_EQ(FamilyForPlot().Curve(0).Count(), 0u) << "nothing copied before the update";
    ASSERT_TRUE(UpdateLiveSnapshot());
    EXPECT_EQ(FamilyForPlot().Curve(0).Count(), 3u);
    EXPECT_EQ(FamilyForPlot().Curve(0).Point(2), (CurvePoint{2, 20}));
    EXPECT_FALSE(UpdateLiveSnapshot()) << "nothing new";

    // Counts never go backwards and never pass the curve's size.
    live.Publish(0, 1);
    live.Publish(1, 99);
    ASSERT_TRUE(UpdateLiveSnapshot());
    EXPECT_EQ(FamilyForPlot().Curve(0).Count(), 3u);
    EXPECT_EQ(FamilyForPlot().Curve(1).Count(), 10u);

    live.SetCurveInfo(0, "V0 (5 mT)", 5.0f);
    ASSERT_TRUE(UpdateLiveSnapshot());
    EXPECT_STREQ(FamilyForPlot().Curve(0).Name(), "V0 (5 mT)");
    EXPECT_FLOAT_EQ(FamilyForPlot().Curve(0).Parameter(), 5.0f);

    live.End();
    // After End the routine may truncate: the painter no longer reads it,
    // and the last picture stays.
    f.Curve(0).SetSize(1);
    EXPECT_FALSE(UpdateLiveSnapshot());
    EXPECT_EQ(FamilyForPlot().Curve(0).Count(), 3u);
  }
  ReleaseLiveSnapshot();
  EXPECT_EQ(LiveSnapshot(), nullptr);
  EXPECT_STREQ(FamilyForPlot().Curve(0).Name(), "before");
  SetPlotShowsUndo(false);
  EXPECT_EQ(&FamilyForPlot(), &CurrentFamily());
}

TEST_F(LiveTest, ASecondPublisherStartsAFreshSnapshot) {
  CurveFamily& f = Prepare(1, 4);
  {
    LivePublisher live(f);
    f.Curve(0).Point(0) = {1, 1};
    live.Publish(0, 1);
    ASSERT_TRUE(UpdateLiveSnapshot());
  }
  f.SetCount(2);
  f.SetAllSizes(4);
  LivePublisher again(f);
  // The previous snapshot belongs to the previous run: not shown.
  EXPECT_EQ(LiveSnapshot(), nullptr);
  ASSERT_TRUE(UpdateLiveSnapshot());
  EXPECT_EQ(FamilyForPlot().Count(), 2u);
  EXPECT_EQ(FamilyForPlot().Curve(0).Count(), 0u);
}

// The painter on a second thread sees only finished points, in order, and
// counts that never shrink, while the worker writes (run under
// ThreadSanitizer with the threaded tests).
TEST_F(LiveTest, APainterOnAnotherThreadSeesOnlyFinishedPoints) {
  constexpr std::uint32_t kPoints = 20000;
  CurveFamily& f = Prepare(2, kPoints);
  std::atomic<bool> started{false}, painted{false}, done{false};
  std::thread worker([&] {
    LivePublisher live(f);
    started.store(true);
    while (!painted.load()) std::this_thread::yield();
    for (std::uint32_t i = 0; i < kPoints; ++i) {
      f.Curve(0).Point(i) = {float(i), float(i) + 1};
      f.Curve(1).Point(i) = {float(i), float(i) + 2};
      live.PublishAll(i + 1);
    }
    live.End();
    // What a routine does after End: truncate.
    f.Curve(1).SetSize(5);
    done.store(true);
  });
  while (!started.load()) std::this_thread::yield();
  const bool first = UpdateLiveSnapshot();
  painted.store(true);
  EXPECT_TRUE(first);
  std::uint32_t last = 0;
  bool bad = false;
  while (!done.load()) {
    UpdateLiveSnapshot();
    if (const CurveFamily* shown = LiveSnapshot()) {
      const Curve& c = shown->Curve(0);
      if (c.Count() < last) bad = true;
      last = c.Count();
      for (std::uint32_t i = 0; i < c.Count(); ++i)
        if (c.Data()[i].y != float(i) + 1) bad = true;
    }
  }
  worker.join();
  EXPECT_FALSE(bad);
  UpdateLiveSnapshot();
  ASSERT_NE(LiveSnapshot(), nullptr);
  EXPECT_LE(LiveSnapshot()->Curve(0).Count(), kPoints);
}

}  // namespace
}  // namespace tsm::curves
