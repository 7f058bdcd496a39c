// The helper library through its public C interface.
#include "acqutil/acqutil.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

using tsm::platform::IDNO;
using tsm::platform::IDOK;
using tsm::platform::MB_ICONEXCLAMATION;
using tsm::platform::MB_OK;
using tsm::platform::MB_YESNO;

using ErrorHandler = tsm::testing::UiTest;

const std::string kDeviceAction =
    "The specified device does not support the requested action (the driver recognizes the "
    "device, but the action is inappropriate for the device).";

TEST_F(ErrorHandler, SuccessAndWarningsWithFlag1ShowNothing) {
  EXPECT_EQ(ZentraErrorHandler(0, "Op()", 0), 0);
  EXPECT_EQ(ZentraErrorHandler(0, "Op()", 1), 0);
  EXPECT_EQ(ZentraErrorHandler(5, "Op()", 1), 0);
  EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(ErrorHandler, KnownErrorAsksWhetherToContinue) {
  ui->PushAnswer(IDNO);
  EXPECT_EQ(ZentraErrorHandler(-10403, "DAQ_Op(..)", 1), IDNO);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  const auto box = ui->MessageBoxes()[0];
  EXPECT_EQ(box.text, "[DAQ_Op(..)] returned Zentra error -10403.\n\n" + kDeviceAction +
                          "\n\nContinue?");
  EXPECT_EQ(box.caption, "Zentra error");
  EXPECT_EQ(box.type, MB_YESNO | MB_ICONEXCLAMATION);
  EXPECT_EQ(box.owner, nullptr);

  ZentraErrorHandler(-10800, "SCAN_Op(..)", 0);
  EXPECT_EQ(ui->MessageBoxes().back().text,
            "[SCAN_Op(..)] returned Zentra error -10800.\n\nThe operation could not complete "
            "within the time limit.\n\nContinue?");
}

TEST_F(ErrorHandler, AWarningShownOnRequestIsDescribedByTheErrorOfItsNumber) {
  ZentraErrorHandler(10403, "WFM_Check", 0);
  const auto box = ui->MessageBoxes().back();
  EXPECT_EQ(box.text, "[WFM_Check] returned Zentra warning 10403.\n\n" + kDeviceAction +
                          "\n\nContinue?");
  EXPECT_EQ(box.caption, "Zentra warning");

  // Code -5 has no description: the unknown text, with the status as given.
  EXPECT_EQ(ZentraErrorHandler(5, "WFM_Check", 0), IDOK);
  const auto unknown = ui->MessageBoxes().back();
  EXPECT_EQ(unknown.text,
            "UNKNOWN ERROR: [WFM_Check] returned 5\n...please check with your Zentra "
            "Documentation.");
  EXPECT_EQ(unknown.caption, "Zentra");
  EXPECT_EQ(unknown.type, MB_OK | MB_ICONEXCLAMATION);

  ZentraErrorHandler(-10002, nullptr, 1);
  EXPECT_EQ(ui->MessageBoxes().back().text.substr(0, 37),
            "[] returned Zentra error -10002.\n\nThe");
}

TEST_F(ErrorHandler, LongOperationTextsAreCutButKeepTheQuestion) {
  const std::string op(3000, 'x');
  ZentraErrorHandler(-10403, op.c_str(), 1);
  const std::string text = ui->MessageBoxes().back().text;
  EXPECT_EQ(text.size(), 1023u);
  EXPECT_EQ(text.substr(text.size() - 11), "\n\nContinue?");
  EXPECT_EQ(ui->MessageBoxes().back().type, MB_YESNO | MB_ICONEXCLAMATION);

  ZentraErrorHandler(-7, op.c_str(), 1);
  EXPECT_EQ(ui->MessageBoxes().back().text.size(), 1023u);
}

TEST(MakeBuffer, SquareWaveOf100ValuesHasPeriodsOf10) {
  std::vector<int16_t> b(100, -1);
  ASSERT_EQ(ZentraMakeBuffer(b.data(), 100, 2), 0);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(b[i], i % 10 < 5 ? 0 : 2047) << i;

  std::vector<int16_t> shortWave(20, -1);  // below 21 values the period is 2
  ASSERT_EQ(ZentraMakeBuffer(shortWave.data(), 20, 2), 0);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(shortWave[i], i % 2 ? 2047 : 0) << i;

  std::vector<int16_t> odd(35, -1);  // period 3: one zero, two highs
  ASSERT_EQ(ZentraMakeBuffer(odd.data(), 35, 2), 0);
  EXPECT_EQ(odd[0], 0);
  EXPECT_EQ(odd[1], 2047);
  EXPECT_EQ(odd[2], 2047);
  EXPECT_EQ(odd[3], 0);
}

TEST(MakeBuffer, CountsAndSine) {
  std::vector<uint8_t> bytes(300);
  ASSERT_EQ(ZentraMakeBuffer(bytes.data(), 300, 0), 0);
  EXPECT_EQ(bytes[255], 255);
  EXPECT_EQ(bytes[256], 0);
  EXPECT_EQ(bytes[299], 43);

  std::vector<double> sine(40);
  ASSERT_EQ(ZentraMakeBuffer(sine.data(), 40, 4), 0);  // period 4
  EXPECT_DOUBLE_EQ(sine[0], 2.495);
  EXPECT_DOUBLE_EQ(sine[1], 4.99);
  EXPECT_NEAR(sine[2], 2.495, 1e-12);
  EXPECT_NEAR(sine[3], 0.0, 1e-12);
}

TEST(BufferHelpers, RefuseEmptyMissingAndUnknown) {
  int16_t b[4] = {};
  double mean = -1;
  EXPECT_EQ(ZentraMakeBuffer(nullptr, 0, 2), -14);
  EXPECT_EQ(ZentraMakeBuffer(nullptr, 4, 2), -12);
  EXPECT_EQ(ZentraMakeBuffer(b, 4, 3), -53);
  EXPECT_EQ(ZentraMakeBuffer(b, 4, 7), -53);  // no pattern for 32-bit integers
  EXPECT_EQ(ZentraMean(b, 0, 2, &mean), -14);
  EXPECT_EQ(ZentraMean(nullptr, 4, 2, &mean), -12);
  EXPECT_EQ(ZentraMean(b, 4, 1, &mean), -53);
  EXPECT_EQ(mean, -1);
  EXPECT_EQ(ZentraPlotWaveform(b, 0, 2), -14);
  EXPECT_EQ(ZentraPlotWaveform(nullptr, 1, 2), -12);
  EXPECT_EQ(ZentraPlotWaveform(b, 4, 9), -53);
}

TEST(Mean, OfEveryType) {
  const uint8_t bytes[] = {0, 255, 3};
  const int16_t words[] = {-100, 50, 2047, 3};
  const double reals[] = {0.5, 1.5};
  const int32_t longs[] = {-2000000000, -2000000000, 1000000000};
  double mean = 0;
  ASSERT_EQ(ZentraMean(bytes, 3, 0, &mean), 0);
  EXPECT_DOUBLE_EQ(mean, 86.0);
  ASSERT_EQ(ZentraMean(words, 4, 2, &mean), 0);
  EXPECT_DOUBLE_EQ(mean, 500.0);
  ASSERT_EQ(ZentraMean(reals, 2, 4, &mean), 0);
  EXPECT_DOUBLE_EQ(mean, 1.0);
  ASSERT_EQ(ZentraMean(longs, 3, 7, &mean), 0);  // no overflow of the sum
  EXPECT_DOUBLE_EQ(mean, -1000000000.0);
  EXPECT_EQ(ZentraMean(words, 4, 2, nullptr), 0);
}

using PlotWaveform = tsm::testing::UiTest;

TEST_F(PlotWaveform, ShowsAtMost25ValuesInABox) {
  const int16_t words[] = {0, 2047, -5};
  EXPECT_EQ(ZentraPlotWaveform(words, 3, 2), 0);
  auto box = ui->MessageBoxes().back();
  EXPECT_EQ(box.text, "[  0]: 0\n[  1]: 2047\n[  2]: -5\n");
  EXPECT_EQ(box.caption, "Displaying the first 3 datapoints...");
  EXPECT_EQ(box.type, MB_OK);

  std::vector<double> reals(30, 0.25);
  EXPECT_EQ(ZentraPlotWaveform(reals.data(), 30, 4), 0);
  box = ui->MessageBoxes().back();
  EXPECT_EQ(box.caption, "Displaying the first 25 datapoints...");
  EXPECT_EQ(box.text.substr(0, 15), "[  0]: 0.250000");
  EXPECT_EQ(box.text.substr(box.text.size() - 16), "[ 24]: 0.250000\n");

  const uint8_t bytes[] = {200};
  const int32_t longs[] = {-70000};
  ZentraPlotWaveform(bytes, 1, 0);
  EXPECT_EQ(ui->MessageBoxes().back().text, "[  0]: 200\n");
  ZentraPlotWaveform(longs, 1, 7);
  EXPECT_EQ(ui->MessageBoxes().back().text, "[  0]: -70000\n");
}

double SecondsOf(int16_t (*fn)(double), double arg) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(fn(arg), 0);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(Delay, WaitsAtLeastTheTime) {
  EXPECT_GE(SecondsOf(ZentraDelay, 0.02), 0.02);
  EXPECT_EQ(ZentraDelay(-1.0), 0);
  EXPECT_EQ(ZentraDelay(std::nan("")), 0);
  EXPECT_EQ(ZentraYield(3), 0);
}

// Replaces standard input for the lifetime of a scope.
class StdinSwap {
 public:
  explicit StdinSwap(int fd) : saved_(::dup(STDIN_FILENO)) { ::dup2(fd, STDIN_FILENO); }
  ~StdinSwap() {
    ::dup2(saved_, STDIN_FILENO);
    ::close(saved_);
  }

 private:
  int saved_;
};

TEST(WaitForKey, WithoutATerminalOnlyTheTimeIsWaited) {
  const int null = ::open("/dev/null", O_RDONLY);
  ASSERT_GE(null, 0);
  {
    StdinSwap swap(null);
    EXPECT_LT(SecondsOf(ZentraWaitForKey, 0.0), 1.0);  // no key can come: no wait for ever
    EXPECT_GE(SecondsOf(ZentraWaitForKey, 0.03), 0.03);
  }
  ::close(null);
}

TEST(WaitForKey, AKeyOnTheTerminalEndsTheWaitAndIsConsumed) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(slave, 0);
  termios before{};
  ASSERT_EQ(::tcgetattr(slave, &before), 0);
  ASSERT_TRUE(before.c_lflag & ICANON);
  {
    StdinSwap swap(slave);
    // Time-limited: the wait ends by itself when nothing comes.
    EXPECT_GE(SecondsOf(ZentraWaitForKey, 0.03), 0.03);
    // No Enter needed: one byte ends the wait long before its limit.
    ASSERT_EQ(::write(master, "k", 1), 1);
    EXPECT_LT(SecondsOf(ZentraWaitForKey, 20.0), 10.0);
    pollfd fd{STDIN_FILENO, POLLIN, 0};
    EXPECT_EQ(::poll(&fd, 1, 0), 0);  // the key was taken
  }
  termios after{};
  ASSERT_EQ(::tcgetattr(slave, &after), 0);
  EXPECT_EQ(after.c_lflag, before.c_lflag);  // the terminal is as it was
  ::close(slave);
  ::close(master);
}

}  // namespace
