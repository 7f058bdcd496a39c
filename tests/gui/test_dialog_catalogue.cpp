// Every dialog of the program's catalogue (app/dialog_catalogue.cpp) opened
// as the user opens it and rendered by the Qt dialog view, offscreen: no
// text is cut or wider than its control, no two visible controls overlap,
// and the dialog fits a 1280 x 800 screen. Also the renderer's own rules
// that the catalogue does not show by itself: a table under its headings,
// a heading over a column, a long text wrapped; and the check itself finds
// a text cut by its control.
#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <map>
#include <string>
#include <vector>

#include "channels/virtual_channels.h"
#include "curves/state.h"
#include "daq/cards.h"
#include "daq/driver.h"
#include "daq/emulated_driver.h"
#include "files/options.h"
#include "files/state.h"
#include "gui/application.h"
#include "gui/dialog_pictures.h"
#include "gui/dialog_view.h"
#include "measure/ivc_options.h"
#include "measure/state.h"
#include "platform/dialog_buttons.h"
#include "platform/profile.h"
#include "plot/state.h"
#include "app/commands.h"
#include "app/dialog_catalogue.h"
#include "app/headless_window.h"
#include "app/main_window_link.h"
#include "shell/errors.h"
#include "shell/settings.h"
#include "tests/gui/qt_test_app.h"
#include "tests/support/test_support.h"

namespace tsm::gui {
namespace {

using testing::QtApp;

class DialogCatalogueTest : public ::testing::Test {
 protected:
  DialogCatalogueTest() : pictures([this](platform::DialogModel& model, DialogView& view) {
    seen.push_back(model.Caption());
    for (const std::string& p : LayoutProblems(view))
      problems.push_back(model.Caption() + ": " + p);
  }) {
    QtApp();
    RegisterViews();
    platform::SetUi(&pictures);
    platform::SetAssertionEcho(false);
    Reset();
    daq::SetDriver(nullptr);
    daq::DefaultEmulatedDriver().Reset(1);
    std::string report;
    daq::DetectCards(report, daq::kInventoryCapacity, dir.Path().string() + "/");
    channels::BindVirtualChannels();
    // The junction's wiring, as the README's example has it.
    channels::VirtualCurrent c;
    c.kind = channels::kPlusSweep1;
    c.R = 1000.0f;
    c.dacChannel = 0;
    channels::SetCurrent(0, c);
    channels::RebindChangedCurrents();
    channels::VirtualVoltage v;
    v.kind = channels::kPositive;
    v.adcChannel = 1;
    channels::SetVoltage(0, v);
    // Two curves for the Math tools.
    curves::CurveFamily& f = curves::CurrentFamily();
    f.SetCount(2);
    for (std::uint32_t k = 0; k < 2; ++k)
      for (int i = 0; i < 50; ++i) f.Curve(k).Append(float(i), float((k + 1) * i));
    app::RegisterAllCommands();
    shell::SetMainWindow(window.Owner());
    app::AttachMainWindow(window, window);
    app::InitPlotState();
  }
  ~DialogCatalogueTest() override {
    app::DetachMainWindow();
    shell::SetMainWindow(nullptr);
    Reset();
    platform::SetAssertionEcho(true);
    platform::SetUi(nullptr);
  }
  static void Reset() {
    app::ResetCommandState();
    channels::ResetVirtualChannels();
    measure::ResetMeasureState();
    measure::ResetIVCOptions();
    curves::ResetCurvesState();
    plot::ResetPlotState();
    files::ResetFilesState();
    files::ResetDataFileOptions();
    shell::ResetSettingsState();
    daq::ResetCards();
    platform::ProfileCacheClear();
  }

