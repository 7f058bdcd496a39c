// The main window on an offscreen screen: the plot of a loaded family (the
// picture is saved for a look by eye, TSM_MAIN_SCREENSHOT names the file),
// the card report when there is nothing to draw, the accelerators through
// real key presses, a rubber band and the "Math & Selection" refusal, the
// context menu, dropped files, tool windows closed by their close box (the
// derivative windows' picture is saved when TSM_DERIVATIVE_SCREENSHOT names
// a file), and the close box asking about unsaved data.
#include <QAction>
#include <QLabel>
#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "channels/temperature_window.h"
#include "curves/state.h"
#include "curves/undo.h"
#include "files/options.h"
#include "files/state.h"
#include "gui/cursors_window.h"
#include "gui/derivative_window.h"
#include "gui/temperature_window.h"
#include "gui/main_window.h"
#include "gui/picture_info_window.h"
#include "gui/plot_widget.h"
#include "math/commands.h"
#include "plot/selection.h"
#include "plot/state.h"
#include "plot/view.h"
#include "plot/zoom.h"
#include "resources/menu.h"
#include "app/command_ids.h"
#include "app/commands.h"
#include "app/main_window_link.h"
#include "app/picture_info.h"
#include "app/startup.h"
#include "shell/settings.h"
#include "tests/gui/qt_test_app.h"
#include "tests/support/test_support.h"

namespace tsm::gui {
namespace {

using testing::QtApp;

class MainWindowTest : public tsm::testing::UiTest {
 protected:
  MainWindowTest() {
    QtApp();
    Reset();
    app::RegisterAllCommands();
    window = std::make_unique<MainWindow>();
    app::AttachMainWindow(*window, *window);
    app::InitPlotState();
    files::GetDataFileOptions().showOptionsOnLoad = false;
    window->resize(800, 600);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  ~MainWindowTest() override {
    app::DetachMainWindow();
    window.reset();
    QApplication::processEvents();
    Reset();
  }
  static void Reset() {
    app::ResetCommandState();
    curves::ResetCurvesState();
    plot::ResetPlotState();
    files::ResetFilesState();
    files::ResetDataFileOptions();
    channels::ResetTemperatureWindow();
    shell::ResetSettingsState();
  }

  // Three I-V curves of a hysteretic junction, in microamperes and millivolts.
  static void FillFamily() {
    curves::CurveFamily& f = curves::CurrentFamily();
    f.SetCount(3);
    f.SetUnits("A", "V");
    f.SetGraphName("V(I)");
    for (std::uint32_t c = 0; c < 3; ++c) {
      const float ic = 20e-6f * (c + 1);
      for (int i = -200; i <= 200; ++i) {
        const float current = 1e-6f * i;
        const float v = std::fabs(current) < ic
                            ? 0.0f
                            : std::copysign(1e-3f * std::sqrt(current * current - ic * ic) / ic, current);
        f.Curve(c).Append(current, v);
      }
      f.Curve(c).SetName(("T = " + std::to_string(2 + 2 * c) + " K").c_str());
    }
  }

  // Pixels of the plot that are neither white, nor grey, nor black.
  static int ColouredPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 60) ++n;
      }
    return n;
  }

  QAction* Action(int id) {
    const auto actions = window->ActionsOf(id);
    return actions.empty() ? nullptr : actions.front();
  }

