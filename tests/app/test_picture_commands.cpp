// Export and the clipboard: the format from the extension, the size from
// the export dialog, the messages of a refused or failed export, the three
// "Copy as.." items, text columns that read back as the same columns, and
// the batch statement "export".
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "app/batch_script.h"
#include "app/picture_commands.h"
#include "tests/app/picture_fixture.h"

namespace tsm::app {
namespace {

using testing::PictureTest;

TEST(PictureFormats, TheExtensionNamesTheFormat) {
  EXPECT_EQ(PictureFormatOf("/tmp/a.png"), PictureFormat::Png);
  EXPECT_EQ(PictureFormatOf("B.SVG"), PictureFormat::Svg);
  EXPECT_EQ(PictureFormatOf("c.Pdf"), PictureFormat::Pdf);
  EXPECT_EQ(PictureFormatOf("d.jpg"), PictureFormat::Unknown);
  EXPECT_EQ(PictureFormatOf("/tmp/e.png/f"), PictureFormat::Unknown);
  EXPECT_EQ(PictureFormatOf("png"), PictureFormat::Unknown);
}

TEST_F(PictureTest, ExportTakesItsSizeAndFileAndSaysWhatWentWrong) {
  EXPECT_FALSE(ExportPictureFile(dir.File("a.png"), 640, 480));
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, "The plot has no curves:\nthere is nothing to export.");

  FillFamily();
  ui->Clear();
  // The menu item: the size first, then the file.
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.ResourceId(), kExportDialogId);
    d.SetText(1750, "1000");
    d.SetText(1751, "300");
  });
  ui->PushFile(dir.File("plot.svg"));
  EXPECT_EQ(RunCommand(kCmdExportPicture), CommandResult::Done);
  ASSERT_EQ(output.exports.size(), 1u);
  EXPECT_EQ(output.exports[0].path, dir.File("plot.svg"));
  EXPECT_EQ(output.exports[0].format, PictureFormat::Svg);
  EXPECT_EQ(output.exports[0].width, 1000);
  EXPECT_EQ(output.exports[0].height, 300);
  EXPECT_EQ(GetPrintContentsOptions().exportWidth, 1000u);
  // The picture is the plot, with its unit captions.
  EXPECT_NE(std::find(output.exports[0].texts.begin(), output.exports[0].texts.end(), "(mV)"),
            output.exports[0].texts.end());

  // A cancelled chooser exports nothing and says nothing.
  EXPECT_EQ(RunCommand(kCmdExportPicture), CommandResult::Failed);
  EXPECT_EQ(output.exports.size(), 1u);
  EXPECT_TRUE(ui->MessageBoxes().empty());

  EXPECT_FALSE(ExportPictureFile(dir.File("plot.bmp"), 640, 480));
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text,
            "Can not export the picture.\nThe extension .bmp is unknown:\nuse .png, .svg or .pdf.");
  EXPECT_EQ(ui->MessageBoxes()[0].caption, kExportCaption);

  // Sizes beyond what the export dialog allows are refused as well.
  ui->Clear();
  EXPECT_FALSE(ExportPictureFile(dir.File("huge.png"), 20000, 480));
  EXPECT_FALSE(ExportPictureFile(dir.File("tiny.png"), 640, 8));
  EXPECT_EQ(ui->MessageBoxes().size(), 2u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, "A picture is from 16 to 8000 pixels wide and high.");
  EXPECT_EQ(output.exports.size(), 1u);

  ui->Clear();
  output.failWith = "The file could not be written.";
  EXPECT_FALSE(ExportPictureFile("/nowhere/plot.pdf", 640, 480));
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text,
            "Can not export the picture to\n/nowhere/plot.pdf\nThe file could not be written.");
}

// The columns read back: one x and one y column per curve, blank where a
// curve has no point, numbers as the data file writes them.
TEST_F(PictureTest, CopyAsPutsPicturesAndColumnsThatReadBackOnTheClipboard) {
  FillFamily();
  Family().Curve(2).SetSize(5);
  EXPECT_EQ(RunCommand(kCmdCopyImage), CommandResult::Done);
  EXPECT_EQ(RunCommand(kCmdCopySvg), CommandResult::Done);
  ASSERT_EQ(output.copies.size(), 2u);
  EXPECT_EQ(output.copies[0].format, PictureFormat::Png);
  EXPECT_EQ(output.copies[1].format, PictureFormat::Svg);
  EXPECT_EQ(output.copies[0].width, 800);

  ASSERT_EQ(RunCommand(kCmdCopyText), CommandResult::Done);
  std::istringstream in(output.clipboardText);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "IV at 4.2 K x\tIV at 4.2 K y\tIV at 1.5 K x\tIV at 1.5 K y\tIc(H) branch "
                  "x\tIc(H) branch y\r");
  int row = 0;
  while (std::getline(in, line)) {
    ASSERT_EQ(line.back(), '\r');
    line.pop_back();
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      cells.push_back(line.substr(start, tab - start));
    cells.push_back(line.substr(start));
    ASSERT_EQ(cells.size(), 6u) << row;
    for (std::uint32_t c = 0; c < 3; ++c) {
      const curves::Curve& curve = Family().Curve(c);
      if (static_cast<std::uint32_t>(row) >= curve.Count()) {
        EXPECT_EQ(cells[2 * c].find_first_not_of(' '), std::string::npos);
        continue;
      }
      EXPECT_FLOAT_EQ(std::strtof(cells[2 * c].c_str(), nullptr), curve.Point(row).x);
      EXPECT_FLOAT_EQ(std::strtof(cells[2 * c + 1].c_str(), nullptr), curve.Point(row).y);
    }
    ++row;
  }
  EXPECT_EQ(row, 21);
}

TEST(BatchExport, TheStatementTakesAPathAndMaybeASize) {
  ParsedScript s = ParseBatchScript("export out.png\nexport \"my plot.svg\" 640 480\n");
  ASSERT_TRUE(s.errors.empty()) << s.errors[0];
  ASSERT_EQ(s.statements.size(), 2u);
  EXPECT_EQ(s.statements[0].kind, Statement::Kind::Export);
  EXPECT_EQ(s.statements[0].text, "out.png");
  EXPECT_TRUE(s.statements[0].numbers.empty());
  EXPECT_EQ(s.statements[1].text, "my plot.svg");
  EXPECT_EQ(s.statements[1].numbers, (std::vector<double>{640, 480}));

  for (const char* wrong : {"export", "export a.png 640", "export a.png 0 480",
                            "export a.png 64.5 480", "export a.png 640 480 1"}) {
    s = ParseBatchScript(wrong);
    EXPECT_EQ(s.errors.size(), 1u) << wrong;
  }
}

}  // namespace
}  // namespace tsm::app
