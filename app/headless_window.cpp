#include "app/headless_window.h"

#include <algorithm>

#include "channels/temperature_window.h"
#include "curves/state.h"
#include "math/derivative.h"
#include "plot/canvas.h"
#include "plot/cursors.h"
#include "plot/draw.h"
#include "plot/selection.h"
#include "plot/state.h"
#include "app/command_ids.h"
#include "app/commands.h"
#include "app/curve_dialog.h"
#include "app/main_window_link.h"

namespace tsm::app {

namespace {

// A screen that draws nothing: 96 dpi, 32 bits, text of a plain 8 x 16 cell.
class InvisibleCanvas : public plot::Canvas {
 public:
  InvisibleCanvas(int width, int height) : width_(width), height_(height) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int DpiX() const override { return 96; }
  int DpiY() const override { return 96; }
  int WidthMm() const override { return width_ * 254 / 960; }
  int HeightMm() const override { return height_ * 254 / 960; }
  int BitsPerPixel() const override { return 32; }
  void SetPen(const plot::CanvasPen&) override {}
  void SetFont(const plot::CanvasFont& font) override { font_ = font; }
  void SetClip(const plot::CanvasRect&) override {}
  void ClearClip() override {}
  void SetXorMode(bool) override {}
  void MoveTo(int x, int y) override { pos_ = {x, y}; }
  void LineTo(int x, int y) override { pos_ = {x, y}; }
  plot::CanvasPoint CurrentPosition() const override { return pos_; }
  void Ellipse(const plot::CanvasRect&) override {}
  void Polygon(const plot::CanvasPoint*, std::size_t) override {}
  void SetPixel(int, int, plot::Color) override {}
  void FillRect(const plot::CanvasRect&, plot::Color) override {}
  void DrawText(const std::string&, const plot::CanvasRect&, unsigned) override {}
  plot::TextSize TextExtent(const std::string& text) override {
    const int h = std::max(1, std::abs(font_.height == 0 ? 12 : font_.height));
    return {static_cast<int>(text.size()) * std::max(1, h * 55 / 100), std::max(1, h * 115 / 100)};
  }

 private:
  int width_, height_;
  plot::CanvasFont font_;
  plot::CanvasPoint pos_;
};

}  // namespace

// The tool windows as models; each refreshes on the plot-changed
// notification while it is open.
struct HeadlessWindow::Tools {
  std::unique_ptr<plot::CursorsModel> cursors;
  int cursorsToken = 0;
  int temperatureToken = 0;
  bool pictureInfo = false;
  struct Derivative {
    std::unique_ptr<math::DerivativeWindowModel> model;
    int token = 0;
  } derivative[2];

  ~Tools() {
    CloseCursors();
    CloseTemperature();
    for (Derivative& d : derivative) CloseDerivative(d);
  }
  static void CloseDerivative(Derivative& d) {
    if (d.token) RemovePlotChangedObserver(d.token);
    d.token = 0;
    d.model.reset();
  }
  void CloseCursors() {
    if (!cursors) return;
    plot::SetPointerListener(nullptr);
    RemovePlotChangedObserver(cursorsToken);
    cursors.reset();
  }
  void CloseTemperature() {
    if (temperatureToken) RemovePlotChangedObserver(temperatureToken);
    temperatureToken = 0;
    if (channels::GetTemperatureWindow().IsOpen()) channels::GetTemperatureWindow().Close();
  }
};

HeadlessWindow::HeadlessWindow(int plotWidth, int plotHeight)
    : width_(plotWidth), height_(plotHeight), tools_(std::make_unique<Tools>()) {}

HeadlessWindow::~HeadlessWindow() = default;

void HeadlessWindow::SetPlotSize(int width, int height) {
  width_ = std::max(1, width);
  height_ = std::max(1, height);
}

void HeadlessWindow::InitPlotState() { app::InitPlotState(); }

void HeadlessWindow::OpenCommandLineFile() { RunCommand(kCmdOpenCommandLineFile); }

platform::WindowHandle HeadlessWindow::Owner() const {
  return const_cast<HeadlessWindow*>(this);
}

void HeadlessWindow::RepaintPlot() {
  InvisibleCanvas canvas(width_, height_);
  lastDraw_ = plot::Draw(canvas, plot::CanvasRect{0, 0, width_, height_}, curves::FamilyForPlot(),
                         plot::GetPlotView());
  plot::RefreshReadout();
  ++draws_;
}

void HeadlessWindow::Redraw() { app::Redraw(); }

void HeadlessWindow::OpenCurveProperties(unsigned curve) { app::OpenCurveProperties(curve); }

bool HeadlessWindow::HasToolWindow(int id) const { return IsToolWindowCommand(id); }

const math::DerivativeWindowModel* HeadlessWindow::DerivativeWindow(int id) const {
  if (id != kCmdDerivativeWindowX && id != kCmdDerivativeWindowY) return nullptr;
  return tools_->derivative[id == kCmdDerivativeWindowY].model.get();
}

void HeadlessWindow::ToggleToolWindow(int id, bool shift) {
  Tools& t = *tools_;
  if (id == kCmdCursors) {
    if (t.cursors) {
      t.CloseCursors();
      return;
    }
    t.cursors = std::make_unique<plot::CursorsModel>();
    t.cursors->Init();
    plot::CursorsModel* model = t.cursors.get();
    plot::SetPointerListener([model](int x, int y) { model->Update(x, y); });
    t.cursorsToken = AddPlotChangedObserver([model] { model->Refresh(); });
  } else if (id == kCmdDerivativeWindowX || id == kCmdDerivativeWindowY) {
    Tools::Derivative& d = t.derivative[id == kCmdDerivativeWindowY];
    if (d.model) {
      Tools::CloseDerivative(d);
      return;
    }
    d.model = std::make_unique<math::DerivativeWindowModel>(
        id == kCmdDerivativeWindowX ? math::DerivativeAxis::X : math::DerivativeAxis::Y);
    math::DerivativeWindowModel* model = d.model.get();
    model->Refresh(curves::FamilyForPlot());
    d.token = AddPlotChangedObserver([model] { model->Refresh(curves::FamilyForPlot()); });
  } else if (id == kCmdPictureInfo) {
    // Nothing to show without a screen; the item's check follows it all the same.
    t.pictureInfo = !t.pictureInfo;
  } else if (id == kCmdTemperature) {
    if (channels::GetTemperatureWindow().IsOpen()) {
      t.CloseTemperature();
      return;
    }
    if (channels::ToggleTemperatureWindow(Owner(), shift))
      t.temperatureToken =
          AddPlotChangedObserver([] { channels::GetTemperatureWindow().Refresh(); });
  }
}

bool HeadlessWindow::ToolWindowOpen(int id) const {
  if (id == kCmdCursors) return tools_->cursors != nullptr;
  if (id == kCmdTemperature) return channels::GetTemperatureWindow().IsOpen();
  if (id == kCmdPictureInfo) return tools_->pictureInfo;
  return DerivativeWindow(id) != nullptr;
}

}  // namespace tsm::app
