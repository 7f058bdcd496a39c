#include "files/pathnames.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/test_support.h"

namespace tsm::files {
namespace {

class PathnamesTest : public tsm::testing::UiTest {};

TEST_F(PathnamesTest, ReplaceExtensionCutsOnlyTheFileNamePart) {
  char buffer[64];
  std::strcpy(buffer, "C:\\runs\\chip.v2\\run");
  EXPECT_TRUE(ReplaceExtension(buffer, sizeof buffer, ".ini"));
  EXPECT_STREQ(buffer, "C:\\runs\\chip.v2\\run.ini");
  std::strcpy(buffer, "/home/lab/chip.v2/run");
  EXPECT_TRUE(ReplaceExtension(buffer, sizeof buffer, ".ini"));
  EXPECT_STREQ(buffer, "/home/lab/chip.v2/run.ini");
  std::strcpy(buffer, "/home/lab/a.b.TQD");
  EXPECT_TRUE(ReplaceExtension(buffer, sizeof buffer, ".ini"));
  EXPECT_STREQ(buffer, "/home/lab/a.b.ini");

  std::string path = "d.x/run.dat";
  EXPECT_TRUE(ReplaceExtension(path, ".ini"));
  EXPECT_EQ(path, "d.x/run.ini");
  EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(PathnamesTest, ReplaceExtensionThatDoesNotFitReportsAndKeepsTheCutText) {
  char buffer[10];
  std::strcpy(buffer, "abcde.dat");
  EXPECT_FALSE(ReplaceExtension(buffer, sizeof buffer, ".data"));
  EXPECT_STREQ(buffer, "abcde");
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Tesmira Error!");
  // Exactly filling the buffer is fine.
  std::strcpy(buffer, "abcde.dat");
  EXPECT_TRUE(ReplaceExtension(buffer, sizeof buffer, ".ini"));
  EXPECT_STREQ(buffer, "abcde.ini");
}

TEST_F(PathnamesTest, PartsOfAPathWithEitherSeparator) {
  EXPECT_STREQ(FileNamePart("C:\\a/b\\run.dat"), "run.dat");
  EXPECT_STREQ(FileNamePart("run.dat"), "run.dat");
  EXPECT_EQ(FileNamePart(std::string("/x/y/")), "");
  EXPECT_STREQ(ExtensionPart("/a/run.TesmiraData"), "TesmiraData");
  EXPECT_STREQ(ExtensionPart("/a/run"), "");
  EXPECT_EQ(ExtensionPart(std::string("x.tar.gz")), "gz");
  EXPECT_EQ(DirectoryPart(std::string("C:\\a/b\\run.dat")), "C:\\a/b\\");
  EXPECT_EQ(DirectoryPart(std::string("run.dat")), "");

  char small[5];
  EXPECT_TRUE(DirectoryPart(small, "ab/c", sizeof small));
  EXPECT_STREQ(small, "ab/");
  EXPECT_FALSE(DirectoryPart(small, "abcd/e", sizeof small));
}

}  // namespace
}  // namespace tsm::files
