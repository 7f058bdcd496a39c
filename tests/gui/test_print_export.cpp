// Printing and exporting through Qt, offscreen and with no printer: the
// Print command writes a PDF whose text holds the curve names, the picture
// information and the option summaries; a monochrome page is black unless
// colour is enforced; exported PNG, SVG and PDF files and the clipboard
// give back what went in. TSM_PRINT_PAGES names a folder to keep the
// printed PDFs and their pages as PNG for a look by eye.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPrinter>
#include <QXmlStreamReader>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "curves/state.h"
#include "files/options.h"
#include "gui/picture_output.h"
#include "plot/state.h"
#include "plot/view.h"
#include "app/commands.h"
#include "app/headless_window.h"
#include "app/main_window_link.h"
#include "app/picture_commands.h"
#include "app/print_options.h"
#include "app/print_page.h"
#include "tests/gui/qt_test_app.h"
#include "tests/support/test_support.h"

namespace tsm::gui {
namespace {

using testing::QtApp;

// Runs a command line and returns what it printed on standard output.
std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    ::pclose(p);
  }
  return out;
}

class PrintExportTest : public tsm::testing::UiTest {
 protected:
  PrintExportTest() : output(false) {
    QtApp();
    Reset();
    app::RegisterAllCommands();
    app::AttachMainWindow(window, window);
    app::InitPlotState();
    app::SetPictureOutput(&output);
    FillFamily();
  }
  ~PrintExportTest() override {
    app::SetPictureOutput(nullptr);
    app::DetachMainWindow();
    Reset();
  }
  static void Reset() {
    app::ResetCommandState();
    app::ResetPrintOptions();
    curves::ResetCurvesState();
    plot::ResetPlotState();
    files::ResetDataFileOptions();
  }
  static void FillFamily() {
    curves::CurveFamily& f = curves::CurrentFamily();
    f.SetCount(3);
    f.SetInfo("Junction J7", "A", "V", "Ada Lovelace");
    f.SetChipName("Chip 12");
    f.SetComment("cooled twice");
    const char* names[] = {"IV at 4.2 K", "IV at 1.5 K", "Ic of branch"};
    for (std::uint32_t c = 0; c < 3; ++c) {
      for (int i = 0; i <= 40; ++i)
        f.Curve(c).Append(i * 5e-5f, (i - 20) * (i - 20) * (c + 1) * 2e-6f);
      f.Curve(c).SetName(names[c]);
    }
  }

  // Prints the family into a PDF file as the Print command does, on a
  // colour or a black-and-white printer.
  std::string PrintPdf(const std::string& name, bool grayscale) {
    const std::string path = Keep(name + ".pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    printer.setColorMode(grayscale ? QPrinter::GrayScale : QPrinter::Color);
    app::PrintRequest request;
    request.draw = [](app::PageSink& sink) {
      return app::PrintFamily(sink, curves::CurrentFamily(), app::GetPrintPageOptions(),
                              app::GetPrintContentsOptions());
    };
    std::string error;
    EXPECT_EQ(QtPictureOutput::PrintOn(printer, request, error), app::OutputResult::Done) << error;
    return path;
  }
  // The first page of a PDF as an image.
  QImage Page(const std::string& pdf) {
    const std::string base = pdf.substr(0, pdf.size() - 4);
    Shell("pdftoppm -r 40 -png -f 1 -l 1 -singlefile '" + pdf + "' '" + base + "'");
    return QImage(QString::fromStdString(base + ".png"));
  }
  // Where files go: the test's folder, or TSM_PRINT_PAGES to keep them.
  std::string Keep(const std::string& name) {
    const char* keep = std::getenv("TSM_PRINT_PAGES");
    return keep && *keep ? (std::filesystem::path(keep) / name).string() : dir.File(name);
  }
  static int ColouredPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 60)
          ++n;
      }
    return n;
  }
  static int DarkPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 60) ++n;
    return n;
  }

  tsm::testing::TempDir dir;
  app::HeadlessWindow window;
  QtPictureOutput output;
};

