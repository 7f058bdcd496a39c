// Registration of the plot's two option groups: axes and grid, and curve
// styles.
#pragma once

namespace tsm::plot {

inline constexpr const char* kAxesGroupName = "Axes and grid";
inline constexpr const char* kCurveStylesGroupName = "Curve styles";

// Registers both groups with the option-group registry.
void RegisterOptionGroups();

}  // namespace tsm::plot
