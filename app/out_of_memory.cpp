#include "app/out_of_memory.h"

#include <cstdlib>

#include "platform/ui.h"
#include "shell/errors.h"
#include "shell/stringex.h"

namespace tsm::app {

using namespace tsm::platform;

namespace {
thread_local std::size_t failedSize = 0;
}

std::string OutOfMemoryText(std::size_t bytes) {
  return shell::Format(
      "Not enough memory (RAM) for normal operation.\nAt this point it is nessesary to allocate "
      "%lu bytes.\nTry to close other applications and choose \"retry\" below.\nIf you choose "
      "\"cancel\" Tesmira will exit,\nall unsaved data will be lost.",
      static_cast<unsigned long>(bytes));
}

std::size_t FailedAllocationSize() { return failedSize; }
void SetFailedAllocationSize(std::size_t bytes) { failedSize = bytes; }

void OutOfMemoryHandler() {
  const int answer = shell::ShowMessage(shell::MainWindow(), OutOfMemoryText(failedSize),
                                        kOutOfMemoryCaption, MB_RETRYCANCEL | MB_ICONHAND);
  if (answer != IDRETRY) std::_Exit(-1);
}

std::new_handler InstallOutOfMemoryHandler() { return std::set_new_handler(&OutOfMemoryHandler); }

}  // namespace tsm::app

// The program's own allocation functions: the standard new_handler is told
// nothing about the failed request, so the size is recorded before the
// handler runs. Retrying follows the standard loop: the handler returns and
// the allocation is tried again. Everything else stays the library's.
void* operator new(std::size_t size) {
  if (size == 0) size = 1;
  for (;;) {
    if (void* p = std::malloc(size)) return p;
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    tsm::app::SetFailedAllocationSize(size);
    handler();
  }
}

void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