TEST_F(PrintExportTest, PrintingWritesAPdfWithThePictureItsInformationAndTheSummaries) {
  // The command asks for the file (there is no print dialog here).
  const std::string path = Keep("print.pdf");
  std::filesystem::remove(path);
  ui->PushFile(path);
  ASSERT_EQ(app::RunCommand(app::kCmdPrint), app::CommandResult::Done);
  ASSERT_TRUE(std::filesystem::exists(path));
  const std::string text = Shell("pdftotext -layout '" + path + "' -");
  for (const char* t : {"IV at 4.2 K", "IV at 1.5 K", "Ic of branch", "Picture Info",
                        "Junction J7", "Ada Lovelace", "Chip 12", "cooled twice", "Legend",
                        "General Measurement Options", "in each point", "Delays",
                        "Delay after Sweep1 is set (ms)", "Averaging", "(mA)"})
    EXPECT_NE(text.find(t), std::string::npos) << t;
  EXPECT_EQ(Page(path).isNull(), false);

  // A cancelled chooser prints nothing.
  EXPECT_EQ(app::RunCommand(app::kCmdPrint), app::CommandResult::Failed);
  // A folder that does not exist: the user is told.
  ui->PushFile(dir.File("no/such/folder/print.pdf"));
  EXPECT_EQ(app::RunCommand(app::kCmdPrint), app::CommandResult::Failed);
  ASSERT_FALSE(ui->MessageBoxes().empty());
  EXPECT_EQ(ui->MessageBoxes().back().caption, app::kPrintCaption);
}

TEST_F(PrintExportTest, AMonochromePageIsBlackUnlessColourIsEnforced) {
  const QImage colour = Page(PrintPdf("colour", false));
  const QImage black = Page(PrintPdf("black", true));
  app::GetPrintPageOptions().enforceColor = true;
  const QImage enforced = Page(PrintPdf("enforced", true));
  ASSERT_FALSE(colour.isNull());
  ASSERT_EQ(colour.size(), black.size());
  ASSERT_EQ(colour.size(), enforced.size());
  EXPECT_GT(ColouredPixels(colour), 50);
  EXPECT_EQ(ColouredPixels(black), 0);
  // The curves of the black page are drawn in black; with colour enforced
  // they keep their colours (in the shades the printer makes of them).
  EXPECT_GT(DarkPixels(black), DarkPixels(enforced) + 50);
  // Nothing else moves: the pages differ only where the curves are.
  int differing = 0;
  for (int y = 0; y < colour.height(); ++y)
    for (int x = 0; x < colour.width(); ++x)
      if (std::abs(qGray(colour.pixel(x, y)) - qGray(enforced.pixel(x, y))) > 40) ++differing;
  EXPECT_LT(differing, colour.width() * colour.height() / 200);
}

TEST_F(PrintExportTest, ExportedFilesAndTheClipboardGiveBackWhatWentIn) {
  const std::string png = Keep("plot.png"), svg = Keep("plot.svg"), pdf = Keep("plot.pdf");
  ASSERT_TRUE(app::ExportPictureFile(png, 640, 360));
  const QImage image(QString::fromStdString(png));
  EXPECT_EQ(image.size(), QSize(640, 360));
  EXPECT_GT(ColouredPixels(image), 50);

  // The SVG parses and holds one path per curve (the frame, ticks and grid
  // are polylines, the symbols ellipses).
  ASSERT_TRUE(app::ExportPictureFile(svg, 800, 600));
  QFile file(QString::fromStdString(svg));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  int paths = 0, texts = 0;
  QString width;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"svg") width = xml.attributes().value("width").toString();
    if (xml.name() == u"path") ++paths;
    if (xml.name() == u"text") ++texts;
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(paths, 3);
  EXPECT_GT(texts, 10);
  EXPECT_TRUE(width.startsWith("2")) << width.toStdString();  // 800 px at 96 dpi: 211.667 mm

  ASSERT_TRUE(app::ExportPictureFile(pdf, 800, 600));
  EXPECT_NE(Shell("pdftotext '" + pdf + "' -").find("(mA)"), std::string::npos);
  EXPECT_NE(Shell("pdfinfo '" + pdf + "'").find("600 x 450 pts"), std::string::npos);

  // An export that cannot be written keeps the old file and says so.
  ASSERT_FALSE(app::ExportPictureFile(dir.File("no/such/folder/plot.png"), 640, 360));
  EXPECT_EQ(ui->MessageBoxes().back().caption, app::kExportCaption);

  QClipboard* clipboard = QGuiApplication::clipboard();
  ASSERT_EQ(app::RunCommand(app::kCmdCopyImage), app::CommandResult::Done);
  EXPECT_EQ(clipboard->image().size(), QSize(800, 600));
  ASSERT_EQ(app::RunCommand(app::kCmdCopySvg), app::CommandResult::Done);
  EXPECT_TRUE(clipboard->mimeData()->data("image/svg+xml").startsWith("<?xml"));
  ASSERT_EQ(app::RunCommand(app::kCmdCopyText), app::CommandResult::Done);
  EXPECT_EQ(clipboard->text().toStdString(),
            app::CurveColumnsText(curves::CurrentFamily()));
}

}  // namespace
}  // namespace tsm::gui
