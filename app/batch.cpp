#include "app/batch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>
#include <new>
#include <sstream>

#include "curves/state.h"
#include "platform/dialog.h"
#include "platform/file_access.h"
#include "plot/range.h"
#include "plot/selection.h"
#include "plot/state.h"
#include "resources/menu.h"
#include "app/batch_ui.h"
#include "app/commands.h"
#include "app/headless_window.h"
#include "app/main_window_link.h"
#include "app/options_registry.h"
#include "app/picture_commands.h"
#include "app/print_options.h"
#include "app/snapshot.h"
#include "app/out_of_memory.h"
#include "app/startup.h"
#include "shell/cmdline.h"
#include "shell/errors.h"
#include "shell/settings.h"

namespace tsm::app {

namespace {

using platform::DialogModel;

// Where failures of dialog steps are collected: the steps run inside a
// command, possibly after the statement that queued them.
struct Failures {
  std::mutex mutex;
  std::vector<std::string> lines;
  void Add(int line, const std::string& what) {
    std::lock_guard lock(mutex);
    lines.push_back("batch:" + std::to_string(line) + ": " + what);
  }
};

std::string CommandName(int id) {
  const resources::MenuItem* item = resources::FindMenuItem(id);
  std::string name = std::to_string(id);
  if (item) name += " \"" + resources::PlainMenuText(item->text) + "\"";
  return name;
}

// --- dialog steps ------------------------------------------------------------

bool RunStep(DialogModel& d, const DialogStep& step, Failures& failures) {
  using K = DialogStep::Kind;
  auto fail = [&](const std::string& what) {
    failures.Add(step.line, what);
    return false;
  };
  const std::string control = "control " + std::to_string(step.id);
  const bool exists = d.HasControl(step.id);
  const bool needsControl = step.kind != K::Close && step.kind != K::Wait &&
                            step.kind != K::Snapshot &&
                            !(step.kind == K::Press && (step.id == platform::IDOK ||
                                                        step.id == platform::IDCANCEL));
  if (needsControl && !exists)
    return fail("dialog " + std::to_string(d.ResourceId()) + " has no " + control);
  if (needsControl && step.kind != K::Expect && !d.IsEnabled(step.id))
    return fail(control + " is greyed");
  switch (step.kind) {
    case K::Set:
      d.SetText(step.id, step.text);
      return true;
    case K::Check: {
      const auto c = d.GetControl(step.id);
      if (c && c->kind == platform::ControlKind::RadioButton) {
        // A radio button is clicked: it is checked and the others of its group not.
        for (int b : d.RadioGroupOf(step.id)) d.SetCheck(b, b == step.id ? 1 : 0);
        d.SetCheck(step.id, 1);
      } else {
        d.SetCheck(step.id, step.value);
      }
      d.Command(step.id, 0);
      return true;
    }
    case K::Select: {
      const auto items = d.Items(step.id);
      if (step.value >= static_cast<int>(items.size()))
        return fail(control + " has no item " + std::to_string(step.value));
      d.SetCurrentItem(step.id, step.value);
      d.Command(step.id, 1);
      return true;
    }
    case K::DoubleClick:
      if (step.value >= 0) {
        if (step.value >= static_cast<int>(d.Items(step.id).size()))
          return fail(control + " has no item " + std::to_string(step.value));
        d.SetCurrentItem(step.id, step.value);
      }
      d.Command(step.id, 2);
      return true;
    case K::Press:
      d.Command(step.id, 0);
      return true;
    case K::Close:
      d.Close();
      return true;
    case K::Expect: {
      const std::string text = d.GetText(step.id);
      if (text != step.text) return fail(control + " reads \"" + text + "\", not \"" + step.text + "\"");
      return true;
    }
    case K::Snapshot: {
      std::string why;
      if (SnapshotDialog(d, step.text, why)) return true;
      return fail("no picture of the dialog: " + why);
    }
    case K::Wait: {
      // A dialog that works on its own (a measurement) ends itself.
      const auto limit = step.seconds > 0
                             ? std::chrono::milliseconds(static_cast<long long>(step.seconds * 1000))
                             : std::chrono::hours(24 * 365);
      const auto until = std::chrono::steady_clock::now() + limit;
      while (!d.Ended() && d.Running()) {
        if (std::chrono::steady_clock::now() >= until)
          return fail("the dialog was still working after the wait");
        d.WaitForEnd(std::chrono::milliseconds(50));
      }
      return true;
    }
  }
  return false;
}

platform::DialogScript DialogScriptOf(const Statement& s, Failures& failures) {
  return [steps = s.steps, dialogId = s.dialogId, line = s.line, &failures](DialogModel& d) {
    auto abandon = [&d] {
      // Nothing half-edited is confirmed: the dialog is cancelled.
      if (!d.Ended()) d.Close();
      if (!d.Ended()) d.End(0);
    };
    if (dialogId != 0 && d.ResourceId() != dialogId) {
      failures.Add(line, "the dialog that opened is " + std::to_string(d.ResourceId()) + " \"" +
                             d.Caption() + "\", not " + std::to_string(dialogId));
      abandon();
      return;
    }
    for (const DialogStep& step : steps) {
      if (d.Ended()) {
        failures.Add(step.line, "the dialog had already ended");
        return;
      }
      if (!RunStep(d, step, failures)) {
        abandon();
        return;
      }
    }
  };
}

// --- statements ----------------------------------------------------------------

class Runner {
 public:
  Runner(BatchUi& ui, HeadlessWindow& window, std::ostream& err)
      : ui_(ui), window_(window), err_(err) {}

