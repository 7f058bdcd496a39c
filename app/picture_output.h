// The seam between the picture commands (print, export, the clipboard) and
// the toolkit that turns drawings into printer pages, image, SVG and PDF
// files and clipboard data. The commands decide what is drawn and say it to
// the user; the front end installs an output that renders (gui/ does, for
// the window and for batch mode alike). Without one the commands are greyed.
#pragma once

#include <functional>
#include <string>

#include "platform/ui.h"
#include "plot/canvas.h"
#include "app/print_page.h"

namespace tsm::app {

enum class PictureFormat { Unknown, Png, Svg, Pdf };

// The format of a file by its extension ("png", "svg", "pdf", any case).
PictureFormat PictureFormatOf(const std::string& path);

// Draws the picture into an area of a canvas (the white background included).
using PictureDrawer = std::function<void(plot::Canvas& canvas, const plot::CanvasRect& area)>;
// Draws every page onto the sink; returns the number of pages, 0 when
// nothing could be printed.
using PageDrawer = std::function<int(PageSink& sink)>;

struct PrintRequest {
  platform::WindowHandle owner = nullptr;
  std::string documentName;  // what the printer's queue shows
  bool landscape = false;
  PageDrawer draw;
};

enum class OutputResult { Done, Cancelled, Failed };

class PictureOutput {
 public:
  virtual ~PictureOutput() = default;
  // Writes the picture at width x height pixels of a 96 dpi screen into the
  // file. False, with the reason in `error`, when it could not be written.
  virtual bool Export(const std::string& path, PictureFormat format, int width, int height,
                      const PictureDrawer& draw, std::string& error) = 0;
  // Puts the picture on the clipboard: an image (Png) or an SVG drawing (Svg).
  virtual bool CopyPicture(PictureFormat format, int width, int height,
                           const PictureDrawer& draw) = 0;
  virtual bool CopyText(const std::string& text) = 0;
  // Lets the user choose the printer (or the file a PDF goes to) and prints.
  // Failed comes with the reason in `error`.
  virtual OutputResult Print(const PrintRequest& request, std::string& error) = 0;
};

// Installs the output (not owned); nullptr removes it.
void SetPictureOutput(PictureOutput* output);
// The installed output, or nullptr.
PictureOutput* GetPictureOutput();

}  // namespace tsm::app
