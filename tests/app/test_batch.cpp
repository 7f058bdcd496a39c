// Batch mode in-process: the script language (mistakes found before
// anything runs), the statements against the headless window, the echo of
// message boxes, and what counts as a failed line.
#include <sstream>

#include "files/fileio.h"
#include "math/options.h"
#include "app/batch.h"
#include "app/batch_ui.h"
#include "tests/app/commands_fixture.h"

namespace tsm::app::testing {
namespace {

TEST(BatchScript, FindsEveryMistakeWithItsLine) {
  const ParsedScript s = ParseBatchScript(
      "# a comment\n"
      "run 230\r\n"
      "frobnicate\n"
      "run No Such Item\n"
      "answer perhaps\n"
      "select 1 2 x 4\n"
      "pick 1\n"
      "size 0 10\n"
      "expect saved maybe\n"
      "end\n"
      "dialog 3101\n"
      "  set 1301 5\n"
      "  poke 12\n"
      "  check 1202 7\n"
      "  press 1 2\n");
  const std::vector<std::string> expected = {
      "line 3: unknown statement \"frobnicate\"",
      "line 4: no menu item is called \"No Such Item\"",
      "line 5: unknown answer \"perhaps\"",
      "line 6: \"x\" is not a number",
      "line 7: expected 2 numbers",
      "line 8: the plot size must lie between 1 and 10000 pixels",
      "line 9: \"expect saved\" takes yes or no",
      "line 10: \"end\" without \"dialog\"",
      "line 13: unknown dialog step \"poke\"",
      "line 14: a check state is 0, 1 or 2",
      "line 15: wrong dialog step \"press 1 2\"",
      "line 11: \"dialog\" without \"end\"",
  };
  EXPECT_EQ(s.errors, expected);
}

TEST(BatchScript, ReadsStatementsAndDialogSteps) {
  const ParsedScript s = ParseBatchScript(
      "try run &Zoom In\n"
      "answer Yes\n"
      "answer 4\n"
      "file cancel\n"
      "open \"/tmp/with blank.dat\"\n"
      "drop a.dat \"b c.dat\"\n"
      "dialog\n"
      "  set 1301 \" 7 \"\n"
      "  check 1202 0\n"
      "  select 3501 2\n"
      "  cancel\n"
      "  wait 2.5\n"
      "end\n");
  ASSERT_TRUE(s.errors.empty()) << s.errors[0];
  ASSERT_EQ(s.statements.size(), 7u);
  EXPECT_TRUE(s.statements[0].tolerated);
  EXPECT_EQ(s.statements[0].command, 230);
  EXPECT_EQ(s.statements[1].answer, platform::IDYES);
  EXPECT_EQ(s.statements[2].answer, platform::IDRETRY);
  EXPECT_TRUE(s.statements[3].cancel);
  EXPECT_EQ(s.statements[4].text, "/tmp/with blank.dat");
  EXPECT_EQ(s.statements[4].command, 197);
  EXPECT_EQ(s.statements[5].paths, (std::vector<std::string>{"a.dat", "b c.dat"}));
  // A "#" after a blank begins a comment, not inside quotes or a word.
  const ParsedScript c = ParseBatchScript("run 230   # zoom in\necho \"a # b\"\nfile run#2.dat\n");
  ASSERT_TRUE(c.errors.empty()) << c.errors[0];
  EXPECT_EQ(c.statements[0].command, 230);
  EXPECT_EQ(c.statements[1].text, "a # b");
  EXPECT_EQ(c.statements[2].text, "run#2.dat");
  // The dialog block is one statement; it ends at "end".
  const ParsedScript d = ParseBatchScript("dialog 3101\n  set 1301 \" 7 \"\n  cancel\n  wait 2.5\nend\n");
  ASSERT_EQ(d.statements.size(), 1u);
  EXPECT_EQ(d.statements[0].dialogId, 3101);
  ASSERT_EQ(d.statements[0].steps.size(), 3u);
  EXPECT_EQ(d.statements[0].steps[0].text, " 7 ");
  EXPECT_EQ(d.statements[0].steps[1].id, platform::IDCANCEL);
  EXPECT_DOUBLE_EQ(d.statements[0].steps[2].seconds, 2.5);
  // Pictures of the window and of the open dialog; each needs its path.
  const ParsedScript p = ParseBatchScript(
      "snapshot \"a b.png\"\ndialog\n  snapshot d.png\n  snapshot\nend\nsnapshot\n");
  const std::vector<std::string> expected = {
      "line 4: \"snapshot\" needs the path of the picture",
      "line 6: missing the path of the picture"};
  EXPECT_EQ(p.errors, expected);
  ASSERT_EQ(p.statements.size(), 2u);
  EXPECT_EQ(p.statements[0].kind, Statement::Kind::Snapshot);
  EXPECT_EQ(p.statements[0].text, "a b.png");
  ASSERT_EQ(p.statements[1].steps.size(), 1u);
  EXPECT_EQ(p.statements[1].steps[0].kind, DialogStep::Kind::Snapshot);
  EXPECT_EQ(p.statements[1].steps[0].text, "d.png");
}

class BatchTest : public CommandsTest {
 protected:
  BatchTest() : batchUi(out) { platform::SetUi(&batchUi); }
  ~BatchTest() override { platform::SetUi(&*ui); }

