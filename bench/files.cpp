// Speed of the data files: saving and loading a family of 8 curves of
// 250,000 points each (the target is 100 MB/s of data-file text or more,
// either way), the column text alone, and the printf / strtod baselines
// the column text replaced. Memory when loading: the peak resident size of
// opening a file of 10 million points (target: at most 1.5 times the
// points' memory plus 64 MB), its time against reading the whole text into
// memory first, as the loader once did, in the same iterations.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "bench/anchor.h"
#include "bench/memory.h"
#include "curves/state.h"
#include "files/columns.h"
#include "files/fileio.h"
#include "files/options.h"
#include "platform/headless_ui.h"

namespace {

using tsm::curves::CurrentFamily;
using tsm::curves::CurveFamily;

constexpr std::uint32_t kCurves = 8;
constexpr std::uint32_t kPoints = 250'000;

// An I-V family as a sweep gives it: a bias current ramp in amperes and
// junction voltages with noise, in volts.
void FillFamily(CurveFamily& f, std::uint32_t points = kPoints) {
  f.Clear();
  f.SetCount(kCurves);
  f.SetInfo("IVF", "A", "V", "bench");
  std::uint32_t seed = 12345;
  for (std::uint32_t c = 0; c < kCurves; ++c) {
    tsm::curves::Curve& curve = f.Curve(c);
    curve.Reserve(points);
    for (std::uint32_t i = 0; i < points; ++i) {
      seed = seed * 1664525u + 1013904223u;
      const double current = -1e-3 + 2e-3 * i / points;
      const double noise = ((seed >> 8) / 16777216.0 - 0.5) * 1e-6;
      // Zero below the critical current, then a resistive branch.
      const double critical = 4e-4 * (c + 1) / kCurves;
      const double excess = std::fabs(current) < critical
                                ? 0.0
                                : std::sqrt(current * current - critical * critical);
      const double voltage = 1e-3 * std::copysign(excess, current);
      curve.Append(static_cast<float>(current), static_cast<float>(voltage + noise));
    }
    std::string name = "V";
    name += std::to_string(c);
    curve.SetName(name.c_str());
  }
}

// TESMIRA_BENCH_KEEP_DIR names a folder that keeps family.dat and
// family.ini after the run (scripts/bench-files-python.sh reads them).
struct BenchFiles {
  BenchFiles() {
    if (const char* keepDir = std::getenv("TESMIRA_BENCH_KEEP_DIR")) {
      dir = keepDir;
      keep = true;
    } else {
      char pattern[] = "/tmp/tesmira-bench-XXXXXX";
      dir = ::mkdtemp(pattern);
    }
    dat = dir + "/family.dat";
    ini = dir + "/family.ini";
    tsm::platform::SetUi(&ui);
    auto& o = tsm::files::GetDataFileOptions();
    o.showOptionsOnSave = o.showOptionsOnLoad = false;
  }
  ~BenchFiles() {
    if (!keep) {
      ::unlink(dat.c_str());
      ::unlink(ini.c_str());
      ::rmdir(dir.c_str());
    }
    tsm::platform::SetUi(nullptr);
  }
  std::size_t DataSize() const {
    struct stat st {};
    return ::stat(dat.c_str(), &st) == 0 ? static_cast<std::size_t>(st.st_size) : 0;
  }
  std::string dir, dat, ini;
  bool keep = false;
  tsm::platform::HeadlessUi ui;
};

void BM_SaveDataFile(benchmark::State& state) {
  BenchFiles files;
  FillFamily(CurrentFamily());
  for (auto _ : state) {
    if (tsm::files::SaveDataFile(files.dat) != 0) state.SkipWithError("save failed");
    files.ui.Clear();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.DataSize()));
}
BENCHMARK(BM_SaveDataFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadDataFile(benchmark::State& state) {
  BenchFiles files;
  FillFamily(CurrentFamily());
  tsm::files::SaveDataFile(files.dat);
  for (auto _ : state) {
    if (tsm::files::LoadDataFile(files.dat, false) != 0) state.SkipWithError("load failed");
    files.ui.Clear();
  }
  if (CurrentFamily().Count() != kCurves || CurrentFamily().Curve(7).Count() != kPoints)
    state.SkipWithError("the family did not come back");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.DataSize()));
}
BENCHMARK(BM_LoadDataFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The way the loader once read a data file: the whole text into memory,
// then the columns (or, without a companion, the raw numbers) out of it.
bool LoadWholeText(const std::string& path, std::uint32_t points, bool raw, CurveFamily& f) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  struct stat st {};
  ::fstat(fd, &st);
  const auto size = static_cast<std::size_t>(st.st_size);
  char* text = static_cast<char*>(std::malloc(size + 1));
  std::size_t done = 0;
  while (text && done < size) {
    const ssize_t n = ::read(fd, text + done, size - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (!text) return false;
  f.Clear();
  f.SetCount(kCurves);
  tsm::files::ReadStatus status;
  if (raw) {
    status = tsm::files::ReadRaw(text, text + done, f, 0, kCurves, {});
  } else {
    const std::vector<std::uint32_t> counts(kCurves, points);
    for (std::uint32_t c = 0; c < kCurves; ++c) f.Curve(c).Reserve(counts[c]);
    status = tsm::files::ReadColumns(text, text + done, f, 0, counts, {});
  }
  std::free(text);
  return status == tsm::files::ReadStatus::Ok && f.Curve(kCurves - 1).Count() == points;
}

// Opening a file of 10 million points (8 curves of 1.25 million), with its
// companion (the counts known: each curve's block taken at once) and
// without it (read as raw numbers: the curves grow as they are read).
void BM_Load10MPointsPeakMemory(benchmark::State& state) {
  constexpr std::uint32_t kLongCurves = 1'250'000;
  const bool raw = state.range(0) != 0;
  BenchFiles files;
  FillFamily(CurrentFamily(), kLongCurves);
  tsm::files::SaveDataFile(files.dat);
  const std::string aside = files.ini + ".aside";
  if (raw) ::rename(files.ini.c_str(), aside.c_str());
  CurrentFamily().Clear();
  malloc_trim(0);
  const std::uint64_t before = tsm::bench::StatusBytes("VmRSS:");
  if (!tsm::bench::ResetPeakResident())
    state.SkipWithError("cannot reset the peak (/proc/self/clear_refs)");
  bool first = true;
  double peak = 0;
  tsm::bench::Anchored timed;
  for (auto _ : state) {
    using tsm::bench::Moment;
    if (raw) files.ui.PushAnswer(tsm::platform::IDYES);  // open it without the companion
    const Moment t0 = Moment::Now();
    if (tsm::files::LoadDataFile(files.dat, false) != 0) state.SkipWithError("load failed");
    const Moment t1 = Moment::Now();
    files.ui.Clear();
    if (first) {
      peak = static_cast<double>(tsm::bench::StatusBytes("VmHWM:"));
      first = false;
    }
    if (CurrentFamily().Count() != kCurves || CurrentFamily().Curve(7).Count() != kLongCurves)
      state.SkipWithError("the family did not come back");
    CurrentFamily().Clear();
    CurveFamily old;
    const Moment t2 = Moment::Now();
    if (!LoadWholeText(files.dat, kLongCurves, raw, old))
      state.SkipWithError("whole-text load failed");
    const Moment t3 = Moment::Now();
    state.SetIterationTime(timed.Add(t0, t1, t2, t3));
  }
  if (raw) ::rename(aside.c_str(), files.ini.c_str());
  const double points = 8.0 * kCurves * kLongCurves;
  state.counters["file_MB"] = static_cast<double>(files.DataSize()) / 1e6;
  state.counters["points_MB"] = points / 1e6;
  state.counters["rss_before_MB"] = static_cast<double>(before) / 1e6;
  state.counters["peak_rss_MB"] = peak / 1e6;
  state.counters["target_MB"] = (1.5 * points) / 1e6 + 64 * 1.048576;
  timed.Report(state, "whole_text");
}
BENCHMARK(BM_Load10MPointsPeakMemory)
    ->ArgName("raw")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

// The column text alone, into memory.
void BM_FormatRows(benchmark::State& state) {
  CurveFamily f;
  FillFamily(f);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = tsm::files::FormatRows(f, tsm::files::RowLayout{12, '\t', true});
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_FormatRows)->Unit(benchmark::kMillisecond);

void BM_ReadColumns(benchmark::State& state) {
  CurveFamily f;
  FillFamily(f);
  const std::string text = tsm::files::FormatRows(f, tsm::files::RowLayout{12, '\t', true});
  const std::vector<std::uint32_t> counts(kCurves, kPoints);
  for (auto _ : state) {
    CurveFamily g;
    g.SetCount(kCurves);
    for (std::uint32_t c = 0; c < kCurves; ++c) g.Curve(c).Reserve(kPoints);
    tsm::files::ReadColumns(text.data(), text.data() + text.size(), g, 0, counts, {});
    benchmark::DoNotOptimize(g.Curve(7).Data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadColumns)->Unit(benchmark::kMillisecond);

// Baseline: the same rows through snprintf("%*.*g").
void BM_FormatRowsWithSnprintf(benchmark::State& state) {
  CurveFamily f;
  FillFamily(f);
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string text;
    char field[64];
    for (std::uint32_t r = 0; r < kPoints; ++r)
      for (std::uint32_t c = 0; c < kCurves; ++c) {
        const auto& p = f.Curve(c).Data()[r];
        const int n = std::snprintf(field, sizeof field, "%*.*g\t%*.*g%s", 12, 8, p.x, 12, 8,
                                    p.y, c + 1 < kCurves ? "\t" : "\r\n");
        text.append(field, static_cast<std::size_t>(n));
      }
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_FormatRowsWithSnprintf)->Unit(benchmark::kMillisecond);

// Baseline: the same text through strtod.
void BM_ReadColumnsWithStrtod(benchmark::State& state) {
  CurveFamily f;
  FillFamily(f);
  const std::string text = tsm::files::FormatRows(f, tsm::files::RowLayout{12, '\t', true});
  for (auto _ : state) {
    std::vector<float> values;
    values.reserve(2u * kCurves * kPoints);
    const char* p = text.c_str();
    char* end;
    for (;;) {
      const double v = std::strtod(p, &end);
      if (end == p) break;
      values.push_back(static_cast<float>(v));
      p = end;
    }
    benchmark::DoNotOptimize(values.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadColumnsWithStrtod)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
