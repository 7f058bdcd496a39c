#include <gtest/gtest.h>

#include "platform/profile.h"
#include "plot/axes.h"
#include "plot/options.h"
#include "plot/style_dialog.h"
#include "plot_fixture.h"
#include "shell/optiongroups.h"
#include "shell/settings.h"

namespace tsm::plot {
namespace {

using platform::DialogModel;
using platform::FontChoice;
using platform::UiCall;
using testing::PlotTest;

class DialogsTest : public PlotTest {
 protected:
  DialogsTest() {
    shell::ResetSettingsState();
    shell::SetSettingsFileName(dir.File("tsm.ini"));
  }
  ~DialogsTest() override {
    shell::ResetSettingsState();
    shell::ResetOptionGroups();
  }
  AxesSettings& Axes() { return GetPlotState().axes; }
  tsm::testing::TempDir dir;
};

TEST_F(DialogsTest, AxesDialogEditsTheNumbersAndRefusesBadOnes) {
  ui->PushDialog([](DialogModel& d) {
    EXPECT_EQ(d.GetText(kGridXControl), "10");
    EXPECT_EQ(d.GetText(kBigTickSizeControl), "30");
    d.SetText(kGridXControl, "1");  // below 2: OK refuses it
    d.Command(platform::IDOK);
    EXPECT_FALSE(d.Ended());
    d.SetText(kGridXControl, "5");
    d.SetText(kBigTickSizeControl, "-20");
    d.SetCheck(kOptimizeGridControl, 1);
  });
  EXPECT_EQ(RunAxesDialog(nullptr), 1);
  EXPECT_EQ(Axes().gridX, 5u);
  EXPECT_EQ(Axes().bigTickSize, -20);
  EXPECT_TRUE(Axes().optimizeGrid);

  ui->PushDialog([](DialogModel& d) {
    d.SetText(kGridYControl, "7");
    d.Command(platform::IDCANCEL);
  });
  EXPECT_EQ(RunAxesDialog(nullptr), 0);
  EXPECT_EQ(Axes().gridY, 10u);
}

TEST_F(DialogsTest, FontAndPenButtonsTakeEffectOnlyOnOk) {
  FontChoice chosen;
  chosen.face = "Times New Roman";
  chosen.pointSize = 12;
  chosen.weight = 700;
  ui->PushFont(chosen);
  ui->PushColor(0x00FF00);
  ui->PushDialog([](DialogModel& d) {
    d.Command(kAxesFontButton);
    d.Command(kGridPenButton);  // runs the pen dialog scripted next
  });
  ui->PushDialog([](DialogModel& pen) {
    EXPECT_EQ(pen.GetCheck(kPenStyleControl + kPenDot), 1) << "the grid pen is dotted";
    pen.SetCheck(kPenStyleControl + kPenDot, 0);
    pen.SetCheck(kPenStyleControl + kPenDash, 1);
    pen.SetText(kPenWidthControl, "3");
    pen.Command(kPenColorButton);
    EXPECT_EQ(pen.GetText(kPenColorSwatch), "0x00FF00");
  });
  EXPECT_EQ(RunAxesDialog(nullptr), 1);
  EXPECT_EQ(Axes().captionFont.face, "Times New Roman");
  EXPECT_EQ(Axes().captionFont.size, 12);
  EXPECT_EQ(Axes().captionFont.weight, 700);
  EXPECT_EQ(Axes().gridLines, (GPen{kPenDash, 3, 0x00FF00}));
  EXPECT_EQ(Axes().axesLines, (GPen{kPenSolid, 1, 0x800000}));

  // The same edits followed by Cancel change nothing.
  ui->PushFont(FontChoice{});
  ui->PushDialog([](DialogModel& d) {
    d.Command(kAxesFontButton);
    d.Command(kAxesPenButton);
    d.Command(platform::IDCANCEL);
  });
  ui->PushDialog([](DialogModel& pen) { pen.SetText(kPenWidthControl, "9"); });
  EXPECT_EQ(RunAxesDialog(nullptr), 0);
  EXPECT_EQ(Axes().captionFont.face, "Times New Roman");
  EXPECT_EQ(Axes().axesLines.width, 1);
}

TEST_F(DialogsTest, APenDialogThatCannotRunIsReported) {
  GPen pen{kPenSolid, 1, 0};
  ui->PushDialog([](DialogModel& d) { d.End(-1); });
  EXPECT_THROW(EditPen(pen, "Pen", nullptr), GPenUIException);
  // From the axes dialog it is reported and the dialog goes on.
  ui->PushDialog([](DialogModel& d) { d.Command(kAxesPenButton); });
  ui->PushDialog([](DialogModel& d) { d.End(-1); });
  EXPECT_EQ(RunAxesDialog(nullptr), 1);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Tesmira Error!");
}

TEST_F(DialogsTest, SaveAndLoadButtonsCoverFontAndPens) {
  ui->PushColor(0x0000FF);
  ui->PushDialog([](DialogModel& d) {
    d.SetText(kSmallTicksXControl, "4");
    d.Command(kAxesPenButton);
    d.Command(shell::kSetupSave);
    d.Command(platform::IDCANCEL);
  });
  ui->PushDialog([](DialogModel& pen) { pen.Command(kPenColorButton); });
  RunAxesDialog(nullptr);
  const std::string file = shell::SettingsFileName();
  EXPECT_EQ(platform::ReadProfileString("Setup", "SmallTicksX", "", file), "4");
  EXPECT_EQ(platform::ReadProfileString("Setup", "AxesLinesColor", "", file), "0x0000FF");
  EXPECT_EQ(platform::ReadProfileString("Setup", "AxesCaptionFontSize", "", file), "9");
  EXPECT_EQ(Axes().smallTicksX, 10u) << "Save does not change the settings in use";

  ui->PushDialog([](DialogModel& d) {
    d.Command(shell::kSetupLoad);
    EXPECT_EQ(d.GetText(kSmallTicksXControl), "4");
  });
  EXPECT_EQ(RunAxesDialog(nullptr), 1);
  EXPECT_EQ(Axes().smallTicksX, 4u);
  EXPECT_EQ(Axes().axesLines.color, 0x0000FFu);
}

TEST_F(DialogsTest, TheTwoGroupsAreRegisteredAndRoundTrip) {
  RegisterOptionGroups();
  EXPECT_EQ(shell::GetOptionGroup(shell::OptionGroupId::AxesGrid).name, kAxesGroupName);
  EXPECT_EQ(shell::GetOptionGroup(shell::OptionGroupId::CurveStyles).name,
            kCurveStylesGroupName);
  Axes().gridX = 3;
  Axes().captionFont.size = 14;
  Axes().gridLines.color = 0x123456;
  GetPlotState().styles[2].color = 0x00FF00;
  const std::string file = dir.File("all.ini");
  shell::SaveOptionGroup(shell::OptionGroupId::AxesGrid, file);
  shell::SaveOptionGroup(shell::OptionGroupId::CurveStyles, file);
  const AxesSettings saved = Axes();
  ResetPlotState();
  shell::LoadOptionGroup(shell::OptionGroupId::AxesGrid, file);
  shell::LoadOptionGroup(shell::OptionGroupId::CurveStyles, file);
  EXPECT_EQ(Axes(), saved);
  EXPECT_EQ(GetPlotState().styles[2].color, 0x00FF00u);
  EXPECT_EQ(platform::ReadProfileString("Graphics", "OptimizeGrid", "", file), "0");
  // A file without the section keeps the numbers and pens, resets the font.
  Axes().captionFont.size = 20;
  shell::LoadOptionGroup(shell::OptionGroupId::AxesGrid, dir.Write("empty.ini", ""));
  EXPECT_EQ(Axes().gridX, 3u);
  EXPECT_EQ(Axes().gridLines.color, 0x123456u);
  EXPECT_EQ(Axes().captionFont.size, 9);
}

TEST_F(DialogsTest, StyleDialogEditsTheStyleOfTheCurve) {
  ui->PushColor(0x3366FF);
  ui->PushDialog([](DialogModel& d) {
    EXPECT_EQ(d.Caption(), "Style of curve 16");
    EXPECT_EQ(d.GetCheck(kStyleLineControl), 1);
    EXPECT_EQ(d.GetCheck(kStyleSymbolControl + 1), 1);
    d.SetCheck(kStyleLineControl, 0);
    d.SetCheck(kStyleLineControl + kPenNull, 1);
    d.SetCheck(kStyleSymbolControl + 1, 0);
    d.SetCheck(kStyleSymbolControl + 4, 1);
    d.SetText(kStyleSizeControl, "8");
    d.SetText(kStyleWidthControl, "101");  // too wide: OK refuses
    d.Command(platform::IDOK);
    EXPECT_FALSE(d.Ended());
    d.SetText(kStyleWidthControl, "2");
    d.Command(kStyleColorButton);
  });
  EXPECT_EQ(RunStyleDialog(nullptr, 16), 1);
  const CurveStyle& s = GetPlotState().styles[2];
  EXPECT_EQ(s.lineStyle, static_cast<unsigned>(kPenNull));
  EXPECT_EQ(s.symbol, 4u);
  EXPECT_EQ(s.symbolSize, 8u);
  EXPECT_EQ(s.lineWidth, 2u);
  EXPECT_EQ(s.color, 0x3366FFu);

  ui->PushColor(0);
  ui->PushDialog([](DialogModel& d) {
    d.Command(kStyleColorButton);
    d.Command(platform::IDCANCEL);
  });
  EXPECT_EQ(RunStyleDialog(nullptr, 2), 0);
  EXPECT_EQ(GetPlotState().styles[2].color, 0x3366FFu);
}

}  // namespace
}  // namespace tsm::plot
