// The File menu's Print, Page Setup and Export Picture, the Options menu's
// Printing, and the Edit menu's three "Copy as.." items.
#include "app/picture_commands.h"

#include <strings.h>

#include "curves/state.h"
#include "files/columns.h"
#include "files/options.h"
#include "files/pathnames.h"
#include "files/state.h"
#include "plot/draw.h"
#include "plot/view.h"
#include "app/commands.h"
#include "app/picture_output.h"
#include "app/print_options.h"
#include "shell/errors.h"
#include "shell/stringex.h"

namespace tsm::app {

namespace {

using platform::MB_ICONHAND;
using platform::MB_OK;

void Tell(const std::string& text, const char* caption) {
  shell::ShowMessage(Owner(), text, caption, MB_OK | MB_ICONHAND);
}

const curves::CurveFamily& Plotted() { return curves::FamilyForPlot(); }

// An empty plot gives nothing to print, export or copy: the user is told.
bool SomethingToShow(const char* what, const char* caption) {
  if (Plotted().Count() > 0) return true;
  Tell(shell::Format(kNothingToOutputText, what), caption);
  return false;
}

bool HaveOutput() { return GetPictureOutput() != nullptr; }

bool ExportCommand() {
  if (!SomethingToShow("export", kExportCaption)) return false;
  if (RunExportDialog(Owner()) == 0) return false;
  platform::FileDialogRequest request;
  request.title = kExportChooserTitle;
  request.initialDirectory = files::GetFilesState().saveDirectory;
  request.filters = {{"PNG image (*.png)", "*.png"},
                     {"SVG drawing (*.svg)", "*.svg"},
                     {"PDF document (*.pdf)", "*.pdf"}};
  request.defaultExtension = "png";
  request.flags = platform::OFN_OVERWRITEPROMPT | platform::OFN_PATHMUSTEXIST |
                  platform::OFN_HIDEREADONLY;
  const platform::FileDialogResult chosen = platform::GetUi().GetSaveFileName(request);
  if (!chosen.ok) {
    shell::ReportCommDlgError(chosen.errorCode);
    return false;
  }
  const PrintContentsOptions& o = GetPrintContentsOptions();
  return ExportPictureFile(chosen.path, static_cast<int>(o.exportWidth),
                           static_cast<int>(o.exportHeight));
}

bool CopyPictureCommand(PictureFormat format) {
  if (!SomethingToShow("copy", kCopyCaption)) return false;
  const PrintContentsOptions& o = GetPrintContentsOptions();
  if (GetPictureOutput()->CopyPicture(format, static_cast<int>(o.exportWidth),
                                      static_cast<int>(o.exportHeight), DrawPicture))
    return true;
  Tell(kCopyFailedText, kCopyCaption);
  return false;
}

bool CopyTextCommand() {
  if (!SomethingToShow("copy", kCopyCaption)) return false;
  if (GetPictureOutput()->CopyText(CurveColumnsText(Plotted()))) return true;
  Tell(kCopyFailedText, kCopyCaption);
  return false;
}

// Column names may not hold the delimiter or a line end.
std::string ColumnName(const char* name, const char* axis) {
  std::string text = name;
  for (char& ch : text)
    if (ch == '\t' || ch == '\r' || ch == '\n') ch = ' ';
  return text + " " + axis;
}

}  // namespace

void DrawPicture(plot::Canvas& canvas, const plot::CanvasRect& area) {
  plot::PlotView view = plot::GetPlotView();
  plot::Draw(canvas, area, Plotted(), view);
}

bool ExportPictureFile(const std::string& path, int width, int height) {
  if (!SomethingToShow("export", kExportCaption)) return false;
  auto inRange = [](int n) { return n >= int{kMinExportSize} && n <= int{kMaxExportSize}; };
  if (!inRange(width) || !inRange(height)) {
    Tell(shell::Format(kBadPictureSizeText, kMinExportSize, kMaxExportSize), kExportCaption);
    return false;
  }
  const PictureFormat format = PictureFormatOf(path);
  if (format == PictureFormat::Unknown) {
    Tell(shell::Format(kUnknownPictureExtensionText, files::ExtensionPart(path).c_str()),
         kExportCaption);
    return false;
  }
  PictureOutput* output = GetPictureOutput();
  std::string error = "There is no way to draw pictures here.";
  if (output && output->Export(path, format, width, height, DrawPicture, error)) return true;
  Tell(shell::Format(kExportFailedText, path.c_str(), error.c_str()), kExportCaption);
  return false;
}

std::string CurveColumnsText(const curves::CurveFamily& family) {
  std::string text;
  for (std::uint32_t i = 0; i < family.Count(); ++i) {
    const char* name = family.Curve(i).Name();
    text += (i > 0 ? "\t" : "") + ColumnName(name, "x") + "\t" + ColumnName(name, "y");
  }
  text += "\r\n";
  files::RowLayout layout;
  layout.width = static_cast<int>(files::ColumnWidth(files::GetDataFileOptions()));
  layout.delimiter = '\t';
  layout.sorted = false;  // every curve keeps its own two columns
  return text + files::FormatRows(family, layout);
}

bool PrintPicture() {
  if (!SomethingToShow("print", kPrintCaption)) return false;
  if (GetPrintContentsOptions().showOptionsEveryTime && RunPrintingOptionsDialog(Owner()) == 0)
    return false;
  PrintRequest request;
  request.owner = Owner();
  const char* graph = Plotted().GraphName();
  request.documentName = *graph ? std::string("Tesmira - ") + graph : std::string("Tesmira");
  request.landscape = GetPrintPageOptions().pageLayout == kLandscape;
  request.draw = [](PageSink& sink) {
    return PrintFamily(sink, Plotted(), GetPrintPageOptions(), GetPrintContentsOptions());
  };
  std::string error;
  switch (GetPictureOutput()->Print(request, error)) {
    case OutputResult::Done:
      return true;
    case OutputResult::Cancelled:
      return false;
    case OutputResult::Failed:
      Tell(shell::Format(kPrintFailedText, error.c_str()), kPrintCaption);
      return false;
  }
  return false;
}

PictureFormat PictureFormatOf(const std::string& path) {
  const std::string extension = files::ExtensionPart(path);
  // The extension belongs to the file name, not to a folder.
  if (extension.find_first_of("/\\") != std::string::npos) return PictureFormat::Unknown;
  if (::strcasecmp(extension.c_str(), "png") == 0) return PictureFormat::Png;
  if (::strcasecmp(extension.c_str(), "svg") == 0) return PictureFormat::Svg;
  if (::strcasecmp(extension.c_str(), "pdf") == 0) return PictureFormat::Pdf;
  return PictureFormat::Unknown;
}

void RegisterPictureCommands(CommandRegistry& registry) {
  registry.Register(kCmdPrint, PrintPicture, HaveOutput);
  registry.Register(kCmdPageSetup, [] { return RunPageSetupDialog(Owner()) != 0; });
  // The legend inside the plot is one of the printing options.
  registry.Register(kCmdPrintingOptions, [] {
    if (RunPrintingOptionsDialog(Owner()) == 0) return false;
    Redraw();
    return true;
  });
  registry.Register(kCmdExportPicture, ExportCommand, HaveOutput);
  registry.Register(kCmdCopyImage, [] { return CopyPictureCommand(PictureFormat::Png); },
                    HaveOutput);
  registry.Register(kCmdCopySvg, [] { return CopyPictureCommand(PictureFormat::Svg); },
                    HaveOutput);
  registry.Register(kCmdCopyText, CopyTextCommand, HaveOutput);
}

}  // namespace tsm::app
