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
#include <bit>
#include <filesystem>
#include <functional>
#include <map>
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

// The hook of the tests: counts the steps, ends the process before step
// `killAt` as a kill would (nothing after it runs), and fails the steps of
// the bits of `failing` as a failing disk would.
int killAt = -1;
unsigned failing = 0;
int stepsSeen = 0;
bool Hook(const char*) {
  const int step = stepsSeen++;
  if (step == killAt) ::_exit(0);
  return step >= 32 || (failing >> step & 1u) == 0;
}
void Arm(int kill, unsigned fail = 0) {
  killAt = kill;
  failing = fail;
  stepsSeen = 0;
  SetReplaceStepHook(&Hook);
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
  // Runs `work` in a child process that is killed before step `kill` (one
  // past the last step: not killed).
  static void InChildKilledAt(int kill, const std::function<void()>& work) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      Arm(kill);
      work();
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  // The steps `work` takes, counted in this process.
  static int StepsOf(const std::function<void()>& work) {
    Arm(-1);
    work();
    SetReplaceStepHook(nullptr);
    return stepsSeen;
  }
  // The next Open finds one whole pair and reads it without a message; the
  // next Save leaves nothing beside the pair. The pair the Open found.
  Pair OpenFindsAWholePairAndSaveCleansUp(const Pair& oldPair, const Pair& newPair) {
    SetReplaceStepHook(nullptr);
    ui->Clear();
    EXPECT_EQ(LoadDataFile(dat, false), kFileOk);
    EXPECT_TRUE(ui->MessageBoxes().empty());
    const Pair found = OnDisk();
    EXPECT_TRUE(found == oldPair || found == newPair);
    EXPECT_EQ(CurrentFamily().Count(), found == oldPair ? 1u : 3u);
    NewFamily();
    EXPECT_EQ(SaveDataFile(dat), kFileOk);
    EXPECT_EQ(Listing(), (std::set<std::string>{"run.dat", "run.ini"}));
    EXPECT_EQ(OnDisk(), newPair);
    return found;
  }

  std::string dat = dir.File("run.dat");
  std::string ini = dir.File("run.ini");
  const std::function<void()> saveNew = [this] {
    NewFamily();
    SaveDataFile(dat);
  };
  const std::function<void()> open = [this] { LoadDataFile(dat, false); };
};

TEST_F(ReplaceTest, AKillAtAnyStepLeavesTheWholeOldOrTheWholeNewPair) {
  const Pair oldPair = Saved(OldFamily, dat);
  const Pair newPair = Saved(NewFamily, dat);
  ASSERT_NE(oldPair.data, newPair.data);
  ASSERT_NE(oldPair.companion, newPair.companion);

  Empty();
  Put(oldPair);
  const int steps = StepsOf(saveNew);
  ASSERT_GE(steps, 5);  // companion, create, commit and the two moves

  bool sawOld = false, sawNew = false;
  for (int k = 0; k < steps; ++k) {
    SCOPED_TRACE("save killed before step " + std::to_string(k));
    Empty();
    Put(oldPair);
    InChildKilledAt(k, saveNew);
    const Pair found = OpenFindsAWholePairAndSaveCleansUp(oldPair, newPair);
    sawOld |= found == oldPair;
    sawNew |= found == newPair;
  }
  EXPECT_TRUE(sawOld);  // killed before the commit
  EXPECT_TRUE(sawNew);  // killed after it
}

// The Open that finishes or undoes a killed save is killed in its turn, at
// every step: the Open after it finds the pair the first one would have.
TEST_F(ReplaceTest, AKillWhileAKilledSaveIsRecoveredChangesNothingOfTheOutcome) {
  const Pair oldPair = Saved(OldFamily, dat);
  const Pair newPair = Saved(NewFamily, dat);
  Empty();
  Put(oldPair);
  const int saveSteps = StepsOf(saveNew);
  int recoveries = 0;
  for (int k = 0; k < saveSteps; ++k) {
    Empty();
    Put(oldPair);
    InChildKilledAt(k, saveNew);
    const auto killed = Listing();
    std::map<std::string, std::string> state;
    for (const std::string& name : killed) state[name] = TempDir::Read(dir.File(name));
    const auto restore = [&] {
      Empty();
      for (const auto& [name, text] : state) dir.Write(name, text);
    };
    const int openSteps = StepsOf(open);
    const Pair expected = OnDisk();
    ASSERT_TRUE(expected == oldPair || expected == newPair);
    for (int j = 0; j < openSteps; ++j) {
      SCOPED_TRACE("save killed before step " + std::to_string(k) + ", its recovery before step " +
                   std::to_string(j));
      ++recoveries;
      restore();
      InChildKilledAt(j, open);
      EXPECT_EQ(OpenFindsAWholePairAndSaveCleansUp(oldPair, newPair), expected);
    }
  }
  EXPECT_GE(recoveries, 3);  // the rolls forward have two renames, a roll back an unlink
}

// A disk that fails any one or two calls of the replacement (a failed move
// is undone by removals that may fail too): a Save that says it saved left
// the new pair; whatever it says, the next Open finds a whole pair and the
// next Save cleans up.
TEST_F(ReplaceTest, CallsThatFailAtAnyStepsLeaveTheWholeOldOrTheWholeNewPair) {
  const Pair oldPair = Saved(OldFamily, dat);
  const Pair newPair = Saved(NewFamily, dat);
  Empty();
  Put(oldPair);
  // The steps of a save that succeeds and the removals of one that undoes.
  const int steps = StepsOf(saveNew) + 2;
  bool failedSaves = false;
  for (unsigned fail = 1; fail < 1u << steps; ++fail)
    if (std::popcount(fail) <= 2) {
      SCOPED_TRACE("failed steps (bits) " + std::to_string(fail));
      Empty();
      Put(oldPair);
      Arm(-1, fail);
      NewFamily();
      ui->Clear();
      const int result = SaveDataFile(dat);
      const bool saved = result == kFileOk;
      failedSaves |= !saved;
      // A Save that failed tells so with its message.
      EXPECT_EQ(ui->MessageBoxes().size(), saved ? 0u : 1u);
      const Pair found = OpenFindsAWholePairAndSaveCleansUp(oldPair, newPair);
      if (saved) {
        EXPECT_EQ(found, newPair);
      }
    }
  EXPECT_TRUE(failedSaves);
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
