// The Picture Info window's model: its fields, edits that reach the family,
// mark the data unsaved and travel in the companion file, dates and times
// read back from their texts, refusals, renaming a curve with its undo
// copy, and the legend drawn inside the plot.
#include <gtest/gtest.h>

#include "curves/undo.h"
#include "files/fileio.h"
#include "plot/draw.h"
#include "plot/legend.h"
#include "plot/recording_canvas.h"
#include "app/picture_info.h"
#include "tests/app/commands_fixture.h"

namespace tsm::app {
namespace {

using testing::CommandsTest;

class PictureInfoTest : public CommandsTest {
 protected:
  PictureInfoTest() {
    Family().SetCount(2);
    for (int i = 0; i < 5; ++i) {
      Family().Curve(0).Append(i, i);
      Family().Curve(1).Append(i, 2 * i);
    }
    Family().Curve(0).SetName("up");
    Family().Curve(1).SetName("steeper");
    shell::SetDataSaved(true);
  }
};

TEST(PictureDates, DatesReadBackFromTheirText) {
  for (std::uint32_t t : {1u, 86400u * 365 * 30 + 12345, 2000000000u}) {
    std::uint32_t back = 0;
    ASSERT_TRUE(ParseDateText(DateText(t), back)) << DateText(t);
    EXPECT_EQ(back, t);
  }
  std::uint32_t v = 7;
  EXPECT_TRUE(ParseDateText("", v));
  EXPECT_EQ(v, 0u);
  EXPECT_TRUE(ParseDateText(" unknown ", v));
  EXPECT_TRUE(ParseDateText("7-dec-2026", v));
  EXPECT_EQ(DateText(v), "7-Dec-2026 00:00:00");
  for (const char* bad : {"31-Feb-2026", "7-Dez-2026", "7-Dec-2026 25:00:00", "7-Dec-1969",
                          "7-Dec-2026 12:00", "7-Dec-2026 12:00:00 x", "tomorrow"})
    EXPECT_FALSE(ParseDateText(bad, v)) << bad;
}

TEST_F(PictureInfoTest, EditsReachTheFamilyAndTheCompanionFile) {
  const PictureInfo before = PictureInfoOf(Family());
  ASSERT_EQ(before.fields.size(), kPictureFields.size());
  EXPECT_EQ(before.fields[0].first, "Graph:");
  EXPECT_EQ(before.fields[7], (std::pair<std::string, std::string>{"Time spent:", "unknown"}));
  ASSERT_EQ(before.legend.size(), 2u);
  EXPECT_EQ(before.legend[1].name, "steeper");
  EXPECT_EQ(before.legend[1].points, 5u);
  EXPECT_EQ(before.legend[1].style, plot::GetPlotState().styles[1]);

  const int draws = window.DrawCount();
  EXPECT_EQ(EditPictureField(PictureField::GraphName, "SQUID 3"), EditResult::Changed);
  EXPECT_FALSE(shell::DataSaved());
  EXPECT_GT(window.DrawCount(), draws);  // the unit captions may have changed
  shell::SetDataSaved(true);
  EXPECT_EQ(EditPictureField(PictureField::GraphName, "SQUID 3"), EditResult::Unchanged);
  EXPECT_TRUE(shell::DataSaved());

  EXPECT_EQ(EditPictureField(PictureField::UnitX, "mA"), EditResult::Changed);
  EXPECT_EQ(EditPictureField(PictureField::UnitY, "a unit far too long"), EditResult::Changed);
  EXPECT_STREQ(Family().UnitY(), "a unit far too ");  // 15 characters
  EXPECT_EQ(EditPictureField(PictureField::Designer, "Ada"), EditResult::Changed);
  EXPECT_EQ(EditPictureField(PictureField::ChipName, "C12"), EditResult::Changed);
  EXPECT_EQ(EditPictureField(PictureField::CircuitName, "rf SQUID"), EditResult::Changed);
  EXPECT_EQ(EditPictureField(PictureField::Comment, "cooled twice\nno trapped flux"),
            EditResult::Changed);
  EXPECT_STREQ(Family().Comment(), "cooled twice\r\nno trapped flux");
  EXPECT_EQ(EditPictureField(PictureField::DateTime, "7-Dec-2026 14:05:09"), EditResult::Changed);
  EXPECT_EQ(PictureFieldText(Family(), PictureField::DateTime), "7-Dec-2026 14:05:09");
  EXPECT_EQ(EditPictureField(PictureField::TimeSpent, "12.5 s"), EditResult::Changed);
  EXPECT_EQ(PictureFieldText(Family(), PictureField::TimeSpent), "12.500 s");
  EXPECT_TRUE(ui->MessageBoxes().empty());

  // What cannot be read is refused and told; the family keeps its value.
  for (auto [field, text, message] :
       {std::tuple{PictureField::DateTime, "yesterday", kBadDateText},
        std::tuple{PictureField::TimeSpent, "-3", kBadTimeSpentText},
        std::tuple{PictureField::TimeSpent, "12 min", kBadTimeSpentText}}) {
    ui->Clear();
    EXPECT_EQ(EditPictureField(field, text), EditResult::Refused) << text;
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_EQ(ui->MessageBoxes()[0].text, message);
    EXPECT_EQ(ui->MessageBoxes()[0].caption, kPictureInfoCaption);
  }
  EXPECT_EQ(Family().TimeSpent(), 12.5f);
  EXPECT_EQ(EditPictureField(PictureField::TimeSpent, ""), EditResult::Changed);
  EXPECT_EQ(Family().TimeSpent(), curves::kTimeSpentUnknown);

  // The next save carries the edits in the companion file.
  const std::string path = dir.File("edited.dat");
  ASSERT_EQ(files::SaveDataFile(path), files::kFileOk);
  const std::string ini = dir.Read(dir.File("edited.ini"));
  for (const char* line : {"GraphName=SQUID 3", "Designer=Ada", "ChipName=C12",
                           "CircuitName=rf SQUID", "Comment0=cooled twice",
                           "Comment1=no trapped flux", "UnitX=mA"})
    EXPECT_NE(ini.find(line), std::string::npos) << line;
  curves::ResetCurvesState();
  ASSERT_EQ(files::LoadDataFile(path, false), files::kFileOk);
  EXPECT_STREQ(Family().CircuitName(), "rf SQUID");
  EXPECT_EQ(PictureFieldText(Family(), PictureField::DateTime), "7-Dec-2026 14:05:09");
}

TEST_F(PictureInfoTest, RenamingACurveTakesTheUndoCopyAndNothingIsEditedWhileMeasuring) {
  EXPECT_EQ(RenameCurve(1, "steepest"), EditResult::Changed);
  EXPECT_STREQ(Family().Curve(1).Name(), "steepest");
  EXPECT_FALSE(shell::DataSaved());
  EXPECT_EQ(RenameCurve(1, "steepest"), EditResult::Unchanged);
  EXPECT_EQ(RenameCurve(2, "none"), EditResult::Refused);
  ASSERT_EQ(RunCommand(kCmdUndo), CommandResult::Done);
  EXPECT_STREQ(Family().Curve(1).Name(), "steeper");

  curves::SetPlotShowsUndo(true);
  EXPECT_FALSE(PictureInfoEditable());
  EXPECT_EQ(RenameCurve(0, "x"), EditResult::Refused);
  EXPECT_EQ(EditPictureField(PictureField::GraphName, "x"), EditResult::Refused);
  curves::SetPlotShowsUndo(false);
  EXPECT_STREQ(Family().GraphName(), "");
}

TEST_F(PictureInfoTest, TheLegendGoesInsideThePlotWhenAsked) {
  plot::RecordingCanvas canvas(800, 600);
  plot::PlotView view;
  plot::Draw(canvas, plot::CanvasRect{0, 0, 800, 600}, Family(), view);
  EXPECT_FALSE(canvas.FindText("steeper"));

  SetLegendInPlot(true);
  canvas.Clear();
  plot::Draw(canvas, plot::CanvasRect{0, 0, 800, 600}, Family(), view);
  const auto name = canvas.FindText("steeper");
  ASSERT_TRUE(name);
  // In the top right corner of the frame.
  EXPECT_GT(name->rect.left, view.originX + view.frameWidth / 2);
  EXPECT_LT(name->rect.bottom, view.originY - view.frameHeight / 2);
  // The sample of its style: a line in the curve's colour left of the name.
  bool sample = false;
  for (const plot::RecordedLine& l : canvas.LinesOfColor(plot::GetPlotState().styles[1].color))
    sample = sample || (l.from.y == l.to.y && l.to.x < name->rect.left &&
                        l.from.y > name->rect.top && l.from.y < name->rect.bottom);
  EXPECT_TRUE(sample);
}

TEST_F(PictureInfoTest, ALegendTooLongForTheFrameSaysHowManyAreLeftOut) {
  Family().SetCount(100);
  for (std::uint32_t c = 2; c < 100; ++c) Family().Curve(c).Append(1, 1);
  plot::RecordingCanvas canvas(400, 300);
  canvas.SetTextMetrics(8, 16);
  plot::PlotView view;
  plot::DrawOptions options;
  options.legend = true;
  plot::Draw(canvas, plot::CanvasRect{0, 0, 400, 300}, Family(), view, options);
  // The frame is 300 - 16 - 2 * 11 - 8 = 254 high, 238 inside the legend's
  // gaps: 14 rows of 16, the last saying how many are left out.
  EXPECT_TRUE(canvas.FindText("steeper"));
  EXPECT_TRUE(canvas.FindText("... 87 more"));
}

}  // namespace
}  // namespace tsm::app