  int Run(const std::string& script) {
    const ParsedScript parsed = ParseBatchScript(script);
    EXPECT_TRUE(parsed.errors.empty()) << parsed.errors[0];
    return RunBatchStatements(parsed, batchUi, window, err);
  }

  std::ostringstream out, err;
  BatchUi batchUi;
};

TEST_F(BatchTest, RunsCommandsAnswersAndEchoesTheMessageBoxes) {
  const std::string a = DataFile("a", 2, 21);
  shell::SetDataSaved(false);
  const std::string saved = dir.File("saved.dat");
  const int status = Run("answer no\n"
                         "open " + a + "\n"
                         "expect saved yes\n"
                         "run Zoom In\n"
                         "run 237\n"
                         "run zoom extents\n"
                         "select 4.5 -1 8.5 500\n"
                         "run Delete data points in\n"
                         "expect points 1 17\n"
                         "run Undo\n"
                         "expect points 1 21\n"
                         "save " + saved + "\n"
                         "expect saved yes\n");
  EXPECT_EQ(status, kBatchOk) << err.str();
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(out.str(),
            "message [Tesmira] You have unsaved data!\\nWould you like to save them now? -> No\n");
  ASSERT_EQ(files::LoadDataFile(saved, false), 0);
  ASSERT_EQ(Family().Count(), 2u);
  EXPECT_EQ(Family().Curve(1).Count(), 21u);
  EXPECT_EQ(Family().Curve(1).Point(20).y, 410.0f);
}

TEST_F(BatchTest, CountsFailedGreyedAndUnknownCommandsAndUnusedAnswers) {
  DataFile("a", 1, 5);
  const int status = Run("run 9999\n"
                         "run Zoom Window\n"  // no selection: greyed
                         "try run Zoom Window\n"
                         "select 1 0 3 9\n"
                         "run Filter\n"  // refused inside the selection
                         "expect curves 3\n"
                         "answer yes\n");
  EXPECT_EQ(status, kBatchFailed);
  EXPECT_EQ(err.str(),
            "batch:1: no command has the id 9999\n"
            "batch:2: command 231 \"Zoom Window\" is greyed\n"
            "batch:3: (tolerated) command 231 \"Zoom Window\" is greyed\n"
            "batch:4: the rectangle has no width or no height\n"
            "batch:6: the family holds 0 curve(s)\n"
            "batch: 1 answer(s) left unused\n");
  EXPECT_EQ(Run("echo fine\n"), kBatchFailed);  // the answer is still there
}

TEST_F(BatchTest, DialogStepsEditFieldsAndAMissingControlCancelsTheDialog) {
  math::GetMathOptions().smoothParameter = 5;
  EXPECT_EQ(Run("dialog 139\n"
                "  set 1301 9\n"
                "  expect 1301 9\n"
                "end\n"
                "run Math\n"),
            kBatchOk)
      << err.str();
  EXPECT_EQ(math::GetMathOptions().smoothParameter, 9u);
  EXPECT_EQ(out.str(), "dialog 139 [Math] -> 1\n");

  EXPECT_EQ(Run("dialog\n"
                "  set 1301 11\n"
                "  set 4711 1\n"
                "end\n"
                "run Math\n"),
            kBatchFailed);
  EXPECT_EQ(math::GetMathOptions().smoothParameter, 9u);
  EXPECT_EQ(err.str(), "batch:3: dialog 139 has no control 4711\nbatch:5: command 139 \"Math\" failed\n");

  err.str("");
  EXPECT_EQ(Run("dialog 3101\nend\nrun Math\n"), kBatchFailed);
  EXPECT_EQ(err.str(),
            "batch:1: the dialog that opened is 139 \"Math\", not 3101\n"
            "batch:3: command 139 \"Math\" failed\n");
}

TEST_F(BatchTest, AFileForACommandThatDidNotAskIsTakenBack) {
  const std::string a = DataFile("a", 1, 5);
  shell::SetDataSaved(false);
  // Cancel at the unsaved-data question: Open never opens its chooser, so
  // the path must not answer the Save As chooser of the next line.
  EXPECT_EQ(Run("answer cancel\n"
                "open " + a + "\n"
                "answer no\n"
                "run Open\n"),
            kBatchFailed);
  EXPECT_EQ(err.str(),
            "batch:2: command 197 \"Open\" failed\n"
            "batch:4: command 197 \"Open\" failed\n");
  EXPECT_EQ(curves::CurrentFamily().Count(), 0u);
}

TEST_F(BatchTest, ExitEndsTheScript) {
  EXPECT_EQ(Run("run Exit\nrun 9999\n"), kBatchOk);
  EXPECT_TRUE(window.Closed());
}

TEST(BatchUi, EchoKeepsEachBoxOnOneLine) {
  EXPECT_EQ(BatchUi::EchoLine("Error", "a\r\nb", "Ok", false), "message [Error] a\\r\\nb -> Ok (default)");
}

}  // namespace
}  // namespace tsm::app::testing
