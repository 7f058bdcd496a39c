#include "app/picture_info.h"

#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "curves/state.h"
#include "curves/undo.h"
#include "plot/state.h"
#include "app/commands.h"
#include "shell/errors.h"
#include "shell/settings.h"
#include "shell/stringex.h"

namespace tsm::app {

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool Unknown(const std::string& text) {
  return text.empty() || ::strcasecmp(text.c_str(), kUnknownText) == 0;
}

// "12.5" or "12.5 s" seconds; empty or "unknown" is not known (-1).
bool ParseTimeSpent(const std::string& text, float& seconds) {
  const std::string t = shell::Trim(text);
  if (Unknown(t)) {
    seconds = curves::kTimeSpentUnknown;
    return true;
  }
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  const std::string rest = shell::Trim(end);
  if (end == t.c_str() || !(rest.empty() || rest == "s") || !std::isfinite(v) || v < 0 ||
      v > 3.4e38)
    return false;
  seconds = static_cast<float>(v);
  return true;
}

// Line ends as the family keeps them: CR LF.
std::string CrLf(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

void Refuse(const char* text) {
  shell::ShowMessage(Owner(), text, kPictureInfoCaption,
                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

}  // namespace

std::string DateText(std::uint32_t seconds) {
  if (seconds == 0) return kUnknownText;
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (!localtime_r(&t, &local)) return kUnknownText;
  return shell::Format("%d-%s-%d %02d:%02d:%02d", local.tm_mday, kMonths[local.tm_mon % 12],
                       local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
}

bool ParseDateText(const std::string& text, std::uint32_t& seconds) {
  const std::string t = shell::Trim(text);
  if (Unknown(t)) {
    seconds = 0;
    return true;
  }
  int day = 0, year = 0, hour = 0, minute = 0, second = 0, used = 0;
  char month[4] = {};
  const int n = std::sscanf(t.c_str(), "%d-%3[A-Za-z]-%d%n %d:%d:%d%n", &day, month, &year, &used,
                            &hour, &minute, &second, &used);
  if ((n != 3 && n != 6) || static_cast<std::size_t>(used) != t.size()) return false;
  int m = -1;
  for (int i = 0; i < 12; ++i)
    if (::strcasecmp(month, kMonths[i]) == 0) m = i;
  if (m < 0 || day < 1 || day > 31 || year < 1970 || year > 2105 || hour < 0 || hour > 23 ||
      minute < 0 || minute > 59 || second < 0 || second > 60)
    return false;
  std::tm local{};
  local.tm_mday = day;
  local.tm_mon = m;
  local.tm_year = year - 1900;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  const std::time_t made = std::mktime(&local);
  // mktime moves an impossible day (31-Feb) on: the text was no date.
  if (made <= 0 || made > 0xFFFFFFFFLL || local.tm_mday != day || local.tm_mon != m) return false;
  seconds = static_cast<std::uint32_t>(made);
  return true;
}

std::string PictureFieldText(const curves::CurveFamily& f, PictureField field) {
  switch (field) {
    case PictureField::GraphName: return f.GraphName();
    case PictureField::UnitX: return f.UnitX();
    case PictureField::UnitY: return f.UnitY();
    case PictureField::Designer: return f.Designer();
    case PictureField::ChipName: return f.ChipName();
    case PictureField::CircuitName: return f.CircuitName();
    case PictureField::DateTime: return DateText(f.DateTime());
    case PictureField::TimeSpent:
      return f.TimeSpent() < 0 ? std::string(kUnknownText)
                               : shell::Format("%.3f s", static_cast<double>(f.TimeSpent()));
    case PictureField::Comment: return f.Comment();
  }
  return {};
}

PictureInfo PictureInfoOf(const curves::CurveFamily& f) {
  PictureInfo info;
  for (const PictureFieldSpec& spec : kPictureFields)
    info.fields.emplace_back(spec.label, PictureFieldText(f, spec.field));
  const plot::CurveStyles& styles = plot::GetPlotState().styles;
  for (std::uint32_t i = 0; i < f.Count(); ++i)
    info.legend.push_back(
        {f.Curve(i).Name(), styles[i % plot::kCurveStyleCount], f.Curve(i).Count()});
  return info;
}

bool PictureInfoEditable() { return !curves::GetCurvesState().plotShowsUndo.load(); }

EditResult EditPictureField(PictureField field, const std::string& text) {
  if (!PictureInfoEditable()) return EditResult::Refused;
  curves::CurveFamily& f = curves::CurrentFamily();
  const std::string value = field == PictureField::Comment ? CrLf(text) : text;
  if (value == PictureFieldText(f, field)) return EditResult::Unchanged;
  const char* v = value.c_str();
  switch (field) {
    case PictureField::GraphName: f.SetGraphName(v); break;
    case PictureField::UnitX: f.SetUnitX(v); break;
    case PictureField::UnitY: f.SetUnitY(v); break;
    case PictureField::Designer: f.SetDesigner(v); break;
    case PictureField::ChipName: f.SetChipName(v); break;
    case PictureField::CircuitName: f.SetCircuitName(v); break;
    case PictureField::Comment: f.SetComment(v); break;
    case PictureField::DateTime: {
      std::uint32_t seconds = 0;
      if (!ParseDateText(value, seconds)) {
        Refuse(kBadDateText);
        return EditResult::Refused;
      }
      if (seconds == f.DateTime()) return EditResult::Unchanged;
      f.SetDateTime(seconds);
      break;
    }
    case PictureField::TimeSpent: {
      float seconds = 0;
      if (!ParseTimeSpent(value, seconds)) {
        Refuse(kBadTimeSpentText);
        return EditResult::Refused;
      }
      if (seconds == f.TimeSpent()) return EditResult::Unchanged;
      f.SetTimeSpent(seconds);
      break;
    }
  }
  DataChanged();
  return EditResult::Changed;
}

EditResult RenameCurve(std::uint32_t curve, const std::string& name) {
  if (!PictureInfoEditable()) return EditResult::Refused;
  curves::CurveFamily& f = curves::CurrentFamily();
  if (curve >= f.Count()) return EditResult::Refused;
  if (name == f.Curve(curve).Name()) return EditResult::Unchanged;
  if (!curves::PrepareUndo()) return EditResult::Refused;
  f.Curve(curve).SetName(name.c_str());
  DataChanged();
  return EditResult::Changed;
}

void SetLegendInPlot(bool on) {
  if (plot::GetPlotState().legendInPlot == on) return;
  plot::GetPlotState().legendInPlot = on;
  Redraw();
}

}  // namespace tsm::app
