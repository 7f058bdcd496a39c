// ZentraErrorHandler: turns a driver status into a message box.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "acqutil/acqutil.h"
#include "acqutil/error_table.h"
#include "platform/ui.h"

namespace {

// The whole message, terminator included, fits this buffer.
constexpr std::size_t kMessageSize = 1024;

constexpr char kContinueTail[] = "\n\nContinue?";

int16_t ShowDriverStatus(int16_t status, const char* operation, int16_t flag) {
  using namespace tsm::platform;
  if (status == 0 || (status > 0 && flag == 1)) return 0;

  // A warning shown on request is described by the error of the same number.
  const int16_t lookup = (status > 0 && flag == 0) ? static_cast<int16_t>(-status) : status;
  const char* kind = status > 0 ? "warning" : "error";
  const char* op = operation ? operation : "";

  char caption[32];
  std::snprintf(caption, sizeof caption, "Zentra %s", kind);

  std::string text;
  unsigned type = MB_OK | MB_ICONEXCLAMATION;
  char description[kMessageSize];
  const std::uint16_t id = tsm::acqutil::FindErrorString(lookup);
  if (id != 0 && tsm::acqutil::LoadLibraryString(id, description, sizeof description) > 0) {
    char head[kMessageSize];
    std::snprintf(head, sizeof head, "[%s] returned %s %d.\n\n", op, caption, status);
    // Cut the head, then the description, so that the tail always fits.
    const std::size_t room = kMessageSize - 1 - (sizeof kContinueTail - 1);
    text.assign(head, std::min(std::strlen(head), room));
    text.append(description, std::min(std::strlen(description), room - text.size()));
    text += kContinueTail;
    type = MB_YESNO | MB_ICONEXCLAMATION;
  } else {
    char unknown[kMessageSize];
    std::snprintf(unknown, sizeof unknown,
                  "UNKNOWN ERROR: [%s] returned %d\n...please check with your Zentra "
                  "Documentation.",
                  op, status);
    text = unknown;
    std::snprintf(caption, sizeof caption, "Zentra");
  }
  return static_cast<int16_t>(GetUi().MessageBox(nullptr, text, caption, type));
}

}  // namespace

extern "C" int16_t ZentraErrorHandler(int16_t status, const char* operation, int16_t flag) {
  try {
    return ShowDriverStatus(status, operation, flag);
  } catch (const std::bad_alloc&) {
    return ENOMEM;  // the working buffer could not be obtained
  } catch (...) {
    return -1;  // nothing may cross the C boundary
  }
}
