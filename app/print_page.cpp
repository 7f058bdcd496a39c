#include "app/print_page.h"

#include <algorithm>
#include <cmath>

#include "plot/draw.h"
#include "plot/gfont.h"
#include "plot/legend.h"
#include "plot/state.h"
#include "plot/view.h"
#include "app/picture_info.h"

namespace tsm::app {

namespace {

// The text printed with the plot: 9 points, titles in bold.
constexpr int kTextPoints = 9;
constexpr int kBold = 700;

plot::CanvasFont PrintFont(plot::Canvas& canvas, bool bold) {
  plot::GFont font;
  font.size = kTextPoints;
  font.weight = bold ? kBold : 0;
  return plot::DeviceFont(font, &canvas);
}

// Splits a text at its line ends (CR LF, CR or LF).
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '\r' || ch == '\n') {
      lines.push_back(line);
      line.clear();
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line.push_back(ch);
    }
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

PrintLine Title(std::string text) { return PrintLine{PrintLine::Kind::Title, std::move(text), {}, 0}; }
PrintLine Row(std::string label, std::vector<std::string> values) {
  return PrintLine{PrintLine::Kind::Row, std::move(label), std::move(values), 0};
}

// Lays out and draws the text blocks: one line after the other from a
// position on the page, to the next page when the area is full.
class TextFlow {
 public:
  TextFlow(PageSink& sink, const plot::CanvasRect& area, const curves::CurveFamily& family,
           bool enforceColor)
      : sink_(sink), area_(area), family_(family), enforceColor_(enforceColor) {
    plot::Canvas& c = sink_.Canvas();
    c.SetFont(PrintFont(c, false));
    const plot::TextSize zero = c.TextExtent("0");
    gap_ = std::max(1, zero.cx);
    lineHeight_ = std::max(1, zero.cy);
    // Every row of the legend as high as the highest (a large symbol).
    legend_ = plot::MeasureLegend(c, family, plot::GetPlotState().styles, family.Count());
    legend_.rowHeight = std::max(lineHeight_, legend_.rowHeight);
  }

  int LineHeight(const PrintLine& line) const {
    return line.kind == PrintLine::Kind::Legend ? legend_.rowHeight : lineHeight_;
  }
  int BlockHeight(const PrintBlock& block) const {
    int h = lineHeight_ / 2;  // the space before a block
    for (const PrintLine& line : block) h += LineHeight(line);
    return h;
  }
  int Height(const std::vector<PrintBlock>& blocks) const {
    int h = 0;
    for (const PrintBlock& b : blocks) h += BlockHeight(b);
    return h;
  }

  // The space between the plot and the text.
  int Gap() const { return lineHeight_; }
  void StartAt(int y) { y_ = y; }
  // The next page may come with a canvas of its own: the text font is set
  // on it afresh.
  bool NewPage() {
    ++pages_;
    y_ = area_.top;
    if (!sink_.NewPage()) return false;
    sink_.Canvas().SetFont(PrintFont(sink_.Canvas(), false));
    return true;
  }
  int Pages() const { return pages_; }

  bool Draw(const std::vector<PrintBlock>& blocks) {
    sink_.Canvas().SetFont(PrintFont(sink_.Canvas(), false));
    for (const PrintBlock& block : blocks)
      if (!DrawBlock(block)) return false;
    return true;
  }

 private:
  bool Fits(int height) const { return y_ + height <= area_.bottom; }

  bool DrawBlock(const PrintBlock& block) {
    if (block.empty()) return true;
    if (y_ > area_.top) y_ += lineHeight_ / 2;
    // A title stays with the first line after it.
    const int head = LineHeight(block[0]) + (block.size() > 1 ? LineHeight(block[1]) : 0);
    if (!Fits(head) && y_ > area_.top && !NewPage()) return false;
    const std::vector<int> columns = Columns(block);
    for (const PrintLine& line : block) {
      const int h = LineHeight(line);
      if (!Fits(h) && y_ > area_.top && !NewPage()) return false;
      plot::Canvas& c = sink_.Canvas();
      const plot::CanvasRect box{area_.left, y_, area_.right, y_ + h};
      switch (line.kind) {
        case PrintLine::Kind::Title:
          c.SetFont(PrintFont(c, true));
          c.DrawText(line.label, box, plot::kTextLeft | plot::kTextVCenter);
          c.SetFont(PrintFont(c, false));
          break;
        case PrintLine::Kind::Row:
          c.DrawText(line.label, box, plot::kTextLeft | plot::kTextVCenter);
          for (std::size_t i = 0; i < line.values.size() && i < columns.size(); ++i)
            c.DrawText(line.values[i], plot::CanvasRect{columns[i], y_, area_.right, y_ + h},
                       plot::kTextLeft | plot::kTextVCenter);
          break;
        case PrintLine::Kind::Legend:
          plot::DrawLegendRows(c, area_.left, y_, family_, plot::GetPlotState().styles,
                               line.curve, 1, legend_, enforceColor_);
          break;
      }
      y_ += h;
    }
    return true;
  }

