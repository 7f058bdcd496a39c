// Fuzz target: a drawing file from any bytes. Reading it must come back
// without a crash; a drawing that fails leaves the family as it was; one
// that is read holds no more points than its bytes can describe (a point
// takes at least four bytes, a curve one record), so nothing it claims is
// believed; and loading it through Open or Add never asks for much more
// memory than the file could hold.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "curves/state.h"
#include "files/dxb.h"
#include "files/fileio.h"
#include "files/state.h"
#include "platform/assert.h"
#include "platform/headless_ui.h"

namespace {

const std::string& File() {
  static const std::string path = [] {
    char pattern[] = "/tmp/tesmira-fuzz-dxb-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    static const std::string keep = pattern;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(keep, ec);
    });
    return keep + "/in.dxb";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tsm;
  const files::DxbDrawing drawing = files::ParseDxb(data, size);
  std::size_t points = 0;
  for (const files::DxbCurve& c : drawing.curves) points += c.points.size() + 1;
  if (points > size) std::abort();

  FILE* f = std::fopen(File().c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);

  platform::ScopedHeadlessUi ui;
  platform::SetAssertionEcho(false);
  curves::ResetCurvesState();
  files::ResetFilesState();
  const std::size_t limit = 64 * (size + 4096);
  curves::SetAllocationHook([limit](std::size_t bytes) {
    if (bytes > limit) std::abort();
    return false;
  });
  curves::CurrentFamily().SetCount(1);
  curves::CurrentFamily().Curve(0).Append(1, 2);
  const bool add = size % 2 == 1;
  const int result = files::LoadDxbFile(File(), add);
  const std::uint32_t expected =
      result == files::kFileOk ? static_cast<std::uint32_t>(drawing.curves.size()) + (add ? 1 : 0)
                               : 1;
  if ((result == files::kFileOk) != drawing.ok) std::abort();
  if (curves::CurrentFamily().Count() != expected) std::abort();
  curves::SetAllocationHook(nullptr);
  curves::ResetCurvesState();
  return 0;
}
