// Rendering dialog models with Qt (offscreen): typing into a field-list
// dialog and pressing OK changes the variable; validation focus and
// selection show in the widgets; dependencies hide widgets; a model changed
// from another thread updates its widget; the dialogs of the junction tools
// show their fields and tables (TSM_DIALOG_SCREENSHOT_DIR keeps pictures).
#include "gui/dialog_view.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QFontInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "curves/state.h"
#include "gui/qt_ui.h"
#include "math/commands.h"
#include "math/junction_options.h"
#include "math/junction_table.h"
#include "math/sigma_ic.h"
#include "shell/setupdlg.h"
#include "tests/gui/qt_test_app.h"
#include "tests/support/test_support.h"

namespace tsm::gui {
namespace {

using testing::QtApp;
using testing::WhenModal;

class QtDialogTest : public ::testing::Test {
 protected:
  QtDialogTest() {
    QtApp();
    platform::SetUi(&ui);
  }
  ~QtDialogTest() override { platform::SetUi(nullptr); }

  template <class W>
  static W* Find(QWidget* dialog, int id) {
    return dialog->findChild<W*>(QString("control%1").arg(id));
  }

  QtUi ui;
};

struct Options {
  unsigned points = 100;
  float step = 0.5f;
  unsigned useLimit = 0;
  unsigned method = 1;
};

shell::FieldList ListOf(Options& o) {
  shell::FieldList list;
  list.fields = {
      shell::UnsignedField(1002, &o.points, "", "", 2, 1000, "Points"),
      shell::FloatField(1003, &o.step, "", "", 0.001, 10, "Step"),
      shell::CheckField(1005, &o.useLimit, "", "", "Use limit"),
      shell::RadioField(1010, &o.method, "", "", {"First", "Second", "Third"}, "Method"),
  };
  return list;
}

TEST_F(QtDialogTest, TypedValueReachesTheVariableOnOk) {
  Options o;
  shell::FieldList list = ListOf(o);
  list.fields[0].key = "Points";  // a stored field brings Save and Load
  list.fields[0].section = "Test";
  list.extraControls.push_back(shell::TextControl(-1, "Points of the sweep, 2 to 1000"));
  bool seen = false;
  WhenModal([&](QWidget* dialog) {
    seen = true;
    if (const char* out = std::getenv("TSM_DIALOG_SCREENSHOT")) dialog->grab().save(out);
    EXPECT_EQ(dialog->windowTitle(), "Options");
    auto* edit = Find<QLineEdit>(dialog, 1002);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "100");
    edit->selectAll();
    QTest::keyClicks(edit, "250");
    Find<QRadioButton>(dialog, 1012)->click();
    Find<QCheckBox>(dialog, 1005)->click();
    Find<QPushButton>(dialog, 1)->click();
  });
  EXPECT_EQ(shell::RunSetupDialog(300, nullptr, list, "Options"), 1);
  EXPECT_TRUE(seen);
  EXPECT_EQ(o.points, 250u);
  EXPECT_EQ(o.method, 2u);
  EXPECT_EQ(o.useLimit, 1u);
}

TEST_F(QtDialogTest, BadValueKeepsTheDialogOpenWithItsTextSelected) {
  Options o;
  shell::FieldList list = ListOf(o);
  WhenModal([&](QWidget* dialog) {
    auto* edit = Find<QLineEdit>(dialog, 1003);
    edit->selectAll();
    QTest::keyClicks(edit, "99");
    Find<QPushButton>(dialog, 1)->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(edit->selectedText(), "99");
    EXPECT_EQ(QApplication::focusWidget(), edit);
    edit->selectAll();
    QTest::keyClicks(edit, "1.5");
    Find<QPushButton>(dialog, 1)->click();
  });
  EXPECT_EQ(shell::RunSetupDialog(300, nullptr, list, "Options"), 1);
  EXPECT_FLOAT_EQ(o.step, 1.5f);
}

TEST_F(QtDialogTest, CancelAndEscapeLeaveTheVariables) {
  Options o;
  shell::FieldList list = ListOf(o);
  WhenModal([&](QWidget* dialog) {
    QTest::keyClicks(Find<QLineEdit>(dialog, 1002), "7");
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  EXPECT_EQ(shell::RunSetupDialog(300, nullptr, list, "Options"), 0);
  EXPECT_EQ(o.points, 100u);
}

TEST_F(QtDialogTest, DependencyHidesWidgetsUntilTheMasterIsChecked) {
  Options o;
  shell::FieldList list = ListOf(o);
  list.dependencies = {{shell::kRuleShowIfChecked, 1005, {1002}}};
  WhenModal([&](QWidget* dialog) {
    auto* edit = Find<QLineEdit>(dialog, 1002);
    EXPECT_FALSE(edit->isVisibleTo(dialog));
    Find<QCheckBox>(dialog, 1005)->click();
    EXPECT_TRUE(edit->isVisibleTo(dialog));
    Find<QPushButton>(dialog, 2)->click();
  });
  shell::RunSetupDialog(300, nullptr, list, "Options");
}

// A model whose label another thread rewrites while the dialog is open.
class TickerDialog : public platform::DialogModel {
 public:
  TickerDialog() : DialogModel(500, "Ticker") {
    platform::Control label;
    label.id = 700;
    label.kind = platform::ControlKind::Static;
    label.text = "0 \xB5V";
    AddControl(label);
    platform::Control ok;
    ok.id = 1;
    ok.kind = platform::ControlKind::Button;
    ok.text = "OK";
    AddControl(ok);
  }
};

TEST_F(QtDialogTest, ChangesFromAnotherThreadReachTheWidgets) {
  TickerDialog model;
  WhenModal([&](QWidget* dialog) {
    auto* label = Find<QLabel>(dialog, 700);
    EXPECT_EQ(label->text(), QString::fromUtf8("0 \u00B5V"));
    std::thread worker([&] { model.SetText(700, "12 \xB5V"); });
    worker.join();
    QTRY_COMPARE_WITH_TIMEOUT(label->text(), QString::fromUtf8("12 \u00B5V"), 2000);
    std::thread closer([&] { model.End(7); });
    closer.join();
  });
  EXPECT_EQ(ui.RunModal(model, nullptr), 7);
}

TEST_F(QtDialogTest, MessageBoxFromAWorkerBlocksUntilAnswered) {
  std::atomic<int> answer{0};
  std::atomic<bool> done{false};
  WhenModal([&](QWidget* box) {
    auto* message = qobject_cast<QMessageBox*>(box);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), "Stop the sweep?");
    EXPECT_EQ(message->icon(), QMessageBox::Question);
    EXPECT_FALSE(done.load());
    message->button(QMessageBox::No)->click();
  });
  std::thread worker([&] {
    answer = platform::GetUi().MessageBox(nullptr, "Stop the sweep?", "Measure",
                                          platform::MB_YESNO | platform::MB_ICONQUESTION);
    done = true;
  });
  while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  worker.join();
  EXPECT_EQ(answer.load(), platform::IDNO);
}

TEST_F(QtDialogTest, TimersFireOnTheUiThreadUntilStopped) {
  int oneShot = 0, periodic = 0;
  ui.StartTimer(5, false, [&] { ++oneShot; });
  std::atomic<platform::TimerId> id{0};  // (looked at while the other thread sets it)
  std::thread starter([&] { id = ui.StartTimer(5, true, [&] { ++periodic; }); });
  while (id == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  starter.join();
  QTRY_VERIFY_WITH_TIMEOUT(periodic >= 3, 2000);
  ui.StopTimer(id);
  const int stopped = periodic;
  QTest::qWait(30);
  EXPECT_EQ(periodic, stopped);
  EXPECT_EQ(oneShot, 1);
}

TEST_F(QtDialogTest, ReadOnlyTextBoxesShowTablesWhole) {
  // The tables of Statistics, Sigma Ic and the junction parameters: fixed
  // pitch, lines not wrapped, the box as wide as the longest line.
  const std::string line(110, '-');
  platform::DialogModel model(3132, "Table");
  platform::Control box;
  box.id = 1380;
  box.kind = platform::ControlKind::Edit;
  box.multiline = true;
  box.readOnly = true;
  box.text = "N | value\r\n" + line + "\r\n";
  model.AddControl(box);
  bool seen = false;
  WhenModal([&](QWidget* dialog) {
    seen = true;
    auto* table = Find<QPlainTextEdit>(dialog, 1380);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_TRUE(QFontInfo(table->font()).fixedPitch());
    EXPECT_GE(table->width(),
              QFontMetrics(table->font()).horizontalAdvance(QString::fromStdString(line)));
    dialog->close();
  });
  ui.RunModal(model, nullptr);
  EXPECT_TRUE(seen);
}

// Saves the dialog's picture for a look by eye when asked to.
void KeepPicture(QWidget* dialog, const char* name) {
  if (const char* folder = std::getenv("TSM_DIALOG_SCREENSHOT_DIR"))
    dialog->grab().save(QString("%1/%2.png").arg(folder, name));
}

TEST_F(QtDialogTest, JunctionParameterAndSelfFieldDialogsShowTheirFields) {
  math::ResetJunctionOptions();
  math::GetJunctionOptions().vcMethod = math::kVcAboveIc;
  bool seen = false;
  WhenModal([&](QWidget* dialog) {
    seen = true;
    KeepPicture(dialog, "junction_parameters");
    EXPECT_EQ(dialog->windowTitle(), "Junction Parameters");
    EXPECT_EQ(Find<QLineEdit>(dialog, math::kIcCriterionControl)->text(), "1E-05");
    EXPECT_TRUE(Find<QRadioButton>(dialog, math::kRnMethodControl)->isChecked());
    EXPECT_EQ(Find<QRadioButton>(dialog, math::kRnMethodControl + 1)->text(),
              "V/I at the largest |I|");
    EXPECT_TRUE(Find<QRadioButton>(dialog, math::kVcMethodControl + 1)->isChecked());
    EXPECT_EQ(Find<QLineEdit>(dialog, math::kRnStartPointsControl)->text(), "10");
    EXPECT_EQ(Find<QLineEdit>(dialog, math::kVcExceedIcByControl)->text(), "0.1");
    auto* draw = Find<QCheckBox>(dialog, math::kRnDrawLinesControl);
    ASSERT_NE(draw, nullptr);
    draw->click();
    Find<QPushButton>(dialog, 1)->click();
  });
  EXPECT_EQ(math::RunJunctionDialog(nullptr), 1);
  EXPECT_TRUE(seen);
  EXPECT_EQ(math::GetJunctionOptions().rnDrawLines, 1u);

  seen = false;
  WhenModal([&](QWidget* dialog) {
    seen = true;
    KeepPicture(dialog, "self_field");
    EXPECT_EQ(dialog->windowTitle(), "Self-field");
    ASSERT_NE(Find<QLabel>(dialog, math::kSelfFieldTextControl), nullptr);
    EXPECT_TRUE(Find<QLabel>(dialog, math::kSelfFieldTextControl)->text().contains("x + k * y"));
    auto* k = Find<QLineEdit>(dialog, math::kSelfFieldFactorControl);
    k->selectAll();
    QTest::keyClicks(k, "-0.5");
    Find<QPushButton>(dialog, 1)->click();
  });
  EXPECT_EQ(math::RunSelfFieldDialog(nullptr), 1);
  EXPECT_TRUE(seen);
  EXPECT_EQ(math::GetJunctionOptions().selfFieldFactor, -0.5f);
  math::ResetJunctionOptions();
}

TEST_F(QtDialogTest, JunctionTableAndSigmaIcShowTheirTablesAndCopyThem) {
  // Two curves swept 0 -> 2 mA -> 0 in steps of 100 uA, switching onto
  // 10 Ohm just above 1 and 1.5 mA.
  math::ResetJunctionOptions();
  curves::ResetCurvesState();
  curves::CurveFamily& family = curves::CurrentFamily();
  family.SetUnits("A", "V");
  family.SetCount(2);
  for (std::uint32_t c = 0; c < 2; ++c) {
    const double ic = 1e-3 * (1 + 0.5 * c) + 2e-5;
    for (int k = 0; k <= 40; ++k) {
      const double i = 1e-4 * (k <= 20 ? k : 40 - k);
      family.Curve(c).Append(static_cast<float>(i), static_cast<float>(i > ic ? 10 * i : 0.0));
    }
    family.Curve(c).SetName(c == 0 ? "first" : "second");
  }
  family.MarkAll();
  const std::string tab =
      math::JunctionTableTabText(math::JunctionRows(family, math::GetJunctionOptions(), true));

  bool seen = false;
  WhenModal([&](QWidget* dialog) {
    seen = true;
    KeepPicture(dialog, "junction_table");
    EXPECT_EQ(dialog->windowTitle(), math::kJunctionTableCaption);
    auto* table = Find<QPlainTextEdit>(dialog, math::kJunctionTableTextControl);
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isReadOnly());
    EXPECT_TRUE(table->toPlainText().contains("second"));
    EXPECT_TRUE(table->toPlainText().contains("+1.500 mA"));
    Find<QPushButton>(dialog, math::kJunctionTableCopy)->click();
    ASSERT_NE(Find<QPushButton>(dialog, math::kJunctionTableSave), nullptr);
    Find<QPushButton>(dialog, platform::IDCANCEL)->click();
  });
  EXPECT_FALSE(math::JunctionTableCommand(nullptr));  // cancelled: the family stays
  EXPECT_TRUE(seen);
  EXPECT_EQ(family.Count(), 2u);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), tab);

  seen = false;
  WhenModal([&](QWidget* dialog) {
    seen = true;
    KeepPicture(dialog, "sigma_ic");
    EXPECT_EQ(dialog->windowTitle(), math::kSigmaIcCaption);
    const QString text = Find<QPlainTextEdit>(dialog, math::kJunctionTableTextControl)->toPlainText();
    EXPECT_TRUE(text.contains("mean")) << text.toStdString();
    EXPECT_TRUE(text.contains("+1.250 mA")) << text.toStdString();
    Find<QPushButton>(dialog, 1)->click();
  });
  EXPECT_TRUE(math::SigmaIcCommand(nullptr));
  EXPECT_TRUE(seen);
  curves::ResetCurvesState();
}

}  // namespace
}  // namespace tsm::gui
