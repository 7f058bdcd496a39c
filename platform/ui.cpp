#include "platform/ui.h"

#include <atomic>

#include "platform/headless_ui.h"

namespace tsm::platform {

namespace {
struct UiState {
  HeadlessUi builtin;
  std::atomic<Ui*> current{nullptr};
};
UiState& State() {
  static UiState state;
  return state;
}
}  // namespace

Ui& GetUi() {
  Ui* ui = State().current.load(std::memory_order_acquire);
  return ui ? *ui : State().builtin;
}

void SetUi(Ui* ui) { State().current.store(ui, std::memory_order_release); }

std::vector<int> ButtonsOf(unsigned type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
  }
}

int DefaultButtonOf(unsigned type) {
  const std::vector<int> buttons = ButtonsOf(type);
  const size_t index = (type & MB_DEFMASK) >> 8;
  return index < buttons.size() ? buttons[index] : buttons.front();
}

}  // namespace tsm::platform
