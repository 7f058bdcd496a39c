// The picture commands under test: an output that records what it is asked
// to export, copy and print and draws every request on recording canvases
// (printed pages on an A4 page of 300 dpi), installed over the commands'
// fixture, and a family of three named curves to print.
#pragma once

#include <string>
#include <vector>

#include "plot/recording_canvas.h"
#include "app/picture_output.h"
#include "app/print_options.h"
#include "tests/app/commands_fixture.h"

namespace tsm::app::testing {

// Pages of recording canvases; the device of every page is A4 at 300 dpi.
class RecordingPages : public PageSink {
 public:
  explicit RecordingPages(int bitsPerPixel = 32) : bpp_(bitsPerPixel) { Add(); }
  plot::Canvas& Canvas() override { return pages.back(); }
  plot::CanvasRect Page() const override { return {0, 0, kWidth, kHeight}; }
  bool NewPage() override {
    Add();
    return true;
  }
  // Every text of every page, in order.
  std::vector<std::string> AllTexts() const {
    std::vector<std::string> all;
    for (const plot::RecordingCanvas& p : pages)
      for (const std::string& t : p.Texts()) all.push_back(t);
    return all;
  }

  static constexpr int kWidth = 2480, kHeight = 3508, kDpi = 300;
  std::vector<plot::RecordingCanvas> pages;

 private:
  void Add() {
    pages.emplace_back(kWidth, kHeight);
    pages.back().SetDevice(kWidth, kHeight, kDpi, kDpi, 210, 297, bpp_);
  }
  int bpp_;
};

class FakeOutput : public PictureOutput {
 public:
  struct Request {
    std::string path;
    PictureFormat format;
    int width, height;
    std::vector<std::string> texts;  // what the drawing wrote
  };

  bool Export(const std::string& path, PictureFormat format, int width, int height,
              const PictureDrawer& draw, std::string& error) override {
    exports.push_back(Drawn(path, format, width, height, draw));
    if (failWith.empty()) return true;
    error = failWith;
    return false;
  }
  bool CopyPicture(PictureFormat format, int width, int height,
                   const PictureDrawer& draw) override {
    copies.push_back(Drawn("", format, width, height, draw));
    return true;
  }
  bool CopyText(const std::string& text) override {
    clipboardText = text;
    return true;
  }
  OutputResult Print(const PrintRequest& request, std::string& error) override {
    printed = RecordingPages();
    lastRequest = request;
    const int pages = request.draw(printed);
    ++prints;
    if (pages == 0) {
      error = "no room";
      return OutputResult::Failed;
    }
    if (!failWith.empty()) error = failWith;
    return printResult;
  }

  std::vector<Request> exports, copies;
  std::string clipboardText;
  RecordingPages printed;
  PrintRequest lastRequest;
  int prints = 0;
  OutputResult printResult = OutputResult::Done;
  std::string failWith;  // an export or print that fails says this

 private:
  static Request Drawn(const std::string& path, PictureFormat format, int w, int h,
                       const PictureDrawer& draw) {
    plot::RecordingCanvas canvas(w, h);
    draw(canvas, plot::CanvasRect{0, 0, w, h});
    return Request{path, format, w, h, canvas.Texts()};
  }
};

class PictureTest : public CommandsTest {
 protected:
  PictureTest() {
    ResetPrintOptions();
    SetPictureOutput(&output);
  }
  ~PictureTest() override {
    SetPictureOutput(nullptr);
    ResetPrintOptions();
  }

  // Three curves with a picture to describe them.
  void FillFamily() {
    curves::CurveFamily& f = Family();
    f.SetCount(3);
    const char* names[] = {"IV at 4.2 K", "IV at 1.5 K", "Ic(H) branch"};
    for (std::uint32_t c = 0; c < 3; ++c) {
      for (int i = 0; i <= 20; ++i)
        f.Curve(c).Append(i * 1e-4f, (i - 10) * (static_cast<int>(c) + 1) * 1e-3f);
      f.Curve(c).SetName(names[c]);
    }
    f.SetInfo("Junction J7", "A", "V", "Ada Lovelace");
    f.SetChipName("Chip 12");
    f.SetCircuitName("SQUID");
    f.SetComment("first line\r\nsecond line");
  }

  FakeOutput output;
};

}  // namespace tsm::app::testing
