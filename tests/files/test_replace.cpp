// The pair replacement of a save: a process killed at any step of it leaves
// the whole old or the whole new pair for the next Open, the next Save
// clears what crashed saves left (also those of the earlier version), and
// paths near the system's limits save as they open.
#include "files/replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "files/fileio.h"
#include "tests/files/files_fixture.h"

namespace tsm::files {
namespace {

using curves::CurrentFamily;
using testing::AddCurve;
using tsm::testing::TempDir;

struct Pair {
  std::string data, companion;
  bool operator==(const Pair&) const = default;
};

int killAt = -1;
int stepsSeen = 0;
void CountOrKill(const char*) {
  if (stepsSeen++ == killAt) ::_exit(0);  // a kill: nothing after this step runs
}

class ReplaceTest : public testing::FilesTest {
 protected:
  ~ReplaceTest() override { SetReplaceStepHook(nullptr); }

  static void OldFamily() {
    CurrentFamily().Clear();
    AddCurve(CurrentFamily(), "old", {{1, 2}, {3, 4}});
  }
  // Another shape: a mix of the two pairs does not read back cleanly.
  static void NewFamily() {
    CurrentFamily().Clear();
    AddCurve(CurrentFamily(), "a", {{1, 1}, {2, 2}, {3, 3}});
    AddCurve(CurrentFamily(), "b", {{5, 6}});
    AddCurve(CurrentFamily(), "c", {{7, 8}, {9, 10}});
  }
  Pair Saved(void (*family)(), const std::string& path) {
    family();
    EXPECT_EQ(SaveDataFile(path), kFileOk);
    return {TempDir::Read(path), TempDir::Read(CompanionFileName(path))};
  }
  Pair OnDisk() const { return {TempDir::Read(dat), TempDir::Read(ini)}; }
  void Put(const Pair& pair) const {
    dir.Write("run.dat", pair.data);
    dir.Write("run.ini", pair.companion);
  }
  std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
      names.insert(e.path().filename().string());
    return names;
  }
  void Empty() const {
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
      std::filesystem::remove(e.path());
  }

