// The examples of the README run as a user would: "tesmira -i:... -batch:..."
// without a display measures the I-V curve of the emulated junction and
// saves it (the saved file holds the hysteretic curve), every mode of the
// README's list of modes runs its example, and the junction table example
// writes the table of the measured junction's parameters.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/program_run.h"

namespace {

using tsm::testing::Point;
using tsm::testing::ProgramRun;
using tsm::testing::ReadRows;
using tsm::testing::RunIn;

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

// A delay key of -1 reads as 4294967295 ms (49 days): a "wait" that runs
// out closes the dialog, which stops the measurement, and the stop ends the
// wait at once. (Ended by "timeout" after a minute should it hang.)
TEST(MeasureBatch, AWaitThatRunsOutStopsAMeasurementInTheMiddleOfAHugeDelay) {
  tsm::testing::TempDir dir;
  std::string settings =
      tsm::testing::TempDir::Read(std::string(TESMIRA_SOURCE_DIR) + "/examples/junction.ini");
  const auto at = settings.find("DelayAfterJumpToStart=20");
  ASSERT_NE(at, std::string::npos);
  settings.replace(at, 24, "DelayAfterJumpToStart=-1");
  dir.Write("slow.ini", settings);
  dir.Write("stop.tsm", "dialog 4900\n  ok\n  wait 0.5\nend\nrun \"V(I)\"\n");
  const auto start = std::chrono::steady_clock::now();
  const ProgramRun run = RunIn(dir.Path().string(), "-i:slow.ini -batch:stop.tsm", "timeout 60 ");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(50));
  EXPECT_EQ(run.exitCode, 1) << run.out;
  EXPECT_NE(run.out.find("batch:3: the dialog was still working after the wait"),
            std::string::npos)
      << run.out;
}

TEST(MeasureBatch, TheJunctionTableOfTheEmulatedJunction) {
  const std::string arguments =
      tsm::testing::ReadmeArguments("-i:examples/junction.ini -batch:examples/junction_table.tsm");
  ASSERT_FALSE(arguments.empty()) << "the README lost the junction table example";
  tsm::testing::TempDir dir;
  tsm::testing::CopyExamples(dir, {"junction.ini", "junction_table.tsm"});
  const tsm::testing::ProgramRun run = tsm::testing::RunIn(dir.Path().string(), arguments);
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("dialog 3132 [Ic, Rn, Ie, Vc table] -> 1"), std::string::npos) << run.out;

  // Header and one row: name, parameter, Ic+, Ic-, Ic, Rn, Ie, Vc.
  std::ifstream table(dir.File("junction_table.txt"));
  std::string header, row;
  ASSERT_TRUE(std::getline(table, header) && std::getline(table, row)) << run.out;
  EXPECT_EQ(header, "Curve\tParameter\tIc+ (A)\tIc- (A)\tIc (A)\tRn (Ohm)\tIe (A)\tVc (V)\r");
  std::istringstream fields(row);
  std::string name;
  double parameter, icPlus, icMinus, ic, rn, ie, vc;
  ASSERT_TRUE(std::getline(fields, name, '\t') &&
              fields >> parameter >> icPlus >> icMinus >> ic >> rn >> ie >> vc)
      << row;
  // The emulation switches at 1560 of its 2048 units of 10 mA, jittered by a
  // few units; the sweep steps by 78 uA and Ic is the last current below
  // the switch. Its voltage is the bias current through 1000 Ohm, with
  // noise of about 20 mV.
  const double ic0 = 1560.0 / 2048 * 0.01, step = 0.02 * 256 / 65536, jitter = 6.0 / 2048 * 0.01;
  EXPECT_GT(icPlus, ic0 - step - jitter);
  EXPECT_LT(icPlus, ic0 + jitter);
  EXPECT_LT(icMinus, -ic0 + step + jitter);
  EXPECT_GT(icMinus, -ic0 - jitter);
  EXPECT_NEAR(ic, (icPlus - icMinus) / 2, 1e-9);
  EXPECT_NEAR(rn, 1000.0, 15.0);
  EXPECT_NEAR(ie, 0.0, 1.5e-4);
  EXPECT_NEAR(vc, ic * rn, 1e-3);

  // The family became Ic+, |Ic-| and Ie at the curve's index 0.
  const std::vector<Point> points = tsm::testing::ReadColumns(dir.File("junction_ic.dat"));
  ASSERT_EQ(points.size(), 1u) << run.out;
}

