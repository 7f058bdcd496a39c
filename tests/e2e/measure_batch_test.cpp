// The example of the README run as a user would: "tesmira -i:... -batch:..."
// without a display measures the I-V curve of the emulated junction and
// saves it; the saved file holds the hysteretic curve.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

struct ProgramRun {
  std::string out;
  int exitCode = -1;
};

// `prefix` goes before the program (a "timeout" command).
ProgramRun RunIn(const std::string& dir, const std::string& arguments,
                 const std::string& prefix = "") {
  const std::string command = "cd '" + dir + "' && " + prefix +
                              "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                              std::string(TESMIRA_EXE) + "' " + arguments + " 2>&1";
  ProgramRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[512];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = ::pclose(pipe);
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
}

struct Point {
  double x, y;
};

std::vector<Point> ReadColumns(const std::string& path) {
  std::ifstream in(path);
  std::vector<Point> points;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    Point p{};
    if (fields >> p.x >> p.y) points.push_back(p);
  }
  return points;
}

TEST(MeasureBatch, TheExampleMeasuresAndSavesTheHystereticCurveOfTheJunction) {
  // The command as the README prints it, run from a folder that holds the
  // examples as the repository does.
  const std::string readme =
      tsm::testing::TempDir::Read(std::string(TESMIRA_SOURCE_DIR) + "/README.md");
  const std::string program = "build/bin/tesmira ";
  const auto at = readme.find(program + "-i:examples/junction.ini");
  ASSERT_NE(at, std::string::npos) << "the README lost the measurement example";
  const std::string arguments =
      readme.substr(at + program.size(), readme.find('\n', at) - at - program.size());

  tsm::testing::TempDir dir;
  std::filesystem::create_directory(dir.Path() / "examples");
  for (const char* name : {"junction.ini", "iv_curve.tsm"})
    std::filesystem::copy_file(std::string(TESMIRA_SOURCE_DIR) + "/examples/" + name,
                               dir.Path() / "examples" / name);
  const ProgramRun run = RunIn(dir.Path().string(), arguments);
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("dialog 4900 [Measurements -- IVC] -> 1"), std::string::npos) << run.out;

  const std::vector<Point> points = ReadColumns(dir.File("junction_iv.dat"));
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

}  // namespace