  // Where the values of the rows start: after the widest label, then after
  // the widest value of each column.
  std::vector<int> Columns(const PrintBlock& block) {
    plot::Canvas& c = sink_.Canvas();
    int labelWidth = 0;
    std::vector<int> valueWidths;
    for (const PrintLine& line : block) {
      if (line.kind != PrintLine::Kind::Row) continue;
      labelWidth = std::max(labelWidth, c.TextExtent(line.label).cx);
      if (valueWidths.size() < line.values.size()) valueWidths.resize(line.values.size(), 0);
      for (std::size_t i = 0; i < line.values.size(); ++i)
        valueWidths[i] = std::max(valueWidths[i], c.TextExtent(line.values[i]).cx);
    }
    std::vector<int> columns;
    int x = area_.left + labelWidth + 2 * gap_;
    for (int w : valueWidths) {
      columns.push_back(x);
      x += w + 2 * gap_;
    }
    return columns;
  }

  PageSink& sink_;
  const plot::CanvasRect area_;
  const curves::CurveFamily& family_;
  const bool enforceColor_;
  int gap_ = 1, lineHeight_ = 1;
  plot::LegendMetrics legend_;
  int y_ = 0;
  int pages_ = 1;
};

}  // namespace

int MillimetresToPixels(double mm, int dpi) {
  if (!(mm > 0) || dpi <= 0) return 0;
  return static_cast<int>(std::lround(std::min(mm, 1e5) * dpi / 25.4));
}

PageGeometry PlacePlot(const plot::CanvasRect& page, int dpiX, int dpiY,
                       const PrintPageOptions& options, int textHeight) {
  PageGeometry g;
  g.area = plot::CanvasRect{page.left + MillimetresToPixels(options.marginLeft, dpiX),
                            page.top + MillimetresToPixels(options.marginTop, dpiY),
                            page.right - MillimetresToPixels(options.marginRight, dpiX),
                            page.bottom - MillimetresToPixels(options.marginBottom, dpiY)};
  if (g.area.Empty()) return g;
  g.fits = true;
  const int w = g.area.Width(), h = g.area.Height();
  const int room = std::max(h / 2, h - std::max(textHeight, 0));
  int plotW = w, plotH = room;
  if (options.ratioXY > 0) {
    const double ratio = options.ratioXY;
    plotH = static_cast<int>(std::lround(w / ratio));
    if (plotH > room) {
      plotH = room;
      plotW = static_cast<int>(std::lround(room * ratio));
    }
  }
  plotW = std::clamp(plotW, 1, w);
  plotH = std::clamp(plotH, 1, h);
  const int left = g.area.left + (w - plotW) / 2;
  g.plot = plot::CanvasRect{left, g.area.top, left + plotW, g.area.top + plotH};
  return g;
}

std::vector<PrintBlock> PictureBlocks(const curves::CurveFamily& family,
                                      const PrintContentsOptions& options) {
  std::vector<PrintBlock> blocks;
  if (options.printInfo) {
    PrintBlock b{Title(kPictureInfoTitle)};
    for (const auto& [label, text] : PictureInfoOf(family).fields) {
      const std::vector<std::string> lines = Lines(text);
      for (std::size_t i = 0; i < lines.size(); ++i)
        b.push_back(Row(i == 0 ? label : std::string(), {lines[i]}));
    }
    blocks.push_back(std::move(b));
  }
  if (options.printLegend && family.Count() > 0) {
    PrintBlock b{Title(kLegendTitle)};
    for (std::uint32_t i = 0; i < family.Count(); ++i)
      b.push_back(PrintLine{PrintLine::Kind::Legend, {}, {}, i});
    blocks.push_back(std::move(b));
  }
  return blocks;
}

std::vector<PrintBlock> SummaryBlocks(const PrintContentsOptions& options) {
  std::vector<PrintBlock> blocks;
  for (const shell::InfoTable& table : ChosenSummaries(options)) {
    PrintBlock b{Title(table.title)};
    for (const shell::InfoRow& row : table.rows) b.push_back(Row(row.label, row.values));
    blocks.push_back(std::move(b));
  }
  return blocks;
}

int PrintFamily(PageSink& sink, const curves::CurveFamily& family, const PrintPageOptions& page,
                const PrintContentsOptions& contents) {
  plot::Canvas& canvas = sink.Canvas();
  const std::vector<PrintBlock> picture = PictureBlocks(family, contents);
  const std::vector<PrintBlock> summaries = SummaryBlocks(contents);
  const plot::CanvasRect printable = sink.Page();
  // The text under the plot is measured first: the plot leaves room for it.
  PageGeometry g = PlacePlot(printable, canvas.DpiX(), canvas.DpiY(), page, 0);
  if (!g.fits) return 0;
  TextFlow flow(sink, g.area, family, page.enforceColor);
  int below = flow.Height(picture);
  if (!contents.paramsOnSeparatePage) below += flow.Height(summaries);
  if (below > 0) below += flow.Gap();
  g = PlacePlot(printable, canvas.DpiX(), canvas.DpiY(), page, below);

  // The printer's page is not the main window: the range comes from the
  // data, and the screen's view keeps its own mapping.
  plot::PlotView view = plot::GetPlotView();
  plot::DrawOptions options;
  options.target = plot::DrawTarget::OtherDevice;
  options.enforceColor = page.enforceColor;
  plot::Draw(canvas, g.plot, family, view, options);

  flow.StartAt(g.plot.bottom + flow.Gap() / 2);
  if (!flow.Draw(picture)) return flow.Pages();
  if (contents.paramsOnSeparatePage && !summaries.empty() && !flow.NewPage())
    return flow.Pages();
  flow.Draw(summaries);
  return flow.Pages();
}

}  // namespace tsm::app
