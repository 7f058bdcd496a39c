#include <gtest/gtest.h>

#include "math/options.h"
#include "platform/profile.h"
#include "shell/optiongroups.h"
#include "tests/math/math_fixture.h"

namespace tsm::math {
namespace {

using testing::MathTest;

class MathOptionsTest : public MathTest {
 protected:
  MathOptionsTest() { shell::ResetOptionGroups(); }
  ~MathOptionsTest() override { shell::ResetOptionGroups(); }
  tsm::testing::TempDir dir;
};

TEST_F(MathOptionsTest, GroupSavesAndLoadsEveryKeyOfTheSection) {
  RegisterOptionGroups();
  ASSERT_TRUE(shell::IsOptionGroupRegistered(shell::OptionGroupId::Math));
  const std::string file = dir.File("tsm.ini");
  MathOptions& o = GetMathOptions();
  o.smoothParameter = 7;
  o.filterParameter = 0.001f;
  o.criticalAngle = 12.5f;
  o.derivePoints = 9;
  o.deriveDiscardEdge = 0;
  o.deriveDiscardDir = 1;
  shell::SaveOptionGroup(shell::OptionGroupId::Math, file);
  const std::string text = tsm::testing::TempDir::Read(file);
  for (const char* line :
       {"[Math]", "SmoothParameter=7", "FilterParameter=0.001", "SEP_CriticalAngle=12.5",
        "DerivePoints=9", "DeriveDiscardEdge=0", "DeriveDiscardDir=1"})
    EXPECT_NE(text.find(line), std::string::npos) << line;

  ResetMathOptions();
  EXPECT_EQ(o.smoothParameter, 5u);
  shell::LoadOptionGroup(shell::OptionGroupId::Math, file);
  EXPECT_EQ(o.smoothParameter, 7u);
  EXPECT_EQ(o.filterParameter, 0.001f);
  EXPECT_EQ(o.criticalAngle, 12.5f);
  EXPECT_EQ(o.derivePoints, 9u);
  EXPECT_EQ(o.deriveDiscardEdge, 0u);
  EXPECT_EQ(o.deriveDiscardDir, 1u);
}

TEST_F(MathOptionsTest, OutOfRangeValuesKeepTheDefaults) {
  const MathOptions& o = GetMathOptions();
  const std::string file = dir.Write("tsm.ini",
                                     "[Math]\r\nSmoothParameter=129\r\nSEP_CriticalAngle=90.5\r\n"
                                     "FilterParameter=-1\r\n");
  RegisterOptionGroups();
  shell::LoadOptionGroup(shell::OptionGroupId::Math, file);
  EXPECT_EQ(o.smoothParameter, 5u);
  EXPECT_EQ(o.criticalAngle, 3.0f);
  EXPECT_EQ(o.filterParameter, 10.0f);
}

}  // namespace
}  // namespace tsm::math
