// What a user does with a finished picture, in batch mode without a
// display: a drawing file opened, the picture exported as PNG, SVG and PDF
// and printed to a PDF file; a wrong extension fails its line.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/files/dxb_writer.h"
#include "tests/e2e/program_run.h"

namespace {

using tsm::testing::ProgramRun;
using tsm::testing::RunIn;
using tsm::testing::TempDir;

std::string Capture(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[512];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

// Width and height from a PNG's header.
std::uint32_t PngNumber(const std::string& png, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(png.at(at + i));
  return v;
}

TEST(PictureBatch, ADrawingIsExportedAndPrintedWithoutADisplay) {
  TempDir dir;
  tsm::files::testing::DxbWriter drawing;
  drawing.Layer("GATE").Line(0, 0, 10, 5).Extension(20, 0).Extension(30, 5);
  drawing.Layer("FLUX LINE").Polyline(false).Vertex(0, 10).Vertex(30, 10).Vertex(30, -5).SeqEnd();
  drawing.End();
  dir.Write("chip.dxb", drawing.Bytes());
  dir.Write("picture.tsm",
            "open chip.dxb\n"
            "expect curves 2\n"
            "expect points 0 4\n"
            "export chip.png 320 200\n"
            "export \"chip drawing.svg\"\n"
            "export chip.pdf 400 300\n"
            "file printed.pdf\n"
            "run Print\n");
  const ProgramRun run = RunIn(dir.Path().string(), "-batch:picture.tsm -i:batch.ini");
  ASSERT_EQ(run.exitCode, 0) << run.out;
  // Nothing but the dialogs: no failed line, no notes of Qt.
  EXPECT_EQ(run.out, "dialog 260 [Printing Options] -> 1\n");

  const std::string png = TempDir::Read(dir.File("chip.png"));
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(PngNumber(png, 16), 320u);
  EXPECT_EQ(PngNumber(png, 20), 200u);
  EXPECT_NE(TempDir::Read(dir.File("chip drawing.svg")).find("<svg width=\"211.667mm\""),
            std::string::npos);
  EXPECT_EQ(TempDir::Read(dir.File("chip.pdf")).substr(0, 5), "%PDF-");
  const std::string printed = Capture("pdftotext '" + dir.File("printed.pdf") + "' -");
  EXPECT_NE(printed.find("GATE"), std::string::npos) << printed;
  EXPECT_NE(printed.find("FLUX LINE"), std::string::npos);
  EXPECT_NE(printed.find("Picture Info"), std::string::npos);

  // An unknown picture format fails its line with the program's message.
  dir.Write("bad.tsm", "open chip.dxb\nexport chip.bmp\n");
  const ProgramRun bad = RunIn(dir.Path().string(), "-batch:bad.tsm -i:batch.ini");
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.out.find("batch:2: the picture was not exported to chip.bmp\n"), std::string::npos);
  EXPECT_NE(bad.out.find("message [Export Picture] Can not export the picture.\\nThe extension "
                         ".bmp is unknown:"),
            std::string::npos)
      << bad.out;
}

}  // namespace
