#include "math/junction_table.h"

#include <cmath>
#include <cstdio>

#include "curves/state.h"
#include "curves/undo.h"
#include "math/commands.h"
#include "platform/dialog_buttons.h"
#include "platform/replace_file.h"
#include "platform/ui.h"
#include "shell/errors.h"
#include "shell/phyunits.h"
#include "shell/stringex.h"

namespace tsm::math {

using curves::Curve;
using curves::CurveFamily;

std::vector<JunctionRow> JunctionRows(const CurveFamily& family, const JunctionOptions& options,
                                      bool markedOnly) {
  std::vector<JunctionRow> rows;
  for (std::uint32_t i = 0; i < family.Count(); ++i) {
    const Curve& c = family.Curve(i);
    if (c.Count() < 2 || (markedOnly && !c.IsMarked())) continue;
    rows.push_back({i, c.Name(), c.Parameter(), AnalyseJunction(c, options)});
  }
  return rows;
}

namespace {

struct Column {
  const char* title;
  const char* unit;
  double JunctionParameters::*value;
};
constexpr Column kColumns[] = {
    {"Ic+", "A", &JunctionParameters::icPlus}, {"Ic-", "A", &JunctionParameters::icMinus},
    {"Ic", "A", &JunctionParameters::ic},      {"Rn", "Ohm", &JunctionParameters::rn},
    {"Ie", "A", &JunctionParameters::ie},      {"Vc", "V", &JunctionParameters::vc},
};

std::string Shown(double v, const char* unit) {
  if (std::isnan(v)) return "-";
  return shell::FormatWithPrefix(static_cast<float>(v), unit);
}

}  // namespace

std::string JunctionTableText(const std::vector<JunctionRow>& rows) {
  std::string text = shell::Format("%-20s %10s", "Curve", "Parameter");
  for (const Column& c : kColumns) text += shell::Format(" %13s", c.title);
  text += "\r\n";
  for (const JunctionRow& r : rows) {
    text += shell::Format("%-20s %10G", r.name.c_str(), r.parameter);
    for (const Column& c : kColumns)
      text += shell::Format(" %13s", Shown(r.values.*c.value, c.unit).c_str());
    text += "\r\n";
  }
  return text;
}

std::string JunctionTableTabText(const std::vector<JunctionRow>& rows) {
  std::string text = "Curve\tParameter";
  for (const Column& c : kColumns) text += shell::Format("\t%s (%s)", c.title, c.unit);
  text += "\r\n";
  for (const JunctionRow& r : rows) {
    text += r.name + shell::Format("\t%.7G", r.parameter);
    for (const Column& c : kColumns) {
      const double v = r.values.*c.value;
      text += std::isnan(v) ? std::string("\t") : shell::Format("\t%.7G", v);
    }
    text += "\r\n";
  }
  return text;
}

bool JunctionResultFamily(const CurveFamily& source, const std::vector<JunctionRow>& rows,
                          CurveFamily& out) {
  out.Clear();
  out.CopyInfo(source);
  out.SetUnits("", "A");
  out.SetGraphName(shell::Format("Ic, Ie of %s", source.GraphName()).c_str());
  bool sameParameter = true;
  for (const JunctionRow& r : rows) sameParameter &= r.parameter == rows.front().parameter;

  struct Result {
    const char* name;
    double (*value)(const JunctionParameters&);
  };
  const Result results[] = {
      {"Ic+", [](const JunctionParameters& p) { return p.icPlus; }},
      {"|Ic-|", [](const JunctionParameters& p) { return std::fabs(p.icMinus); }},
      {"Ie", [](const JunctionParameters& p) { return p.ie; }},
  };
  for (const Result& result : results) {
    Curve c;
    for (const JunctionRow& r : rows) {
      const double v = result.value(r.values);
      if (std::isnan(v)) continue;
      const double x = sameParameter ? r.index : r.parameter;
      if (!c.Append(static_cast<float>(x), static_cast<float>(v))) return false;
    }
    if (c.Count() == 0) continue;
    c.SetName(result.name);
    if (!out.SetCount(out.Count() + 1)) return false;
    out.Curve(out.Count() - 1) = std::move(c);
  }
  return true;
}

bool AddOhmicLines(CurveFamily& family, const std::vector<JunctionRow>& rows) {
  for (const JunctionRow& r : rows) {
    const std::pair<const std::optional<OhmicLine>*, const char*> lines[] = {
        {&r.values.positive, " Rn+"}, {&r.values.negative, " Rn-"}};
    for (const auto& [line, suffix] : lines) {
      if (!*line) continue;
      const OhmicLine& l = **line;
      if (!family.SetCount(family.Count() + 1)) return false;
      Curve& c = family.Curve(family.Count() - 1);
      if (!c.Reserve(2)) return false;
      c.Append(0.0f, static_cast<float>(l.intercept));
      c.Append(static_cast<float>(l.outermost),
               static_cast<float>(l.slope * l.outermost + l.intercept));
      c.SetName((r.name + suffix).c_str());
    }
  }
  return true;
}

// --- the dialog -------------------------------------------------------------

TextTableDialog::TextTableDialog(int resourceId, const std::string& caption,
                                 const std::string& shown, std::string tabText,
                                 bool withCancel)
    : DialogModel(resourceId, caption), tabText_(std::move(tabText)) {
  AddControl(platform::ReadOnlyTable(kJunctionTableTextControl, shown));
  AddControl(platform::PushButton(kJunctionTableCopy, "&Copy"));
  AddControl(platform::PushButton(kJunctionTableSave, "Sa&ve..."));
  if (withCancel)
    platform::AddOkCancelButtons(*this);
  else
    platform::AddOkButton(*this);
}

void TextTableDialog::OnCommand(int id, int code) {
  if (id == kJunctionTableCopy) {
    if (!platform::GetUi().SetClipboardText(tabText_))
      shell::ShowMessage(shell::MainWindow(), kTableCopyFailedText, Caption(),
                         platform::MB_OK | platform::MB_ICONHAND);
    return;
  }
  if (id == kJunctionTableSave) {
    SaveTextThroughChooser(shell::MainWindow(), tabText_, Caption());
    return;
  }
  DialogModel::OnCommand(id, code);
}

bool SaveTextThroughChooser(platform::WindowHandle owner, const std::string& text,
                            const std::string& caption) {
  platform::FileDialogRequest request;
  request.filters = {{"Text files (*.txt)", "*.txt"}, {"All files (*.*)", "*.*"}};
  request.defaultExtension = "txt";
  request.flags = platform::OFN_OVERWRITEPROMPT | platform::OFN_PATHMUSTEXIST |
                  platform::OFN_HIDEREADONLY;
  const platform::FileDialogResult chosen = platform::GetUi().GetSaveFileName(request);
  if (!chosen.ok) {
    shell::ReportCommDlgError(chosen.errorCode);  // (a cancel, code 0, is not told)
    return false;
  }
  if (platform::ReplaceFileContents(chosen.path, text)) return true;
  shell::ShowMessage(owner, shell::Format(kTableSaveFailedText, chosen.path.c_str()), caption,
                     platform::MB_OK | platform::MB_ICONHAND);
  return false;
}

// --- the command ------------------------------------------------------------

bool JunctionTableCommand(platform::WindowHandle owner) {
  CurveFamily& family = curves::CurrentFamily();
  const JunctionOptions& options = GetJunctionOptions();
  const std::vector<JunctionRow> rows = JunctionRows(family, options, true);
  if (rows.empty()) {
    shell::ShowMessage(owner, kJunctionNoCurvesText, kJunctionTableCaption,
                       platform::MB_OK | platform::MB_ICONHAND);
    return false;
  }
  TextTableDialog dialog(kJunctionTableDialogId, kJunctionTableCaption, JunctionTableText(rows),
                         JunctionTableTabText(rows));
  if (platform::GetUi().RunModal(dialog, owner) != 1) return false;

  if (options.rnDrawLines) {
    bool any = false;
    for (const JunctionRow& r : rows) any |= r.values.positive || r.values.negative;
    if (!any) {
      shell::ShowMessage(owner, kJunctionNoLinesText, kJunctionTableCaption,
                         platform::MB_OK | platform::MB_ICONINFORMATION);
      return false;
    }
    if (!curves::PrepareUndo()) return false;
    if (!AddOhmicLines(family, rows)) {
      curves::UndoAfterOutOfMemory();
      return false;
    }
    return true;
  }
  CurveFamily result;
  if (!JunctionResultFamily(family, rows, result)) {
    curves::ShowOutOfMemory(owner);
    return false;
  }
  if (result.Count() == 0) {
    shell::ShowMessage(owner, kJunctionNothingFoundText, kJunctionTableCaption,
                       platform::MB_OK | platform::MB_ICONINFORMATION);
    return false;
  }
  return curves::ReplaceCurrentFamily(result);
}

}  // namespace tsm::math
