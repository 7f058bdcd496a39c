// The out-of-memory handler: its message with the requested size, Retry and
// Cancel, and that a failing allocation of the program reaches it.
#include "app/out_of_memory.h"

#include <cstdint>

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
#endif

std::size_t seenSize = 0;
void RecordingHandler() {
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

}  // namespace
}  // namespace tsm::app
