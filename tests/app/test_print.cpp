// Printing without a printer: where the plot goes on the page, what the
// printed pages hold (plot, picture information, legend, option summaries),
// the separate page, text flowing onto further pages, a monochrome device,
// and the Print, Page Setup and Printing commands with their groups.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/picture_commands.h"
#include "app/print_page.h"
#include "tests/app/picture_fixture.h"

namespace tsm::app {
namespace {

using plot::CanvasCommand;
using plot::CanvasRect;
using testing::PictureTest;
using testing::RecordingPages;

bool Has(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(PrintPage, ThePlotFillsTheAreaLessMarginsAtItsRatio) {
  const CanvasRect page{0, 0, 2480, 3508};  // A4 at 300 dpi
  PrintPageOptions o;                       // 20 mm all round: 236 pixels
  PageGeometry g = PlacePlot(page, 300, 300, o, 0);
  ASSERT_TRUE(g.fits);
  EXPECT_EQ(g.area, (CanvasRect{236, 236, 2244, 3272}));
  EXPECT_EQ(g.plot, (CanvasRect{236, 236, 2244, 236 + 1339}));  // 2008 / 1.5

  // Text under the plot: the plot keeps to what is left, never to less
  // than half the area.
  o.ratioXY = 0;
  g = PlacePlot(page, 300, 300, o, 1000);
  EXPECT_EQ(g.plot.Height(), 3036 - 1000);
  g = PlacePlot(page, 300, 300, o, 3000);
  EXPECT_EQ(g.plot.Height(), 3036 / 2);

  // Too tall for the width: as high as allowed, narrower, centred.
  o.ratioXY = 0.5;
  g = PlacePlot(page, 300, 300, o, 0);
  EXPECT_EQ(g.plot, (CanvasRect{236 + (2008 - 1518) / 2, 236, 236 + (2008 + 1518) / 2, 3272}));

  o.marginLeft = o.marginRight = 120;
  EXPECT_FALSE(PlacePlot(page, 300, 300, o, 0).fits);
}

TEST_F(PictureTest, APageHoldsThePlotTheInformationTheLegendAndTheSummaries) {
  FillFamily();
  const plot::PlotView before = plot::GetPlotView();
  RecordingPages pages;
  ASSERT_EQ(PrintFamily(pages, Family(), GetPrintPageOptions(), GetPrintContentsOptions()), 1);
  const std::vector<std::string> texts = pages.AllTexts();
  for (const char* t : {"Picture Info", "Graph:", "Junction J7", "Designer:", "Ada Lovelace",
                        "Chip:", "Chip 12", "Circuit:", "SQUID", "Comment:", "first line",
                        "second line", "Date:", "unknown", "Legend", "IV at 4.2 K", "IV at 1.5 K",
                        "Ic(H) branch", "General Measurement Options", "in each point", "Delays",
                        "Delay after Sweep1 is set (ms)", "(mV)"})
    EXPECT_TRUE(Has(texts, t)) << t;
  // Everything stays inside the margins.
  for (const CanvasCommand& c : pages.pages[0].CommandsOf(CanvasCommand::Kind::DrawText)) {
    EXPECT_GE(c.rect.left, 236) << c.text;
    EXPECT_LE(c.rect.bottom, 3272) << c.text;
  }
  // The page draws its own range: the screen's view keeps its mapping.
  EXPECT_EQ(plot::GetPlotView().originX, before.originX);
  EXPECT_EQ(plot::GetPlotView().xMax, before.xMax);

  // Without information and legend only the summaries follow the plot.
  GetPrintContentsOptions().printInfo = false;
  GetPrintContentsOptions().printLegend = false;
  GetPrintContentsOptions().summaries.fill(false);
  GetPrintContentsOptions().summaries[2] = true;  // the trigger
  RecordingPages bare;
  ASSERT_EQ(PrintFamily(bare, Family(), GetPrintPageOptions(), GetPrintContentsOptions()), 1);
  EXPECT_FALSE(Has(bare.AllTexts(), "Picture Info"));
  EXPECT_FALSE(Has(bare.AllTexts(), "IV at 4.2 K"));
  EXPECT_TRUE(Has(bare.AllTexts(), "Trigger Options"));
}

TEST_F(PictureTest, SummariesGoOnTheirOwnPageAndLongTextFlowsOn) {
  FillFamily();
  GetPrintContentsOptions().paramsOnSeparatePage = true;
  RecordingPages pages;
  ASSERT_EQ(PrintFamily(pages, Family(), GetPrintPageOptions(), GetPrintContentsOptions()), 2);
  EXPECT_TRUE(Has(pages.pages[0].Texts(), "Legend"));
  EXPECT_FALSE(Has(pages.pages[0].Texts(), "Delays"));
  EXPECT_TRUE(Has(pages.pages[1].Texts(), "Delays"));
  EXPECT_FALSE(Has(pages.pages[1].Texts(), "Legend"));

  // 300 curves: the legend runs over several pages, each row once, no row
  // below the bottom margin, and the legend's title with its first row.
  Family().SetCount(300);
  for (std::uint32_t c = 3; c < 300; ++c) {
    Family().Curve(c).Append(0, static_cast<float>(c));
    Family().Curve(c).SetName(("curve " + std::to_string(c)).c_str());
  }
  RecordingPages many;
  const int n = PrintFamily(many, Family(), GetPrintPageOptions(), GetPrintContentsOptions());
  ASSERT_GE(n, 3);
  const std::vector<std::string> texts = many.AllTexts();
  for (std::uint32_t c = 3; c < 300; ++c)
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "curve " + std::to_string(c)), 1) << c;
  for (const auto& page : many.pages)
    for (const CanvasCommand& c : page.CommandsOf(CanvasCommand::Kind::DrawText))
      EXPECT_LE(c.rect.bottom, 3272) << c.text;
}

// A monochrome printer draws everything black unless colour is enforced;
// nothing else about the page changes.
TEST_F(PictureTest, AMonochromePageDiffersOnlyInColourAsEnforceColorSays) {
  FillFamily();
  auto print = [this](int bpp, bool enforce) {
    GetPrintPageOptions().enforceColor = enforce;
    RecordingPages pages(bpp);
    PrintFamily(pages, Family(), GetPrintPageOptions(), GetPrintContentsOptions());
    return pages.pages.at(0);
  };
  const plot::RecordingCanvas colour = print(32, false);
  const plot::RecordingCanvas black = print(1, false);
  const plot::RecordingCanvas enforced = print(1, true);
  const plot::Color red = plot::GetPlotState().styles[1].color;
  EXPECT_FALSE(colour.LinesOfColor(red).empty());
  EXPECT_FALSE(enforced.LinesOfColor(red).empty());
  EXPECT_TRUE(black.LinesOfColor(red).empty());
  for (const plot::RecordedLine& l : black.Lines()) EXPECT_EQ(l.pen.color, plot::kBlack);

  auto sameButColour = [](const plot::RecordingCanvas& a, const plot::RecordingCanvas& b) {
    ASSERT_EQ(a.Commands().size(), b.Commands().size());
    for (std::size_t i = 0; i < a.Commands().size(); ++i) {
      const CanvasCommand& x = a.Commands()[i];
      const CanvasCommand& y = b.Commands()[i];
      EXPECT_EQ(x.kind, y.kind);
      EXPECT_EQ(x.points, y.points);
      EXPECT_EQ(x.rect, y.rect);
      EXPECT_EQ(x.text, y.text);
      EXPECT_EQ(x.pen.width, y.pen.width);
      EXPECT_EQ(x.pen.style, y.pen.style);
    }
  };
  sameButColour(colour, black);
  sameButColour(colour, enforced);
}

TEST_F(PictureTest, PrintAsksItsOptionsFirstAndTellsWhatWentWrong) {
  // An empty plot has nothing to print.
  EXPECT_EQ(RunCommand(kCmdPrint), CommandResult::Failed);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, "The plot has no curves:\nthere is nothing to print.");
  EXPECT_EQ(output.prints, 0);

