// The out-of-memory handler: its message with the requested size, Retry and
// Cancel, and that a failing allocation of the program reaches it.
#include "app/out_of_memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "curves/state.h"
#include "curves/undo.h"
#include "files/fileio.h"
#include "files/options.h"
#include "tests/support/test_support.h"

namespace tsm::app {
namespace {

class OutOfMemoryTest : public tsm::testing::UiTest {};

TEST_F(OutOfMemoryTest, RetryReturnsToTheAllocation) {
  SetFailedAllocationSize(123456);
  ui->PushAnswer(platform::IDRETRY);
  OutOfMemoryHandler();
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "Not enough memory (RAM) for normal operation.\nAt this point it is nessesary to "
            "allocate 123456 bytes.\nTry to close other applications and choose \"retry\" "
            "below.\nIf you choose \"cancel\" Tesmira will exit,\nall unsaved data will be lost.");
  EXPECT_EQ(boxes[0].caption, "Tesmira");
  EXPECT_EQ(boxes[0].type, platform::MB_RETRYCANCEL | platform::MB_ICONHAND);
}

TEST_F(OutOfMemoryTest, CancelEndsTheProcessWithMinusOne) {
  EXPECT_EXIT(
      {
        ui->PushAnswer(platform::IDCANCEL);
        OutOfMemoryHandler();
      },
      ::testing::ExitedWithCode(255), "");
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TSM_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TSM_SANITIZED 1
#endif
#endif

std::size_t seenSize = 0;
[[maybe_unused]] void RecordingHandler() {
  seenSize = FailedAllocationSize();
  std::set_new_handler(nullptr);  // the next failure throws
}

TEST(OutOfMemory, AFailedAllocationTellsTheHandlerItsSize) {
#ifdef TSM_SANITIZED
  GTEST_SKIP() << "sanitizers refuse impossible allocations before the handler runs";
#else
  const std::new_handler previous = std::set_new_handler(&RecordingHandler);
  const std::size_t huge = std::size_t{1} << 62;
  EXPECT_THROW(static_cast<void>(::operator new(huge)), std::bad_alloc);
  EXPECT_EQ(seenSize, huge);
  std::set_new_handler(previous);
#endif
}

int handlerCalls = 0;
[[maybe_unused]] void CountingHandler() {
  ++handlerCalls;
  std::set_new_handler(nullptr);  // the next failure throws
}

// Keeps the compiler from removing an allocation whose result goes unused.
void Use(void* p) { asm volatile("" : : "r"(p) : "memory"); }

TEST(OutOfMemory, TheNothrowFormsGiveNullWithoutAskingTheHandler) {
#ifdef TSM_SANITIZED
  GTEST_SKIP() << "sanitizers refuse impossible allocations before the handler runs";
#else
  handlerCalls = 0;
  const std::new_handler previous = std::set_new_handler(&CountingHandler);
  volatile std::size_t huge = std::size_t{1} << 62;
  void* single = ::operator new(huge, std::nothrow);
  char* array = new (std::nothrow) char[huge];
  std::set_new_handler(previous);
  EXPECT_EQ(single, nullptr);
  EXPECT_EQ(array, nullptr);
  EXPECT_EQ(handlerCalls, 0);
#endif
}

// Under AddressSanitizer a block freed by a function of another family
// (the library's nothrow new[] and our delete[]) is an error.
TEST(OutOfMemory, EveryFormIsFreedByItsOwnFamily) {
  char* array = new (std::nothrow) char[16];
  Use(array);
  delete[] array;
  int* single = new (std::nothrow) int(3);
  Use(single);
  delete single;
  single = new (std::nothrow) int(4);
  Use(single);
  ::operator delete(single, std::nothrow);
  array = new char[8];
  Use(array);
  delete[] array;
}

// The process's address space limited to what it uses now and 256 MB more.
class AddressSpaceLimit {
 public:
  AddressSpaceLimit() {
    ::getrlimit(RLIMIT_AS, &old_);
    std::ifstream statm("/proc/self/statm");
    unsigned long pages = 0;
    statm >> pages;
    rlimit lim = old_;
    lim.rlim_cur = pages * static_cast<unsigned long>(::sysconf(_SC_PAGESIZE)) + (256ul << 20);
    ::setrlimit(RLIMIT_AS, &lim);
  }
  ~AddressSpaceLimit() { ::setrlimit(RLIMIT_AS, &old_); }

 private:
  rlimit old_{};
};

TEST_F(OutOfMemoryTest, ADataFileTooLargeForTheMemoryFailsItsOpenWithTheReadersMessage) {
#ifdef TSM_SANITIZED
  GTEST_SKIP() << "the sanitizers' shadow memory does not live under an address-space limit";
#else
  tsm::testing::TempDir dir;
  dir.Write("big.ini",
            "[Picture Info]\nTSM_Version=3.32\nNumberOfCurves=1\n"
            "NumberOfPointsInCurve0=100000000\n");
  const std::string data = dir.Write("big.dat", "");
  ASSERT_EQ(::truncate(data.c_str(), 1l << 30), 0);  // 1 GB, sparse
  files::GetDataFileOptions().showOptionsOnLoad = false;
  const std::new_handler previous = InstallOutOfMemoryHandler();
  // Were the program's handler asked, Cancel would end this test's process.
  ui->PushAnswer(platform::IDCANCEL);
  int result = 0;
  {
    AddressSpaceLimit limit;
    result = files::LoadDataFile(data, false);
  }
  std::set_new_handler(previous);
  files::ResetDataFileOptions();
  curves::ResetCurvesState();
  EXPECT_EQ(result, files::kCompanionError);
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, curves::kOutOfMemoryText);
#endif
}

}  // namespace
}  // namespace tsm::app
