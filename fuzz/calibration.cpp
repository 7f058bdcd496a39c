// Fuzz target: a temperature calibration file ("*.t") from any bytes.
// Reading must come back without a crash, hold at most 1024 finite entries,
// and every temperature looked up in the table must be one of its
// interpolations or "InterpErr".
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "channels/thermometer.h"
#include "platform/headless_ui.h"

namespace {

const std::string& File() {
  static const std::string file = [] {
    char pattern[] = "/tmp/tesmira-fuzz-calibration-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    static const std::string dir = pattern;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(dir, ec);
    });
    return dir + "/cal.t";
  }();
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tsm;
  static platform::HeadlessUi ui;
  platform::SetUi(&ui);
  FILE* f = std::fopen(File().c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);

  const std::uint32_t n = channels::LoadCalibration(File());
  if (n > channels::kMaxCalibrationEntries) std::abort();
  for (const channels::CalibrationEntry& e : channels::CalibrationTable())
    if (!std::isfinite(e.t) || !std::isfinite(e.x)) std::abort();
  if (n > 0) {
    const double t = channels::InterpolateTemperature(channels::CalibrationTable()[0].x);
    if (std::isnan(t)) std::abort();
  }
  ui.Clear();
  platform::SetUi(nullptr);
  return 0;
}
