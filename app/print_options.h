// The two "Print" option groups and their dialogs. Slot 21, the page (dialog
// "Page Setup", command 176): margins in millimetres from the edges of the
// printable page, the width-to-height ratio of the plot, portrait or
// landscape, and whether colours survive on a monochrome printer. Slot 22,
// the contents (dialog "Printing Options", command 260): whether those
// options come up before every print, what goes on paper besides the plot
// (picture information, legend, the summaries of chosen option groups) and
// whether the summaries get a page of their own; also the legend inside the
// plot and the size of exported pictures.
#pragma once

#include <array>
#include <cstddef>

#include "platform/ui.h"
#include "shell/setupdlg.h"
#include "shell/texttable.h"

namespace tsm::app {

inline constexpr const char* kPrintSection = "Print";
inline constexpr int kPageSetupDialogId = 176;
inline constexpr int kPrintingOptionsDialogId = 260;
inline constexpr int kExportDialogId = 283;
inline constexpr const char* kPageSetupCaption = "Page Setup";
inline constexpr const char* kPrintingOptionsCaption = "Printing Options";
inline constexpr const char* kExportCaption = "Export Picture";

inline constexpr unsigned kPortrait = 0;
inline constexpr unsigned kLandscape = 1;
inline constexpr double kMaxMargin = 500;  // millimetres
inline constexpr double kMaxRatio = 100;
// Exported pictures, in pixels (a 96 dpi screen's).
inline constexpr unsigned kMinExportSize = 16;
inline constexpr unsigned kMaxExportSize = 8000;

struct PrintPageOptions {
  double marginLeft = 20;    // "MarginLeft", mm
  double marginRight = 20;   // "MarginRight"
  double marginTop = 20;     // "MarginTop"
  double marginBottom = 20;  // "MarginBottom"
  // "RatioXY": width / height of the plot; 0 gives it all the room there is.
  double ratioXY = 1.5;
  unsigned pageLayout = kPortrait;  // "PageLayout": 0 portrait, 1 landscape
  bool enforceColor = false;        // "EnforceColor"
};

// An option group whose summary can go on paper, and the key of its flag.
struct PrintedSummary {
  const char* key;
  const char* label;
  shell::InfoTable (*table)();
};
inline constexpr std::size_t kPrintedSummaryCount = 12;
extern const std::array<PrintedSummary, kPrintedSummaryCount> kPrintedSummaries;

struct PrintContentsOptions {
  bool showOptionsEveryTime = true;  // "ShowPrintingOptionsEveryTime"
  bool paramsOnSeparatePage = false; // "PrintParamsOnSeparatePage": the summaries
  bool printInfo = true;             // "PrintInfo"
  bool printLegend = true;           // "PrintLegend"
  // The flags of kPrintedSummaries, same index ("PrintGeneralOptions"...).
  std::array<bool, kPrintedSummaryCount> summaries{true,  true,  false, true,  false, false,
                                                    true,  false, false, false, false, false};
  unsigned exportWidth = 800;   // "ExportWidth", pixels
  unsigned exportHeight = 600;  // "ExportHeight"
};

PrintPageOptions& GetPrintPageOptions();
PrintContentsOptions& GetPrintContentsOptions();
// Both back to their factory values (test fixtures).
void ResetPrintOptions();

shell::FieldList& PrintPageFields();
shell::FieldList& PrintContentsFields();
// Registers the groups of slots 21 and 22.
void RegisterPrintOptionGroups();

// The dialogs; 1 after OK, 0 after Cancel.
int RunPageSetupDialog(platform::WindowHandle owner);
int RunPrintingOptionsDialog(platform::WindowHandle owner);
// The size of an exported picture (not stored by its own dialog: Save
// Options stores it with the contents group).
int RunExportDialog(platform::WindowHandle owner);

// The summaries whose flags are set, in table order.
std::vector<shell::InfoTable> ChosenSummaries(const PrintContentsOptions& options);

}  // namespace tsm::app
