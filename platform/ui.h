// The Ui seam: every user-visible effect of the program (message boxes, beeps,
// sounds, busy cursor, status-bar text, file/font/colour choosers, timers and
// modal dialogs) goes through one process-wide Ui object. The Qt back end in
// gui/ shows real windows; the headless back end records every call so tests
// and batch mode can assert on the exact texts. Texts are Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tsm::platform {

class DialogModel;

// An opaque owner window. nullptr stands for "no owner" (the desktop).
using WindowHandle = void*;

// Button sets, icons and default buttons keep their Win32 numbers so callers
// read naturally and the icon rule (type AND 0x70) holds.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
inline constexpr unsigned MB_TYPEMASK = 0xF;
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONSTOP = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_ICONMASK = 0x70;
inline constexpr unsigned MB_DEFBUTTON1 = 0x000;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;
inline constexpr unsigned MB_DEFMASK = 0xF00;
// MessageBeep(0xFFFFFFFF): the plain speaker beep.
inline constexpr unsigned MB_SIMPLEBEEP = 0xFFFFFFFFu;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// The buttons of a button set in display order (MB_YESNO -> IDYES, IDNO).
std::vector<int> ButtonsOf(unsigned type);
// The button Enter would press: the default button of the set.
int DefaultButtonOf(unsigned type);

// Flags of the file choosers (Win32 OFN_ numbers).
inline constexpr unsigned OFN_READONLY = 0x1;
inline constexpr unsigned OFN_OVERWRITEPROMPT = 0x2;
inline constexpr unsigned OFN_HIDEREADONLY = 0x4;
inline constexpr unsigned OFN_PATHMUSTEXIST = 0x800;
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x1000;

struct FileFilter {
  std::string description;  // "ASCII data files (*.dat)"
  std::string pattern;      // "*.dat"
};

struct FileDialogRequest {
  std::string title;  // empty: the standard title
  std::string initialDirectory;
  std::string initialFile;
  std::vector<FileFilter> filters;
  std::string defaultExtension;  // without the dot
  unsigned flags = 0;
};

struct FileDialogResult {
  bool ok = false;
  std::string path;
  // The common-dialog error code when !ok: 0 is a plain cancel.
  unsigned long errorCode = 0;
};

// A logical font as the font chooser edits it.
struct FontChoice {
  std::string face = "Arial";
  int pointSize = 9;
  bool italic = false;
  int weight = 0;  // 0 default, 400 normal, 700 bold
  bool underline = false;
  bool strikeOut = false;
  int charSet = 0;
  std::uint32_t color = 0;  // COLORREF 0x00BBGGRR
};

struct FontDialogResult {
  bool ok = false;
  unsigned long errorCode = 0;
};

using TimerId = std::uint32_t;

class Ui {
 public:
  virtual ~Ui() = default;

  // Shows a modal message box; returns the button pressed (IDOK, IDYES...).
  virtual int MessageBox(WindowHandle owner, const std::string& text,
                         const std::string& caption, unsigned type) = 0;
  virtual void MessageBeep(unsigned type) = 0;
  // Plays a sound file asynchronously; a missing file is silent.
  virtual void PlaySound(const std::string& file) = 0;
  // Busy cursor: nested Begin/End pairs; the cursor is busy while depth > 0.
  virtual void BeginBusyCursor() = 0;
  virtual void EndBusyCursor() = 0;
  // Text of a main-window status-bar part (0..3).
  virtual void SetStatusText(int part, const std::string& text) = 0;
  virtual FileDialogResult GetOpenFileName(const FileDialogRequest& request) = 0;
  virtual FileDialogResult GetSaveFileName(const FileDialogRequest& request) = 0;
  // Edits the font in place; false (and the error code) on cancel or failure.
  virtual FontDialogResult ChooseFont(FontChoice& font) = 0;
  // Edits the colour in place; false on cancel.
  virtual bool ChooseColor(std::uint32_t& color) = 0;
  // Timers run their callback on the UI thread. A one-shot timer stops itself.
  // Returns 0 when no timer could be set.
  virtual TimerId StartTimer(unsigned milliseconds, bool periodic,
                             std::function<void()> callback) = 0;
  virtual void StopTimer(TimerId id) = 0;
  // Runs a dialog model modally; returns the value the model ended with.
  virtual int RunModal(DialogModel& dialog, WindowHandle owner) = 0;
  // Puts text (Windows-1252) on the clipboard; false when it could not.
  virtual bool SetClipboardText(const std::string& text) = 0;
};

// The process-wide Ui. Until something is installed it is a headless Ui.
Ui& GetUi();
// Installs a back end (not owned); nullptr restores the built-in headless one.
void SetUi(Ui* ui);

// Busy cursor for the lifetime of a scope.
class BusyCursor {
 public:
  BusyCursor() { GetUi().BeginBusyCursor(); }
  ~BusyCursor() { GetUi().EndBusyCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace tsm::platform
