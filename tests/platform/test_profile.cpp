#include "platform/profile.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/test_support.h"

namespace tsm::platform {
namespace {

using tsm::testing::TempDir;

class Profile : public ::testing::Test {
 protected:
  Profile() {
    ProfileCacheEnable(true);
    ProfileCacheClear();
  }
  ~Profile() override {
    ProfileCacheEnable(true);
    ProfileCacheClear();
  }
  std::string Str(const char* section, const char* key, const char* def = "dflt",
                  unsigned long size = 512) {
    return ReadProfileString(section, key, def, ini, size);
  }
  TempDir dir;
  std::string ini = dir.File("tsm.ini");
};

TEST_F(Profile, SectionAndKeyNamesIgnoreCase) {
  dir.Write("tsm.ini", "[Setup]\r\nGridX=3\r\n");
  EXPECT_EQ(GetPrivateProfileIntA("setup", "GRIDX", 0, ini.c_str()), 3);
  EXPECT_EQ(GetPrivateProfileIntA(" SETUP ", "gridx", 0, ini.c_str()), 3);
  // A write under another spelling replaces the key instead of adding one.
  ASSERT_TRUE(WritePrivateProfileStringA("SETUP", "gridx", "4", ini.c_str()));
  EXPECT_EQ(TempDir::Read(ini), "[Setup]\r\ngridx=4\r\n");
}

TEST_F(Profile, WritingCreatesFileSectionAndKey) {
  ASSERT_FALSE(std::filesystem::exists(ini));
  ASSERT_TRUE(WritePrivateProfileStringA("Setup", "GridX", "1", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Setup", "GridY", "2", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Math", "SmoothParameter", "0.5", ini.c_str()));
  EXPECT_EQ(TempDir::Read(ini), "[Setup]\r\nGridX=1\r\nGridY=2\r\n[Math]\r\nSmoothParameter=0.5\r\n");
}

TEST_F(Profile, WritingKeepsEveryOtherLine) {
  const std::string before =
      "; Tesmira settings\n"
      "\n"
      "[Setup]\n"
      "; grid spacing\n"
      "GridX = 3\n"
      "some line without equals\n"
      "GridY=5\n"
      "\n"
      "[Graphics]\n"
      "PenWidth=2\n";
  dir.Write("tsm.ini", before);
  ASSERT_TRUE(WritePrivateProfileStringA("Setup", "GridY", "7", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Setup", "SmallTicksX", "1", ini.c_str()));
  // The changed key keeps its place, the new one goes before the blank line
  // that separates the sections, and the file keeps its LF line ends.
  EXPECT_EQ(TempDir::Read(ini),
            "; Tesmira settings\n"
            "\n"
            "[Setup]\n"
            "; grid spacing\n"
            "GridX = 3\n"
            "some line without equals\n"
            "GridY=7\n"
            "SmallTicksX=1\n"
            "\n"
            "[Graphics]\n"
            "PenWidth=2\n");
  // Deleting a key and a section.
  ASSERT_TRUE(WritePrivateProfileStringA("Setup", "GridX", nullptr, ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Graphics", nullptr, nullptr, ini.c_str()));
  EXPECT_EQ(TempDir::Read(ini),
            "; Tesmira settings\n\n[Setup]\n; grid spacing\nsome line without equals\n"
            "GridY=7\nSmallTicksX=1\n\n");
}

TEST_F(Profile, MissingFileReadsDefaults) {
  const std::string none = dir.File("absent.ini");
  EXPECT_EQ(GetPrivateProfileIntA("Setup", "GridX", 42, none.c_str()), 42);
  EXPECT_EQ(ReadProfileString("Setup", "Name", "anonymous", none), "anonymous");
  EXPECT_DOUBLE_EQ(ReadProfileFloat("Setup", "X", 2.5, none.c_str()), 2.5);
  EXPECT_EQ(ReadProfileLong("Setup", "Y", -9, none.c_str()), -9);
  EXPECT_FALSE(std::filesystem::exists(none));  // reading creates nothing
}

TEST_F(Profile, IntegersReadTheLeadingDecimalNumber) {
  dir.Write("tsm.ini",
            "[S]\nA=12abc\nB=-7\nC=abc\nD=\nE=  +5\nF=-\nG=0x10\nH=3.9\nI=\"25\"\n");
  const char* f = ini.c_str();
  EXPECT_EQ(GetPrivateProfileIntA("S", "A", 99, f), 12);
  EXPECT_EQ(GetPrivateProfileIntA("S", "B", 99, f), -7);
  EXPECT_EQ(GetPrivateProfileIntA("S", "C", 99, f), 0);
  EXPECT_EQ(GetPrivateProfileIntA("S", "D", 99, f), 0);
  EXPECT_EQ(GetPrivateProfileIntA("S", "E", 99, f), 0);
  EXPECT_EQ(GetPrivateProfileIntA("S", "F", 99, f), 0);
  EXPECT_EQ(GetPrivateProfileIntA("S", "G", 99, f), 0);
  EXPECT_EQ(GetPrivateProfileIntA("S", "H", 99, f), 3);
  EXPECT_EQ(GetPrivateProfileIntA("S", "I", 99, f), 25);
  EXPECT_EQ(GetPrivateProfileIntA("S", "Absent", 99, f), 99);
}

TEST_F(Profile, StringsAreTruncatedToTheBuffer) {
  dir.Write("tsm.ini", "[S]\nName=  Tesmira user  \nQuoted=\"a b\"\n");
  char buf[5];
  EXPECT_EQ(GetPrivateProfileStringA("S", "Name", "", buf, sizeof buf, ini.c_str()), 4u);
  EXPECT_STREQ(buf, "Tesm");
  EXPECT_EQ(Str("S", "Name"), "Tesmira user");
  EXPECT_EQ(Str("S", "Quoted"), "a b");
  EXPECT_EQ(Str("S", "Absent", "def", 3), "de");
  // Key and section listings, each name terminated, the list by an extra 0.
  char list[64];
  unsigned long n = GetPrivateProfileStringA("S", nullptr, "", list, sizeof list, ini.c_str());
  EXPECT_EQ(std::string(list, n), std::string("Name\0Quoted\0", 12));
}

TEST_F(Profile, FloatAndLongFollowTheQuestionMarkRule) {
  dir.Write("tsm.ini",
            "[S]\nQ=?\nQ2=?5\nLetters=abc\nNan=nan\nInf=inf\nHex=0x10\nNum=1.5E-03xyz\n"
            "Empty=\nL=-123456789012\nLQ=?0\n");
  const char* f = ini.c_str();
  EXPECT_DOUBLE_EQ(ReadProfileFloat("S", "Q", 7.5, f), 7.5);
  EXPECT_DOUBLE_EQ(ReadProfileFloat("S", "Q2", 7.5, f), 7.5);
  EXPECT_DOUBLE_EQ(ReadProfileFloat("S", "Absent", 7.5, f), 7.5);
  EXPECT_DOUBLE_EQ(ReadProfileFloat("S", "Letters", 7.5, f), 0.0);
  // Texts the C library would take as numbers are letters for the program.
  EXPECT_DOUBLE_EQ(ReadProfileFloat("S", "Nan", 7.5, f), 0.0);
  EXPECT_DOUBLE_EQ(ReadProfileFloat("S", "Inf", 7.5, f), 0.0);
  EXPECT_DOUBLE_EQ(ReadProfileFloat("S", "Hex", 7.5, f), 0.0);
  EXPECT_DOUBLE_EQ(ReadProfileFloat("S", "Num", 7.5, f), 0.0015);
  EXPECT_DOUBLE_EQ(ReadProfileFloat("S", "Empty", 7.5, f), 0.0);
  EXPECT_EQ(ReadProfileLong("S", "L", 3, f), -123456789012L);
  EXPECT_EQ(ReadProfileLong("S", "LQ", 3, f), 3);
  EXPECT_EQ(ReadProfileLong("S", "Letters", 3, f), 0);
  EXPECT_EQ(ReadProfileLong("S", "Absent", 3, f), 3);
}

TEST_F(Profile, WritersUseTheirFormats) {
  const char* f = ini.c_str();
  ASSERT_TRUE(WriteProfileFloat("S", "A", 0.001, "%-G", f));
  ASSERT_TRUE(WriteProfileFloat("S", "B", 0.000001, "%-G", f));
  ASSERT_TRUE(WriteProfileFloat("S", "C", 2.5, nullptr, f));
  ASSERT_TRUE(WriteProfileInt("S", "D", -4, "%d", f));
  ASSERT_TRUE(WriteProfileInt("S", "E", 4000000000LL, "%lu", f));
  EXPECT_EQ(Str("S", "A"), "0.001");
  EXPECT_EQ(Str("S", "B"), "1E-06");
  EXPECT_EQ(Str("S", "C"), "2.5");
  EXPECT_EQ(Str("S", "D"), "-4");
  EXPECT_EQ(Str("S", "E"), "4000000000");
}

// Selects a locale with a decimal comma; when the system has none installed,
// compiles one into dir (localedef comes with the C library).
bool UseCommaLocale(const TempDir& dir) {
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) return true;
  const std::string cmd =
      "localedef -i de_DE -f UTF-8 '" + dir.File("de_DE.UTF-8") + "' >/dev/null 2>&1";
  if (std::system(cmd.c_str()) == -1) return false;
  ::setenv("LOCPATH", dir.Path().c_str(), 1);
  const bool ok = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  ::unsetenv("LOCPATH");
  return ok;
}

TEST_F(Profile, FloatsKeepAPointUnderADecimalCommaLocale) {
  const std::string old = std::setlocale(LC_NUMERIC, nullptr);
  TempDir locales;
  if (!UseCommaLocale(locales)) GTEST_SKIP() << "no locale with a decimal comma available";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 2.5);
  EXPECT_STREQ(probe, "2,5");  // the locale is in force
  const bool written = WriteProfileFloat("S", "A", 2.5, "%-G", ini.c_str());
  const double read = ReadProfileFloat("S", "A", 0, ini.c_str());
  std::setlocale(LC_NUMERIC, old.c_str());
  ASSERT_TRUE(written);
  EXPECT_EQ(Str("S", "A"), "2.5");
  EXPECT_DOUBLE_EQ(read, 2.5);
}

TEST_F(Profile, AValueCannotBreakIntoNewLines) {
  ASSERT_TRUE(WritePrivateProfileStringA("S", "Comment", "first\r\n[Setup]\nGridX=99", ini.c_str()));
  EXPECT_EQ(Str("S", "Comment"), "first");
  EXPECT_EQ(TempDir::Read(ini), "[S]\r\nComment=first\r\n");
  EXPECT_EQ(GetPrivateProfileIntA("Setup", "GridX", 1, ini.c_str()), 1);
}

TEST_F(Profile, MissingKeyKeepsTheCallersValue) {
  dir.Write("tsm.ini", "[Setup]\nGridX=3\n");
  int gridY = 17;
  gridY = GetPrivateProfileIntA("Setup", "GridY", gridY, ini.c_str());
  double smooth = 0.25;
  smooth = ReadProfileFloat("Math", "SmoothParameter", smooth, ini.c_str());
  EXPECT_EQ(gridY, 17);
  EXPECT_DOUBLE_EQ(smooth, 0.25);
}

TEST_F(Profile, LfAndCrLfFilesReadAlike) {
  for (const char* eol : {"\n", "\r\n"}) {
    const std::string e = eol;
    const std::string path =
        dir.Write(e.size() == 1 ? "lf.ini" : "crlf.ini",
                  "[A]" + e + "X=1" + e + "Name=abc" + e + "[B]" + e + "Y=2.5");  // no final eol
    EXPECT_EQ(GetPrivateProfileIntA("A", "X", 0, path.c_str()), 1);
    EXPECT_EQ(ReadProfileString("A", "Name", "", path), "abc");
    EXPECT_DOUBLE_EQ(ReadProfileFloat("B", "Y", 0, path.c_str()), 2.5);
    // A new key takes the file's own line end.
    ASSERT_TRUE(WritePrivateProfileStringA("B", "Z", "3", path.c_str()));
    EXPECT_EQ(TempDir::Read(path),
              "[A]" + e + "X=1" + e + "Name=abc" + e + "[B]" + e + "Y=2.5" + e + "Z=3" + e);
  }
}

// Rewrites the file in place (same inode) and sets its modification time.
void Overwrite(const std::string& path, const std::string& content, const timespec& mtime) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
  }
  timespec times[2] = {mtime, mtime};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST_F(Profile, CacheSeesChangesBehindOurBack) {
  dir.Write("tsm.ini", "[S]\nX=1\n");
  ASSERT_EQ(GetPrivateProfileIntA("S", "X", 0, ini.c_str()), 1);
  // Same size, different modification time.
  Overwrite(ini, "[S]\nX=2\n", timespec{1000000, 0});
  EXPECT_EQ(GetPrivateProfileIntA("S", "X", 0, ini.c_str()), 2);
  // Same modification time, different size.
  Overwrite(ini, "[S]\nX=33\n", timespec{1000000, 0});
  EXPECT_EQ(GetPrivateProfileIntA("S", "X", 0, ini.c_str()), 33);
  // Replaced by another file (new inode) and then removed.
  const std::string other = dir.Write("other.ini", "[S]\nX=44\n");
  std::filesystem::rename(other, ini);
  EXPECT_EQ(GetPrivateProfileIntA("S", "X", 0, ini.c_str()), 44);
  std::filesystem::remove(ini);
  EXPECT_EQ(GetPrivateProfileIntA("S", "X", 5, ini.c_str()), 5);
  // A write after an outside change keeps the outside change.
  dir.Write("tsm.ini", "[S]\nX=6\nOutside=1\n");
  ASSERT_TRUE(WritePrivateProfileStringA("S", "X", "7", ini.c_str()));
  EXPECT_EQ(TempDir::Read(ini), "[S]\nX=7\nOutside=1\n");
}

TEST_F(Profile, CacheOffGivesTheSameResults) {
  ProfileCacheEnable(false);
  ASSERT_TRUE(WritePrivateProfileStringA("S", "X", "1", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("S", "Y", "2", ini.c_str()));
  EXPECT_EQ(GetPrivateProfileIntA("S", "X", 0, ini.c_str()), 1);
  EXPECT_EQ(GetPrivateProfileIntA("S", "Y", 0, ini.c_str()), 2);
  EXPECT_EQ(TempDir::Read(ini), "[S]\r\nX=1\r\nY=2\r\n");
}

TEST_F(Profile, BatchDefersWritesUntilTheOutermostCloses) {
  dir.Write("tsm.ini", "[S]\nOld=1\n");
  {
    ProfileBatch outer;
    ASSERT_TRUE(WritePrivateProfileStringA("S", "A", "1", ini.c_str()));
    {
      ProfileBatch inner;
      ASSERT_TRUE(WritePrivateProfileStringA("S", "B", "2", ini.c_str()));
    }
    // Nothing on disk yet, but reads see the new values.
    EXPECT_EQ(TempDir::Read(ini), "[S]\nOld=1\n");
    EXPECT_EQ(GetPrivateProfileIntA("S", "B", 0, ini.c_str()), 2);
  }
  EXPECT_EQ(TempDir::Read(ini), "[S]\nOld=1\nA=1\nB=2\n");
  // Commit tells whether the files could be written.
  const std::string bad = dir.File("no-such-folder/x.ini");
  ProfileBatch batch;
  EXPECT_TRUE(WritePrivateProfileStringA("S", "A", "1", bad.c_str()));
  EXPECT_FALSE(batch.Commit());
  EXPECT_EQ(GetPrivateProfileIntA("S", "A", 9, bad.c_str()), 9);  // the change is dropped
  EXPECT_TRUE(batch.Commit());                                    // already closed
}

TEST_F(Profile, UnwritableTargetsFailAndChangeNothing) {
  const std::string bad = dir.File("no-such-folder/x.ini");
  EXPECT_FALSE(WritePrivateProfileStringA("S", "A", "1", bad.c_str()));
  EXPECT_EQ(GetPrivateProfileIntA("S", "A", 9, bad.c_str()), 9);
  // A folder where the file should be: it can be neither read nor replaced.
  std::filesystem::create_directory(dir.File("folder.ini"));
  const std::string folder = dir.File("folder.ini");
  EXPECT_FALSE(WritePrivateProfileStringA("S", "A", "1", folder.c_str()));
  EXPECT_TRUE(std::filesystem::is_directory(folder));
}

// Lowers the process's file-size limit and ignores SIGXFSZ, so a write past
// the limit fails with EFBIG like a full disk (root ignores permissions, not
// this limit). Both are restored when the scope ends.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit lim = old_;
    lim.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lim);
    struct sigaction ign {};
    ign.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ign, &oldAction_);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::sigaction(SIGXFSZ, &oldAction_, nullptr);
  }