  std::string dat = dir.File("run.dat");
  std::string ini = dir.File("run.ini");
};

TEST_F(ReplaceTest, AKillAtAnyStepLeavesTheWholeOldOrTheWholeNewPair) {
  const Pair oldPair = Saved(OldFamily, dat);
  const Pair newPair = Saved(NewFamily, dat);
  ASSERT_NE(oldPair.data, newPair.data);
  ASSERT_NE(oldPair.companion, newPair.companion);

  Empty();
  Put(oldPair);
  killAt = -1;
  stepsSeen = 0;
  SetReplaceStepHook(&CountOrKill);
  NewFamily();
  ASSERT_EQ(SaveDataFile(dat), kFileOk);
  const int steps = stepsSeen;
  ASSERT_GE(steps, 5);  // companion, create, commit and the two moves

  bool sawOld = false, sawNew = false;
  for (int k = 0; k < steps; ++k) {
    SCOPED_TRACE("killed before step " + std::to_string(k));
    Empty();
    Put(oldPair);
    killAt = k;
    stepsSeen = 0;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      NewFamily();
      SaveDataFile(dat);
      ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // The next Open finds one whole pair and reads it without a message.
    SetReplaceStepHook(nullptr);
    ui->Clear();
    ASSERT_EQ(LoadDataFile(dat, false), kFileOk);
    EXPECT_TRUE(ui->MessageBoxes().empty());
    const Pair found = OnDisk();
    EXPECT_TRUE(found == oldPair || found == newPair);
    sawOld |= found == oldPair;
    sawNew |= found == newPair;
    EXPECT_EQ(CurrentFamily().Count(), found == oldPair ? 1u : 3u);

    // The next Save leaves nothing beside the pair.
    NewFamily();
    ASSERT_EQ(SaveDataFile(dat), kFileOk);
    EXPECT_EQ(Listing(), (std::set<std::string>{"run.dat", "run.ini"}));
    EXPECT_EQ(OnDisk(), newPair);
    SetReplaceStepHook(&CountOrKill);
  }
  EXPECT_TRUE(sawOld);  // killed before the commit
  EXPECT_TRUE(sawNew);  // killed after it
}

TEST_F(ReplaceTest, TheNextSaveRemovesWhatCrashedSavesLeftAndNothingElse) {
  const Pair oldPair = Saved(OldFamily, dat);
  for (const char* leftover :
       {"run.dat.tsm-tmp", "run.ini.tsm-new", "run.dat.tsm-Ab12Cd", "run.ini.tsm-new.tsm-Qw56Er",
        // what the earlier version left: mkstemp names, its profile's
        // temporary files and the second name of the old data file
        "run.ini.tsm-new.tmp-Xy34Zw"})
    dir.Write(leftover, std::string(1000, 'x'));
  ASSERT_EQ(::link(dat.c_str(), (dat + ".tsm-old").c_str()), 0);
  for (const char* mine : {"run.dat.tsm-notes", "other.dat.tsm-tmp", "run.dat.bak"})
    dir.Write(mine, "keep me");

  NewFamily();
  ASSERT_EQ(SaveDataFile(dat), kFileOk);
  EXPECT_EQ(Listing(), (std::set<std::string>{"run.dat", "run.ini", "run.dat.tsm-notes",
                                              "other.dat.tsm-tmp", "run.dat.bak"}));
  ASSERT_EQ(LoadDataFile(dat, false), kFileOk);
  EXPECT_EQ(CurrentFamily().Count(), 3u);
}

// What the earlier version left when killed between its two renames: the
// new data file in place, the old companion, the new companion beside it and
// a second name of the old data file.
TEST_F(ReplaceTest, OpenFinishesAReplacementTheEarlierVersionLeftHalfDone) {
  const Pair oldPair = Saved(OldFamily, dat);
  const Pair newPair = Saved(NewFamily, dat);
  Empty();
  dir.Write("run.dat", newPair.data);
  dir.Write("run.dat.tsm-old", oldPair.data);
  dir.Write("run.ini", oldPair.companion);
  dir.Write("run.ini.tsm-new", newPair.companion);
  ASSERT_EQ(LoadDataFile(dat, false), kFileOk);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  EXPECT_EQ(CurrentFamily().Count(), 3u);
  EXPECT_EQ(OnDisk(), newPair);
  EXPECT_EQ(Listing(), (std::set<std::string>{"run.dat", "run.ini"}));

  // Killed before its first rename: the second name is the data file itself.
  Empty();
  Put(oldPair);
  dir.Write("run.ini.tsm-new", newPair.companion);
  ASSERT_EQ(::link(dat.c_str(), (dat + ".tsm-old").c_str()), 0);
  ASSERT_EQ(LoadDataFile(dat, false), kFileOk);
  EXPECT_EQ(CurrentFamily().Count(), 1u);
  EXPECT_EQ(OnDisk(), oldPair);
  EXPECT_EQ(Listing(), (std::set<std::string>{"run.dat", "run.ini"}));
}

TEST_F(ReplaceTest, ASaveCommittedUnderAnotherCaseOfDatIsFinishedOnTheNextOpenOfAnyExtension) {
  // run.DAT and run.TQD share run.ini; the committed data file keeps the
  // extension it was saved with.
  const Pair newPair = Saved(NewFamily, dir.File("run.DAT"));
  Empty();
  Saved(OldFamily, dat);
  std::filesystem::remove(dat);
  dir.Write("run.ini.tsm-new", newPair.companion);
  dir.Write("run.ini.tsm-data.DAT", newPair.data);
  ASSERT_EQ(LoadDataFile(dir.File("run.TQD"), false), kDataFileError);  // no run.TQD
  EXPECT_EQ(TempDir::Read(dir.File("run.DAT")), newPair.data);
  EXPECT_EQ(TempDir::Read(ini), newPair.companion);
  EXPECT_EQ(Listing(), (std::set<std::string>{"run.DAT", "run.ini"}));
}

TEST_F(ReplaceTest, PathsNearTheSystemsLimitsSaveAsTheyOpen) {
  // A path of 4080 characters: the temporary names are longer.
  std::string folder = dir.Path().string();
  const std::string file = "/run.dat";
  while (folder.size() + file.size() < 4080) {
    const std::size_t room = 4080 - folder.size() - file.size() - 1;
    folder += "/" + std::string(std::min<std::size_t>(room, 200), 'd');
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0) << folder.size();
  }
  const std::string deep = folder + file;
  ASSERT_EQ(deep.size(), 4080u);
  // A file name of 251 characters: the temporary names pass the 255 bytes a
  // name may have.
  const std::string wide = dir.File(std::string(247, 'w') + ".dat");
  for (const std::string& path : {deep, wide}) {
    SCOPED_TRACE(path.size());
    for (void (*family)() : {&OldFamily, &NewFamily}) {
      family();
      ui->Clear();
      ASSERT_EQ(SaveDataFile(path), kFileOk) << (ui->MessageBoxes().empty() ? "" : ui->MessageBoxes()[0].text);
    }
    CurrentFamily().Clear();
    ASSERT_EQ(LoadDataFile(path, false), kFileOk);
    EXPECT_EQ(CurrentFamily().Count(), 3u);
  }
  // Nothing but the pairs is left.
  std::size_t files = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path()))
    files += e.is_regular_file();
  EXPECT_EQ(files, 4u);
}

}  // namespace
}  // namespace tsm::files
