// The four reporting paths of the program: the message box used for every
// user-facing message (beep with the icon bits, then the box), the internal
// error report (category title, source file and line), the report of
// common-dialog failures by error code, and the fatal log of the command line.
#pragma once

#include <string>

#include "platform/ui.h"

namespace tsm::shell {

// The owner used for reports "to the main window"; null until it exists.
platform::WindowHandle MainWindow();
void SetMainWindow(platform::WindowHandle window);

// Beeps with (type AND 0x70), then shows the box; returns the button pressed.
int ShowMessage(platform::WindowHandle owner, const std::string& text,
                const std::string& caption, unsigned type);

// Category titles of internal errors.
inline constexpr int kInternalError = 0;
inline constexpr int kLoadStringFail = 1;
inline constexpr int kStringInternalError = 3;
inline constexpr int kDxbError = 4;
std::string InternalErrorTitle(int code);
// The whole text of an internal-error report.
std::string InternalErrorText(int code, int line, const std::string& source);
// Shows the report (caption "Tesmira Error!", error icon) and goes on.
void ReportInternalError(int code, int line, const std::string& source);

// Text of a common-dialog error code, or empty when the code reports nothing.
std::string CommDlgErrorText(unsigned long code);
// Shows the text (caption "CommDlg", error icon); code 0 (cancel) shows nothing.
void ReportCommDlgError(unsigned long code);

// Writes the formatted text to standard error and ends the process.
[[noreturn]] void FatalLog(int exitCode, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Tests replace the process exit of FatalLog: the hook receives the exit code
// and the text and must not return (throw instead).
using FatalHook = void (*)(int exitCode, const std::string& text);
void SetFatalHook(FatalHook hook);

}  // namespace tsm::shell