  std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, ShowsTheLoadedFamilyWithMenuAndStatusBar) {
  FillFamily();
  app::Redraw();
  EXPECT_EQ(window->Plot()->LastDrawResult(), 3);
  EXPECT_EQ(window->windowTitle(), "Tesmira");
  EXPECT_EQ(window->StatusPart(3), "v3.32beta build 122");
  EXPECT_EQ(window->minimumSize(), QSize(200, 150));
  for (int part = 1; part <= 3; ++part)
    EXPECT_EQ(window->findChild<QLabel*>(QString("statusPart%1").arg(part))->width(), 100);
  ASSERT_NE(Action(197), nullptr);
  EXPECT_EQ(Action(197)->text(), "&Open\tCtrl+O");
  EXPECT_FALSE(Action(206)->isEnabled());  // printing is not there yet

  const QImage shot = window->grab().toImage();
  const std::string out = std::getenv("TSM_MAIN_SCREENSHOT")
                              ? std::getenv("TSM_MAIN_SCREENSHOT")
                              : (std::filesystem::temp_directory_path() / "tesmira-main.png").string();
  shot.save(QString::fromStdString(out));
  EXPECT_GT(ColouredPixels(window->Plot()->Picture()), 500);

  // The pointer's position in data units in parts 1 and 2.
  QTest::mouseMove(window->Plot(), QPoint(400, 250));
  EXPECT_EQ(ui->StatusText(1).rfind("X:", 0), 0u);
  EXPECT_NE(ui->StatusText(1).find('A'), std::string::npos);
  EXPECT_EQ(ui->StatusText(2).rfind("Y:", 0), 0u);
}

TEST_F(MainWindowTest, ShowsTheCardReportInBlueWhenThereIsNothingToDraw) {
  app::StartupOptions options;
  options.detectCards = [](std::string& report, std::size_t, const std::string&) {
    report = "Zentra version 0500 detected.\nSlot #03: Card-ID:39, Name:39\n";
    return std::uint16_t{0};
  };
  ASSERT_TRUE(app::CheckCards(options));
  app::Redraw();
  EXPECT_EQ(window->Plot()->LastDrawResult(), -1);
  const QImage& picture = window->Plot()->Picture();
  int blue = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < picture.width(); ++x) {
      const QColor c = picture.pixelColor(x, y);
      if (c.blue() > 150 && c.red() < 100 && c.green() < 100) ++blue;
    }
  EXPECT_GT(blue, 30);
}

