#include "shell/stringex.h"

#include <gtest/gtest.h>

#include "platform/assert.h"

namespace tsm::shell {
namespace {

using platform::HasAssertion;

class Stringex : public ::testing::Test {
 protected:
  Stringex() { platform::ClearAssertions(); }
};

TEST_F(Stringex, BoundedCopyTruncatesAndAlwaysTerminates) {
  char buf[3] = {'x', 'x', 'x'};
  EXPECT_FALSE(BoundedCopy(buf, "abc", 3));
  EXPECT_STREQ(buf, "ab");
  EXPECT_TRUE(BoundedCopy(buf, "ab", 3));
  EXPECT_STREQ(buf, "ab");
  EXPECT_TRUE(BoundedCopy(buf, "", 3));
  EXPECT_STREQ(buf, "");
  char one[1] = {'x'};
  EXPECT_FALSE(BoundedCopy(one, "a", 1));
  EXPECT_EQ(one[0], '\0');
  EXPECT_TRUE(platform::Assertions().empty());
}

TEST_F(Stringex, BoundedAppendCountsTheWholeBuffer) {
  char buf[6] = "ab";
  EXPECT_TRUE(BoundedAppend(buf, "cd", sizeof buf));
  EXPECT_STREQ(buf, "abcd");
  EXPECT_FALSE(BoundedAppend(buf, "ef", sizeof buf));
  EXPECT_STREQ(buf, "abcde");
  EXPECT_TRUE(BoundedAppend(buf, "", sizeof buf));
  // A destination that is not terminated within its size gets terminated.
  char full[4] = {'w', 'x', 'y', 'z'};
  EXPECT_FALSE(BoundedAppend(full, "q", sizeof full));
  EXPECT_STREQ(full, "wxy");

  std::string s = "ab";
  EXPECT_TRUE(BoundedAppend(s, "cd", 6));
  EXPECT_FALSE(BoundedAppend(s, "ef", 6));
  EXPECT_EQ(s, "abcde");
  EXPECT_FALSE(BoundedAssign(s, "abc", 3));
  EXPECT_EQ(s, "ab");
}

TEST_F(Stringex, MisuseIsAProgramErrorOfStringex) {
  char buf[4] = "xyz";
  EXPECT_FALSE(BoundedCopy(nullptr, "a", 4));
  EXPECT_TRUE(HasAssertion("dst != nullptr", "stringex"));
  EXPECT_FALSE(BoundedCopy(buf, nullptr, 4));
  EXPECT_TRUE(HasAssertion("src != nullptr", "stringex"));
  EXPECT_FALSE(BoundedAppend(buf, "a", 0));
  EXPECT_TRUE(HasAssertion("size != 0", "stringex"));
  EXPECT_STREQ(buf, "xyz");  // nothing was written
  EXPECT_EQ(platform::Assertions().size(), 3u);
}

TEST_F(Stringex, ReplaceAndCountLines) {
  char path[] = "C:/data/run/a.dat";
  EXPECT_EQ(ReplaceChar(path, '/', '\\'), 3);
  EXPECT_STREQ(path, "C:\\data\\run\\a.dat");
  std::string s = "a.b.c";
  EXPECT_EQ(ReplaceChar(s, '.', '_'), 2);
  EXPECT_EQ(s, "a_b_c");
  EXPECT_EQ(CountLines(""), 1);
  EXPECT_EQ(CountLines("one\r\ntwo\r\nthree"), 3);
  EXPECT_EQ(CountLines("lf\nonly"), 1);  // only carriage returns count
  EXPECT_EQ(Format("%s=%d", "x", 5), "x=5");
}

}  // namespace
}  // namespace tsm::shell
