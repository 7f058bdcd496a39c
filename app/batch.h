// Batch mode: "tesmira -batch:FILE" runs a script of main-window commands
// without a display. The start-up sequence runs as for the window (settings
// of -i:, cards, the data files of the command line) with a headless main
// window; then the script's statements run in order. Every message box and
// dialog is echoed to standard output with the answer given; mistakes and
// failed lines go to standard error as "batch:LINE: ...".
//
// Exit status: 0 when every line succeeded; 1 when a line failed (a syntax
// error, which stops the script before anything runs; a command nobody
// registered; a greyed command; a command that refused, was cancelled or
// failed; a dialog step that found no control or whose expectation did not
// hold; an expectation that did not hold; an answer, file or dialog script
// left unused at the end); 2 when the script cannot be read or start-up
// ended the program (no cards).
#pragma once

#include <ostream>
#include <string>

#include "app/batch_script.h"

namespace tsm::app {

class BatchUi;
class HeadlessWindow;

inline constexpr int kBatchOk = 0;
inline constexpr int kBatchFailed = 1;
inline constexpr int kBatchCannotRun = 2;
// Scripts larger than this are refused (they are typed by people).
inline constexpr std::size_t kBatchScriptLimit = 1 << 20;

// Whether the command line asks for batch mode ("-batch:FILE" or "/batch:FILE").
bool IsBatchCommand(int argc, const char* const* argv);

// Runs parsed statements against the installed Ui and window. Returns the
// exit status (0 or 1).
int RunBatchStatements(const ParsedScript& script, BatchUi& ui, HeadlessWindow& window,
                       std::ostream& err);

// The whole mode, from the command line to the exit status.
int RunBatch(int argc, char** argv);

}  // namespace tsm::app
