#include "app/picture_info.h"

#include <ctime>

#include "plot/curve_styles.h"
#include "shell/stringex.h"

namespace tsm::app {

std::string DateText(std::uint32_t seconds) {
  if (seconds == 0) return kUnknownText;
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (!localtime_r(&t, &local)) return kUnknownText;
  return shell::Format("%d-%s-%d %02d:%02d:%02d", local.tm_mday, kMonths[local.tm_mon % 12],
                       local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
}

PictureInfo PictureInfoOf(const curves::CurveFamily& f) {
  PictureInfo info;
  info.fields = {
      {"Graph:", f.GraphName()},
      {"Units:", std::string("X: ") + f.UnitX() + "   Y: " + f.UnitY()},
      {"Designer:", f.Designer()},
      {"Chip:", f.ChipName()},
      {"Circuit:", f.CircuitName()},
      {"Date:", DateText(f.DateTime())},
      {"Time spent:", f.TimeSpent() < 0 ? std::string(kUnknownText)
                                        : shell::Format("%.3f s", static_cast<double>(f.TimeSpent()))},
      {"Comment:", f.Comment()},
  };
  for (std::uint32_t i = 0; i < f.Count(); ++i)
    info.legend.push_back({f.Curve(i).Name(), plot::StyleOfCurve(i).color, f.Curve(i).Count()});
  return info;
}

}  // namespace tsm::app
