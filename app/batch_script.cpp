#include "app/batch_script.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "platform/ui.h"
#include "resources/menu.h"
#include "app/command_ids.h"
#include "shell/stringex.h"

namespace tsm::app {

namespace {

using platform::IDABORT;
using platform::IDCANCEL;
using platform::IDIGNORE;
using platform::IDNO;
using platform::IDOK;
using platform::IDRETRY;
using platform::IDYES;

struct NamedAnswer {
  const char* name;
  int answer;
};
constexpr NamedAnswer kAnswers[] = {{"ok", IDOK},         {"cancel", IDCANCEL}, {"abort", IDABORT},
                                    {"retry", IDRETRY},   {"ignore", IDIGNORE}, {"yes", IDYES},
                                    {"no", IDNO}};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

using shell::Trim;

// A text that may be written in double quotes (to keep blanks at its ends).
std::string Unquote(const std::string& s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

// Splits off the first word; `rest` is what follows it, trimmed.
std::string FirstWord(const std::string& text, std::string& rest) {
  const std::string t = Trim(text);
  const auto end = t.find_first_of(" \t");
  if (end == std::string::npos) {
    rest.clear();
    return t;
  }
  rest = Trim(t.substr(end));
  return t.substr(0, end);
}

// Words separated by blanks; a word in double quotes may hold blanks.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= text.size()) break;
    std::string word;
    if (text[i] == '"') {
      const auto close = text.find('"', i + 1);
      const auto end = close == std::string::npos ? text.size() : close;
      word = text.substr(i + 1, end - i - 1);
      i = end + 1;
    } else {
      while (i < text.size() && text[i] != ' ' && text[i] != '\t') word.push_back(text[i++]);
    }
    words.push_back(word);
  }
  return words;
}

bool ParseInt(const std::string& text, int& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || v < -2147483647L || v > 2147483647L) return false;
  value = static_cast<int>(v);
  return true;
}

bool ParseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(value);
}

class Parser {
 public:
  ParsedScript Parse(const std::string& text) {
    std::size_t start = 0;
    int line = 0;
    while (start <= text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string raw = text.substr(start, end - start);
      if (!raw.empty() && raw.back() == '\r') raw.pop_back();
      ++line;
      Line(raw, line);
      start = end + 1;
    }
    if (dialog_) Error(dialog_->line, "\"dialog\" without \"end\"");
    return std::move(out_);
  }

 private:
  void Error(int line, const std::string& what) {
    out_.errors.push_back("line " + std::to_string(line) + ": " + what);
  }

