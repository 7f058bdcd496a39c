// The "Picture Info" tool window on the screen: the picture information of
// the plotted family and its legend (a colour swatch, the name and the
// point count of every curve), or the legend alone when opened with Shift.
// Owned by the main window; Refresh shows the family anew.
#pragma once

#include <QWidget>

#include <functional>

class QFormLayout;
class QLabel;
class QListWidget;

namespace tsm::gui {

class PictureInfoView : public QWidget {
 public:
  PictureInfoView(QWidget* owner, bool legendOnly);
  ~PictureInfoView() override;

  void Refresh();
  QListWidget* Legend() const { return legend_; }
  // The text shown beside a label ("Graph:", "Units:"...), empty when none.
  QString FieldText(const QString& label) const;
  void SetClosedListener(std::function<void()> closed) { closed_ = std::move(closed); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QFormLayout* form_ = nullptr;  // null in the legend-only form
  QListWidget* legend_ = nullptr;
  std::function<void()> closed_;
};

}  // namespace tsm::gui
