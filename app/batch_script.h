// The language of batch mode: a script of main-window commands, one per
// line, with the answers for the message boxes, file choosers and dialogs
// they will meet. This part reads a script into statements and finds every
// mistake before anything runs; batch.h runs them. The syntax is described
// in the README ("Batch mode").
#pragma once

#include <string>
#include <vector>

namespace tsm::app {

// One step of a scripted dialog (between "dialog" and "end").
struct DialogStep {
  enum class Kind { Set, Check, Select, DoubleClick, Press, Close, Expect, Wait, Snapshot };
  Kind kind = Kind::Press;
  int line = 0;
  int id = 0;           // the control
  int value = 0;        // Check: state; Select / DoubleClick: item (-1: as it is)
  double seconds = 0;   // Wait: 0 = no limit
  std::string text;     // Set, Expect; Snapshot: the picture's path
};

struct Statement {
  enum class Kind {
    Run,           // run a command by id or menu text
    Answer,        // the next message box's button
    File,          // the next file chooser's answer
    Dialog,        // the next modal dialog's steps
    Open, Add, Save,  // a file chooser answer and command 197, 198 or 271
    Drop,          // files dropped onto the window
    Select,        // a selection rectangle in data units
    Drag,          // the same in plot pixels
    Pick,          // a held right click: the curve nearest to a data point
    Size,          // the plot area in pixels
    ExpectCurves, ExpectPoints, ExpectSaved,
    Echo,
    Snapshot,      // a picture of the main window
    Export,        // the picture into a file (numbers: width, height, or none)
  };
  Kind kind = Kind::Run;
  int line = 0;
  bool tolerated = false;  // "try": a failure is told but does not count
  std::string source;      // the line as written (for messages)
  int command = 0;         // Run, Open, Add, Save
  int answer = 0;          // Answer
  bool cancel = false;     // File: a cancelled chooser
  std::string text;        // a path (Snapshot: the picture's), the echo text
  std::vector<std::string> paths;  // Drop
  std::vector<double> numbers;     // Select, Drag, Pick, Size, Expect...
  bool flag = false;       // ExpectSaved
  int dialogId = 0;        // Dialog: the resource it must be (0: any)
  std::vector<DialogStep> steps;
};

struct ParsedScript {
  std::vector<Statement> statements;
  // "line N: what is wrong", one per mistake.
  std::vector<std::string> errors;
};

// Reads the whole script. Menu texts are looked up in the menus of
// resources/menu.h; an id is taken as it is (whether a command has it is
// known only when it runs).
ParsedScript ParseBatchScript(const std::string& text);

// The button names of "answer" (yes, no, ok, cancel, abort, retry, ignore)
// and back; 0 for an unknown name.
int AnswerOfName(const std::string& name);
std::string NameOfAnswer(int answer);

}  // namespace tsm::app
