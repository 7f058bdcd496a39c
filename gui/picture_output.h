// The Qt side of printing, exporting and copying the picture: pages on a
// QPrinter (a printer chosen in Qt's print dialog, or a PDF file), PNG
// images, SVG drawings (one path per curve) and PDF files written through
// a temporary file that replaces the old one only when complete, and the
// clipboard. Batch mode has no window: there the output brings up an
// offscreen Qt of its own the first time it draws, and a print goes to the
// PDF file the Ui's file chooser names.
#pragma once

#include <QByteArray>
#include <QImage>

#include <memory>
#include <string>

#include "app/picture_output.h"

class QPrinter;

namespace tsm::gui {

inline constexpr const char* kPrintToFileTitle = "Print to File";
inline constexpr const char* kCannotStartPrinterText = "The printer could not be started.";
inline constexpr const char* kCannotWriteText = "The file could not be written.";

class QtPictureOutput : public app::PictureOutput {
 public:
  // systemPrintDialog: the printer is chosen in Qt's print dialog (the
  // window); otherwise a PDF file is chosen with the Ui's file chooser.
  explicit QtPictureOutput(bool systemPrintDialog);
  ~QtPictureOutput() override;

  bool Export(const std::string& path, app::PictureFormat format, int width, int height,
              const app::PictureDrawer& draw, std::string& error) override;
  bool CopyPicture(app::PictureFormat format, int width, int height,
                   const app::PictureDrawer& draw) override;
  bool CopyText(const std::string& text) override;
  app::OutputResult Print(const app::PrintRequest& request, std::string& error) override;

  // Prints the request's pages on a printer the caller has set up.
  static app::OutputResult PrintOn(QPrinter& printer, const app::PrintRequest& request,
                                   std::string& error);
  // The picture as an image and as an SVG document, width x height pixels.
  static QImage RenderImage(int width, int height, const app::PictureDrawer& draw);
  static QByteArray RenderSvg(int width, int height, const app::PictureDrawer& draw);
  static QByteArray RenderPdf(int width, int height, const app::PictureDrawer& draw);

 private:
  const bool systemPrintDialog_;
  std::unique_ptr<QPrinter> printer_;  // keeps the user's choices between prints
};

// Makes sure a Qt application exists for drawing (batch mode has none: an
// offscreen one, widgets included, is started and kept for the rest of the
// run; Qt's remarks on a machine without a desktop are dropped).
void EnsureQtForDrawing();

// Installs the program's output; RemovePictureOutput takes it away again
// (before the application object it draws with is gone).
void InstallPictureOutput(bool systemPrintDialog);
void RemovePictureOutput();

}  // namespace tsm::gui