  // A "#" at the start or after a blank, outside double quotes, begins a comment.
  static std::string WithoutComment(const std::string& raw) {
    bool quoted = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '"') quoted = !quoted;
      if (raw[i] == '#' && !quoted && (i == 0 || raw[i - 1] == ' ' || raw[i - 1] == '\t'))
        return raw.substr(0, i);
    }
    return raw;
  }

  void Line(const std::string& raw, int line) {
    const std::string text = Trim(WithoutComment(raw));
    if (text.empty()) return;
    if (dialog_) {
      DialogLine(text, line);
      return;
    }
    Statement s;
    s.line = line;
    s.source = text;
    std::string rest;
    std::string word = Lower(FirstWord(text, rest));
    if (word == "try") {
      s.tolerated = true;
      word = Lower(FirstWord(rest, rest));
    }
    if (!Keyword(word, rest, s)) return;
    if (s.kind == Statement::Kind::Dialog) {
      if (s.tolerated) {
        Error(line, "\"try\" does not go with \"dialog\"");
        return;
      }
      dialog_ = std::move(s);
      return;
    }
    out_.statements.push_back(std::move(s));
  }

  // Fills the statement of keyword `word`; false (after the error) when the
  // line is wrong.
  bool Keyword(const std::string& word, const std::string& rest, Statement& s) {
    using K = Statement::Kind;
    const int line = s.line;
    if (word == "run") {
      s.kind = K::Run;
      return Command(Unquote(rest), s);
    }
    if (word == "answer") {
      s.kind = K::Answer;
      s.answer = AnswerOfName(rest);
      if (s.answer == 0 && !(ParseInt(rest, s.answer) && s.answer > 0)) {
        Error(line, "unknown answer \"" + rest + "\"");
        return false;
      }
      return true;
    }
    if (word == "file") {
      s.kind = K::File;
      s.text = Unquote(rest);
      s.cancel = Lower(rest) == "cancel";
      return NeedText(s, "a path or \"cancel\"");
    }
    if (word == "open" || word == "add" || word == "save") {
      s.kind = word == "open" ? K::Open : word == "add" ? K::Add : K::Save;
      s.command = word == "open" ? kCmdOpen : word == "add" ? kCmdAdd : kCmdSave;
      s.text = Unquote(rest);
      return NeedText(s, "a path");
    }
    if (word == "drop") {
      s.kind = K::Drop;
      s.paths = Words(rest);
      if (s.paths.empty()) {
        Error(line, "\"drop\" needs one path or more");
        return false;
      }
      return true;
    }
    if (word == "dialog") {
      s.kind = K::Dialog;
      if (!rest.empty() && !(ParseInt(rest, s.dialogId) && s.dialogId > 0)) {
        Error(line, "a dialog is named by its number, not \"" + rest + "\"");
        return false;
      }
      return true;
    }
    if (word == "select" || word == "drag") return Numbers(word == "select" ? K::Select : K::Drag, rest, 4, s);
    if (word == "pick") return Numbers(K::Pick, rest, 2, s);
    if (word == "size") {
      if (!Numbers(K::Size, rest, 2, s)) return false;
      if (s.numbers[0] < 1 || s.numbers[1] < 1 || s.numbers[0] > 10000 || s.numbers[1] > 10000) {
        Error(line, "the plot size must lie between 1 and 10000 pixels");
        return false;
      }
      return true;
    }
    if (word == "expect") return Expect(rest, s);
    if (word == "snapshot") {
      s.kind = K::Snapshot;
      s.text = Unquote(rest);
      return NeedText(s, "the path of the picture");
    }
    if (word == "export") return Export(rest, s);
    if (word == "echo") {
      s.kind = K::Echo;
      s.text = Unquote(rest);
      return true;
    }
    if (word == "end") {
      Error(line, "\"end\" without \"dialog\"");
      return false;
    }
    Error(line, "unknown statement \"" + word + "\"");
    return false;
  }

  bool NeedText(Statement& s, const char* what) {
    if (!s.text.empty()) return true;
    Error(s.line, std::string("missing ") + what);
    return false;
  }

  bool Command(const std::string& name, Statement& s) {
    if (ParseInt(name, s.command) && s.command > 0) return true;
    s.command = resources::CommandOfMenuText(name);
    if (s.command != 0) return true;
    Error(s.line, "no menu item is called \"" + name + "\"");
    return false;
  }

  bool Numbers(Statement::Kind kind, const std::string& rest, std::size_t count, Statement& s) {
    s.kind = kind;
    const std::vector<std::string> words = Words(rest);
    for (const std::string& w : words) {
      double v;
      if (!ParseNumber(w, v)) {
        Error(s.line, "\"" + w + "\" is not a number");
        return false;
      }
      s.numbers.push_back(v);
    }
    if (s.numbers.size() != count) {
      Error(s.line, "expected " + std::to_string(count) + " numbers");
      return false;
    }
    return true;
  }

  // "export PATH" or "export PATH WIDTH HEIGHT" (pixels).
  bool Export(const std::string& rest, Statement& s) {
    s.kind = Statement::Kind::Export;
    const std::vector<std::string> words = Words(rest);
    if (words.size() != 1 && words.size() != 3) {
      Error(s.line, "\"export\" takes a path, then the width and height or nothing");
      return false;
    }
    s.text = words[0];
    for (std::size_t i = 1; i < words.size(); ++i) {
      double v;
      if (!ParseNumber(words[i], v) || v < 1 || v > 1e6 || v != static_cast<int>(v)) {
        Error(s.line, "the picture size is a whole number of pixels");
        return false;
      }
      s.numbers.push_back(v);
    }
    return NeedText(s, "a path");
  }

  bool Expect(const std::string& rest, Statement& s) {
    std::string args;
    const std::string what = Lower(FirstWord(rest, args));
    if (what == "curves") return Numbers(Statement::Kind::ExpectCurves, args, 1, s);
    if (what == "points") return Numbers(Statement::Kind::ExpectPoints, args, 2, s);
    if (what == "saved") {
      s.kind = Statement::Kind::ExpectSaved;
      const std::string v = Lower(args);
      if (v != "yes" && v != "no") {
        Error(s.line, "\"expect saved\" takes yes or no");
        return false;
      }
      s.flag = v == "yes";
      return true;
    }
    Error(s.line, "\"expect\" knows curves, points and saved, not \"" + what + "\"");
    return false;
  }

  void DialogLine(const std::string& text, int line) {
    std::string rest;
    const std::string word = Lower(FirstWord(text, rest));
    if (word == "end") {
      out_.statements.push_back(std::move(*dialog_));
      dialog_.reset();
      return;
    }
    DialogStep step;
    step.line = line;
    using K = DialogStep::Kind;
    std::string args;
    const std::string idText = FirstWord(rest, args);
    auto needId = [&]() {
      if (ParseInt(idText, step.id)) return true;
      Error(line, "\"" + word + "\" needs a control number, not \"" + idText + "\"");
      return false;
    };
    auto optionalInt = [&](int fallback) {
      step.value = fallback;
      if (args.empty()) return true;
      if (ParseInt(args, step.value)) return true;
      Error(line, "\"" + args + "\" is not a number");
      return false;
    };
    bool ok = true;
    if (word == "set") {
      step.kind = K::Set;
      ok = needId();
      step.text = Unquote(args);
    } else if (word == "check") {
      step.kind = K::Check;
      ok = needId() && optionalInt(1);
      if (ok && (step.value < 0 || step.value > 2)) {
        Error(line, "a check state is 0, 1 or 2");
        ok = false;
      }
    } else if (word == "select") {
      step.kind = K::Select;
      ok = needId() && !args.empty() && optionalInt(0);
      if (ok && step.value < 0) ok = false;
      if (!ok && args.empty()) Error(line, "\"select\" needs a control number and an item number");
    } else if (word == "dblclick") {
      step.kind = K::DoubleClick;
      ok = needId() && optionalInt(-1);
    } else if (word == "press") {
      step.kind = K::Press;
      ok = needId() && args.empty();
    } else if (word == "ok" || word == "cancel") {
      step.kind = K::Press;
      step.id = word == "ok" ? IDOK : IDCANCEL;
      ok = rest.empty();
    } else if (word == "close") {
      step.kind = K::Close;
      ok = rest.empty();
    } else if (word == "expect") {
      step.kind = K::Expect;
      ok = needId();
      step.text = Unquote(args);
    } else if (word == "snapshot") {
      step.kind = K::Snapshot;
      step.text = Unquote(rest);
      if (step.text.empty()) {
        Error(line, "\"snapshot\" needs the path of the picture");
        return;
      }
    } else if (word == "wait") {
      step.kind = K::Wait;
      if (!rest.empty() && !(ParseNumber(rest, step.seconds) && step.seconds >= 0)) {
        Error(line, "\"wait\" takes a number of seconds");
        return;
      }
    } else {
      Error(line, "unknown dialog step \"" + word + "\"");
      return;
    }
    if (!ok) {
      if (out_.errors.empty() || out_.errors.back().rfind("line " + std::to_string(line) + ":", 0) != 0)
        Error(line, "wrong dialog step \"" + text + "\"");
      return;
    }
    dialog_->steps.push_back(std::move(step));
  }

  ParsedScript out_;
  std::optional<Statement> dialog_;
};

}  // namespace

int AnswerOfName(const std::string& name) {
  const std::string n = Lower(Trim(name));
  for (const NamedAnswer& a : kAnswers)
    if (n == a.name) return a.answer;
  return 0;
}

std::string NameOfAnswer(int answer) {
  for (const NamedAnswer& a : kAnswers)
    if (a.answer == answer) {
      std::string name = a.name;
      name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
      return name;
    }
  return std::to_string(answer);
}

ParsedScript ParseBatchScript(const std::string& text) { return Parser().Parse(text); }

}  // namespace tsm::app
