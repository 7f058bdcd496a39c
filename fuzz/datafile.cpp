// Fuzz target: a companion file and a data file from any bytes (split at the
// first NUL; the first byte chooses the extension, replace or add, and the
// answer to the missing-companion question). Loading must come back without
// a crash, never ask for much more memory than the two files could hold, and
// whatever family it leaves must save and load again with the same curves.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "curves/state.h"
#include "files/fileio.h"
#include "files/options.h"
#include "files/state.h"
#include "platform/assert.h"
#include "platform/headless_ui.h"
#include "platform/profile.h"

namespace {

const std::string& Dir() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/tesmira-fuzz-datafile-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    static const std::string keep = pattern;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(keep, ec);
    });
    return keep;
  }();
  return dir;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tsm;
  if (size == 0) return 0;
  const std::uint8_t flags = data[0];
  ++data;
  --size;
  std::size_t split = 0;
  while (split < size && data[split] != 0) ++split;
  const std::size_t dataStart = split < size ? split + 1 : size;

  static const char* const kExtensions[4] = {".dat", ".TQD", ".prn", ".tq"};
  const std::string base = Dir() + "/in";
  const std::string dat = base + kExtensions[flags & 3];
  const std::string ini = base + ".ini";
  if (flags & 4)
    WriteFile(ini, data, split);
  else
    ::unlink(ini.c_str());
  WriteFile(dat, data + dataStart, size - dataStart);

  platform::ScopedHeadlessUi ui;
  platform::SetAssertionEcho(false);
  platform::ClearAssertions();
  platform::ProfileCacheClear();
  curves::ResetCurvesState();
  files::ResetFilesState();
  files::ResetDataFileOptions();
  files::GetDataFileOptions().showOptionsOnLoad = false;
  files::GetDataFileOptions().showOptionsOnSave = false;
  files::GetDataFileOptions().sort = (flags & 16) != 0;
  // Points take 8 bytes and each needs two characters; curve slots are
  // bounded by the companion's size. Far more than that means a claim was
  // believed.
  const std::size_t limit = 64 * (size + 4096);
  curves::SetAllocationHook([limit](std::size_t bytes) {
    if (bytes > limit) std::abort();
    return false;
  });

  ui->PushAnswer((flags & 8) ? platform::IDYES : platform::IDNO);
  const bool add = (flags & 32) != 0;
  if (add) {
    // Something to add to.
    curves::CurrentFamily().SetCount(1);
    curves::CurrentFamily().Curve(0).Append(1, 2);
  }
  files::LoadDataFile(dat, add);

  // Whatever came in must go out and back unchanged in shape.
  const std::string again = Dir() + "/again.dat";
  curves::CurveFamily& family = curves::CurrentFamily();
  if (files::SaveDataFile(again) != files::kFileOk) std::abort();
  std::vector<std::uint32_t> counts;
  for (std::uint32_t i = 0; i < family.Count(); ++i) counts.push_back(family.Curve(i).Count());
  platform::ProfileCacheClear();
  if (files::LoadDataFile(again, false) != files::kFileOk) std::abort();
  if (family.Count() != counts.size()) std::abort();
  for (std::uint32_t i = 0; i < family.Count(); ++i)
    if (family.Curve(i).Count() != counts[i]) std::abort();

  curves::SetAllocationHook(nullptr);
  curves::ResetCurvesState();
  return 0;
}
