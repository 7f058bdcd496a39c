#include "files/commands.h"

#include <gtest/gtest.h>

#include "curves/undo.h"
#include "files/fileio.h"
#include "tests/files/files_fixture.h"

namespace tsm::files {
namespace {

using curves::CurrentFamily;
using platform::FileDialogRequest;
using platform::FileDialogResult;
using platform::IDCANCEL;
using platform::IDNO;
using platform::IDYES;
using testing::AddCurve;
using testing::FilesTest;

// Keeps the requests the chooser got.
class ChooserUi : public platform::HeadlessUi {
 public:
  FileDialogResult GetOpenFileName(const FileDialogRequest& request) override {
    requests.push_back(request);
    return HeadlessUi::GetOpenFileName(request);
  }
  FileDialogResult GetSaveFileName(const FileDialogRequest& request) override {
    requests.push_back(request);
    return HeadlessUi::GetSaveFileName(request);
  }
  std::vector<FileDialogRequest> requests;
};

class CommandsTest : public FilesTest {
 protected:
  CommandsTest() {
    platform::SetUi(&chooser);
    SetTitleHook([this](const std::string& t) { titles.push_back(t); });
    SetRedrawHook([this] { ++redraws; });
    dir.Write("a.ini", "[Picture Info]\nTSM_Version=3.32\nGraphName=A\nNumberOfCurves=1\n"
                       "NumberOfPointsInCurve0=1\nNameOfCurve0=a\n");
    dir.Write("a.dat", "1 2\n");
    dir.Write("b.ini", "[Picture Info]\nTSM_Version=3.32\nGraphName=B\nNumberOfCurves=1\n"
                       "NumberOfPointsInCurve0=1\nNameOfCurve0=b\n");
    dir.Write("b.dat", "3 4\n");
  }
  ~CommandsTest() override { platform::SetUi(&*ui); }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const auto& c : chooser.MessageBoxes()) out.push_back(c.text);
    return out;
  }

  ChooserUi chooser;
  std::vector<std::string> titles;
  int redraws = 0;
};

TEST_F(CommandsTest, OpenAskesTheChooserLoadsAndRemembersTheDirectory) {
  chooser.PushFile(dir.File("a.dat"));
  shell::SetDataSaved(false);
  EXPECT_EQ(OpenDataFileDialog(false), kFileOk);
  ASSERT_EQ(chooser.requests.size(), 1u);
  const FileDialogRequest& r = chooser.requests[0];
  EXPECT_EQ(r.title, "");
  EXPECT_EQ(r.defaultExtension, "dat");
  EXPECT_EQ(r.flags, platform::OFN_PATHMUSTEXIST | platform::OFN_FILEMUSTEXIST |
                         platform::OFN_HIDEREADONLY);
  ASSERT_EQ(r.filters.size(), 3u);
  EXPECT_EQ(r.filters[0].description, "ASCII data files (*.dat)");
  EXPECT_EQ(r.filters[1].pattern, "*.dxb");
  EXPECT_EQ(r.filters[2].description, "All files (*.*)");
  EXPECT_STREQ(CurrentFamily().GraphName(), "A");
  EXPECT_TRUE(shell::DataSaved());
  EXPECT_EQ(titles, std::vector<std::string>{"Tesmira -- " + dir.File("a.dat")});
  EXPECT_EQ(redraws, 1);

  chooser.PushFile(dir.File("b.dat"));
  EXPECT_EQ(OpenDataFileDialog(true), kFileOk);
  EXPECT_EQ(chooser.requests[1].title, "Add");
  EXPECT_EQ(chooser.requests[1].initialDirectory, dir.Path().string() + "/");
  EXPECT_EQ(CurrentFamily().Count(), 2u);
  EXPECT_STREQ(CurrentFamily().GraphName(), "A");
  EXPECT_FALSE(shell::DataSaved());
  EXPECT_EQ(titles.size(), 1u);
  // The undo copy holds the family before the Add.
  ASSERT_TRUE(curves::Undo());
  EXPECT_EQ(CurrentFamily().Count(), 1u);
}

