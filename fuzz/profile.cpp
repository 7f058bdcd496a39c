// Fuzz target: any bytes as a settings file. Every reader and a write must
// come back without a crash, and a key just written must read back.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/profile.h"

using namespace tsm::platform;

namespace {
const std::string& Path() {
  static const std::string path = [] {
    char dir[] = "/tmp/tesmira-fuzz-profile-XXXXXX";
    if (!::mkdtemp(dir)) std::abort();
    static const std::string keep = dir;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(keep, ec);
    });
    return keep + "/f.ini";
  }();
  return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = Path();
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  ProfileCacheClear();
  char buf[256];
  char sections[512];
  const unsigned long n = GetPrivateProfileStringA(nullptr, nullptr, "", sections, sizeof sections,
                                                   path.c_str());
  // Read every listed section's keys and a few values by name.
  for (unsigned long i = 0; i < n;) {
    const char* section = sections + i;
    GetPrivateProfileStringA(section, nullptr, "", buf, sizeof buf, path.c_str());
    GetPrivateProfileIntA(section, buf, 0, path.c_str());
    ReadProfileFloat(section, buf, 1.0, path.c_str());
    ReadProfileLong(section, buf, 1, path.c_str());
    i += std::string(section).size() + 1;
  }
  // A key just written reads back, from the cache and from the file.
  if (WritePrivateProfileStringA("Setup", "GridX", "3", path.c_str())) {
    if (GetPrivateProfileIntA("Setup", "GridX", 0, path.c_str()) != 3) std::abort();
    ProfileCacheClear();
    if (GetPrivateProfileIntA("Setup", "GridX", 0, path.c_str()) != 3) std::abort();
  }
  return 0;
}
