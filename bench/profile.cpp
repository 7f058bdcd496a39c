// Settings-file speed: a whole-settings save and load of 2,000 keys in 30
// sections, as the option groups do it (integers, reals and strings mixed).
// Target: 20 ms or less for each half with the cache and, for the save, one
// ProfileBatch. The baseline in the same run parses the file on every call
// and writes without a batch (one file replacement per key).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/profile.h"

namespace {

using namespace tsm::platform;

constexpr int kKeys = 2000;
constexpr int kSections = 30;

struct Key {
  std::string section;
  std::string key;
  int kind;  // 0 integer, 1 real, 2 string
};

const std::vector<Key>& Keys() {
  static const std::vector<Key> keys = [] {
    std::vector<Key> k;
    char sec[32], key[48];
    for (int i = 0; i < kKeys; ++i) {
      std::snprintf(sec, sizeof sec, "Section %02d", i % kSections);
      std::snprintf(key, sizeof key, "VirtCurr[%03d].Setting%d", i / kSections, i % 7);
      k.push_back({sec, key, i % 3});
    }
    return k;
  }();
  return keys;
}

// A settings file in a folder of its own, removed at exit.
const std::string& IniPath() {
  static const std::string path = [] {
    std::string dir = (std::filesystem::temp_directory_path() / "tesmira-bench-XXXXXX").string();
    if (!::mkdtemp(dir.data())) std::abort();
    static const std::string keep = dir;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(keep, ec);
    });
    return dir + "/tsm.ini";
  }();
  return path;
}

void WriteAll(const char* file, int round) {
  for (int i = 0; i < kKeys; ++i) {
    const Key& k = Keys()[i];
    switch (k.kind) {
      case 0: WriteProfileInt(k.section.c_str(), k.key.c_str(), i + round, "%d", file); break;
      case 1: WriteProfileFloat(k.section.c_str(), k.key.c_str(), (i + round) * 1e-3, "%-G", file); break;
      default: WritePrivateProfileStringA(k.section.c_str(), k.key.c_str(), "C:\\data\\sample.dat", file);
    }
  }
}

double ReadAll(const char* file) {
  double sum = 0;
  char buf[260];
  for (const Key& k : Keys()) {
    switch (k.kind) {
      case 0: sum += GetPrivateProfileIntA(k.section.c_str(), k.key.c_str(), 0, file); break;
      case 1: sum += ReadProfileFloat(k.section.c_str(), k.key.c_str(), 0.0, file); break;
      default:
        sum += static_cast<double>(GetPrivateProfileStringA(k.section.c_str(), k.key.c_str(), "",
                                                            buf, sizeof buf, file));
    }
  }
  return sum;
}

// The file as a previous save left it; the cache starts cold.
void Prepare(bool cache) {
  ProfileCacheEnable(true);
  std::filesystem::remove(IniPath());
  {
    ProfileBatch batch;
    WriteAll(IniPath().c_str(), 0);
  }
  ProfileCacheClear();
  ProfileCacheEnable(cache);
}

void BM_SaveCachedBatch(benchmark::State& state) {
  Prepare(true);
  int round = 1;
  for (auto _ : state) {
    ProfileCacheClear();  // include reading the old file once
    ProfileBatch batch;
    WriteAll(IniPath().c_str(), round++);
    if (!batch.Commit()) state.SkipWithError("write failed");
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}

void BM_LoadCached(benchmark::State& state) {
  Prepare(true);
  for (auto _ : state) {
    ProfileCacheClear();  // the first key parses the file
    benchmark::DoNotOptimize(ReadAll(IniPath().c_str()));
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}

void BM_SaveBaseline(benchmark::State& state) {
  Prepare(false);
  int round = 1;
  for (auto _ : state) WriteAll(IniPath().c_str(), round++);
  state.SetItemsProcessed(state.iterations() * kKeys);
  ProfileCacheEnable(true);
}

void BM_LoadBaseline(benchmark::State& state) {
  Prepare(false);
  for (auto _ : state) benchmark::DoNotOptimize(ReadAll(IniPath().c_str()));
  state.SetItemsProcessed(state.iterations() * kKeys);
  ProfileCacheEnable(true);
}

BENCHMARK(BM_SaveCachedBatch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadCached)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveBaseline)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LoadBaseline)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