TEST_F(CommandsTest, ACancelledOrFailedChooserLoadsNothing) {
  EXPECT_EQ(OpenDataFileDialog(false), kNothingChosen);
  EXPECT_TRUE(chooser.MessageBoxes().empty());
  chooser.PushFile(FileDialogResult{false, "", 0x3002});
  EXPECT_EQ(OpenDataFileDialog(false), kNothingChosen);
  ASSERT_EQ(chooser.MessageBoxes().size(), 1u);
  EXPECT_EQ(chooser.MessageBoxes()[0].caption, "CommDlg");
}

TEST_F(CommandsTest, RefusingToGoOnWithoutUndoLoadsNothing) {
  AddCurve(CurrentFamily(), "kept", {{1, 1}});
  curves::SetAllocationHook([](std::size_t) { return true; });
  chooser.PushFile(dir.File("a.dat"));
  chooser.PushAnswer(IDNO);
  EXPECT_EQ(OpenDataFileDialog(false), kNothingChosen);
  curves::SetAllocationHook(nullptr);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{curves::kUndoMemoryQuestion});
  EXPECT_STREQ(CurrentFamily().Curve(0).Name(), "kept");
  EXPECT_TRUE(GetFilesState().openDirectory.empty());
}

TEST_F(CommandsTest, SaveAsUsesTheDirectoryOfTheLoadedFile) {
  chooser.PushFile(dir.File("a.dat"));
  OpenDataFileDialog(false);
  shell::SetDataSaved(false);
  chooser.PushFile(dir.File("c.dat"));
  EXPECT_TRUE(SaveAsDialog());
  const FileDialogRequest& r = chooser.requests.back();
  EXPECT_EQ(r.title, "Save As");
  EXPECT_EQ(r.initialDirectory, dir.Path().string() + "/");
  EXPECT_EQ(r.flags, platform::OFN_OVERWRITEPROMPT | platform::OFN_PATHMUSTEXIST |
                         platform::OFN_HIDEREADONLY);
  ASSERT_EQ(r.filters.size(), 2u);
  EXPECT_EQ(r.filters[0].description, "ASCII data file (*.dat)");
  EXPECT_TRUE(shell::DataSaved());
  EXPECT_EQ(titles.back(), "Tesmira -- " + dir.File("c.dat"));
  EXPECT_FALSE(SaveAsDialog());  // cancelled
}

TEST_F(CommandsTest, ConfirmDiscardAsksOnlyAboutUnsavedData) {
  shell::SetDataSaved(true);
  EXPECT_TRUE(ConfirmDiscard());
  EXPECT_TRUE(chooser.MessageBoxes().empty());

  AddCurve(CurrentFamily(), "c", {{1, 1}});
  shell::SetDataSaved(false);
  chooser.PushAnswer(IDNO);
  EXPECT_TRUE(ConfirmDiscard());
  chooser.PushAnswer(IDCANCEL);
  EXPECT_FALSE(ConfirmDiscard());
  chooser.PushAnswer(IDYES);  // then the Save As chooser is cancelled
  EXPECT_FALSE(ConfirmDiscard());
  chooser.PushAnswer(IDYES);
  chooser.PushFile(dir.File("saved.dat"));
  EXPECT_TRUE(ConfirmDiscard());
  EXPECT_TRUE(shell::DataSaved());
  const auto boxes = chooser.MessageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].text, "You have unsaved data!\nWould you like to save them now?");
  EXPECT_EQ(boxes[0].caption, "Tesmira");
  EXPECT_EQ(boxes[0].type, platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
}

TEST_F(CommandsTest, CommandLineFilesReplaceThenAdd) {
  AddCurve(CurrentFamily(), "before", {{0, 0}});
  shell::SetDataSaved(false);
  LoadCommandLineFiles({dir.File("a.dat"), dir.File("b.dat")});
  ASSERT_EQ(CurrentFamily().Count(), 2u);
  EXPECT_STREQ(CurrentFamily().Curve(0).Name(), "a");
  EXPECT_STREQ(CurrentFamily().Curve(1).Name(), "b");
  EXPECT_STREQ(CurrentFamily().GraphName(), "A");
  EXPECT_TRUE(shell::DataSaved());
  EXPECT_EQ(GetFilesState().currentFileName, dir.File("a.dat"));
}

}  // namespace
}  // namespace tsm::files
