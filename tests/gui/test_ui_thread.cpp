// Calls carried from a worker to the UI thread: they run there, in the
// order they were posted, not at all when their context is gone, and a
// blocking call returns once it has run (this executable also runs under
// ThreadSanitizer, which sees the handoff).
#include "gui/ui_thread.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/gui/qt_test_app.h"
#include "tests/support/test_support.h"

namespace tsm::gui {
namespace {

TEST(UiThread, CallsRunOnTheUiThreadInOrderUnlessTheirContextIsGone) {
  QCoreApplication& app = testing::QtApp();
  std::vector<int> ran;  // touched on the UI thread only
  bool allOnUiThread = true;
  auto* gone = new QObject;
  QObject kept;
  std::atomic<bool> posted{false};
  int blockingRan = 0;
  std::thread worker([&] {
    auto record = [&](int n) {
      return [&, n] {
        allOnUiThread = allOnUiThread && QThread::currentThread() == app.thread();
        ran.push_back(n);
      };
    };
    PostToUiThread(nullptr, record(1));
    PostToUiThread(gone, record(2));
    PostToUiThread(&kept, record(3));
    posted = true;
    // Runs after the calls posted before it.
    RunOnUiThread([&] { blockingRan = static_cast<int>(ran.size()) + 1; });
    EXPECT_EQ(blockingRan, 3);
  });
  while (!posted) std::this_thread::yield();
  delete gone;
  while (blockingRan == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  worker.join();
  EXPECT_EQ(ran, (std::vector<int>{1, 3}));
  EXPECT_TRUE(allOnUiThread);
  // On the UI thread a blocking call runs at once.
  int here = 0;
  RunOnUiThread([&] { here = 1; });
  EXPECT_EQ(here, 1);
}

}  // namespace
}  // namespace tsm::gui
