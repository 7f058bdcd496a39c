#include "gui/picture_output.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <clocale>
#include <cstdio>

#include "gui/cp1252.h"
#include "gui/qt_canvas.h"
#include "gui/qt_ui.h"
#include "app/picture_commands.h"
#include "shell/errors.h"

namespace tsm::gui {

namespace {

// Exported pictures are sized in pixels of a 96 dpi screen; a PDF page of
// that size is drawn at a finer grid so its lines and symbols stay smooth.
constexpr int kScreenDpi = 96;
constexpr int kPdfDpi = 600;
constexpr int kDotsPerMetreAt96 = 3780;

// The pages of a print job on a QPrinter.
class PrinterSink : public app::PageSink {
 public:
  PrinterSink(QPrinter& printer, QPainter& painter) : printer_(printer), canvas_(painter, printer) {
    canvas_.SetVectorOutput(true);
    canvas_.SetMonochrome(printer.colorMode() == QPrinter::GrayScale);
  }
  plot::Canvas& Canvas() override { return canvas_; }
  plot::CanvasRect Page() const override {
    // The painter's origin is the top left corner of the printable area.
    return plot::CanvasRect{0, 0, printer_.width(), printer_.height()};
  }
  bool NewPage() override {
    canvas_.Flush();
    return printer_.newPage();
  }
  void Finish() { canvas_.Flush(); }

 private:
  QPrinter& printer_;
  QtCanvas canvas_;
};

void Draw(QPainter& painter, QPaintDevice& device, bool vector, const app::PictureDrawer& draw) {
  QtCanvas canvas(painter, device);
  canvas.SetVectorOutput(vector);
  draw(canvas, plot::CanvasRect{0, 0, device.width(), device.height()});
  canvas.Flush();
}

// Writes the bytes in place of the file, so a failure keeps the old one.
bool WriteFile(const std::string& path, const QByteArray& bytes) {
  QSaveFile file(FromCp1252(path));
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

QByteArray PngBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

}  // namespace

void EnsureQtForDrawing() {
  if (QCoreApplication::instance()) return;
  // Batch mode's standard error carries its own reports only: Qt's notes
  // about the environment of a machine without a desktop are dropped.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
      std::fprintf(stderr, "tesmira: %s\n", text.toLocal8Bit().constData());
  });
  static int argc = 3;
  static char name[] = "tesmira";
  static char platformSwitch[] = "-platform";
  static char offscreen[] = "offscreen";
  static char* argv[] = {name, platformSwitch, offscreen, nullptr};
  // Widgets too: batch mode's snapshots draw the window and its dialogs.
  new QApplication(argc, argv);
  // Qt adopts the desktop's locale; the program's numbers keep their point.
  std::setlocale(LC_NUMERIC, "C");
}

QtPictureOutput::QtPictureOutput(bool systemPrintDialog) : systemPrintDialog_(systemPrintDialog) {}

QtPictureOutput::~QtPictureOutput() = default;

QImage QtPictureOutput::RenderImage(int width, int height, const app::PictureDrawer& draw) {
  EnsureQtForDrawing();
  QImage image(width, height, QImage::Format_RGB32);
  image.setDotsPerMeterX(kDotsPerMetreAt96);
  image.setDotsPerMeterY(kDotsPerMetreAt96);
  image.fill(Qt::white);
  QPainter painter(&image);
  Draw(painter, image, false, draw);
  return image;
}

QByteArray QtPictureOutput::RenderSvg(int width, int height, const app::PictureDrawer& draw) {
  EnsureQtForDrawing();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(width, height));
  svg.setViewBox(QRect(0, 0, width, height));
  svg.setResolution(kScreenDpi);
  svg.setTitle("Tesmira");
  QPainter painter;
  if (!painter.begin(&svg)) return {};
  Draw(painter, svg, true, draw);
  painter.end();
  return bytes;
}

QByteArray QtPictureOutput::RenderPdf(int width, int height, const app::PictureDrawer& draw) {
  EnsureQtForDrawing();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter pdf(&buffer);
  pdf.setCreator("Tesmira");
  pdf.setResolution(kPdfDpi);
  const QSizeF size(width * 25.4 / kScreenDpi, height * 25.4 / kScreenDpi);
  pdf.setPageLayout(QPageLayout(QPageSize(size, QPageSize::Millimeter), QPageLayout::Portrait,
                                QMarginsF(0, 0, 0, 0)));
  QPainter painter;
  if (!painter.begin(&pdf)) return {};
  Draw(painter, pdf, true, draw);
  painter.end();
  return bytes;
}

