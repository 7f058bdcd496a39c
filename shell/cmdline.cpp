#include "shell/cmdline.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/assert.h"
#include "platform/decimal.h"
#include "platform/file_access.h"
#include "shell/errors.h"
#include "shell/stringex.h"

namespace tsm::shell {

namespace {

constexpr const char* kSource = "cmdline";

struct CommandLineState {
  std::vector<std::string> arguments;
  std::string optionText;
  void Reset() {
    arguments.clear();
    optionText.clear();
  }
};

CommandLineState& State() {
  static CommandLineState state;
  return state;
}

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsQuote(char c) { return c == '\'' || c == '"' || c == '`'; }
bool IsListSeparator(char c) { return c == ',' || c == ';' || c == ' ' || c == '\t'; }

std::vector<std::string> Tokenise(const char* s) {
  std::vector<std::string> tokens;
  if (!s) return tokens;
  std::size_t i = 0;
  for (;;) {
    while (IsSeparator(s[i])) ++i;
    if (!s[i]) break;
    // The argument list has room for 31 tokens after the program name, as
    // the program was built around; later tokens are ignored.
    if (tokens.size() == static_cast<std::size_t>(kMaxTokens)) break;
    std::string token;
    char quote = 0;
    while (s[i]) {
      const char c = s[i];
      if (!quote) {
        if (IsSeparator(c)) break;
        if (IsQuote(c))
          quote = c;
        else
          token += c;
        ++i;
      } else if (c == quote) {
        if (s[i + 1] == quote) {  // a doubled quote stands for itself
          token += c;
          i += 2;
        } else {
          quote = 0;
          ++i;
        }
      } else {
        token += c;
        ++i;
      }
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

// The blank-separated words of a text, without quote handling.
std::vector<std::string> Words(const char* s) {
  std::vector<std::string> words;
  if (!s) return words;
  std::size_t i = 0;
  for (;;) {
    while (IsSeparator(s[i])) ++i;
    if (!s[i]) break;
    const std::size_t b = i;
    while (s[i] && !IsSeparator(s[i])) ++i;
    words.emplace_back(s + b, i - b);
  }
  return words;
}

// The value of word when it is a switch of that name.
std::optional<std::string> SwitchValue(const std::string& word, const char* name) {
  if (word.empty() || (word[0] != '-' && word[0] != '/')) return std::nullopt;
  const std::string n = name ? name : "";
  if (word.size() < 1 + n.size() || word.compare(1, n.size(), n) != 0) return std::nullopt;
  return word.substr(1 + n.size());
}

std::optional<std::string> FromText(const char* text, const char* name) {
  for (const std::string& w : Words(text))
    if (auto v = SwitchValue(w, name)) return v;
  return std::nullopt;
}

// Index and value of the first matching switch of the command line.
std::optional<std::pair<int, std::string>> FromCommandLine(const char* name) {
  const auto& args = State().arguments;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (!IsSwitchArgument(args[i])) continue;
    if (auto v = SwitchValue(args[i], name)) return std::make_pair(static_cast<int>(i), *v);
  }
  return std::nullopt;
}

// The values a typed lookup sees, in the order they apply: the option text
// first, the command line last.
std::vector<std::string> Sources(const char* name) {
  std::vector<std::string> found;
  if (auto v = FromText(State().optionText.c_str(), name)) found.push_back(*v);
  if (auto v = FromCommandLine(name)) found.push_back(v->second);
  return found;
}

std::optional<std::string> StringValue(const char* name) {
  std::optional<std::string> value;
  for (std::string& v : Sources(name)) {
    if (v.empty()) FatalLog(4, "Invalid -%s parameter -- string missing\n", name);
    value = std::move(v);
  }
  return value;
}

// A decimal integer with at least one digit; the end of the number in *end.
bool ToLong(const std::string& text, long* value, std::size_t* end = nullptr) {
  const char* s = text.c_str();
  char* stop = nullptr;
  errno = 0;
  const long v = std::strtol(s, &stop, 10);
  if (stop == s) return false;
  *value = v;
  if (end) *end = static_cast<std::size_t>(stop - s);
  return true;
}

void LoadOptionFile() {
  auto& st = State();
  st.optionText.clear();
  std::optional<std::string> path;
  if (auto v = FromCommandLine("@")) {
    if (v->second.empty()) FatalLog(4, "Invalid -%s parameter -- string missing\n", "@");
    path = v->second;
  }
  if (!path) return;
  // Only a regular file (a FIFO would block the start), read up to the
  // limit whatever size it claims.
  std::string data;
  const platform::FileStatus status = platform::ReadRegularFile(*path, kOptionFileLimit, data);
  if (status == platform::FileStatus::TooLarge)
    FatalLog(5, "Internal error: options file is larger than %lu bytes\n", kOptionFileLimit);
  if (status != platform::FileStatus::Ok)
    FatalLog(3, "Can't open option's file '%s'", path->c_str());
  // The option text is a C string: it ends at the first zero byte.
  const std::size_t zero = data.find('\0');
  if (zero != std::string::npos) data.resize(zero);
  st.optionText = std::move(data);
}

void CopyValue(const std::string& value, char* buffer, std::size_t length) {
  if (buffer && length > 0) BoundedCopy(buffer, value.c_str(), length);
}

}  // namespace

int ParseCommandLine(const char* commandLine) {
  auto& st = State();
  st.arguments.clear();
  st.arguments.push_back(kProgramArgument);
  for (std::string& t : Tokenise(commandLine)) st.arguments.push_back(std::move(t));
  LoadOptionFile();
  return 1;
}

int ParseArgv(int argc, const char* const* argv) {
  auto& st = State();
  st.arguments.clear();
  st.arguments.push_back(argc > 0 && argv && argv[0] ? argv[0] : kProgramArgument);
  // Same cap as for a command-line text: later arguments are ignored.
  for (int i = 1; i < argc && argv && argv[i]; ++i) {
    if (st.arguments.size() == static_cast<std::size_t>(kMaxTokens) + 1) break;
    st.arguments.emplace_back(argv[i]);
  }
  LoadOptionFile();
  return 1;
}

void FreeCommandLine() { State().arguments.clear(); }
void ResetCommandLine() { State().Reset(); }
const std::vector<std::string>& CommandLineArguments() { return State().arguments; }
const std::string& OptionText() { return State().optionText; }

bool IsSwitchArgument(const std::string& argument) {
  if (argument.empty()) return false;
  if (argument[0] == '-') return true;
  if (argument[0] != '/') return false;
  struct stat st {};
  return ::stat(argument.c_str(), &st) != 0;
}

int FindSwitch(const char* name, char* buffer, std::size_t length) {
  if (auto v = FromCommandLine(name)) {
    CopyValue(v->second, buffer, length);
    return v->first;
  }
  return 0;
}

int FindSwitchInText(const char* text, const char* name, char* buffer, std::size_t length) {
  if (auto v = FromText(text, name)) {
    CopyValue(*v, buffer, length);
    return 1;
  }
  return 0;
}

char* GetStringSwitch(const char* name, const char* defaultValue, char* buffer,
                      std::size_t length) {
  if (!TSM_ASSERT(buffer != nullptr && length > 0, kSource)) return buffer;
  const std::optional<std::string> v = StringValue(name);
  BoundedCopy(buffer, v ? v->c_str() : (defaultValue ? defaultValue : ""), length);
  return buffer;
}

std::string GetStringSwitch(const char* name, const std::string& defaultValue) {
  const std::optional<std::string> v = StringValue(name);
  return v ? *v : defaultValue;
}

long GetIntSwitch(const char* name, long defaultValue) {
  long value = defaultValue;
  for (const std::string& v : Sources(name))
    if (!ToLong(v, &value)) FatalLog(4, "Invalid -%s parameter -- not an integer number\n", name);
  return value;
}

double GetFloatSwitch(const char* name, double defaultValue) {
  double value = defaultValue;
  for (const std::string& v : Sources(name))
    if (platform::ReadDecimal(v.c_str(), &value) == 0)
      FatalLog(4, "Invalid -%s parameter -- not a number\n", name);
  return value;
}

int GetFlagSwitch(const char* name, int defaultValue) {
  int value = defaultValue;
  for (const std::string& v : Sources(name)) {
    if (v == "+")
      value = 1;
    else if (v == "-")
      value = 0;
    else if (v.empty())
      value = defaultValue ? 0 : 1;
    else
      FatalLog(4, "Invalid -%s parameter -- not +,- or space\n", name);
  }
  return value;
}

namespace {
// Splits the list value and hands each element to parse; the shared checks
// of both list forms.
template <typename Parse>
unsigned ReadList(const char* name, unsigned maxCount, Parse parse) {
  const std::optional<std::string> v = StringValue(name);
  if (!v) return 0;
  unsigned count = 0;
  std::size_t i = 0;
  const std::string& s = *v;
  for (;;) {
    while (i < s.size() && IsListSeparator(s[i])) ++i;
    if (i >= s.size()) break;
    const std::size_t b = i;
    while (i < s.size() && !IsListSeparator(s[i])) ++i;
    if (count == maxCount)
      FatalLog(4, "Too long list of values in -%s. Maximum %u items allowed.", name, maxCount);
    if (!parse(s.substr(b, i - b), count))
      FatalLog(4, "Bad formed list of doubles in -%s", name);
    ++count;
  }
  return count;
}
}  // namespace

unsigned GetDoubleList(const char* name, double* values, unsigned maxCount) {
  if (!TSM_ASSERT(values != nullptr || maxCount == 0, kSource)) return 0;
  return ReadList(name, maxCount, [&](const std::string& element, unsigned index) {
    double d = 0;
    bool overflow = false;
    const std::size_t used = platform::ReadDecimal(element.c_str(), &d, &overflow);
    if (used == 0 || used != element.size() || overflow) return false;
    values[index] = d;
    return true;
  });
}

unsigned GetIntList(const char* name, int* values, unsigned maxCount) {
  if (!TSM_ASSERT(values != nullptr || maxCount == 0, kSource)) return 0;
  return ReadList(name, maxCount, [&](const std::string& element, unsigned index) {
    long l = 0;
    std::size_t used = 0;
    if (!ToLong(element, &l, &used) || used != element.size()) return false;
    // The extremes are what an overflowing 32-bit conversion returns, so
    // they count as out of range too.
    if (errno == ERANGE || l >= INT_MAX || l <= INT_MIN) return false;
    values[index] = static_cast<int>(l);
    return true;
  });
}

int PositionalCount() {
  int n = 1;
  const auto& args = State().arguments;
  for (std::size_t i = 1; i < args.size(); ++i)
    if (!IsSwitchArgument(args[i])) ++n;
  return n;
}

const char* PositionalArgument(int n) {
  if (n < 1) return nullptr;
  const auto& args = State().arguments;
  for (std::size_t i = 1; i < args.size(); ++i)
    if (!IsSwitchArgument(args[i]) && --n == 0) return args[i].c_str();
  return nullptr;
}

long PositionalInt(int n, long defaultValue) {
  const char* arg = PositionalArgument(n);
  if (!arg) return defaultValue;
  long value = 0;
  if (!ToLong(arg, &value))
    FatalLog(4, "The %d%s parameter is invalid:\"%s\" is not an integer\n", n, OrdinalSuffix(n),
             arg);
  return value;
}

double PositionalFloat(int n, double defaultValue) {
  const char* arg = PositionalArgument(n);
  if (!arg) return defaultValue;
  double value = 0;
  if (platform::ReadDecimal(arg, &value) == 0)
    FatalLog(4, "The %d%s parameter is invalid:\"%s\" is not an floating point number\n", n,
             OrdinalSuffix(n), arg);
  return value;
}

int StringFindSwith(const char* text, int n, char* buffer, std::size_t length) {
  if (!TSM_ASSERT(buffer != nullptr && length > 0, kSource)) return 0;
  buffer[0] = '\0';
  const std::vector<std::string> words = Words(text);
  if (n < 1 || static_cast<std::size_t>(n) > words.size()) return 0;
  const std::string& w = words[static_cast<std::size_t>(n) - 1];
  if (w.size() > length - 1)
    FatalLog(5,
             "Internal Error in StringFindSwith() -- buffer is too small\nFile: %s, line %u\n"
             "Contact developers\n",
             kSource, static_cast<unsigned>(__LINE__));
  BoundedCopy(buffer, w.c_str(), length);
  return 1;
}

const char* OrdinalSuffix(int n) {
  switch (n % 10) {
    case 1: return "st";
    case 2: return "nd";
    case 3: return "rd";
    default: return "th";
  }
}

}  // namespace tsm::shell
