// What a user does with a finished picture: print it (206) with the page
// setup (176) and the printing options (260), export it as a PNG, SVG or
// PDF file (283, and "export PATH" in batch mode), and copy it to the
// clipboard as an image (192), an SVG drawing (193) or text columns (194).
// The rendering is the installed PictureOutput's; the commands are greyed
// without one.
#pragma once

#include <string>

#include "curves/curvefam.h"
#include "plot/canvas.h"

namespace tsm::app {

inline constexpr int kCmdPageSetup = 176;
inline constexpr int kCmdCopyImage = 192;
inline constexpr int kCmdCopySvg = 193;
inline constexpr int kCmdCopyText = 194;
inline constexpr int kCmdPrint = 206;
inline constexpr int kCmdPrintingOptions = 260;
inline constexpr int kCmdExportPicture = 283;

inline constexpr const char* kPrintCaption = "Print";
inline constexpr const char* kCopyCaption = "Copy";
inline constexpr const char* kNothingToOutputText =
    "The plot has no curves:\nthere is nothing to %s.";
inline constexpr const char* kUnknownPictureExtensionText =
    "Can not export the picture.\nThe extension .%s is unknown:\nuse .png, .svg or .pdf.";
inline constexpr const char* kExportFailedText = "Can not export the picture to\n%s\n%s";
inline constexpr const char* kPrintFailedText = "The picture could not be printed.\n%s";
inline constexpr const char* kCopyFailedText = "The picture could not be put on the clipboard.";
// Told by the output when the margins leave nothing of the page.
inline constexpr const char* kNoRoomOnPageText =
    "The margins leave no room on the page:\nmake them smaller in Page Setup.";
inline constexpr const char* kExportChooserTitle = "Export Picture";
inline constexpr const char* kBadPictureSizeText =
    "A picture is from %u to %u pixels wide and high.";

// The picture as the main window shows it (its zoom included, on white),
// drawn into an area of any canvas; the window's own view is left alone.
void DrawPicture(plot::Canvas& canvas, const plot::CanvasRect& area);

// Exports the plotted family to the file, in the format of its extension,
// at width x height pixels. Tells the user what went wrong; true when the
// file was written.
bool ExportPictureFile(const std::string& path, int width, int height);

// The family as text columns for the clipboard: a line of column names
// ("<curve> x", "<curve> y"), then the rows of a data file (the columns of
// the data-file options, tab between fields, blank fields where a curve
// has no point).
std::string CurveColumnsText(const curves::CurveFamily& family);

// Prints the plotted family: the printing options first when they are to
// come up every time, then the printer (or PDF file) the user chooses.
bool PrintPicture();

}  // namespace tsm::app