bool QtPictureOutput::Export(const std::string& path, app::PictureFormat format, int width,
                             int height, const app::PictureDrawer& draw, std::string& error) {
  QByteArray bytes;
  switch (format) {
    case app::PictureFormat::Png: bytes = PngBytes(RenderImage(width, height, draw)); break;
    case app::PictureFormat::Svg: bytes = RenderSvg(width, height, draw); break;
    case app::PictureFormat::Pdf: bytes = RenderPdf(width, height, draw); break;
    case app::PictureFormat::Unknown: break;
  }
  if (!bytes.isEmpty() && WriteFile(path, bytes)) return true;
  error = kCannotWriteText;
  return false;
}

bool QtPictureOutput::CopyPicture(app::PictureFormat format, int width, int height,
                                  const app::PictureDrawer& draw) {
  EnsureQtForDrawing();
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  if (format == app::PictureFormat::Svg) {
    auto* data = new QMimeData;
    data->setData("image/svg+xml", RenderSvg(width, height, draw));
    clipboard->setMimeData(data);
  } else {
    clipboard->setImage(RenderImage(width, height, draw));
  }
  return true;
}

bool QtPictureOutput::CopyText(const std::string& text) {
  EnsureQtForDrawing();
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  clipboard->setText(FromCp1252(text));
  return true;
}

app::OutputResult QtPictureOutput::PrintOn(QPrinter& printer, const app::PrintRequest& request,
                                           std::string& error) {
  QPainter painter;
  if (!painter.begin(&printer)) {
    error = printer.outputFileName().isEmpty() ? kCannotStartPrinterText : kCannotWriteText;
    return app::OutputResult::Failed;
  }
  int pages = 0;
  {
    PrinterSink sink(printer, painter);
    pages = request.draw(sink);
    sink.Finish();
  }
  if (pages == 0) printer.abort();
  painter.end();
  if (pages == 0) {
    // A PDF the engine could not take back is not left behind half made.
    if (!printer.outputFileName().isEmpty()) QFile::remove(printer.outputFileName());
    error = app::kNoRoomOnPageText;
    return app::OutputResult::Failed;
  }
  return app::OutputResult::Done;
}

app::OutputResult QtPictureOutput::Print(const app::PrintRequest& request, std::string& error) {
  EnsureQtForDrawing();
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrinter& printer = *printer_;
  printer.setDocName(FromCp1252(request.documentName));
  printer.setPageOrientation(request.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  if (systemPrintDialog_ && qobject_cast<QApplication*>(QCoreApplication::instance())) {
    QPrintDialog dialog(&printer, ParentFor(request.owner));
    if (dialog.exec() != QDialog::Accepted) return app::OutputResult::Cancelled;
  } else {
    platform::FileDialogRequest ask;
    ask.title = kPrintToFileTitle;
    ask.filters = {{"PDF document (*.pdf)", "*.pdf"}};
    ask.defaultExtension = "pdf";
    ask.flags = platform::OFN_OVERWRITEPROMPT | platform::OFN_PATHMUSTEXIST |
                platform::OFN_HIDEREADONLY;
    const platform::FileDialogResult chosen = platform::GetUi().GetSaveFileName(ask);
    if (!chosen.ok) {
      shell::ReportCommDlgError(chosen.errorCode);
      return app::OutputResult::Cancelled;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(FromCp1252(chosen.path));
  }
  return PrintOn(printer, request, error);
}

namespace {
std::unique_ptr<QtPictureOutput>& Installed() {
  static std::unique_ptr<QtPictureOutput> output;
  return output;
}
}  // namespace

void InstallPictureOutput(bool systemPrintDialog) {
  Installed() = std::make_unique<QtPictureOutput>(systemPrintDialog);
  app::SetPictureOutput(Installed().get());
}

void RemovePictureOutput() {
  app::SetPictureOutput(nullptr);
  Installed().reset();
}

}  // namespace tsm::gui