TEST(MeasureBatch, EveryModeTheReadmeListsRunsItsExample) {
  // The list of the modes batch mode runs: "- MODE: `build/bin/tesmira ARGS`".
  std::istringstream readme(
      tsm::testing::TempDir::Read(std::string(TESMIRA_SOURCE_DIR) + "/README.md"));
  const std::string program = "`build/bin/tesmira ";
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(readme, line))
    if (line.rfind("- ", 0) == 0 && line.find(program) != std::string::npos &&
        line.back() == '`')
      lines.push_back(line);
  ASSERT_GE(lines.size(), 4u);

  tsm::testing::TempDir dir;
  std::filesystem::copy(std::string(TESMIRA_SOURCE_DIR) + "/examples", dir.Path() / "examples");
  for (const std::string& l : lines) {
    const auto at = l.find(program) + program.size();
    const ProgramRun run = RunIn(dir.Path().string(), l.substr(at, l.size() - 1 - at));
    EXPECT_EQ(run.exitCode, 0) << l << "\n" << run.out;
    EXPECT_NE(run.out.find("] -> 1\n"), std::string::npos) << l << "\n" << run.out;
  }

  // The I-V family: five curves, each switching where the junction's
  // diffraction pattern puts the critical current for its field (12-bit
  // units: |sin(f/100) / (f/100)| x 1500 + 60, the field f = 64 s, up to 5
  // units of noise; a bias step is 32 units).
  const auto family = ReadRows(dir.File("junction_ivf.dat"));
  ASSERT_EQ(family.size(), 256u);
  ASSERT_EQ(family[0].size(), 10u);
  for (int s = 0; s < 5; ++s) {
    double switched = 0;
    for (std::size_t i = 0; i < 128 && switched == 0; ++i)
      if (family[i][2 * s] > 0 && family[i][2 * s + 1] > 0.5) switched = family[i][2 * s];
    const double u = s * 0.64;
    const double ic = (s == 0 ? 1.0 : std::sin(u) / u) * 1500 + 60;
    const double units = switched * 1000 * 32768 / 10 / 16;
    EXPECT_GT(units, ic - 45) << s;
    EXPECT_LT(units, ic + 70) << s;
  }
  const std::string names = tsm::testing::TempDir::Read(dir.File("junction_ivf.ini"));
  EXPECT_NE(names.find("junction (I_H=+1.250 mA)"), std::string::npos);

  // V(I_wfm): two triangles of 128 ticks; the junction switches on the way
  // up only near the critical current, and stays ohmic far below it on the
  // way down.
  const auto wfm = ReadRows(dir.File("junction_wfm.dat"));
  ASSERT_EQ(wfm.size(), 256u);
  for (std::size_t r = 0; r < 256; ++r) {
    EXPECT_EQ(wfm[r][0], static_cast<double>(r));
    const double i = 10.0 * (1.0 - std::fabs(static_cast<double>(r % 128) - 64.0) / 32.0);
    if (r % 128 < 64 && i > 0.5 && i < 7.0) {
      EXPECT_LT(std::fabs(wfm[r][1]), 0.06) << r;
    }
    if (r % 128 > 64 && i > 2.0 && i < 7.0) {
      EXPECT_NEAR(wfm[r][1], i, 0.1) << r;
    }
  }

  // V_dc(I_ac): 259 amplitudes from 0 to full scale.
  const auto vdc = ReadRows(dir.File("junction_vdc.dat"));
  ASSERT_EQ(vdc.size(), 259u);
  EXPECT_NEAR(vdc[0][0], 0.0, 1e-6);
  EXPECT_NEAR(vdc[258][0], 0.01, 1e-6);
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
