#include "tests/support/test_support.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace tsm::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tesmira-test-XXXXXX").string();
  if (char* made = ::mkdtemp(pattern.data())) path_ = made;
}

TempDir::~TempDir() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
  const std::string path = File(name);
  std::ofstream out(path, std::ios::binary);
  out << content;
  return path;
}

std::string TempDir::Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace tsm::testing

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Tests provoke program-error reports on purpose; keep the log readable.
  tsm::platform::SetAssertionEcho(false);
  return RUN_ALL_TESTS();
}
