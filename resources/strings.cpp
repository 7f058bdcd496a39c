#include "resources/strings.h"

#include <cstring>
#include <map>

namespace tsm::resources {

namespace {
const std::map<unsigned, const char*>& Table() {
  static const std::map<unsigned, const char*> table = {
      // Common-dialog failures, ids 1..27.
      {1, "Creation of CD failed on call to DialogBox()"},
      {2, "Invalid structure size passed to CD"},
      {3, "Failure initializing CD.  Possibly\n\r do to insufficient memory."},
      {4, "Failure finding custom template for CD"},
      {5, "Instance handle not passed to CD"},
      {6, "Failure loading specified string"},
      {7, "Failure finding specified resource"},
      {8, "Failure loading specified resource"},
      {9, "Failure locking specified resource"},
      {10, "Failure allocating memory for internal CD structure"},
      {11, "Failure locking memory for internal CD structure"},
      {12, "No hook function passed to CD but ENABLEHOOK\n\r was passed as a flag"},
      {13, "Failure setting up resources for CD"},
      {14, "Failure parsing strings in [devices]\n\rsection of WIN.INI"},
      {15, "PD_RETURNDEFAULT flag was set but either the \n\rhDevMode or hDevNames field was nonzero"},
      {16, "Failure loading the printers device driver"},
      {17, "The printer driver failed to initialize a DEVMODE data structure"},
      {18, "Print CD failed during initialization"},
      {19, "No printer device drivers were found"},
      {20, "No default printer was found"},
      {21, "Data in DEVMODE contradicts data in DEVNAMES"},
      {22, "Failure creating an IC"},
      {23, "Printer not found"},
      {24, "No fonts exist"},
      {25, "Failure subclassing during initialization of CD"},
      {26, "Invalide filename passed to FileOpen or FileSave"},
      {27, "Buffer passed to CD too small to accomodate string"},
      // The AutoZero warning.
      {48,
       "All currents have been set to zero\nand all voltages have been measured.\n\n1. If there "
       "are some currents which can not be\nset to zero by software, please set such "
       "currents\nto zero by hand and press RETRY.\n\n2. If some voltages are not supposed to be "
       "zero even when\nall currents are zero, please short such voltages\nand press RETRY.\n\n"
       "Press ABORT to cancel AutoZero\nPress RETRY to re-read zero voltage values.\nPress "
       "IGNORE to ignore this warning and accept currently \ndetermined zero voltage values.\n"},
  };
  return table;
}
}  // namespace

int LoadString(unsigned id, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  auto it = Table().find(id);
  if (it == Table().end()) {
    buffer[0] = '\0';
    return 0;
  }
  int n = static_cast<int>(std::strlen(it->second));
  if (n > size - 1) n = size - 1;
  std::memcpy(buffer, it->second, static_cast<size_t>(n));
  buffer[n] = '\0';
  return n;
}

std::string String(unsigned id) {
  auto it = Table().find(id);
  return it == Table().end() ? std::string() : std::string(it->second);
}

}  // namespace tsm::resources
