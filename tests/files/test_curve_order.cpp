// The order of a sorted save: exactly the order of the selection by point
// count the program has always made (not a stable order), found without
// its quadratic work.
#include "files/curve_order.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "curves/curvefam.h"
#include "tests/files/files_fixture.h"

namespace tsm::files {
namespace {

// The order users have always got, as it was written: position r receives
// the first curve with the largest count among r .. end.
std::vector<int> SelectionOrder(std::vector<std::pair<std::uint32_t, int>> curves) {
  for (std::size_t r = 0; r + 1 < curves.size(); ++r) {
    std::size_t best = r;
    for (std::size_t q = r + 1; q < curves.size(); ++q)
      if (curves[q].first > curves[best].first) best = q;
    std::swap(curves[r], curves[best]);
  }
  std::vector<int> ids;
  for (const auto& c : curves) ids.push_back(c.second);
  return ids;
}

TEST(CurveOrder, IsTheSelectionOrderEqualCountsIncluded) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 200; ++trial) {
    const int n = 1 + trial % 40;
    // Few distinct counts, so that equal counts are common.
    std::uniform_int_distribution<std::uint32_t> points(0, trial % 2 ? 3 : 12);
    curves::CurveFamily family;
    ASSERT_TRUE(family.SetCount(static_cast<std::uint32_t>(n)));
    std::vector<std::pair<std::uint32_t, int>> reference;
    for (int i = 0; i < n; ++i) {
      const std::uint32_t count = points(random);
      curves::Curve& c = family.Curve(static_cast<std::uint32_t>(i));
      for (std::uint32_t k = 0; k < count; ++k) c.Append(static_cast<float>(i), 0);
      c.SetName(std::to_string(i).c_str());
      reference.emplace_back(count, i);
    }
    SortByPointCount(family);
    std::vector<int> got;
    for (std::uint32_t q = 0; q < family.Count(); ++q) {
      got.push_back(std::stoi(family.Curve(q).Name()));
      // Each curve kept its own points.
      if (family.Curve(q).Count() > 0) {
        EXPECT_EQ(family.Curve(q).Point(0).x, got.back());
      }
    }
    ASSERT_EQ(got, SelectionOrder(reference)) << "trial " << trial;
  }
}

// A family that counts the work done on it.
struct CountingFamily {
  struct Entry {
    std::uint32_t points;
    std::uint64_t* reads;
    std::uint32_t Count() const {
      ++*reads;
      return points;
    }
  };
  std::vector<Entry> entries;
  std::uint64_t reads = 0, swaps = 0;
  std::uint32_t Count() const { return static_cast<std::uint32_t>(entries.size()); }
  const Entry& Curve(std::uint32_t q) const { return entries[q]; }
  void SwapCurves(std::uint32_t a, std::uint32_t b) {
    ++swaps;
    std::swap(entries[a].points, entries[b].points);
  }
};

TEST(CurveOrder, EachCountIsReadOnceAndEachCurveExchangedAtMostOnce) {
  // The selection read n^2 / 2 counts: 5e9 here, 2e12 for the two million
  // curves a companion file can claim (hours).
  const std::uint32_t n = 100000;
  CountingFamily family;
  family.entries.assign(n, CountingFamily::Entry{0, &family.reads});
  std::mt19937 random(3);
  for (auto& e : family.entries) e.points = random() % 1000;
  SortByPointCount(family);
  EXPECT_EQ(family.reads, n);
  EXPECT_LT(family.swaps, n);
  for (std::uint32_t q = 1; q < n; ++q)
    ASSERT_GE(family.entries[q - 1].points, family.entries[q].points) << q;
}

}  // namespace
}  // namespace tsm::files
