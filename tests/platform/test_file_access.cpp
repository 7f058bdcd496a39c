// Opening named files safely: only regular files are read, within a bound;
// the names a save makes beside a file stay within the name limit.
#include "platform/file_access.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include "tests/support/test_support.h"

namespace tsm::platform {
namespace {

using tsm::testing::TempDir;

TEST(FileAccess, OnlyRegularFilesAreReadAndNoMoreThanTheLimit) {
  TempDir dir;
  std::string text = "old";
  EXPECT_EQ(ReadRegularFile(dir.Write("a.txt", "12345"), 5, text), FileStatus::Ok);
  EXPECT_EQ(text, "12345");
  EXPECT_EQ(ReadRegularFile(dir.File("a.txt"), 4, text), FileStatus::TooLarge);
  EXPECT_EQ(text, "");
  EXPECT_EQ(ReadRegularFile(dir.Write("empty.txt", ""), 0, text), FileStatus::Ok);
  EXPECT_EQ(ReadRegularFile(dir.File("none.txt"), 10, text), FileStatus::Missing);
  EXPECT_EQ(ReadRegularFile(dir.Path().string(), 10, text), FileStatus::NotRegular);
  EXPECT_EQ(ReadRegularFile("/dev/zero", 10, text), FileStatus::NotRegular);
  const std::string fifo = dir.File("pipe");
  tsm::testing::MakeFifo(fifo);
  FileStatus status = FileStatus::Ok;
  int fd = 0;
  EXPECT_TRUE(tsm::testing::ReturnsWithin(
      std::chrono::seconds(10), [&] { fd = OpenRegularFile(fifo, &status); },
      [&] { tsm::testing::UnblockFifo(fifo); }));
  EXPECT_EQ(fd, -1);
  EXPECT_EQ(status, FileStatus::NotRegular);
  // A regular file reached through a symbolic link is read.
  ASSERT_EQ(::symlink(dir.File("a.txt").c_str(), dir.File("link").c_str()), 0);
  EXPECT_EQ(ReadRegularFile(dir.File("link"), 100, text), FileStatus::Ok);
  EXPECT_EQ(text, "12345");
}

TEST(FileAccess, SiblingNamesStayWithinTheNameLimit) {
  EXPECT_EQ(SiblingName("run.dat", "tmp"), "run.dat.tsm-tmp");
  const std::string wide(250, 'w');
  const std::string sibling = SiblingName(wide, "tmp");
  EXPECT_LE(sibling.size(), 255u);
  EXPECT_EQ(sibling.rfind(".tsm-", 0), 0u);
  EXPECT_NE(sibling, SiblingName(std::string(250, 'v'), "tmp"));
  EXPECT_EQ(sibling, SiblingName(wide, "tmp"));

  TempDir dir;
  DirectoryOf folder(dir.File("x.ini"));
  ASSERT_TRUE(folder.Ok());
  EXPECT_EQ(folder.Name(), "x.ini");
  std::string made;
  const int fd = CreateUniqueSibling(folder.Fd(), "x.ini", &made);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_TRUE(IsUniqueSibling(made, "x.ini")) << made;
  EXPECT_FALSE(IsUniqueSibling("x.ini.tsm-notes", "x.ini"));
  EXPECT_FALSE(IsUniqueSibling(made, "y.ini"));
}

}  // namespace
}  // namespace tsm::platform
