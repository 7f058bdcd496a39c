// Shared pieces of the curve tests: a fixture with a fresh headless Ui and a
// fresh curve state, and builders for small curves.
#pragma once

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "curves/curvefam.h"
#include "curves/state.h"
#include "tests/support/test_support.h"

namespace tsm::curves::testing {

class CurvesTest : public tsm::testing::UiTest {
 protected:
  CurvesTest() { ResetCurvesState(); }
  ~CurvesTest() override { ResetCurvesState(); }

  // Refuses every allocation of at least `bytes` bytes from now on.
  static void RefuseFrom(std::size_t bytes) {
    SetAllocationHook([bytes](std::size_t n) { return n >= bytes; });
  }
};

inline void Fill(Curve& c, std::initializer_list<CurvePoint> points) {
  c.Empty();
  for (const CurvePoint& p : points) c.Append(p.x, p.y);
}

inline std::vector<CurvePoint> PointsOf(const Curve& c) {
  return {c.Points().begin(), c.Points().end()};
}

// Adds a curve with the given name and points at the end of the family.
inline Curve& AddCurve(CurveFamily& f, const char* name, std::initializer_list<CurvePoint> points) {
  f.SetCount(f.Count() + 1);
  Curve& c = f.Curve(f.Count() - 1);
  Fill(c, points);
  c.SetName(name);
  return c;
}

}  // namespace tsm::curves::testing

namespace tsm::curves {
inline void PrintTo(const CurvePoint& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
}  // namespace tsm::curves