 private:
  rlimit old_{};
  struct sigaction oldAction_ {};
};

TEST_F(Profile, FailedReplaceKeepsTheOldFile) {
  const std::string before = "; keep me\r\n[S]\r\nX=1\r\n";
  dir.Write("tsm.ini", before);
  const std::string big(8192, 'v');
  bool ok = true;
  {
    FileSizeLimit limit(4096);
    ok = WritePrivateProfileStringA("S", "Big", big.c_str(), ini.c_str());
  }
  EXPECT_FALSE(ok);
  EXPECT_EQ(TempDir::Read(ini), before);
  EXPECT_EQ(ReadProfileString("S", "Big", "none", ini), "none");
  // No half-written temporary file is left beside it.
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
  // The same through a batch.
  {
    FileSizeLimit limit(4096);
    ProfileBatch batch;
    ASSERT_TRUE(WritePrivateProfileStringA("S", "Big", big.c_str(), ini.c_str()));
    ok = batch.Commit();
  }
  EXPECT_FALSE(ok);
  EXPECT_EQ(TempDir::Read(ini), before);
  // And a later write that fits works again.
  EXPECT_TRUE(WritePrivateProfileStringA("S", "Y", "2", ini.c_str()));
  EXPECT_EQ(TempDir::Read(ini), "; keep me\r\n[S]\r\nX=1\r\nY=2\r\n");
}