  int Run(const ParsedScript& script) {
    for (const Statement& s : script.statements) {
      if (window_.Closed()) break;  // Exit ends the script
      std::string why;
      const bool ok = Execute(s, why);
      FlushStepFailures(s.tolerated);
      if (!ok) Report(s, why);
    }
    if (const std::size_t n = ui_.UnusedAnswers()) Fail(0, std::to_string(n) + " answer(s) left unused");
    if (const std::size_t n = ui_.UnusedFiles()) Fail(0, std::to_string(n) + " file(s) left unused");
    if (const std::size_t n = ui_.UnusedDialogs()) Fail(0, std::to_string(n) + " dialog script(s) left unused");
    err_.flush();
    return failed_ ? kBatchFailed : kBatchOk;
  }

 private:
  void Fail(int line, const std::string& what) {
    err_ << "batch:" << (line > 0 ? std::to_string(line) + ":" : std::string()) << " " << what << '\n';
    failed_ = true;
  }

  void Report(const Statement& s, const std::string& why) {
    if (s.tolerated) {
      err_ << "batch:" << s.line << ": (tolerated) " << why << '\n';
      return;
    }
    Fail(s.line, why);
  }

  void FlushStepFailures(bool tolerated) {
    std::vector<std::string> lines;
    {
      std::lock_guard lock(failures_.mutex);
      lines.swap(failures_.lines);
    }
    for (const std::string& l : lines) {
      err_ << l << (tolerated ? " (tolerated)" : "") << '\n';
      if (!tolerated) failed_ = true;
    }
  }

  bool RunCommandLine(int id, std::string& why) {
    switch (RunCommand(id)) {
      case CommandResult::Done: return true;
      case CommandResult::Failed: why = "command " + CommandName(id) + " failed"; return false;
      case CommandResult::Greyed: why = "command " + CommandName(id) + " is greyed"; return false;
      case CommandResult::Unknown: why = "no command has the id " + std::to_string(id); return false;
    }
    return false;
  }

  // Presses at data point (x, y) of the plot as the last drawing mapped it.
  void PixelOf(double x, double y, int& px, int& py) {
    const plot::PlotView& view = plot::GetPlotView();
    px = plot::DataToPixelX(view, x);
    py = plot::DataToPixelY(view, y);
  }

  bool Drag(int x1, int y1, int x2, int y2, std::string& why) {
    plot::OnLeftButtonDown(x1, y1);
    plot::OnMouseMove(x2, y2);
    plot::OnLeftButtonUp(x2, y2);
    if (plot::SelectionStateOf() == plot::kSelectionMade) return true;
    why = "the rectangle has no width or no height";
    return false;
  }

