// Calls carried from another thread (the measurement worker) to the UI
// thread. They wait in a queue of our own, guarded by a std::mutex, and the
// UI thread is only sent an event without data that makes it take the next
// call. Qt's own locks are not instrumented, so a functor carried by Qt
// (QMetaObject::invokeMethod) reads to ThreadSanitizer as a race between the
// two threads; the handoff through our queue is seen for what it is, and
// the GUI tests run under ThreadSanitizer with nothing suppressed.
#pragma once

#include <functional>

class QObject;

namespace tsm::gui {

// Runs `task` on the UI thread (the QApplication's) once its event loop
// gets to it, after the calls posted before it, unless `context` (when not
// null) has been deleted by then. From any thread, the UI thread included.
void PostToUiThread(QObject* context, std::function<void()> task);

// Runs `task` on the UI thread and returns when it has run: at once on the
// UI thread, else posted and waited for.
void RunOnUiThread(const std::function<void()>& task);

}  // namespace tsm::gui