  tsm::testing::TempDir dir;
  std::vector<std::string> seen;
  std::vector<std::string> problems;
  PictureUi pictures;
  app::HeadlessWindow window;
};

TEST_F(DialogCatalogueTest, EveryDialogIsLaidOutWholeWithinTheScreen) {
  ASSERT_GE(app::DialogCatalogue().size(), 20u);
  for (const app::CatalogueEntry& entry : app::DialogCatalogue()) {
    const std::size_t before = seen.size();
    entry.open();
    EXPECT_GT(seen.size(), before) << entry.name << " opened no dialog";
  }
  for (const std::string& p : problems) ADD_FAILURE() << p;
}

// A list with headings, a heading over a column and a long description.
class LayoutModel : public platform::DialogModel {
 public:
  LayoutModel() : DialogModel(7001, "Layout") {
    platform::Control list;
    list.id = 10;
    list.kind = platform::ControlKind::ListBox;
    list.headings = {"N", "Description", "Type"};
    list.items = {"0\tbias of the junction\tDisconnected", "1\t\t+Sweep 1"};
    AddControl(list);
    platform::Control text;
    text.id = 11;
    text.kind = platform::ControlKind::Static;
    text.column = 1;
    text.text = std::string(30, 'w') + " " + std::string(30, 'w') + " " + std::string(30, 'w');
    AddControl(text);
    SetColumnHeading(1, "Save");
    // A read-out too narrow for its text: the check must tell.
    platform::Control narrow;
    narrow.id = 12;
    narrow.kind = platform::ControlKind::Static;
    narrow.text = "+12.345 mA";
    narrow.widthChars = 3;
    AddControl(narrow);
    // Two frames one under the other in column 2, labels of different
    // lengths; a labelled list; a read-only table of two lines.
    for (int frame = 0; frame < 2; ++frame) {
      platform::Control box;
      box.id = 20 + frame;
      box.kind = platform::ControlKind::GroupBox;
      box.text = frame == 0 ? "Typed" : "Automatic";
      box.column = 2;
      box.frameCount = 1;
      AddControl(box);
      platform::Control edit;
      edit.id = 22 + frame;
      edit.kind = platform::ControlKind::Edit;
      edit.label = frame == 0 ? "prefix" : "with step";
      edit.column = 2;
      AddControl(edit);
    }
    platform::Control curves;
    curves.id = 24;
    curves.kind = platform::ControlKind::ListBox;
    curves.label = "Curves:";
    curves.items = {"0: junction"};
    curves.column = 2;
    AddControl(curves);
    platform::Control table;
    table.id = 25;
    table.kind = platform::ControlKind::Edit;
    table.multiline = true;
    table.readOnly = true;
    table.text = "N  Ic+\n0  +7.578 mA";
    table.column = 2;
    AddControl(table);
    platform::AddOkButton(*this);
  }
};

TEST_F(DialogCatalogueTest, TablesHeadingsAndLongTextsAreLaidOutWhole) {
  LayoutModel model;
  QTreeWidget* table = nullptr;
  PictureUi look([&](platform::DialogModel&, DialogView& view) {
    table = qobject_cast<QTreeWidget*>(view.Widget(10));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columnCount(), 3);
    EXPECT_EQ(table->headerItem()->text(1), "Description");
    ASSERT_EQ(table->topLevelItemCount(), 2);
    // Every row in the same columns, the empty cell included.
    EXPECT_EQ(table->topLevelItem(1)->text(2), "+Sweep 1");
    EXPECT_EQ(table->topLevelItem(0)->text(2), "Disconnected");
    auto* heading = view.findChild<QLabel*>("heading1");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->text(), "Save");
    EXPECT_TRUE(qobject_cast<QLabel*>(view.Widget(11))->wordWrap());
    // The fields of the two frames line up; the list's label stands at its
    // top; the table keeps its lines whole in a fixed pitch and asks for no
    // more height than they take.
    auto left = [&](int id) { return view.Widget(id)->mapTo(&view, QPoint(0, 0)).x(); };
    EXPECT_EQ(left(22), left(23));
    QWidget* list = view.Widget(24);
    const auto* label = list->parentWidget()->findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_LT(label->mapTo(&view, QPoint(0, 0)).y() - list->mapTo(&view, QPoint(0, 0)).y(),
              label->height());
    auto* text = qobject_cast<QPlainTextEdit*>(view.Widget(25));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_TRUE(QFontInfo(text->font()).fixedPitch());
    EXPECT_LT(text->sizeHint().height(), 6 * text->fontMetrics().lineSpacing());
    const std::vector<std::string> problems = LayoutProblems(view);
    ASSERT_EQ(problems.size(), 1u) << problems[0];
    EXPECT_EQ(problems[0].rfind("control 12 (QLabel): the text needs", 0), 0u) << problems[0];
  });
  platform::SetUi(&look);
  platform::GetUi().RunModal(model, nullptr);
  EXPECT_NE(table, nullptr);
}

// Over the owner, or beside it where the owner stays in sight; always on
// the screen, and on a small screen where it covers the least of the owner.
TEST(DialogPosition, OverTheOwnerOrBesideItWithinTheScreen) {
  using platform::DialogPlacement;
  const QRect wide(0, 0, 1920, 1080), small(0, 0, 1280, 800);
  const QSize dialog(1000, 420);
  EXPECT_EQ(DialogPosition(DialogPlacement::OverOwner, QRect(0, 0, 800, 600), QSize(400, 200), wide),
            QPoint(200, 200));
  EXPECT_EQ(DialogPosition(DialogPlacement::OverOwner, QRect(0, 0, 800, 600), dialog, wide),
            QPoint(0, 90));  // kept on the screen
  EXPECT_EQ(DialogPosition(DialogPlacement::BesideOwner, QRect(0, 0, 800, 600), dialog, wide),
            QPoint(800, 0));
  EXPECT_EQ(DialogPosition(DialogPlacement::BesideOwner, QRect(1120, 0, 800, 600), dialog, wide),
            QPoint(120, 0));
  // 1280 x 800: nothing fits beside; below covers the least of the plot.
  EXPECT_EQ(DialogPosition(DialogPlacement::BesideOwner, QRect(0, 0, 800, 600), dialog, small),
            QPoint(0, 380));
}

}  // namespace
}  // namespace tsm::gui