TEST_F(MainWindowTest, KeysOfTheAcceleratorTableRunTheirCommands) {
  app::Commands().Clear();
  int ran = 0;
  bool shift = false;
  for (const resources::Accelerator& a : resources::AcceleratorTable())
    if (!app::Commands().Has(a.command))
      app::Commands().Register(a.command, [&, id = a.command] {
        ran = id;
        shift = window->ShiftHeld();
        return true;
      });
  struct Press {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int command;
  };
  const Press presses[] = {
      {Qt::Key_F2, Qt::NoModifier, 29},          {Qt::Key_O, Qt::ControlModifier, 197},
      {Qt::Key_Z, Qt::ControlModifier, 187},     {Qt::Key_Backspace, Qt::AltModifier, 187},
      {Qt::Key_R, Qt::NoModifier, 236},          {Qt::Key_Plus, Qt::KeypadModifier, 230},
      {Qt::Key_Minus, Qt::KeypadModifier, 232},  {Qt::Key_Backslash, Qt::ControlModifier, 220},
      {Qt::Key_Backspace, Qt::NoModifier, 242},  {Qt::Key_Left, Qt::NoModifier, 237},
      {Qt::Key_Down, Qt::NoModifier, 240},       {Qt::Key_R, Qt::ControlModifier, 132},
      {Qt::Key_X, Qt::AltModifier, 125},         {Qt::Key_F12, Qt::NoModifier, 279},
      {Qt::Key_F1, Qt::ControlModifier, 196},    {Qt::Key_I, Qt::ControlModifier, 148},
  };
  for (const Press& p : presses) {
    ran = 0;
    QTest::keyClick(window->Plot(), p.key, p.modifiers);
    EXPECT_EQ(ran, p.command) << "key " << p.key;
    EXPECT_FALSE(shift);
  }
  QTest::keyClick(window->Plot(), Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(ran, 134);
  EXPECT_TRUE(shift);  // the compact Temperature window
  ran = 0;
  QTest::keyClick(window->Plot(), Qt::Key_Plus, Qt::NoModifier);  // not the keypad's
  // Del and D need a made selection: greyed, their keys do nothing.
  QTest::keyClick(window->Plot(), Qt::Key_Delete, Qt::NoModifier);
  QTest::keyClick(window->Plot(), Qt::Key_D, Qt::NoModifier);
  EXPECT_EQ(ran, 0);
  QTest::keyClick(window->Plot(), Qt::Key_F6, Qt::NoModifier);  // "Ic(H) with &Reset"
  EXPECT_EQ(ran, 151);
  ran = 0;
  FillFamily();
  app::Redraw();
  QTest::mousePress(window->Plot(), Qt::LeftButton, {}, QPoint(300, 150));
  QTest::mouseMove(window->Plot(), QPoint(500, 300));
  QTest::mouseRelease(window->Plot(), Qt::LeftButton, {}, QPoint(500, 300));
  QTest::keyClick(window->Plot(), Qt::Key_Delete, Qt::NoModifier);
  EXPECT_EQ(ran, 233);
  QTest::keyClick(window->Plot(), Qt::Key_D, Qt::NoModifier);
  EXPECT_EQ(ran, 234);
}

TEST_F(MainWindowTest, RubberBandRefusesWholeFamilyToolsAndShapesTheContextMenu) {
  FillFamily();
  app::Redraw();
  QTest::mousePress(window->Plot(), Qt::LeftButton, {}, QPoint(300, 150));
  QTest::mouseMove(window->Plot(), QPoint(500, 300));
  QTest::mouseRelease(window->Plot(), Qt::LeftButton, {}, QPoint(500, 300));
  ASSERT_EQ(plot::SelectionStateOf(), plot::kSelectionMade);
  window->RefreshActions();
  EXPECT_TRUE(Action(plot::kCmdZoomWindow)->isEnabled());
  EXPECT_FALSE(Action(app::kCmdDerivativeX)->isEnabled());

  window->RunCommandFromUi(app::kCmdFilter);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].caption, math::kSelectionRefusedCaption);
  EXPECT_FALSE(curves::UndoAvailable());

  std::unique_ptr<QMenu> menu(window->BuildContextMenu(plot::GreyedContextMenuIds()));
  auto item = [&](int id) -> QAction* {
    for (QAction* a : menu->actions())
      if (a->data().toInt() == id) return a;
    return nullptr;
  };
  ASSERT_NE(item(app::kCmdSplitCurve), nullptr);
  EXPECT_FALSE(item(app::kCmdSplitCurve)->isEnabled());  // a selection exists
  EXPECT_TRUE(item(plot::kCmdZoomWindow)->isEnabled());
  EXPECT_FALSE(item(app::kCmdStyle)->isEnabled());  // no single curve selected

  // The rubber band is on the screen over the plot's picture.
  const QImage shown = window->Plot()->grab().toImage();
  EXPECT_NE(shown.pixelColor(300, 200), window->Plot()->Picture().pixelColor(300, 200));
}

TEST_F(MainWindowTest, DroppedFilesOpenTheFirstAndAddTheOthers) {
  tsm::testing::TempDir dir;
  std::vector<std::string> paths;
  for (int f = 0; f < 3; ++f) {
    std::string rows;
    for (int i = 0; i <= f + 2; ++i) rows += std::to_string(i) + " " + std::to_string(f) + "\r\n";
    const std::string name = "d" + std::to_string(f);
    paths.push_back(dir.Write(name + ".dat", rows));
    dir.Write(name + ".ini",
              "[Picture Info]\r\nTSM_Version=3.32\r\nNumberOfCurves=1\r\nNumberOfPointsInCurve0=" +
                  std::to_string(f + 3) + "\r\nNameOfCurve0=" + name + "\r\n");
  }
  QMimeData mime;
  QList<QUrl> urls;
  for (const std::string& p : paths) urls << QUrl::fromLocalFile(QString::fromStdString(p));
  mime.setUrls(urls);
  // Qt delivers a drop to the widget that accepted the drag's entry.
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  for (int i = 0; i < 50 && curves::CurrentFamily().Count() < 3; ++i) QTest::qWait(10);
  for (const auto& c : ui->MessageBoxes()) ADD_FAILURE() << c.text;
  const curves::CurveFamily& f = curves::CurrentFamily();
  ASSERT_EQ(f.Count(), 3u);
  for (std::uint32_t c = 0; c < 3; ++c) {
    EXPECT_STREQ(f.Curve(c).Name(), ("d" + std::to_string(c)).c_str());
    EXPECT_EQ(f.Curve(c).Count(), c + 3);
  }
  EXPECT_EQ(window->windowTitle(), QString::fromStdString("Tesmira -- " + paths[0]));
}

