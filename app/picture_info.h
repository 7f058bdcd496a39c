// What the "Picture Info" tool window (command 135) shows: the picture
// information of the family the plot draws (graph name, units, designer,
// chip, circuit, date, time spent, comment) and its legend (each curve's
// name, style colour and point count). Opened with Shift it is the legend
// alone. The window refreshes on the plot-changed notification.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "curves/curvefam.h"
#include "plot/canvas.h"

namespace tsm::app {

inline constexpr int kPictureInfoDialogId = 137;
inline constexpr int kPictureInfoLegendDialogId = 1558;  // opened with Shift
inline constexpr const char* kPictureInfoCaption = "Picture Info";
inline constexpr const char* kUnknownText = "unknown";

struct LegendEntry {
  std::string name;
  plot::Color color = 0;
  std::uint32_t points = 0;
};

struct PictureInfo {
  // Label and text, in the order shown.
  std::vector<std::pair<std::string, std::string>> fields;
  std::vector<LegendEntry> legend;
};

PictureInfo PictureInfoOf(const curves::CurveFamily& family);
// "7-Dec-2026 14:05:09" in local time, or "unknown" for 0.
std::string DateText(std::uint32_t secondsSince1970);

}  // namespace tsm::app
