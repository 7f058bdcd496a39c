// The examples of the README run as a user would: "tesmira -i:... -batch:..."
// without a display measures the I-V curve of the emulated junction and
// saves it (the saved file holds the hysteretic curve), or measures it and
// writes the table of its junction parameters.
#include <gtest/gtest.h>
#include <sys/wait.h>

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

ProgramRun RunIn(const std::string& dir, const std::string& arguments) {
  const std::string command = "cd '" + dir +
                              "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
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

// Runs the README's example command for the given script, from a folder
// that holds the examples as the repository does.
ProgramRun RunReadmeExample(const tsm::testing::TempDir& dir, const std::string& script) {
  const std::string readme =
      tsm::testing::TempDir::Read(std::string(TESMIRA_SOURCE_DIR) + "/README.md");
  const std::string program = "build/bin/tesmira ";
  const auto at = readme.find(program + "-i:examples/junction.ini -batch:examples/" + script);
  if (at == std::string::npos) {
    ADD_FAILURE() << "the README lost the example of " << script;
    return {};
  }
  const std::string arguments =
      readme.substr(at + program.size(), readme.find('\n', at) - at - program.size());
  std::filesystem::create_directory(dir.Path() / "examples");
  for (const char* name : {"junction.ini", script.c_str()})
    std::filesystem::copy_file(std::string(TESMIRA_SOURCE_DIR) + "/examples/" + name,
                               dir.Path() / "examples" / name);
  return RunIn(dir.Path().string(), arguments);
}

TEST(MeasureBatch, TheExampleMeasuresAndSavesTheHystereticCurveOfTheJunction) {
  tsm::testing::TempDir dir;
  const ProgramRun run = RunReadmeExample(dir, "iv_curve.tsm");
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

TEST(MeasureBatch, TheJunctionTableOfTheEmulatedJunction) {
  tsm::testing::TempDir dir;
  const ProgramRun run = RunReadmeExample(dir, "junction_table.tsm");
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
  const std::vector<Point> points = ReadColumns(dir.File("junction_ic.dat"));
  ASSERT_EQ(points.size(), 1u) << run.out;
}

}  // namespace
