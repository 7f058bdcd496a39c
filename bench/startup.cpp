// Start-up to a painted main window, measured offscreen: each run is a
// fresh process (this benchmark executed again, so the Qt libraries are
// loaded and initialised anew) that goes through the program's own start-up -
// Qt, the Ui, the card check through the emulated driver, all 24 option
// slots from a complete settings file, the window position, the menu - and
// opens a data file of 8 curves of 2000 points from its command line; the
// time ends when the plot has been painted with it. Target: 0.5 s or less.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "curves/state.h"
#include "gui/application.h"
#include "platform/profile.h"
#include "app/options_registry.h"
#include "shell/optiongroups.h"

namespace {

struct Files {
  std::filesystem::path dir;
  std::string settings, data;
  ~Files() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
};

// A settings file with every group's keys and an I-V family to open.
void MakeFiles(Files& f) {
  f.dir = std::filesystem::temp_directory_path() / ("tesmira-bench-startup-" + std::to_string(::getpid()));
  std::filesystem::create_directories(f.dir);
  f.settings = (f.dir / "tsm.ini").string();
  f.data = (f.dir / "iv.dat").string();
  tsm::app::RegisterOptionGroups();
  tsm::app::SaveAllSettings(f.settings);
  tsm::shell::ResetOptionGroups();

  constexpr int kCurves = 8, kPoints = 2000;
  std::ofstream dat(f.data, std::ios::binary);
  for (int i = 0; i < kPoints; ++i) {
    const double current = -1e-3 + 2e-3 * i / (kPoints - 1);
    for (int c = 0; c < kCurves; ++c) {
      const double ic = 1e-4 * (c + 1);
      const double v = std::fabs(current) < ic ? 0.0 : std::copysign(std::sqrt(current * current - ic * ic), current);
      dat << current << '\t' << v << (c + 1 < kCurves ? "\t" : "\r\n");
    }
  }
  std::ofstream ini((f.dir / "iv.ini").string(), std::ios::binary);
  ini << "[Picture Info]\r\nTSM_Version=3.32\r\nUnitX=A\r\nUnitY=V\r\nNumberOfCurves=" << kCurves << "\r\n";
  for (int c = 0; c < kCurves; ++c)
    ini << "NumberOfPointsInCurve" << c << "=" << kPoints << "\r\nNameOfCurve" << c << "=curve " << c << "\r\n";
  // No options dialog at loading: it would wait for the user.
  tsm::platform::WritePrivateProfileStringA("DataFile", "ShowOptionsOnLoad", "0", f.settings.c_str());
}

constexpr const char* kChildSwitch = "--startup-child";

// The program's start-up in this process; ends it with the exit code.
[[noreturn]] void RunChild(const char* settings, const char* data) {
  std::string settingsSwitch = std::string("-i:") + settings, dataPath = data;
  char name[] = "tesmira";
  char* argv[] = {name, settingsSwitch.data(), dataPath.data(), nullptr};
  tsm::gui::ApplicationOptions options;
  options.quitWhenPainted = true;
  const int result = tsm::gui::RunApplication(3, argv, options);
  // Painted with the file loaded, or it did not start.
  std::_Exit(result == 0 && tsm::curves::FamilyForPlot().Count() == 8 ? 0 : 1);
}

void BM_StartupToPaintedWindow(benchmark::State& state) {
  static Files files;
  if (files.dir.empty()) MakeFiles(files);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
      const char* argv[] = {"bench_startup", kChildSwitch, files.settings.c_str(), files.data.c_str(), nullptr};
      ::execv("/proc/self/exe", const_cast<char* const*>(argv));
      std::_Exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the program did not start and paint");
      break;
    }
    state.SetIterationTime(seconds);
  }
}
BENCHMARK(BM_StartupToPaintedWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == kChildSwitch) RunChild(argv[2], argv[3]);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
