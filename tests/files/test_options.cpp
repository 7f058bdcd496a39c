#include "files/options.h"

#include <gtest/gtest.h>

#include "files/fileio.h"
#include "tests/files/files_fixture.h"

namespace tsm::files {
namespace {

using shell::OptionGroupId;
using testing::AddCurve;
using testing::FilesTest;
using tsm::testing::TempDir;

class DataFileOptionsTest : public FilesTest {
 protected:
  DataFileOptionsTest() { RegisterOptionGroups(); }

  // A group that records its calls and keeps one key in its own section.
  void Fake(OptionGroupId id, const std::string& name) {
    shell::RegisterOptionGroup(
        id, shell::OptionGroup{
                name,
                [this, name](const std::string& file) {
                  calls.push_back("load " + name);
                  loaded[name] = platform::ReadProfileString(name, "Value", "", file);
                  return 1;
                },
                [this, name](const std::string& file) {
                  calls.push_back("save " + name);
                  platform::WriteProfileString(name, "Value", "from " + name, file);
                  return 1;
                }});
  }
  static std::size_t IndexOf(OptionGroupId id) {
    for (std::size_t i = 0; i < kEmbeddedGroupCount; ++i)
      if (kEmbeddedGroups[i].id == id) return i;
    return kEmbeddedGroupCount;
  }

  std::vector<std::string> calls;
  std::map<std::string, std::string> loaded;
};

TEST_F(DataFileOptionsTest, GroupKeysWithTheirDefaultsAndTheSwappedFlagNames) {
  const std::string tsm = dir.File("tsm.ini");
  ASSERT_TRUE(shell::IsOptionGroupRegistered(OptionGroupId::DataFile));
  ResetDataFileOptions();
  GetDataFileOptions().saveWithData[IndexOf(OptionGroupId::IVF)] = true;
  GetDataFileOptions().loadWithData[IndexOf(OptionGroupId::IcT)] = true;
  shell::SaveOptionGroup(OptionGroupId::DataFile, tsm);
  auto key = [&](const char* k) { return platform::ReadProfileString("DataFile", k, "?", tsm); };
  EXPECT_EQ(key("ShowOptionsOnSave"), "1");
  EXPECT_EQ(key("ShowOptionsOnLoad"), "1");
  EXPECT_EQ(key("DelimitterID"), "1");
  EXPECT_EQ(key("ColumnWidth"), "12");
  EXPECT_EQ(key("sort"), "1");
  EXPECT_EQ(key("LoadIVFOptions"), "1");  // the write flag
  EXPECT_EQ(key("SaveIVFOptions"), "0");
  EXPECT_EQ(key("SaveIc(T)Options"), "1");  // the read flag
  EXPECT_EQ(key("SaveV_dc(I_ac)Options"), "0");
  EXPECT_EQ(key("LoadTrigger"), "0");

  dir.Write("other.ini",
            "[DataFile]\nColumnWidth=40\nDelimitterID=2\nLoadIc(H)Options=1\nsort=0\n");
  shell::LoadOptionGroup(OptionGroupId::DataFile, dir.File("other.ini"));
  EXPECT_EQ(GetDataFileOptions().columnWidth, 12u);  // out of 6 .. 32: ignored
  EXPECT_EQ(GetDataFileOptions().delimiterId, 2u);
  EXPECT_FALSE(GetDataFileOptions().sort);
  EXPECT_TRUE(GetDataFileOptions().saveWithData[IndexOf(OptionGroupId::IcH)]);
}

TEST_F(DataFileOptionsTest, GroupsTravelWithTheDataInTableOrder) {
  Fake(OptionGroupId::Trigger, "Trigger");
  Fake(OptionGroupId::Averaging, "Averaging");
  Fake(OptionGroupId::IVF, "IVF");
  Fake(OptionGroupId::Delays, "Delays");
  DataFileOptions& o = GetDataFileOptions();
  for (OptionGroupId id : {OptionGroupId::Trigger, OptionGroupId::Averaging, OptionGroupId::IVF})
    o.saveWithData[IndexOf(id)] = true;
  AddCurve(curves::CurrentFamily(), "c", {{1, 2}});
  const std::string dat = dir.File("run.dat"), ini = dir.File("run.ini");
  ASSERT_EQ(SaveDataFile(dat), kFileOk);
  EXPECT_EQ(calls, (std::vector<std::string>{"save Averaging", "save IVF", "save Trigger"}));
  EXPECT_EQ(platform::ReadProfileString("IVF", "Value", "", ini), "from IVF");

  calls.clear();
  o.loadWithData[IndexOf(OptionGroupId::Trigger)] = true;
  o.loadWithData[IndexOf(OptionGroupId::Delays)] = true;
  ASSERT_EQ(LoadDataFile(dat, false), kFileOk);
  EXPECT_EQ(calls, (std::vector<std::string>{"load Delays", "load Trigger"}));
  EXPECT_EQ(loaded["Trigger"], "from Trigger");
  EXPECT_EQ(loaded["Delays"], "");

  // Adding a file takes nothing but its curves.
  calls.clear();
  ASSERT_EQ(LoadDataFile(dat, true), kFileOk);
  EXPECT_TRUE(calls.empty());
}

TEST_F(DataFileOptionsTest, TheDialogEditsTheOptions) {
  ui->PushDialog([](platform::DialogModel& d) {
    d.SetText(1006, "20");
    d.SetCheck(1007, 0);
    d.SetCheck(1003, 0);
    d.SetCheck(1004, 0);
    d.SetCheck(1005, 1);
  });
  EXPECT_EQ(RunDataFileDialog(), 1);
  EXPECT_EQ(GetDataFileOptions().columnWidth, 20u);
  EXPECT_FALSE(GetDataFileOptions().sort);
  EXPECT_EQ(GetDataFileOptions().delimiterId, 2u);
  EXPECT_EQ(ui->CallsOf(platform::UiCall::Kind::Modal)[0].caption, "Data Saving && Loading");

  // A width outside 6 .. 32 is refused and the dialog stays open.
  ui->PushDialog([](platform::DialogModel& d) { d.SetText(1006, "33"); });
  EXPECT_EQ(RunDataFileDialog(), 0);
  EXPECT_EQ(GetDataFileOptions().columnWidth, 20u);
}

}  // namespace
}  // namespace tsm::files
