// Shared pieces of the Math tests: a fixture with a fresh headless Ui, fresh
// curve data and factory-default Math and junction options, and small curve
// builders.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "curves/state.h"
#include "math/junction_options.h"
#include "math/options.h"
#include "tests/curves/curves_fixture.h"
#include "tests/support/test_support.h"

namespace tsm::math::testing {

using curves::testing::AddCurve;
using curves::testing::PointsOf;

class MathTest : public tsm::testing::UiTest {
 protected:
  MathTest() {
    curves::ResetCurvesState();
    ResetMathOptions();
    ResetJunctionOptions();
  }
  ~MathTest() override {
    curves::ResetCurvesState();
    ResetMathOptions();
    ResetJunctionOptions();
  }
  static curves::CurveFamily& Family() { return curves::CurrentFamily(); }

  // Exactly one message box was shown, with this text, caption and icon.
  void ExpectOneMessage(const std::string& text, const std::string& caption, unsigned icon) {
    const auto boxes = ui->MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u) << text;
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].caption, caption);
    EXPECT_EQ(boxes[0].type & platform::MB_ICONMASK, icon);
  }
};

// The y values of a curve, as doubles.
inline std::vector<double> YsOf(const curves::Curve& c) {
  std::vector<double> y;
  for (const curves::CurvePoint& p : c.Points()) y.push_back(p.y);
  return y;
}

// A curve with the given y values at x = 0, 1, 2 ...
inline curves::Curve& AddYs(curves::CurveFamily& f, const char* name,
                            std::initializer_list<float> ys) {
  f.SetCount(f.Count() + 1);
  curves::Curve& c = f.Curve(f.Count() - 1);
  float x = 0;
  for (float y : ys) c.Append(x++, y);
  c.SetName(name);
  return c;
}

}  // namespace tsm::math::testing
