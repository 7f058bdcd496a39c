// "tesmira -batch:FILE" run as a user would, without any display: a data
// file named on the command line is zoomed, panned, cut by a rectangle,
// restored with Undo and saved, and the files written are compared; the
// exit status tells failed lines; the README's example runs as printed;
// pictures of the window and of a dialog; --help; the sounds beside it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/test_support.h"

namespace {

using tsm::testing::TempDir;

struct ProgramRun {
  std::string out, err;
  int exitCode = -1;
};

// Runs the program in `dir` without a display.
ProgramRun RunProgram(const TempDir& dir, const std::string& arguments) {
  const std::string errFile = dir.File("stderr.txt");
  const std::string command = "cd '" + dir.Path().string() +
                              "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                              TESMIRA_EXE + "' " + arguments + " 2>'" + errFile + "'";
  ProgramRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[512];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = ::pclose(pipe);
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  run.err = TempDir::Read(errFile);
  return run;
}

// Two curves of 11 points (x = 0..10; y = x and y = 2x) with their companion.
void WriteDataFile(const TempDir& dir, const std::string& name) {
  std::string rows;
  for (int x = 0; x <= 10; ++x)
    rows += std::to_string(x) + "\t" + std::to_string(x) + "\t" + std::to_string(x) + "\t" +
            std::to_string(2 * x) + "\r\n";
  dir.Write(name + ".dat", rows);
  dir.Write(name + ".ini",
            "[Picture Info]\r\nTSM_Version=3.32\r\nGraphName=line\r\nUnitX=A\r\nUnitY=V\r\n"
            "NumberOfCurves=2\r\nNumberOfPointsInCurve0=11\r\nNumberOfPointsInCurve1=11\r\n"
            "NameOfCurve0=slope 1\r\nNameOfCurve1=slope 2\r\n");
}

// The companion file without the "Setup" keys, which hold the plot view.
std::string WithoutView(const std::string& ini) {
  std::istringstream in(ini);
  std::string line, out;
  bool setup = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '[') setup = line.rfind("[Setup]", 0) == 0;
    if (!setup) out += line + "\n";
  }
  return out;
}

std::size_t Lines(const std::string& text) {
  std::size_t n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

TEST(Batch, ZoomPanDeleteUndoAndSaveWriteTheFamilyItRead) {
  TempDir dir;
  WriteDataFile(dir, "line");
  dir.Write("plain.tsm", "save plain.dat\n");
  dir.Write("edit.tsm",
            "run Zoom In\n"
            "run Pan Left\n"
            "run Pan Right\n"
            "run Zoom Extents\n"
            "select 2.5 -1 5.5 30\n"
            "run Delete data points in\n"
            "expect points 0 8\n"
            "save cut.dat\n"
            "run Undo\n"
            "expect points 1 11\n"
            "save restored.dat\n");
  const ProgramRun plain = RunProgram(dir, "-batch:plain.tsm -i:batch.ini line.dat");
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  const ProgramRun edit = RunProgram(dir, "-batch:edit.tsm -i:batch.ini line.dat");
  ASSERT_EQ(edit.exitCode, 0) << edit.err;
  EXPECT_EQ(edit.err, "");

  const std::string reference = TempDir::Read(dir.File("plain.dat"));
  ASSERT_EQ(Lines(reference), 11u);
  EXPECT_EQ(TempDir::Read(dir.File("restored.dat")), reference);
  EXPECT_EQ(WithoutView(TempDir::Read(dir.File("restored.ini"))),
            WithoutView(TempDir::Read(dir.File("plain.ini"))));
  // The cut file lacks x = 3, 4 and 5 of both curves.
  const std::string cut = TempDir::Read(dir.File("cut.dat"));
  EXPECT_EQ(Lines(cut), 8u);
  EXPECT_EQ(cut.find("           3\t"), std::string::npos);
  EXPECT_NE(cut.find("           6\t"), std::string::npos);
  EXPECT_NE(TempDir::Read(dir.File("cut.ini")).find("NumberOfPointsInCurve1=8"), std::string::npos);
  // Each save showed the "Data Saving && Loading" dialog, echoed.
  EXPECT_NE(edit.out.find("dialog 142 [Data Saving && Loading] -> 1\n"), std::string::npos);
}

TEST(Batch, EchoesMessageBoxesAndFailsOnABadLine) {
  TempDir dir;
  WriteDataFile(dir, "line");
  dir.Write("bad.tsm",
            "run Zoom Window\n"      // no selection: greyed
            "answer no\n"            // the unsaved-data question of Exit
            "run Integrate\n"
            "run Exit\n");
  const ProgramRun run = RunProgram(dir, "-batch:bad.tsm -i:batch.ini line.dat");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "batch:1: command 231 \"Zoom Window\" is greyed\n");
  EXPECT_NE(run.out.find("message [Tesmira] You have unsaved data!\\nWould you like to save them "
                         "now? -> No\n"),
            std::string::npos);

  dir.Write("typo.tsm", "run Integrate\nsave x.dat\nrun Zoom Inn\n");
  const ProgramRun typo = RunProgram(dir, "-batch:typo.tsm -i:batch.ini line.dat");
  EXPECT_EQ(typo.exitCode, 1);
  EXPECT_EQ(typo.err, "batch:3: no menu item is called \"Zoom Inn\"\nbatch: nothing was run\n");
  EXPECT_FALSE(std::ifstream(dir.File("x.dat")).good());

  const ProgramRun missing = RunProgram(dir, "-batch:nothere.tsm");
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(missing.err, "tesmira: cannot read the batch script nothere.tsm\n");

  // A folder ran nothing and "succeeded"; a FIFO blocked the start.
  std::filesystem::create_directory(dir.Path() / "folder.tsm");
  const ProgramRun folder = RunProgram(dir, "-batch:folder.tsm");
  EXPECT_EQ(folder.exitCode, 2);
  EXPECT_EQ(folder.err, "tesmira: the batch script folder.tsm is not a regular file\n");
  tsm::testing::MakeFifo(dir.File("pipe.tsm"));
  ProgramRun pipe;
  EXPECT_TRUE(tsm::testing::ReturnsWithin(
      std::chrono::seconds(30), [&] { pipe = RunProgram(dir, "-batch:pipe.tsm"); },
      [&] { tsm::testing::UnblockFifo(dir.File("pipe.tsm")); }));
  EXPECT_EQ(pipe.exitCode, 2);
}

