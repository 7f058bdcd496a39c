// The Cursors tool window on the screen: a small window owned by the main
// window showing the plot::CursorsModel (the pointer, the nearest data point,
// the nearest point of every curve and the chosen one's values). While it is
// open the plot's pointer moves reach the model.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>

#include "gui/closed_listener.h"
#include "plot/cursors.h"

class QLabel;
class QListWidget;

namespace tsm::gui {

class CursorsWindowView : public QWidget {
 public:
  CursorsWindowView(std::unique_ptr<plot::CursorsModel> model, QWidget* owner);
  ~CursorsWindowView() override;

  plot::CursorsModel& Model() { return *model_; }
  QLabel* PointerLabel() const { return pointer_; }
  QLabel* PointLabel() const { return point_; }
  QListWidget* CurveList() const { return list_; }
  QLabel* ValueLabel() const { return value_; }
  // Shows the model's texts and list.
  void Sync();
  void SetClosedListener(std::function<void()> closed) { closed_.Set(std::move(closed)); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void SyncList();

  std::unique_ptr<plot::CursorsModel> model_;
  QLabel* pointer_ = nullptr;
  QLabel* point_ = nullptr;
  QListWidget* list_ = nullptr;
  QLabel* value_ = nullptr;
  bool syncing_ = false;
  ClosedListener closed_;
};

// Command 132: closes the window when it is open, else opens it owned by
// `owner`. `closed` runs whenever the window goes, by the command or by its
// own close box (the menu item's check). True when it is open afterwards.
bool ToggleCursorsWindowView(QWidget* owner, std::function<void()> closed = {});
// The open view, or null.
CursorsWindowView* OpenCursorsWindowView();
// The plot-changed notification: the open window shows the points anew.
void RefreshCursorsWindowView();

}  // namespace tsm::gui