TEST_F(MainWindowTest, ToolWindowClosedByItsCloseBoxUnchecksItsItem) {
  window->RunCommandFromUi(app::kCmdCursors);
  ASSERT_NE(OpenCursorsWindowView(), nullptr);
  EXPECT_TRUE(Action(app::kCmdCursors)->isChecked());
  OpenCursorsWindowView()->close();  // the window's own close box
  QApplication::processEvents();
  EXPECT_EQ(OpenCursorsWindowView(), nullptr);
  EXPECT_FALSE(Action(app::kCmdCursors)->isChecked());
  window->RunCommandFromUi(app::kCmdCursors);  // opens it again
  EXPECT_NE(OpenCursorsWindowView(), nullptr);
  EXPECT_TRUE(Action(app::kCmdCursors)->isChecked());
  window->RunCommandFromUi(app::kCmdCursors);
  QApplication::processEvents();
  EXPECT_EQ(OpenCursorsWindowView(), nullptr);

  window->RunCommandFromUi(app::kCmdTemperature);
  ASSERT_NE(OpenTemperatureWindowView(), nullptr);
  EXPECT_TRUE(Action(app::kCmdTemperature)->isChecked());
  OpenTemperatureWindowView()->close();
  QApplication::processEvents();
  EXPECT_FALSE(channels::GetTemperatureWindow().IsOpen());
  EXPECT_FALSE(Action(app::kCmdTemperature)->isChecked());
}

TEST_F(MainWindowTest, PictureInfoShowsAndEditsThePictureAndItsShiftFormIsTheLegend) {
  window->RunCommandFromUi(app::kCmdPictureInfo);
  PictureInfoView* info = window->PictureInfo();
  ASSERT_NE(info, nullptr);
  EXPECT_TRUE(Action(app::kCmdPictureInfo)->isChecked());
  EXPECT_EQ(info->Legend()->rowCount(), 0);
  FillFamily();
  shell::SetDataSaved(true);
  app::Redraw();  // the plot-changed notification
  ASSERT_EQ(info->Legend()->rowCount(), 3);
  EXPECT_EQ(info->Legend()->item(1, 0)->text(), "T = 4 K");
  EXPECT_EQ(info->Legend()->item(1, 1)->text(), "401");
  EXPECT_FALSE(info->Legend()->item(1, 0)->icon().isNull());
  EXPECT_EQ(info->FieldText("Graph:"), "V(I)");
  EXPECT_EQ(info->FieldText("X units:"), "A");
  EXPECT_EQ(info->FieldText("Date:"), "unknown");

  // A field typed in is taken with Enter: the family has it, the data are unsaved.
  auto* designer = qobject_cast<QLineEdit*>(info->FieldEditor("Designer:"));
  ASSERT_NE(designer, nullptr);
  QTest::keyClicks(designer, "Ada");
  QTest::keyClick(designer, Qt::Key_Return);
  EXPECT_STREQ(curves::CurrentFamily().Designer(), "Ada");
  EXPECT_FALSE(shell::DataSaved());
  // A date that cannot be read is told and the field shows the family's again.
  auto* date = qobject_cast<QLineEdit*>(info->FieldEditor("Date:"));
  date->selectAll();
  QTest::keyClicks(date, "someday");
  QTest::keyClick(date, Qt::Key_Return);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, app::kBadDateText);
  EXPECT_EQ(info->FieldText("Date:"), "unknown");
  // The legend renames curves and draws itself inside the plot.
  info->Legend()->item(2, 0)->setText("T = 6 K, field on");
  EXPECT_STREQ(curves::CurrentFamily().Curve(2).Name(), "T = 6 K, field on");
  EXPECT_TRUE(curves::UndoAvailable());
  info->LegendInPlot()->setChecked(true);
  EXPECT_TRUE(plot::GetPlotState().legendInPlot);
  info->close();
  QApplication::processEvents();
  EXPECT_EQ(window->PictureInfo(), nullptr);
  EXPECT_FALSE(Action(app::kCmdPictureInfo)->isChecked());

  window->ToggleToolWindow(app::kCmdPictureInfo, true);  // Shift held
  ASSERT_NE(window->PictureInfo(), nullptr);
  EXPECT_EQ(window->PictureInfo()->objectName(), "pictureInfoLegend");
  EXPECT_EQ(window->PictureInfo()->FieldEditor("Graph:"), nullptr);
  EXPECT_EQ(window->PictureInfo()->Legend()->rowCount(), 3);
  EXPECT_TRUE(window->PictureInfo()->LegendInPlot()->isChecked());
  window->ToggleToolWindow(app::kCmdPictureInfo, false);
  EXPECT_EQ(window->PictureInfo(), nullptr);
}

