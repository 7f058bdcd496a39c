// Fuzz target: any bytes as a command-line text. Parsing and every lookup
// must either answer or end through FatalLog (turned into an exception
// here), never crash or read out of bounds.
#include <cstdint>
#include <string>

#include "shell/cmdline.h"
#include "shell/errors.h"

using namespace tsm::shell;

namespace {
struct Fatal {};
void Throw(int, const std::string&) { throw Fatal{}; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SetFatalHook(&Throw);
  // The option file switch would read arbitrary paths: keep "@" out.
  std::string text(reinterpret_cast<const char*>(data), size);
  for (char& c : text)
    if (c == '@') c = 'a';
  ResetCommandLine();
  ParseCommandLine(text.c_str());
  char buf[64];
  double d[8];
  int n[8];
  const char* names[] = {"i:", "u:", "n:", "f:", "l:", "", "x"};
  for (const char* name : names) {
    try { GetStringSwitch(name, "default", buf, sizeof buf); } catch (const Fatal&) {}
    try { GetIntSwitch(name, 0); } catch (const Fatal&) {}
    try { GetFloatSwitch(name, 0); } catch (const Fatal&) {}
    try { GetFlagSwitch(name, 0); } catch (const Fatal&) {}
    try { GetDoubleList(name, d, 8); } catch (const Fatal&) {}
    try { GetIntList(name, n, 8); } catch (const Fatal&) {}
    FindSwitch(name, buf, sizeof buf);
    FindSwitchInText(text.c_str(), name, buf, sizeof buf);
  }
  for (int i = 0; i <= PositionalCount(); ++i) {
    PositionalArgument(i);
    try { PositionalInt(i, 0); } catch (const Fatal&) {}
    try { PositionalFloat(i, 0); } catch (const Fatal&) {}
    try { StringFindSwith(text.c_str(), i, buf, sizeof buf); } catch (const Fatal&) {}
  }
  ResetCommandLine();
  return 0;
}