  bool Execute(const Statement& s, std::string& why) {
    using K = Statement::Kind;
    switch (s.kind) {
      case K::Run:
        return RunCommandLine(s.command, why);
      case K::Answer:
        ui_.QueueAnswer(s.answer);
        return true;
      case K::File:
        ui_.QueueFile(s.cancel ? platform::FileDialogResult{} : platform::FileDialogResult{true, s.text, 0});
        return true;
      case K::Dialog:
        ui_.QueueDialog(DialogScriptOf(s, failures_));
        return true;
      case K::Open:
      case K::Add:
      case K::Save: {
        const std::size_t before = ui_.UnusedFiles();
        ui_.QueueFile({true, s.text, 0});
        const bool ok = RunCommandLine(s.command, why);
        if (ui_.UnusedFiles() > before) {
          // The command ended before its chooser: the file must not answer a later one.
          ui_.DropLastFile();
          if (ok) why = "command " + CommandName(s.command) + " did not ask for a file";
          return false;
        }
        return ok;
      }
      case K::Drop:
        if (DropFiles(s.paths)) return true;
        why = "not every dropped file was loaded";
        return false;
      case K::Select: {
        int x1, y1, x2, y2;
        PixelOf(s.numbers[0], s.numbers[1], x1, y1);
        PixelOf(s.numbers[2], s.numbers[3], x2, y2);
        return Drag(x1, y1, x2, y2, why);
      }
      case K::Drag:
        return Drag(static_cast<int>(s.numbers[0]), static_cast<int>(s.numbers[1]),
                    static_cast<int>(s.numbers[2]), static_cast<int>(s.numbers[3]), why);
      case K::Pick: {
        int x, y;
        PixelOf(s.numbers[0], s.numbers[1], x, y);
        // Held: the button's timer fires before it is released.
        plot::OnRightButtonDown(x, y);
        plot::OnRightButtonTimer();
        plot::OnRightButtonUp(x, y);
        if (curves::CurrentFamily().CountMarked() > 0) return true;
        why = "no curve has a point inside the view";
        return false;
      }
      case K::Size:
        window_.SetPlotSize(static_cast<int>(s.numbers[0]), static_cast<int>(s.numbers[1]));
        Redraw();
        return true;
      case K::ExpectCurves: {
        const std::uint32_t n = curves::CurrentFamily().Count();
        if (n == s.numbers[0]) return true;
        why = "the family holds " + std::to_string(n) + " curve(s)";
        return false;
      }
      case K::ExpectPoints: {
        const curves::CurveFamily& f = curves::CurrentFamily();
        const double c = s.numbers[0];
        if (c < 0 || c >= f.Count() || c != static_cast<std::uint32_t>(c)) {
          why = "the family has no curve " + s.source.substr(s.source.find("points") + 7);
          return false;
        }
        const std::uint32_t n = f.Curve(static_cast<std::uint32_t>(c)).Count();
        if (n == s.numbers[1]) return true;
        why = "the curve holds " + std::to_string(n) + " point(s)";
        return false;
      }
      case K::ExpectSaved:
        if (shell::DataSaved() == s.flag) return true;
        why = shell::DataSaved() ? "the data count as saved" : "the data count as unsaved";
        return false;
      case K::Echo:
        ui_.Echo(s.text);
        return true;
      case K::Snapshot: {
        WindowPicture picture;
        picture.title = window_.Title();
        picture.plotWidth = window_.PlotWidth();
        picture.plotHeight = window_.PlotHeight();
        for (int part = 0; part < 4; ++part) picture.status[part] = ui_.StatusText(part);
        if (SnapshotWindow(picture, s.text, why)) return true;
        why = "no picture of the window: " + why;
        return false;
      }
      case K::Export: {
        // Without a size: the one of the export options.
        const PrintContentsOptions& o = GetPrintContentsOptions();
        const bool sized = s.numbers.size() == 2;
        const int width = sized ? static_cast<int>(s.numbers[0]) : static_cast<int>(o.exportWidth);
        const int height = sized ? static_cast<int>(s.numbers[1]) : static_cast<int>(o.exportHeight);
        if (ExportPictureFile(s.text, width, height)) return true;
        why = "the picture was not exported to " + s.text;
        return false;
      }
    }
    return false;
  }

  BatchUi& ui_;
  HeadlessWindow& window_;
  std::ostream& err_;
  Failures failures_;
  bool failed_ = false;
};

bool ReadScript(const std::string& path, std::string& text, std::string& why) {
  // Only a regular file: a FIFO would block, a directory read as an empty
  // script that "succeeds".
  switch (platform::ReadRegularFile(path, kBatchScriptLimit, text)) {
    case platform::FileStatus::Ok:
      return true;
    case platform::FileStatus::NotRegular:
      why = "the batch script " + path + " is not a regular file";
      return false;
    case platform::FileStatus::TooLarge:
      why = "the batch script " + path + " is larger than 1 MB";
      return false;
    default:
      why = "cannot read the batch script " + path;
      return false;
  }
}

bool StartsWithSwitch(const char* arg, const char* name) {
  return arg && (arg[0] == '-' || arg[0] == '/') && std::strncmp(arg + 1, name, std::strlen(name)) == 0;
}

}  // namespace

bool IsBatchCommand(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i)
    if (StartsWithSwitch(argv[i], "batch:")) return true;
  return false;
}

int RunBatchStatements(const ParsedScript& script, BatchUi& ui, HeadlessWindow& window,
                       std::ostream& err) {
  return Runner(ui, window, err).Run(script);
}

int RunBatch(int argc, char** argv) {
  DetermineProgramDirectory(argc > 0 ? argv[0] : nullptr);
  ParseStartupCommandLine(argc, argv);
  const std::string path = shell::GetStringSwitch("batch:", std::string());
  std::string text, why;
  if (!ReadScript(path, text, why)) {
    std::cerr << "tesmira: " << why << '\n';
    shell::FreeCommandLine();
    return kBatchCannotRun;
  }

  BatchUi ui(std::cout);
  platform::SetUi(&ui);
  RegisterOptionGroups();
  RegisterAllCommands();
  int status = kBatchCannotRun;
  const ParsedScript script = ParseBatchScript(text);
  if (!script.errors.empty()) {
    for (const std::string& e : script.errors) std::cerr << "batch:" << e.substr(5) << '\n';
    std::cerr << "batch: nothing was run\n";
    status = kBatchFailed;
  } else {
    HeadlessWindow window;
    shell::SetMainWindow(window.Owner());
    AttachMainWindow(window, window);
    if (RunWindowCreation(window)) {
      const std::new_handler previous = InstallOutOfMemoryHandler();
      status = RunBatchStatements(script, ui, window, std::cerr);
      std::set_new_handler(previous);
    }
    DetachMainWindow();
    shell::SetMainWindow(nullptr);
  }
  ResetCommandState();
  shell::FreeCommandLine();
  platform::SetUi(nullptr);
  std::cout.flush();
  return status;
}

}  // namespace tsm::app
