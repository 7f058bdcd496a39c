#include "gui/cursors_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

#include "gui/cp1252.h"
#include "platform/ui.h"
#include "plot/selection.h"

namespace tsm::gui {

namespace {
QPointer<CursorsWindowView>& View() {
  static QPointer<CursorsWindowView> view;
  return view;
}
}  // namespace

CursorsWindowView::CursorsWindowView(std::unique_ptr<plot::CursorsModel> model, QWidget* owner)
    : QWidget(owner, Qt::Tool), model_(std::move(model)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(FromCp1252(model_->Caption()));
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  auto* layout = new QVBoxLayout(this);
  pointer_ = new QLabel(this);
  point_ = new QLabel(this);
  list_ = new QListWidget(this);
  value_ = new QLabel(this);
  for (QWidget* w : {static_cast<QWidget*>(pointer_), static_cast<QWidget*>(point_),
                     static_cast<QWidget*>(list_), static_cast<QWidget*>(value_)}) {
    w->setFont(fixed);
    layout->addWidget(w);
  }
  const std::optional<platform::Control> closeControl = model_->GetControl(platform::IDCANCEL);
  auto* closeButton =
      new QPushButton(FromCp1252(closeControl ? closeControl->text : "&Close"), this);
  layout->addWidget(closeButton);
  connect(closeButton, &QPushButton::clicked, this, [this] { model_->Command(platform::IDCANCEL); });
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (syncing_) return;
    model_->SetCurrentItem(plot::kCursorCurveList, row);
    model_->Command(plot::kCursorCurveList, plot::kCursorListSelChange);
  });
  model_->SetChangeListener([this](int id) {
    if (id == 0 && model_->Ended()) {
      QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
      return;
    }
    if (id == plot::kCursorCurveList) SyncList();
    else Sync();
  });
  model_->Init();
  plot::CursorsModel* m = model_.get();
  plot::SetPointerListener([m](int x, int y) { m->Update(x, y); });
  Sync();
}

CursorsWindowView::~CursorsWindowView() {
  plot::SetPointerListener({});
  model_->SetChangeListener({});
}

void CursorsWindowView::Sync() {
  pointer_->setText(FromCp1252(model_->GetText(plot::kCursorPointerText)));
  point_->setText(FromCp1252(model_->GetText(plot::kCursorPointText)));
  value_->setText(FromCp1252(model_->GetText(plot::kCursorValueText)));
  SyncList();
}

void CursorsWindowView::SyncList() {
  syncing_ = true;
  const std::vector<std::string> items = model_->Items(plot::kCursorCurveList);
  if (list_->count() != static_cast<int>(items.size())) {
    list_->clear();
    for (const std::string& s : items) list_->addItem(FromCp1252(s));
  } else {
    for (int i = 0; i < list_->count(); ++i) list_->item(i)->setText(FromCp1252(items[i]));
  }
  list_->setCurrentRow(model_->CurrentItem(plot::kCursorCurveList));
  syncing_ = false;
}

void CursorsWindowView::closeEvent(QCloseEvent* event) {
  plot::SetPointerListener({});
  model_->SetChangeListener({});
  if (View() == this) View() = nullptr;
  closed_.Tell();
  event->accept();
}

bool ToggleCursorsWindowView(QWidget* owner, std::function<void()> closed) {
  if (CursorsWindowView* open = View()) {
    open->close();
    return false;
  }
  auto* view = new CursorsWindowView(std::make_unique<plot::CursorsModel>(), owner);
  view->SetClosedListener(std::move(closed));
  View() = view;
  view->show();
  return true;
}

CursorsWindowView* OpenCursorsWindowView() { return View(); }

void RefreshCursorsWindowView() {
  if (CursorsWindowView* view = View()) view->Model().Refresh();
}

}  // namespace tsm::gui