// The example of the README's "Batch mode" section, run as it is printed.
TEST(Batch, ReadmeExampleRuns) {
  const std::string readme = TempDir::Read(std::string(TESMIRA_SOURCE_DIR) + "/README.md");
  const std::string start = "```\n# smooth.tsm";
  const auto begin = readme.find(start);
  ASSERT_NE(begin, std::string::npos) << "the README lost its batch example";
  const auto end = readme.find("```", begin + 4);
  ASSERT_NE(end, std::string::npos);
  const std::string script = readme.substr(begin + 4, end - begin - 4);
  const auto commandAt = readme.find("tesmira -batch:smooth.tsm");
  ASSERT_NE(commandAt, std::string::npos);
  const std::string command = readme.substr(commandAt + 8, readme.find('\n', commandAt) - commandAt - 8);

  TempDir dir;
  WriteDataFile(dir, "run");
  dir.Write("smooth.tsm", script);
  const ProgramRun run = RunProgram(dir, command);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string saved = TempDir::Read(dir.File("smoothed.dat"));
  EXPECT_EQ(Lines(saved), 11u);
  // The output the README shows.
  const auto outputAt = readme.find("```\ndialog 142");
  ASSERT_NE(outputAt, std::string::npos);
  const std::string output = readme.substr(outputAt + 4, readme.find("```", outputAt + 4) - outputAt - 4);
  EXPECT_EQ(run.out, output);
}

// Pictures of the screens without a display: the main window after a
// command and the dialog a script holds open, as PNG files.
TEST(Batch, SnapshotsWriteTheWindowAndTheOpenDialog) {
  TempDir dir;
  WriteDataFile(dir, "line");
  dir.Write("pictures.tsm",
            "run Zoom In\n"
            "snapshot window.png\n"
            "dialog 3101\n"
            "  snapshot smooth.png\n"
            "  cancel\n"
            "end\n"
            "try run Smooth\n"
            "snapshot nofolder/x.png\n");
  const ProgramRun run = RunProgram(dir, "-batch:pictures.tsm -i:batch.ini line.dat");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("batch:8: no picture of the window:"), std::string::npos) << run.err;
  for (const char* name : {"window.png", "smooth.png"}) {
    const std::string png = TempDir::Read(dir.File(name));
    ASSERT_GT(png.size(), 1000u) << name;
    EXPECT_EQ(png.substr(1, 3), "PNG") << name;
  }
  EXPECT_EQ(run.err.find("QStandardPaths"), std::string::npos) << "a Qt warning: " << run.err;
}

// --help and -h print the command line and end at once, display or not; the
// completion sounds lie beside the program.
TEST(Program, HelpPrintsTheUsageAndTheSoundsLieBesideTheProgram) {
  TempDir dir;
  for (const char* help : {"--help", "-h"}) {
    const ProgramRun run = RunProgram(dir, help);
    EXPECT_EQ(run.exitCode, 0) << help;
    EXPECT_EQ(run.out.rfind("usage: tesmira [-driver:comedi|emulated] [-i:SETTINGS.ini]", 0), 0u)
        << run.out;
    EXPECT_NE(run.out.find("-batch:SCRIPT"), std::string::npos);
    EXPECT_EQ(run.err, "");
  }
  const std::filesystem::path program(TESMIRA_EXE);
  for (const char* sound : {"IVC.wav", "IVF.wav", "Ic(H).wav", "Ic(T).wav", "R(T).wav",
                            "V(T).wav", "V(time).wav", "Vdc(Iac).wav", "WFM.wav"}) {
    const std::string wav = TempDir::Read((program.parent_path() / sound).string());
    ASSERT_GT(wav.size(), 1000u) << sound;
    EXPECT_EQ(wav.substr(0, 4), "RIFF") << sound;
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ") << sound;
  }
}

}  // namespace
