#include "math/sigma_ic.h"

#include <cmath>

#include "curves/state.h"
#include "math/commands.h"
#include "platform/ui.h"
#include "shell/errors.h"
#include "shell/phyunits.h"
#include "shell/stringex.h"

namespace tsm::math {

using shell::Statistic;

SigmaIc SigmaIcOf(const std::vector<JunctionRow>& rows) {
  SigmaIc s;
  for (const JunctionRow& r : rows) {
    if (!std::isnan(r.values.icPlus)) {
      s.plus.Add(r.values.icPlus);
      s.both.Add(r.values.icPlus);
    }
    if (!std::isnan(r.values.icMinus)) {
      s.minus.Add(std::fabs(r.values.icMinus));
      s.both.Add(std::fabs(r.values.icMinus));
    }
  }
  return s;
}

namespace {

// One row of the table: its title, whether it is a current (else a plain
// number) and its value for a column that is not empty.
struct Row {
  const char* title;
  bool current;
  double (*value)(const Statistic&);
};
const Row kRows[] = {
    {"n", false, [](const Statistic& s) { return static_cast<double>(s.Count()); }},
    {"mean", true, [](const Statistic& s) { return s.Mean(); }},
    {"sigma", true, [](const Statistic& s) { return s.StandardDeviation(); }},
    {"sigma/mean (%)", false,
     [](const Statistic& s) {
       return s.Mean() == 0.0 ? 0.0 : s.StandardDeviation() / s.Mean() * 100.0;
     }},
    {"min", true, [](const Statistic& s) { return s.Min(); }},
    {"max", true, [](const Statistic& s) { return s.Max(); }},
    {"spread", true, [](const Statistic& s) { return s.Spread(); }},
};

template <class Cell>
std::string Table(const SigmaIc& s, const char* headFormat, const char* lineEnd, Cell cell) {
  const Statistic* columns[] = {&s.plus, &s.minus, &s.both};
  std::string text = shell::Format(headFormat, "", "Ic+", "|Ic-|", "both") + lineEnd;
  for (const Row& row : kRows) {
    std::string line = cell(row.title, nullptr, row);
    for (const Statistic* c : columns) line += cell(nullptr, c, row);
    text += line + lineEnd;
  }
  return text;
}

}  // namespace

std::string SigmaIcText(const SigmaIc& s) {
  return Table(s, "%-15s %12s %12s %12s", "\r\n",
               [](const char* title, const Statistic* c, const Row& row) -> std::string {
                 if (title) return shell::Format("%-15s", title);
                 if (c->Empty()) return shell::Format(" %12s", "-");
                 const double v = row.value(*c);
                 if (row.current)
                   return shell::Format(
                       " %12s", shell::FormatWithPrefix(static_cast<float>(v), "A").c_str());
                 return shell::Format(" %12.4G", v);
               });
}

std::string SigmaIcTabText(const SigmaIc& s) {
  return Table(s, "%s\t%s (A)\t%s (A)\t%s (A)", "\r\n",
               [](const char* title, const Statistic* c, const Row& row) -> std::string {
                 if (title) return title;
                 if (c->Empty()) return "\t";
                 return shell::Format("\t%.7G", row.value(*c));
               });
}

bool SigmaIcCommand(platform::WindowHandle owner) {
  const SigmaIc s =
      SigmaIcOf(JunctionRows(curves::CurrentFamily(), GetJunctionOptions(), true));
  if (s.both.Empty()) {
    shell::ShowMessage(owner, kSigmaIcNoneText, kSigmaIcCaption,
                       platform::MB_OK | platform::MB_ICONHAND);
    return false;
  }
  TextTableDialog dialog(kSigmaIcDialogId, kSigmaIcCaption, SigmaIcText(s), SigmaIcTabText(s),
                         false);
  platform::GetUi().RunModal(dialog, owner);
  return true;
}

}  // namespace tsm::math
