// Printing without the toolkit: where the plot goes on a page (the printable
// page less the margins, at the ratio asked for), and the pages themselves:
// the plot drawn by the plot code, then the picture information, the legend
// and the option summaries as lines of text that flow onto further pages
// when they do not fit. The front end hands in a PageSink over its printer.
#pragma once

#include <string>
#include <vector>

#include "curves/curvefam.h"
#include "plot/canvas.h"
#include "app/print_options.h"

namespace tsm::app {

// A device that prints pages: a canvas on the present page, the page's
// printable rectangle in the canvas's pixels, and the step to the next page.
class PageSink {
 public:
  virtual ~PageSink() = default;
  virtual plot::Canvas& Canvas() = 0;
  virtual plot::CanvasRect Page() const = 0;
  // Ends the page and starts the next; false when the device refused.
  virtual bool NewPage() = 0;
};

int MillimetresToPixels(double mm, int dpi);

struct PageGeometry {
  bool fits = false;      // false: the margins leave no room
  plot::CanvasRect area;  // the printable page less the margins
  plot::CanvasRect plot;  // where the plot is drawn
};
// Places the plot in the area: as wide as the area, as high as the ratio
// says (all the height when it is 0), and never higher than what is left
// above `textHeight` pixels of text, though always at least half the area
// (the text goes on to the next page then). Centred across, at the top.
PageGeometry PlacePlot(const plot::CanvasRect& page, int dpiX, int dpiY,
                       const PrintPageOptions& options, int textHeight);

// One line of the text printed with the plot.
struct PrintLine {
  enum class Kind { Title, Row, Legend };
  Kind kind = Kind::Row;
  std::string label;                // Title: the title; Row: the label
  std::vector<std::string> values;  // Row: the values, side by side
  std::uint32_t curve = 0;          // Legend: the curve
};
// A block of lines printed together (a title and its rows).
using PrintBlock = std::vector<PrintLine>;

inline constexpr const char* kPictureInfoTitle = "Picture Info";
inline constexpr const char* kLegendTitle = "Legend";

// The blocks of the picture information and the legend as the contents
// options ask for them, and those of the chosen summaries.
std::vector<PrintBlock> PictureBlocks(const curves::CurveFamily& family,
                                      const PrintContentsOptions& options);
std::vector<PrintBlock> SummaryBlocks(const PrintContentsOptions& options);

// Prints the family: the plot on the first page with the picture blocks
// below it, the summaries after them or on a page of their own. Returns
// the number of pages, 0 when the margins leave no room (nothing printed).
int PrintFamily(PageSink& sink, const curves::CurveFamily& family,
                const PrintPageOptions& page, const PrintContentsOptions& contents);

}  // namespace tsm::app
