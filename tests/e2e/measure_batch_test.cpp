// The example of the README run as a user would: "tesmira -i:... -batch:..."
// without a display measures the I-V curve of the emulated junction and
// saves it; the saved file holds the hysteretic curve.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "tests/e2e/program_run.h"

namespace {

using tsm::testing::Point;

TEST(MeasureBatch, TheExampleMeasuresAndSavesTheHystereticCurveOfTheJunction) {
  // The command as the README prints it, run from a folder that holds the
  // examples as the repository does.
  const std::string arguments = tsm::testing::ReadmeArguments("-i:examples/junction.ini");
  ASSERT_FALSE(arguments.empty()) << "the README lost the measurement example";
  tsm::testing::TempDir dir;
  tsm::testing::CopyExamples(dir, {"junction.ini", "iv_curve.tsm"});
  const tsm::testing::ProgramRun run = tsm::testing::RunIn(dir.Path().string(), arguments);
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("dialog 4900 [Measurements -- IVC] -> 1"), std::string::npos) << run.out;

  const std::vector<Point> points = tsm::testing::ReadColumns(dir.File("junction_iv.dat"));
  ASSERT_EQ(points.size(), 512u) << run.out;
  // Up from -10 mA: ohmic at the start, no voltage between small currents
  // and the critical current, ohmic above it.
  EXPECT_NEAR(points[0].x, -0.01, 1e-6);
  EXPECT_NEAR(points[0].y, -10.0, 0.1);
  int zero = 0, ohmicBack = 0;
  for (std::size_t i = 0; i < 256; ++i)
    if (points[i].x > 1e-3 && points[i].x < 7e-3) {
      EXPECT_LT(std::fabs(points[i].y), 0.06) << i;
      ++zero;
    }
  // Back down: still ohmic far below the critical current.
  for (std::size_t i = 256; i < 512; ++i)
    if (points[i].x > 2e-3 && points[i].x < 7e-3) {
      EXPECT_NEAR(points[i].y, points[i].x * 1000, 0.06) << i;
      ++ohmicBack;
    }
  EXPECT_GT(zero, 50);
  EXPECT_GT(ohmicBack, 50);
  EXPECT_TRUE(std::ifstream(dir.File("junction_iv.ini")).good());
}

}  // namespace

namespace {

using tsm::testing::Point;
using tsm::testing::ProgramRun;

TEST(MeasureBatch, TheTimeTraceExampleTakesItsPointsOnTheirSchedule) {
  const std::string arguments =
      tsm::testing::ReadmeArguments("-i:examples/junction.ini -batch:examples/time_trace.tsm");
  ASSERT_FALSE(arguments.empty()) << "the README lost the time-trace example";
  tsm::testing::TempDir dir;
  tsm::testing::CopyExamples(dir, {"junction.ini", "time_trace.tsm"});
  const ProgramRun run = tsm::testing::RunIn(dir.Path().string(), arguments);
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("dialog 4904 [Measurements -- V(time)] -> 1"), std::string::npos)
      << run.out;
  const std::vector<Point> points = tsm::testing::ReadColumns(dir.File("junction_trace.dat"));
  ASSERT_EQ(points.size(), 100u) << run.out;
  // One point every 20 ms: never early, late only as far as a busy machine
  // delays a reading, and the last one where the schedule puts it.
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_GE(points[i].x, i * 0.020 - 1e-6) << i;
    EXPECT_LT(std::fabs(points[i].y), 0.06) << i;  // no bias: the junction shows no voltage
  }
  EXPECT_LT(points.back().x, 99 * 0.020 + 1.0);
}

TEST(MeasureBatch, ACalibrationAsksForEveryStepAndReportsItsFit) {
  tsm::testing::TempDir dir;
  const std::string ini = tsm::testing::TempDir::Read(std::string(TESMIRA_SOURCE_DIR) +
                                                      "/examples/junction.ini") +
                          "\r\n[Voltage Standard]\r\nFirstStep=-2\r\nLastStep=2\r\n"
                          "StepIncrement=2\r\n";
  dir.Write("cal.ini", ini);
  dir.Write("cal.tsm",
            "answer ok\nanswer ok\nanswer ok\nrun Calibration\nexpect curves 1\n"
            "expect points 0 3\n");
  const ProgramRun run = tsm::testing::RunIn(dir.Path().string(), "-i:cal.ini -batch:cal.tsm");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("message [Voltage Calibration] Set the voltage standard to step n = -2"
                         "\\n(-0.000310175 V at 75 GHz)."),
            std::string::npos)
      << run.out;
  // The junction is no standard: its fit is reported, not offered for correction.
  EXPECT_NE(run.out.find("message [Voltage Calibration] junction:"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("(too large, not corrected)"), std::string::npos) << run.out;
}

}  // namespace
