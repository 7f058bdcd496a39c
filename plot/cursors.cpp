#include "plot/cursors.h"

#include <algorithm>
#include <climits>

#include "curves/state.h"
#include "platform/ui.h"
#include "plot/range.h"
#include "plot/view.h"
#include "shell/phyunits.h"
#include "shell/stringex.h"

namespace tsm::plot {

using namespace tsm::platform;

namespace {

unsigned NonNegative(int v) { return v > 0 ? static_cast<unsigned>(v) : 0u; }

Control Make(int id, ControlKind kind) {
  Control c;
  c.id = id;
  c.kind = kind;
  return c;
}

}  // namespace

CursorsModel::CursorsModel() : DialogModel(kCursorsDialogId, kCursorsCaption) {
  AddControl(Make(kCursorPointerText, ControlKind::Static));
  AddControl(Make(kCursorPointText, ControlKind::Static));
  Control list = Make(kCursorCurveList, ControlKind::ListBox);
  list.label = "Curve (point):";
  AddControl(list);
  AddControl(Make(kCursorValueText, ControlKind::Static));
  Control close = Make(IDCANCEL, ControlKind::Button);
  close.text = "&Close";
  AddControl(close);
}

void CursorsModel::OnInit() { Refresh(); }

void CursorsModel::OnCommand(int id, int code) {
  if (id == kCursorCurveList && code == kCursorListSelChange) {
    ShowValues();
    return;
  }
  DialogModel::OnCommand(id, code);
}

void CursorsModel::Update(int x, int y) {
  x_ = x;
  y_ = y;
  Refresh();
}

void CursorsModel::Refresh() {
  const curves::CurveFamily& family = curves::FamilyForPlot();
  const PlotView& view = GetPlotView();
  SetText(kCursorPointerText, shell::Format(kCursorFormat, 1u, NonNegative(x_), NonNegative(y_)));

  // One pass per curve: its nearest point inside the view; the nearest of
  // all is cursor 2 (curve order, then point order, wins a tie).
  const int previous = CurrentItem(kCursorCurveList);
  entries_.clear();
  long long bestAll = LLONG_MAX;
  int bestX = 0, bestY = 0;
  const float x0 = view.xMin, x1 = view.xMax, y0 = view.yMin, y1 = view.yMax;
  for (std::uint32_t c = 0; c < family.Count(); ++c) {
    const curves::Curve& curve = family.Curve(c);
    const curves::CurvePoint* p = curve.Data();
    long long best = LLONG_MAX;
    std::uint32_t bestPoint = 0;
    int px = 0, py = 0;
    for (std::uint32_t i = 0; i < curve.Count(); ++i) {
      if (!(p[i].x >= x0 && p[i].x <= x1 && p[i].y >= y0 && p[i].y <= y1)) continue;
      const int qx = DataToPixelX(view, p[i].x), qy = DataToPixelY(view, p[i].y);
      const long long dx = qx - static_cast<long long>(x_), dy = qy - static_cast<long long>(y_);
      const long long d = dx * dx + dy * dy;
      if (d < best) {
        best = d;
        bestPoint = i;
        px = qx;
        py = qy;
      }
    }
    if (best == LLONG_MAX) continue;
    entries_.push_back({c, bestPoint});
    if (best < bestAll) {
      bestAll = best;
      bestX = px;
      bestY = py;
    }
  }
  SetText(kCursorPointText, bestAll == LLONG_MAX
                                ? std::string()
                                : shell::Format(kCursorFormat, 2u, NonNegative(bestX),
                                                NonNegative(bestY)));
  std::vector<std::string> items;
  items.reserve(entries_.size());
  for (const Entry& e : entries_) items.push_back(shell::Format(kCursorEntryFormat, e.curve, e.point));
  SetItems(kCursorCurveList, items);
  if (!entries_.empty())
    SetCurrentItem(kCursorCurveList,
                   std::clamp(previous, 0, static_cast<int>(entries_.size()) - 1));
  ShowValues();
}

void CursorsModel::ShowValues() {
  const int item = CurrentItem(kCursorCurveList);
  const curves::CurveFamily& family = curves::FamilyForPlot();
  if (item < 0 || item >= static_cast<int>(entries_.size()) ||
      entries_[item].curve >= family.Count() ||
      entries_[item].point >= family.Curve(entries_[item].curve).Count()) {
    SetText(kCursorValueText, "");
    return;
  }
  const curves::CurvePoint& p = family.Curve(entries_[item].curve).Point(entries_[item].point);
  SetText(kCursorValueText, "X:" + shell::FormatWithPrefix(p.x, family.UnitX()) + "  Y:" +
                                shell::FormatWithPrefix(p.y, family.UnitY()));
}

}  // namespace tsm::plot
