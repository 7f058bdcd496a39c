// The out-of-memory handler: when an allocation of the program fails, the
// user is told how much was asked for and may close other programs and
// retry, or end Tesmira at once (exit code -1).
#pragma once

#include <cstddef>
#include <new>
#include <string>

namespace tsm::app {

// The message with the requested size in bytes.
std::string OutOfMemoryText(std::size_t bytes);
inline constexpr const char* kOutOfMemoryCaption = "Tesmira";

// Installs the handler, returning the previous one (restore it at exit with
// std::set_new_handler).
std::new_handler InstallOutOfMemoryHandler();
// The handler itself: asks with Retry and Cancel; returns for Retry, ends
// the process for Cancel.
void OutOfMemoryHandler();
// The size of the allocation that failed last on this thread (the handler's
// text shows it).
std::size_t FailedAllocationSize();
void SetFailedAllocationSize(std::size_t bytes);

}  // namespace tsm::app
