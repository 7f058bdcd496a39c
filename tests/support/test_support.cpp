#include "tests/support/test_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

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

void MakeFifo(const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0) << path; }

void UnblockFifo(const std::string& path) {
  // Succeeds only while a reader has it open (ENXIO otherwise).
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
  if (fd >= 0) ::close(fd);
}

bool ReturnsWithin(std::chrono::milliseconds limit, const std::function<void()>& work,
                   const std::function<void()>& unblock) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    work();
    done.store(true);
  });
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!done.load() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const bool inTime = done.load();
  while (!done.load()) {
    unblock();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  worker.join();
  return inTime;
}

}  // namespace tsm::testing

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Tests provoke program-error reports on purpose; keep the log readable.
  tsm::platform::SetAssertionEcho(false);
  return RUN_ALL_TESTS();
}
