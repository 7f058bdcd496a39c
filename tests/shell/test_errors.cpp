#include "shell/errors.h"

#include <gtest/gtest.h>

#include "tests/shell/fatal_hook.h"
#include "tests/support/test_support.h"

namespace tsm::shell {
namespace {

using namespace tsm::platform;
using Kind = UiCall::Kind;

class Errors : public tsm::testing::UiTest {
 protected:
  ~Errors() override { SetMainWindow(nullptr); }
};

TEST_F(Errors, ShowMessageBeepsWithTheIconBitsBeforeTheBox) {
  ui->PushAnswer(IDNO);
  EXPECT_EQ(ShowMessage(nullptr, "Save?", "Tesmira", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2),
            IDNO);
  ShowMessage(nullptr, "i", "c", MB_OK | MB_ICONINFORMATION);
  ShowMessage(nullptr, "e", "c", MB_OK | MB_ICONHAND);
  ShowMessage(nullptr, "plain", "c", MB_OKCANCEL);
  const auto calls = ui->Calls();
  ASSERT_EQ(calls.size(), 8u);
  const unsigned beeps[] = {MB_ICONQUESTION, MB_ICONINFORMATION, MB_ICONHAND, 0};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(calls[2 * i].kind, Kind::Beep);
    EXPECT_EQ(calls[2 * i].type, beeps[i]);
    EXPECT_EQ(calls[2 * i + 1].kind, Kind::MessageBox);
  }
  EXPECT_EQ(calls[1].text, "Save?");
  EXPECT_EQ(calls[1].type, MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
}

TEST_F(Errors, InternalErrorTitlesAndText) {
  EXPECT_EQ(InternalErrorTitle(0), "Internal Error");
  EXPECT_EQ(InternalErrorTitle(1), "Load String Fail");
  EXPECT_EQ(InternalErrorTitle(2), "Unknown Internal error");
  EXPECT_EQ(InternalErrorTitle(3), "String internal error");
  EXPECT_EQ(InternalErrorTitle(4), "Dxb error");
  EXPECT_EQ(InternalErrorTitle(5), "Unknown Internal error");
  EXPECT_EQ(InternalErrorTitle(-1), "Unknown Internal error");

  int mainWindow = 0;
  SetMainWindow(&mainWindow);
  ReportInternalError(2, 123, "fileio");
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  const std::string& text = boxes[0].text;
  EXPECT_EQ(text.rfind("Unknown Internal error\n File: fileio     Line: 123\n", 0), 0u);
  const std::string tail = "\nYou would better close Tesmira and start it again";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_EQ(boxes[0].caption, "Tesmira Error!");
  EXPECT_EQ(boxes[0].type & MB_ICONMASK, MB_ICONHAND);
  EXPECT_EQ(boxes[0].owner, &mainWindow);
  EXPECT_EQ(ui->CallsOf(Kind::Beep).at(0).type, MB_ICONHAND);
}

TEST_F(Errors, CommonDialogTextsByCode) {
  const std::pair<unsigned long, const char*> table[] = {
      {0xFFFF, "Creation of CD failed on call to DialogBox()"},
      {1, "Invalid structure size passed to CD"},
      {2, "Failure initializing CD.  Possibly\n\r do to insufficient memory."},
      {3, "Failure finding custom template for CD"},
      {4, "Instance handle not passed to CD"},
      {5, "Failure loading specified string"},
      {6, "Failure finding specified resource"},
      {7, "Failure loading specified resource"},
      {8, "Failure locking specified resource"},
      {9, "Failure allocating memory for internal CD structure"},
      {10, "Failure locking memory for internal CD structure"},
      {11, "No hook function passed to CD but ENABLEHOOK\n\r was passed as a flag"},
      {0x1001, "Failure setting up resources for CD"},
      {0x1002, "Failure parsing strings in [devices]\n\rsection of WIN.INI"},
      {0x1003, "PD_RETURNDEFAULT flag was set but either the \n\rhDevMode or hDevNames field was nonzero"},
      {0x1004, "Failure loading the printers device driver"},
      {0x1005, "The printer driver failed to initialize a DEVMODE data structure"},
      {0x1006, "Print CD failed during initialization"},
      {0x1007, "No printer device drivers were found"},
      {0x1008, "No default printer was found"},
      {0x1009, "Data in DEVMODE contradicts data in DEVNAMES"},
      {0x100A, "Failure creating an IC"},
      {0x100B, "Printer not found"},
      {0x2001, "No fonts exist"},
      {0x3001, "Failure subclassing during initialization of CD"},
      {0x3002, "Invalide filename passed to FileOpen or FileSave"},
      {0x3003, "Buffer passed to CD too small to accomodate string"},
  };
  for (const auto& [code, text] : table) EXPECT_EQ(CommDlgErrorText(code), text) << code;
  for (unsigned long code : {0ul, 12ul, 0x1000ul, 0x100Cul, 0x2002ul, 0x3004ul, 0xFFFEul})
    EXPECT_EQ(CommDlgErrorText(code), "") << code;

  ReportCommDlgError(0x3002);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Invalide filename passed to FileOpen or FileSave");
  EXPECT_EQ(boxes[0].caption, "CommDlg");
  EXPECT_EQ(boxes[0].type & MB_ICONMASK, MB_ICONHAND);
}

TEST_F(Errors, ACancelledOrUnknownCodeShowsNothing) {
  ReportCommDlgError(0);
  ReportCommDlgError(0x4242);
  EXPECT_TRUE(ui->Calls().empty());
}

TEST_F(Errors, FatalLogGoesThroughTheHook) {
  SetFatalHook(&testing::ThrowingHook);
  try {
    FatalLog(4, "Invalid -%s parameter -- not a number\n", "f:");
    ADD_FAILURE() << "no fatal exit";
  } catch (const testing::FatalExit& e) {
    EXPECT_EQ(e.code, 4);
    EXPECT_EQ(e.text, "Invalid -f: parameter -- not a number\n");
  }
  SetFatalHook(nullptr);
}

TEST(ErrorsDeath, FatalLogWritesToStandardErrorAndExits) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(FatalLog(3, "Can't open option's file '%s'", "x.opt"), ::testing::ExitedWithCode(3),
              "Can't open option's file 'x.opt'");
}

}  // namespace
}  // namespace tsm::shell
