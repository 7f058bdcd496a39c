#include "gui/ui_thread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <mutex>

namespace tsm::gui {

namespace {

// Lives on the UI thread; each event it receives runs the oldest call.
class Inbox : public QObject {
 public:
  void Post(QObject* context, std::function<void()> task) {
    {
      std::lock_guard lock(mutex_);
      tasks_.push_back({context, context != nullptr, std::move(task)});
    }
    // One event a call: the calls keep their places among the other events
    // posted to the UI thread. The event is not read, only received.
    QCoreApplication::postEvent(this, new QEvent(QEvent::User));
  }

 protected:
  void customEvent(QEvent*) override {
    Task task;
    {
      std::lock_guard lock(mutex_);
      if (tasks_.empty()) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    if (!task.hasContext || task.context) task.run();
  }

 private:
  struct Task {
    QPointer<QObject> context;
    bool hasContext = false;
    std::function<void()> run;
  };
  std::mutex mutex_;
  std::deque<Task> tasks_;
};

Inbox& TheInbox() {
  // Made by whichever thread needs it first and moved to the UI thread (an
  // object may be pushed from its own thread to another).
  static Inbox* inbox = [] {
    auto* made = new Inbox;
    made->moveToThread(QCoreApplication::instance()->thread());
    return made;
  }();
  return *inbox;
}

bool OnUiThread() {
  return QCoreApplication::instance() &&
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace

void PostToUiThread(QObject* context, std::function<void()> task) {
  TheInbox().Post(context, std::move(task));
}

void RunOnUiThread(const std::function<void()>& task) {
  if (OnUiThread()) {
    task();
    return;
  }
  std::mutex mutex;
  std::condition_variable ran;
  bool done = false;
  TheInbox().Post(nullptr, [&] {
    task();
    std::lock_guard lock(mutex);
    done = true;
    ran.notify_one();
  });
  std::unique_lock lock(mutex);
  ran.wait(lock, [&] { return done; });
}

}  // namespace tsm::gui
