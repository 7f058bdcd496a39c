// What the owner of a tool window has done when the window goes (the menu
// item's check cleared), by the menu command or by the window's close box.
#pragma once

#include <functional>
#include <utility>

namespace tsm::gui {

class ClosedListener {
 public:
  void Set(std::function<void()> listener) { listener_ = std::move(listener); }
  // Runs the listener once and forgets it first: the listener may close the
  // window again, and must not hear of it twice.
  void Tell() {
    if (!listener_) return;
    auto listener = std::move(listener_);
    listener_ = nullptr;
    listener();
  }

 private:
  std::function<void()> listener_;
};

}  // namespace tsm::gui
