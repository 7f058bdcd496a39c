// The order a save gives the curves when "sort" is on: by point count,
// largest first, exactly as the program has always ordered them (the
// data-file checks depend on it). A template over the family so that the
// work it does can be counted.
#pragma once

#include <cstdint>
#include <vector>

namespace tsm::files {

// Position r receives the first curve with the largest count among
// r .. end, exchanged with the curve that was at r (so equal counts do not
// keep their order). The same exchanges are found in O(n log n) with a
// tournament tree over the positions, every node holding the leftmost
// position of the largest count below it; a position leaves the tree once
// it has been filled. Each curve's count is read once.
template <class Family>
void SortByPointCount(Family& family) {
  const std::uint32_t n = family.Count();
  if (n < 2) return;
  std::vector<std::uint32_t> count(n);
  for (std::uint32_t q = 0; q < n; ++q) count[q] = family.Curve(q).Count();
  std::uint32_t leaves = 1;
  while (leaves < n) leaves *= 2;
  constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  std::vector<std::uint32_t> tree(2 * static_cast<std::size_t>(leaves), kNone);
  const auto better = [&](std::uint32_t a, std::uint32_t b) {
    if (a == kNone) return b;
    if (b == kNone) return a;
    return count[b] > count[a] ? b : a;  // equal: a, the left one
  };
  const auto update = [&](std::uint32_t q) {
    for (std::uint32_t node = (leaves + q) / 2; node >= 1; node /= 2)
      tree[node] = better(tree[2 * node], tree[2 * node + 1]);
  };
  for (std::uint32_t q = 0; q < n; ++q) tree[leaves + q] = q;
  for (std::uint32_t node = leaves - 1; node >= 1; --node)
    tree[node] = better(tree[2 * node], tree[2 * node + 1]);
  for (std::uint32_t r = 0; r + 1 < n; ++r) {
    const std::uint32_t best = tree[1];
    tree[leaves + r] = kNone;
    update(r);
    if (best != r) {
      // The curve that was at r moves to best's position.
      family.SwapCurves(r, best);
      count[best] = count[r];
      update(best);
    }
  }
}

}  // namespace tsm::files
