// What the "Picture Info" tool window (command 135) shows and edits: the
// picture information of the family the plot draws (graph name, units,
// designer, chip, circuit, date, time spent, comment) and its legend (each
// curve's style, name and point count). Opened with Shift it is the legend
// alone. Edits go to the current family and mark the data unsaved (the
// companion file of the next save carries them); the window refreshes on
// the plot-changed notification. The printed page uses the same texts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "curves/curvefam.h"
#include "plot/canvas.h"
#include "plot/curve_styles.h"

namespace tsm::app {

inline constexpr int kPictureInfoDialogId = 137;
inline constexpr int kPictureInfoLegendDialogId = 1558;  // opened with Shift
inline constexpr const char* kPictureInfoCaption = "Picture Info";
inline constexpr const char* kUnknownText = "unknown";
inline constexpr const char* kLegendInPlotText = "Draw the legend inside the plot";
inline constexpr const char* kBadDateText =
    "The date is not understood.\nWrite it as 7-Dec-2026 14:05:09,\nor leave it empty when it is "
    "not known.";
inline constexpr const char* kBadTimeSpentText =
    "The time spent is a number of seconds,\nor empty when it is not known.";

enum class PictureField {
  GraphName, UnitX, UnitY, Designer, ChipName, CircuitName, DateTime, TimeSpent, Comment
};

struct PictureFieldSpec {
  PictureField field;
  const char* label;
  std::size_t size;  // of the text field, NUL included (0: a value read from text)
  bool multiline;
};
inline constexpr std::array<PictureFieldSpec, 9> kPictureFields = {{
    {PictureField::GraphName, "Graph:", curves::kGraphNameSize, false},
    {PictureField::UnitX, "X units:", curves::kUnitSize, false},
    {PictureField::UnitY, "Y units:", curves::kUnitSize, false},
    {PictureField::Designer, "Designer:", curves::kDesignerSize, false},
    {PictureField::ChipName, "Chip:", curves::kChipNameSize, false},
    {PictureField::CircuitName, "Circuit:", curves::kCircuitNameSize, false},
    {PictureField::DateTime, "Date:", 0, false},
    {PictureField::TimeSpent, "Time spent:", 0, false},
    {PictureField::Comment, "Comment:", curves::kCommentSize, true},
}};

struct LegendEntry {
  std::string name;
  plot::CurveStyle style;
  std::uint32_t points = 0;
};

struct PictureInfo {
  // Label and text, in the order of kPictureFields.
  std::vector<std::pair<std::string, std::string>> fields;
  std::vector<LegendEntry> legend;
};

PictureInfo PictureInfoOf(const curves::CurveFamily& family);
// The text of one field as shown ("unknown" for an unknown date or time).
std::string PictureFieldText(const curves::CurveFamily& family, PictureField field);
// "7-Dec-2026 14:05:09" in local time, or "unknown" for 0.
std::string DateText(std::uint32_t secondsSince1970);
// The date back from its text (the time may be left out; empty or
// "unknown" give 0); false when the text is no such date.
bool ParseDateText(const std::string& text, std::uint32_t& secondsSince1970);

// Whether the window may edit now: not while a measurement fills the family.
bool PictureInfoEditable();

enum class EditResult { Unchanged, Changed, Refused };
// Puts the edited text of a field into the current family (line ends of the
// comment become CR LF; a text longer than its field is cut). A date or time
// spent that cannot be read is refused with a message. Changed marks the
// data unsaved and redraws.
EditResult EditPictureField(PictureField field, const std::string& text);
// Renames a curve of the current family (after the undo copy).
EditResult RenameCurve(std::uint32_t curve, const std::string& name);
// The legend inside the plot, on or off (redraws).
void SetLegendInPlot(bool on);

}  // namespace tsm::app