TEST_F(MainWindowTest, DerivativeWindowsDrawTheirFamilyAndUncheckWhenClosed) {
  FillFamily();
  window->RunCommandFromUi(app::kCmdDerivativeWindowY);
  DerivativeWindowView* y = window->DerivativeWindow(app::kCmdDerivativeWindowY);
  ASSERT_NE(y, nullptr);
  EXPECT_TRUE(Action(app::kCmdDerivativeWindowY)->isChecked());
  EXPECT_EQ(y->windowTitle(), "Derivative Window dY/dX (Y)");
  // dV/dI against V: three curves, the differential resistance in Ohm.
  ASSERT_EQ(y->Model().Family().Count(), 3u);
  EXPECT_STREQ(y->Model().Family().UnitX(), "V");
  const QImage picture = y->Render();
  if (const char* file = std::getenv("TSM_DERIVATIVE_SCREENSHOT")) picture.save(file);
  EXPECT_GT(ColouredPixels(picture), 200);

  // The plot-changed notification rebuilds it; an empty family draws the
  // explanation instead of curves.
  curves::CurrentFamily().Clear();
  app::Redraw();
  EXPECT_EQ(y->Model().Family().Count(), 0u);
  y->close();  // its own close box
  QApplication::processEvents();
  EXPECT_EQ(window->DerivativeWindow(app::kCmdDerivativeWindowY), nullptr);
  EXPECT_FALSE(Action(app::kCmdDerivativeWindowY)->isChecked());

  window->RunCommandFromUi(app::kCmdDerivativeWindowX);
  EXPECT_NE(window->DerivativeWindow(app::kCmdDerivativeWindowX), nullptr);
  window->RunCommandFromUi(app::kCmdDerivativeWindowX);
  QApplication::processEvents();
  EXPECT_EQ(window->DerivativeWindow(app::kCmdDerivativeWindowX), nullptr);
  EXPECT_FALSE(Action(app::kCmdDerivativeWindowX)->isChecked());
}

TEST_F(MainWindowTest, CloseBoxIsExitAndAsksAboutUnsavedData) {
  shell::SetDataSaved(false);
  ui->PushAnswer(platform::IDCANCEL);
  window->close();
  QTest::qWait(20);
  EXPECT_TRUE(window->isVisible());
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  ui->PushAnswer(platform::IDNO);
  window->close();
  QTest::qWait(20);
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace tsm::gui