TEST_F(Profile, ReplaceKeepsTheFileMode) {
  dir.Write("tsm.ini", "[S]\nX=1\n");
  ASSERT_EQ(::chmod(ini.c_str(), 0640), 0);
  ASSERT_TRUE(WritePrivateProfileStringA("S", "X", "2", ini.c_str()));
  struct stat st {};
  ASSERT_EQ(::stat(ini.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// A FIFO would block every read of the settings, /dev/zero grow the memory
// for ever: neither is read, both give the defaults and refuse writes (and
// stay what they are).
TEST_F(Profile, AFifoOrADeviceReadsAsDefaultsAndIsNotReplaced) {
  const std::string fifo = dir.File("pipe.ini");
  tsm::testing::MakeFifo(fifo);
  const std::string zero = dir.File("zero.ini");
  ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
  for (const std::string& path : {fifo, zero}) {
    SCOPED_TRACE(path);
    int value = 0;
    EXPECT_TRUE(tsm::testing::ReturnsWithin(
        std::chrono::seconds(10), [&] { value = GetPrivateProfileIntA("S", "A", 7, path.c_str()); },
        [&] { tsm::testing::UnblockFifo(fifo); }));
    EXPECT_EQ(value, 7);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "A", "1", path.c_str()));
  }
  struct stat st {};
  ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(::lstat(zero.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(Profile, TheCacheKeepsOnlyTheFilesUsedLast) {
  dir.Write("tsm.ini", "[S]\nA=1\n");
  EXPECT_EQ(GetPrivateProfileIntA("S", "A", 0, ini.c_str()), 1);
  // Every file name asked for once, as a dialog's browsing or many opened
  // data files do.
  for (int i = 0; i < 1000; ++i) {
    const std::string name = dir.File("missing" + std::to_string(i) + ".ini");
    EXPECT_EQ(GetPrivateProfileIntA("S", "A", 5, name.c_str()), 5);
    EXPECT_LE(ProfileCachedFiles(), 16u);
  }
  // A file dropped from the cache reads as before; one held by an open batch
  // keeps its unwritten changes however many files are read meanwhile.
  EXPECT_EQ(GetPrivateProfileIntA("S", "A", 0, ini.c_str()), 1);
  {
    ProfileBatch batch;
    ASSERT_TRUE(WritePrivateProfileStringA("S", "B", "2", ini.c_str()));
    for (int i = 0; i < 100; ++i)
      GetPrivateProfileIntA("S", "A", 5, dir.File("other" + std::to_string(i) + ".ini").c_str());
    EXPECT_EQ(GetPrivateProfileIntA("S", "B", 0, ini.c_str()), 2);
  }
  EXPECT_EQ(TempDir::Read(ini), "[S]\nA=1\nB=2\n");
}

}  // namespace
}  // namespace tsm::platform
