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
// the allocation is tried again. The nothrow forms are replaced too: a
// caller that asks for null on failure handles it itself (the data-file
// reader fails the Open with its own message), so they never run the
// handler, and every form allocates and frees with the same functions (the
// library's nothrow new with our delete is a mismatch). The aligned forms
// stay the library's, with its own aligned delete.
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
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