  FillFamily();
  ui->Clear();
  // The printing options come first; Cancel there prints nothing.
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.ResourceId(), kPrintingOptionsDialogId);
    EXPECT_EQ(d.Caption(), kPrintingOptionsCaption);
    d.Command(platform::IDCANCEL);
  });
  EXPECT_EQ(RunCommand(kCmdPrint), CommandResult::Failed);
  EXPECT_EQ(output.prints, 0);

  GetPrintPageOptions().pageLayout = kLandscape;
  EXPECT_EQ(RunCommand(kCmdPrint), CommandResult::Done);
  EXPECT_EQ(output.prints, 1);
  EXPECT_TRUE(output.lastRequest.landscape);
  EXPECT_EQ(output.lastRequest.documentName, "Tesmira - Junction J7");
  EXPECT_TRUE(Has(output.printed.AllTexts(), "IV at 1.5 K"));

  GetPrintContentsOptions().showOptionsEveryTime = false;
  ui->Clear();
  output.printResult = OutputResult::Failed;
  output.failWith = "out of paper";
  EXPECT_EQ(RunCommand(kCmdPrint), CommandResult::Failed);
  EXPECT_TRUE(ui->CallsOf(platform::UiCall::Kind::Modal).empty());
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, "The picture could not be printed.\nout of paper");
  EXPECT_EQ(ui->MessageBoxes()[0].caption, kPrintCaption);

  // No output, no printing: the items are greyed.
  SetPictureOutput(nullptr);
  for (int id : {kCmdPrint, kCmdExportPicture, kCmdCopyImage, kCmdCopySvg, kCmdCopyText})
    EXPECT_EQ(RunCommand(id), CommandResult::Greyed) << id;
  EXPECT_EQ(RunCommand(kCmdPageSetup), CommandResult::Done);
}

