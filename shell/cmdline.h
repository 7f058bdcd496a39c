// The command line: turns the program's command-line text (or an argument
// vector) into an argument list, reads the option file named with the switch
// "@", and answers lookups of switches by name and of positional arguments by
// number. A bad value ends the process through FatalLog with its message and
// exit code: at start-up there is nobody to ask.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tsm::shell {

// Entry 0 of the argument list and the most tokens kept after it.
inline constexpr const char* kProgramArgument = "prog.exe";
inline constexpr int kMaxTokens = 31;
// The largest option file accepted.
inline constexpr unsigned long kOptionFileLimit = 4096;

// Splits the text into tokens (separators blank, tab, newline, carriage
// return; quotes ' " ` group and are dropped, a doubled quote inside its own
// quotes stands for itself, backslashes are plain characters), then loads the
// option file. Returns 1.
int ParseCommandLine(const char* commandLine);
// Adopts argv[1..argc-1] as the tokens (still at most 31), then loads the
// option file. Returns 1.
int ParseArgv(int argc, const char* const* argv);
// Forgets the argument list (the option text stays until the next parse).
void FreeCommandLine();
// Forgets the argument list and the option text (tests, a second start).
void ResetCommandLine();
// Entry 0 is kProgramArgument (or argv[0]); empty before a parse.
const std::vector<std::string>& CommandLineArguments();
const std::string& OptionText();

// An argument that begins with "-" or "/" is a switch: its name follows that
// character and its value follows the name directly. Names match
// case-sensitively over the length of the requested name. One exception for
// this platform: an argument beginning with "/" that names an existing file
// or folder is a path, not a switch, so "tesmira /home/me/run.dat" opens it.
bool IsSwitchArgument(const std::string& argument);

// Index of the first matching switch of the command line (0 if none); its
// value goes into buffer (at most length - 1 bytes and a terminator; buffer
// may be null when only the index is wanted).
int FindSwitch(const char* name, char* buffer, std::size_t length);
// The same lookup over the blank-separated words of a text: 1 and the value
// of the first matching word, or 0.
int FindSwitchInText(const char* text, const char* name, char* buffer, std::size_t length);

// The typed lookups start from the default, take the value from the option
// text when found there and then from the command line when found there.
// String: an empty value is an error (exit code 4).
char* GetStringSwitch(const char* name, const char* defaultValue, char* buffer,
                      std::size_t length);
std::string GetStringSwitch(const char* name, const std::string& defaultValue);
// Decimal integer; a value without digits is an error (exit code 4).
long GetIntSwitch(const char* name, long defaultValue);
// Decimal floating-point; a value without digits is an error (exit code 4).
double GetFloatSwitch(const char* name, double defaultValue);
// "+" gives 1, "-" gives 0, an empty value the opposite of the default; any
// other value is an error (exit code 4).
int GetFlagSwitch(const char* name, int defaultValue);
// Lists of numbers in the string value, separated by any run of ",", ";",
// blank or tab. Returns how many were stored; more than maxCount, an element
// that is not a number, an overflowing real and, for integers, the largest or
// smallest 32-bit value or one out of range are errors (exit code 4).
unsigned GetDoubleList(const char* name, double* values, unsigned maxCount);
unsigned GetIntList(const char* name, int* values, unsigned maxCount);

// 1 + the number of positional arguments (those that are not switches).
int PositionalCount();
// The n-th positional argument (n from 1), or null.
const char* PositionalArgument(int n);
// The n-th positional argument converted, or the default when there is none;
// a text that is not a number is an error (exit code 4).
long PositionalInt(int n, long defaultValue);
double PositionalFloat(int n, double defaultValue);

// The n-th (from 1) blank-separated word of text into buffer: 1, or 0 (and an
// empty buffer) when the text has fewer words. A word that does not fit the
// buffer is an internal error (exit code 5).
int StringFindSwith(const char* text, int n, char* buffer, std::size_t length);

// "st", "nd", "rd" for a last digit of 1 to 3, else "th" (11 gives "st").
const char* OrdinalSuffix(int n);

}  // namespace tsm::shell
