// The "Picture Info" tool window on the screen: the picture information of
// the plotted family in fields that edit it (a field is taken when it loses
// the focus or Enter is pressed), and its legend: a sample of each curve's
// style, its name (edit it to rename the curve) and its point count, with
// the style dialog of the chosen curve and the switch that draws the legend
// inside the plot. Opened with Shift it is the legend alone. Owned by the
// main window; Refresh shows the family anew.
#pragma once

#include <QWidget>

#include <functional>
#include <vector>

#include "gui/closed_listener.h"

class QCheckBox;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tsm::gui {

class PictureInfoView : public QWidget {
 public:
  PictureInfoView(QWidget* owner, bool legendOnly);
  ~PictureInfoView() override;

  void Refresh();
  // The legend: column 0 the style sample and the name, column 1 the points.
  QTableWidget* Legend() const { return legend_; }
  QCheckBox* LegendInPlot() const { return legendInPlot_; }
  QPushButton* StyleButton() const { return style_; }
  // The editor beside a label ("Graph:", "X units:"...), null when none.
  QWidget* FieldEditor(const QString& label) const;
  // The text shown beside a label, empty when none.
  QString FieldText(const QString& label) const;
  void SetClosedListener(std::function<void()> closed) { closed_.Set(std::move(closed)); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Field;
  void Apply(std::size_t index);
  void RefreshLegend();

  std::vector<Field> fields_;  // empty in the legend-only form
  QTableWidget* legend_ = nullptr;
  QCheckBox* legendInPlot_ = nullptr;
  QPushButton* style_ = nullptr;
  bool refreshing_ = false;
  ClosedListener closed_;
};

}  // namespace tsm::gui
