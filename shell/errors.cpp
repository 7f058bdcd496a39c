#include "shell/errors.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "resources/strings.h"
#include "shell/stringex.h"

namespace tsm::shell {

using namespace tsm::platform;

namespace {
struct ErrorState {
  std::atomic<WindowHandle> mainWindow{nullptr};
  std::atomic<FatalHook> fatalHook{nullptr};
};
ErrorState& State() {
  static ErrorState state;
  return state;
}
}  // namespace

WindowHandle MainWindow() { return State().mainWindow.load(); }
void SetMainWindow(WindowHandle window) { State().mainWindow.store(window); }

int ShowMessage(WindowHandle owner, const std::string& text, const std::string& caption,
                unsigned type) {
  GetUi().MessageBeep(type & MB_ICONMASK);
  return GetUi().MessageBox(owner, text, caption, type);
}

std::string InternalErrorTitle(int code) {
  switch (code) {
    case kInternalError: return "Internal Error";
    case kLoadStringFail: return "Load String Fail";
    case kStringInternalError: return "String internal error";
    case kDxbError: return "Dxb error";
    default: return "Unknown Internal error";
  }
}

std::string InternalErrorText(int code, int line, const std::string& source) {
  return InternalErrorTitle(code) + Format("\n File: %s     Line: %d\n", source.c_str(), line) +
         "Please tell the developers what you were doing when this happened.\n"
         "You would better close Tesmira and start it again";
}

void ReportInternalError(int code, int line, const std::string& source) {
  ShowMessage(MainWindow(), InternalErrorText(code, line, source), "Tesmira Error!",
              MB_OK | MB_ICONHAND);
}

namespace {
// Error code of CommDlgExtendedError -> string id of the string table.
unsigned CommDlgStringId(unsigned long code) {
  if (code == 0xFFFF) return 1;
  if (code >= 1 && code <= 11) return static_cast<unsigned>(code) + 1;
  if (code >= 0x1001 && code <= 0x100B) return static_cast<unsigned>(code - 0x1001) + 13;
  if (code == 0x2001) return 24;
  if (code >= 0x3001 && code <= 0x3003) return static_cast<unsigned>(code - 0x3001) + 25;
  return 0;
}
}  // namespace

std::string CommDlgErrorText(unsigned long code) {
  const unsigned id = CommDlgStringId(code);
  if (id == 0) return {};
  char text[201];
  if (resources::LoadString(id, text, sizeof text) == 0) return {};
  return text;
}

void ReportCommDlgError(unsigned long code) {
  const unsigned id = CommDlgStringId(code);
  if (id == 0) return;
  char text[201];
  if (resources::LoadString(id, text, sizeof text) == 0) {
    ShowMessage(MainWindow(), "Can't load error string from resource", "Process CommDlg Erorr",
                MB_OK | MB_ICONHAND);
    return;
  }
  ShowMessage(MainWindow(), text, "CommDlg", MB_OK | MB_ICONHAND);
}

void SetFatalHook(FatalHook hook) { State().fatalHook.store(hook); }

void FatalLog(int exitCode, const char* format, ...) {
  va_list args;
  va_start(args, format);
  char buf[4096];
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  if (FatalHook hook = State().fatalHook.load()) hook(exitCode, buf);
  std::fputs(buf, stderr);
  std::fflush(stderr);
  std::exit(exitCode);
}

}  // namespace tsm::shell