TEST_F(PictureTest, ThePrintGroupsKeepTheirKeysAndTheLegendOption) {
  GetPrintPageOptions().marginLeft = 12.5;
  GetPrintPageOptions().pageLayout = kLandscape;
  GetPrintPageOptions().enforceColor = true;
  GetPrintContentsOptions().paramsOnSeparatePage = true;
  GetPrintContentsOptions().summaries[9] = true;
  GetPrintContentsOptions().exportWidth = 1024;
  plot::GetPlotState().legendInPlot = true;
  const std::string file = dir.File("print.ini");
  shell::SaveGroup(PrintPageFields(), file);
  shell::SaveGroup(PrintContentsFields(), file);
  const std::string text = dir.Read(file);
  for (const char* key : {"[Print]", "MarginLeft=12.5", "MarginRight=20", "MarginTop=20",
                          "MarginBottom=20", "RatioXY=1.5", "PageLayout=1", "EnforceColor=1",
                          "ShowPrintingOptionsEveryTime=1", "PrintParamsOnSeparatePage=1",
                          "PrintInfo=1", "PrintLegend=1", "LegendInPlot=1",
                          "PrintWaveformOptions=1", "ExportWidth=1024", "ExportHeight=600"})
    EXPECT_NE(text.find(key), std::string::npos) << key;
  ResetPrintOptions();
  EXPECT_FALSE(plot::GetPlotState().legendInPlot);
  shell::LoadGroup(PrintPageFields(), file);
  shell::LoadGroup(PrintContentsFields(), file);
  EXPECT_EQ(GetPrintPageOptions().marginLeft, 12.5);
  EXPECT_EQ(GetPrintPageOptions().pageLayout, kLandscape);
  EXPECT_TRUE(plot::GetPlotState().legendInPlot);
  EXPECT_EQ(GetPrintContentsOptions().exportWidth, 1024u);

  // Page Setup and Printing are the dialogs of the two groups; OK of the
  // latter redraws (the legend in the plot may have changed).
  ui->PushDialog([](platform::DialogModel& d) {
    EXPECT_EQ(d.ResourceId(), kPageSetupDialogId);
    d.SetText(1705, "2");
  });
  EXPECT_EQ(RunCommand(kCmdPageSetup), CommandResult::Done);
  EXPECT_EQ(GetPrintPageOptions().ratioXY, 2.0);
  const int draws = window.DrawCount();
  EXPECT_EQ(RunCommand(kCmdPrintingOptions), CommandResult::Done);
  EXPECT_GT(window.DrawCount(), draws);
}

}  // namespace
}  // namespace tsm::app
