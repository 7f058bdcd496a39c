// What the end-to-end tests of the examples share: running the built program
// as the README prints its command, from a folder that holds the examples as
// the repository does, and reading the columns of the data file it saved.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace tsm::testing {

struct ProgramRun {
  std::string out;
  int exitCode = -1;
};

// Runs the program with the arguments in `dir`, without a display.
// `prefix` goes before the program (a "timeout" command).
inline ProgramRun RunIn(const std::string& dir, const std::string& arguments,
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

// The arguments of the README's command line that begins
// "build/bin/tesmira " + `start`; empty when the README lost it.
inline std::string ReadmeArguments(const std::string& start) {
  const std::string readme = TempDir::Read(std::string(TESMIRA_SOURCE_DIR) + "/README.md");
  const std::string program = "build/bin/tesmira ";
  const auto at = readme.find(program + start);
  if (at == std::string::npos) return {};
  return readme.substr(at + program.size(), readme.find('\n', at) - at - program.size());
}

// Copies examples/NAME for every name into dir/examples.
inline void CopyExamples(const TempDir& dir, std::initializer_list<const char*> names) {
  std::filesystem::create_directory(dir.Path() / "examples");
  for (const char* name : names)
    std::filesystem::copy_file(std::string(TESMIRA_SOURCE_DIR) + "/examples/" + name,
                               dir.Path() / "examples" / name);
}

struct Point {
  double x, y;
};

// The first two columns of every data row of a saved file.
inline std::vector<Point> ReadColumns(const std::string& path) {
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

// Every row of a data file as its numbers.
inline std::vector<std::vector<double>> ReadRows(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::vector<double>> rows;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::vector<double> row;
    double v;
    while (fields >> v) row.push_back(v);
    if (!row.empty()) rows.push_back(row);
  }
  return rows;
}

}  // namespace tsm::testing
