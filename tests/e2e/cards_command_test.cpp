// "tesmira -cards" run as a user would: no display, the inventory on
// standard output, the exit status telling whether the cards suffice.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "daq/emulated_driver.h"
#include "app/cards_command.h"
#include "tests/daq/emulated_inventory.h"
#include "tests/support/test_support.h"

namespace {

using tsm::testing::kEmulatedInventory;

struct ProgramRun {
  std::string out;
  int exitCode = -1;
};

// Runs the program without any display and returns its standard output.
ProgramRun RunProgram(const std::string& switchText) {
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                              std::string(TESMIRA_EXE) + "' " + switchText + " 2>/dev/null";
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

TEST(CardsCommand, PrintsTheInventoryOfTheEmulatedCardsWithoutADisplay) {
  const ProgramRun run = RunProgram("-cards");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, kEmulatedInventory);
}

TEST(CardsCommand, AcceptsTheSlashFormAfterOtherArguments) {
  const ProgramRun run = RunProgram("data.dat /cards");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, kEmulatedInventory);
}

// Without cards the command still prints what it found and says so in its
// exit status (run in-process: the program itself always has the emulation).
class NoCardsDriver : public tsm::daq::EmulatedDriver {
 public:
  tsm::daq::DriverStatus Device_Query(std::int16_t, std::int32_t, std::uint32_t*) override {
    return tsm::daq::kStatusFailed;
  }
};

TEST(CardsCommand, ExitsWith2WhenCardsAreMissing) {
  tsm::testing::TempDir dir;
  NoCardsDriver driver;
  tsm::daq::SetDriver(&driver);
  const std::string outFile = dir.File("out.txt");
  std::fflush(stdout);
  const int saved = ::dup(STDOUT_FILENO);
  FILE* out = std::fopen(outFile.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  ::dup2(::fileno(out), STDOUT_FILENO);
  const int code = tsm::app::RunCardsCommand(dir.Path().string() + "/");
  std::fflush(stdout);
  ::dup2(saved, STDOUT_FILENO);
  ::close(saved);
  std::fclose(out);
  tsm::daq::SetDriver(nullptr);
  EXPECT_EQ(code, 2);
  EXPECT_EQ(tsm::testing::TempDir::Read(outFile), "Zentra version 0500 detected.\n");
}

// The real-card backend over comedilib itself, on a machine without comedi
// devices (CI has neither devices nor the kernel module).
TEST(CardsCommand, WithComediAndNoDeviceSaysSoAndExitsWith2) {
  if (::access("/dev/comedi0", F_OK) == 0) GTEST_SKIP() << "this machine has a comedi device";
  const ProgramRun run = RunProgram("-driver:comedi -cards");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out,
            "Get_Zentra_Version() failed\n\n"
            "No comedi device found (/dev/comedi0 to /dev/comedi15): No such file or "
            "directory.\n");
}

TEST(CardsCommand, AnUnknownDriverEndsTheProgramWithExitCode4) {
  EXPECT_EQ(RunProgram("-driver:fast -cards").exitCode, 4);
  EXPECT_EQ(RunProgram("-cards -driver:emulated").out, kEmulatedInventory);
}

TEST(CardsCommand, RecognisesItsSwitchOnly) {
  const char* cards[] = {"tesmira", "x.dat", "-cards"};
  const char* slash[] = {"tesmira", "/cards"};
  const char* other[] = {"tesmira", "-card", "cards", "-batch:cards"};
  EXPECT_TRUE(tsm::app::IsCardsCommand(3, cards));
  EXPECT_TRUE(tsm::app::IsCardsCommand(2, slash));
  EXPECT_FALSE(tsm::app::IsCardsCommand(4, other));
  const std::string dir = tsm::app::ExecutableDirectory();
  EXPECT_EQ(dir.back(), '/');
}

}  // namespace
